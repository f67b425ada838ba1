// Shared pieces of the text and field object tests: a program environment
// that answers dialogs and records messages, a report with a view and the
// in-place editor, and record helpers.
#pragma once

#include "content/draw_field.h"
#include "content/draw_text.h"
#include "content/text_edit_view.h"
#include "content/table_objects.h"
#include "content/text_objects.h"
#include "document/document_environment.h"
#include "document/draw_class.h"
#include "document/draw_view.h"
#include "document/rpt_doc.h"
#include "document/word_export.h"
#include "irimage/draw_ir.h"
#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace object_test {

inline const DrawClassRegistry& Registry()
{
    static const DrawClassRegistry registry = [] {
        DrawClassRegistry r = DrawClassRegistry::MakeBasic();
        CDrawIR::Register(r);
        RegisterTextObjects(r);
        RegisterTableObjects(r);
        return r;
    }();
    return registry;
}

class TestEnvironment : public DocumentEnvironment {
public:
    TestEnvironment()
    {
        // The program folder holds the default data (wenben.dat among it).
        folder = QStringLiteral(CONTENT_DEFAULT_DATA);
    }
    QString ProgramFolder() const override { return folder; }
    QString FindProgramFile(const QString& name) const override
    {
        return DocumentEnvironment::FindProgramFile(name);
    }
    QString LoadString(int id) const override
    {
        if (id == 32788)
            return QStringLiteral("对象属性");
        return DocumentEnvironment::LoadString(id);
    }
    int MessageBox(const QString& text, int, int stringId) override
    {
        messages << text;
        messageIds.push_back(stringId);
        return kAnswerOk;
    }
    // The dialog is shown; the hook acts on it and answers (true: OK).
    bool RunDialog(QDialog& dialog) override
    {
        ++dialogs;
        dialog.show();
        const bool ok = onDialog ? onDialog(dialog) : false;
        if (ok)
            dialog.accept();
        else
            dialog.reject();
        return dialog.result() == QDialog::Accepted;
    }

    QString folder;
    QStringList messages;
    std::vector<int> messageIds;
    int dialogs = 0;
    std::function<bool(QDialog&)> onDialog;
};

// A view that keeps the page areas it is asked to repaint, as they are at
// the time of asking.
class RecordingView : public DrawView {
public:
    void InvalObj(CDrawObj* obj) override
    {
        if (obj != nullptr)
            repainted.push_back(PaintedArea(obj));
    }
    // Whether one repaint asked for covers the area.
    bool Covered(const DocRect& area) const
    {
        const DocRect n = area.Normalized();
        return std::any_of(repainted.begin(), repainted.end(), [&n](const DocRect& r) {
            const DocRect m = r.Normalized();
            return m.left <= n.left && m.top <= n.top && m.right >= n.right && m.bottom >= n.bottom;
        });
    }
    std::vector<DocRect> repainted;
};

// A document with a view and the view's editor.
struct Report {
    TestEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    RecordingView view;
    std::unique_ptr<CTextEditView> editor;
    Report()
    {
        doc.SetView(&view);
        editor = std::make_unique<CTextEditView>(view);
        view.SetTextEditor(editor.get());
    }
    ~Report()
    {
        view.SetTextEditor(nullptr);
        editor.reset();
        doc.SetView(nullptr);
    }

    template <class T>
    T* Add(std::unique_ptr<T> obj)
    {
        return static_cast<T*>(doc.AddNoUndo(std::move(obj)));
    }
    CDrawText* AddText(const DocRect& rect = DocRect(1000, -1000, 3000, -2000))
    {
        return Add(std::make_unique<CDrawText>(&view, rect));
    }
    CDrawField* AddField(int image, int analysis, int id, const DocRect& rect = DocRect(1000, -3000, 3000, -3600))
    {
        auto field = std::make_unique<CDrawField>(&view, rect);
        CDrawField* f = Add(std::move(field));
        f->SetBinding(image, analysis, id);
        return f;
    }
    CDrawIR* AddImage(int number, const DocRect& rect = DocRect(100, -100, 4000, -3000))
    {
        auto ir = std::make_unique<CDrawIR>(&view, rect);
        ir->SetNumber(number);
        auto* p = static_cast<CDrawIR*>(doc.AddNoUndo(std::move(ir)));
        view.RebuildIRObjects();
        return p;
    }
};

// An exporter that keeps the text boxes it is given.
class RecordingExporter : public CWordExport {
public:
    void ExportLine(QPointF, QPointF, float, COLORREF) override {}
    void ExportArrow(QPointF, QPointF, float, COLORREF, const ArrowHeads&) override {}
    void ExportRectangle(float, float, float, float, float, COLORREF) override {}
    void ExportText(const TextBox& box, const TextRunList& runs) override
    {
        boxes.push_back(box);
        texts.push_back(runs);
    }
    std::vector<TextBox> boxes;
    std::vector<TextRunList> texts;
};

// The record of one object (its Serialize output).
inline QByteArray RecordOf(const CDrawObj& obj)
{
    platform::ArchiveWriter ar;
    obj.Serialize(ar);
    return ar.data();
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray Rtf(const char* body)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
                      "\\viewkind4\\uc1\\pard\\f0\\fs21 ") +
           body + "\\par\r\n}\r\n";
}

} // namespace object_test
