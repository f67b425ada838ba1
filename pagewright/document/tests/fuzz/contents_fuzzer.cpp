// Fuzz target: the Contents archive of a report. Whatever the reader accepts
// must draw without fault, save, read back and save to the same bytes; an
// unchanged edit step (kind 2) and a delete step of every object must undo
// to the same bytes too (after a first undo for objects that measure again).
// A target that adds object classes defines REPORT_FUZZ_SETUP() (run once,
// before the first input) and includes this file.
#include "document/draw_obj.h"
#include "document/draw_view.h"
#include "document/page_dc.h"
#include "document/rpt_doc.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class QuietEnvironment : public DocumentEnvironment {
public:
    int MessageBox(const QString&, int, int) override { return kAnswerNo; }
};

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void DrawPages(CDI_RptDoc& doc, DrawView& view)
{
    QImage image(40, 56, QImage::Format_RGB32);
    QPainter painter(&image);
    PageMapping mapping = PageMapping::ForZoom(0.05);
    mapping.windowOrigin = QPoint(0, -105);
    PageDC dc(painter, mapping);
    for (int page = 0; page < doc.GetPageCount() && page < 4; ++page) {
        doc.SetCurPage(page);
        doc.Draw(dc, &view);
        doc.ObjectAt(QPoint(100, -200));
    }
    doc.SetCurPage(0);
}

} // namespace

#ifndef REPORT_FUZZ_SETUP
#define REPORT_FUZZ_SETUP()
#endif

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    REPORT_FUZZ_SETUP();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QuietEnvironment env;
    CDI_RptDoc doc(&env);
    if (!doc.LoadContents(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))))
        return 0;
    DrawView view;
    doc.SetView(&view);
    for (CDrawObj* obj : doc.GetObjects()) {
        view.Select(obj, true);
        obj->HitTest(QPoint(10, -10), &view, true, 0);
    }
    DrawPages(doc, view);

    const QByteArray stored = doc.StoreContents();
    {
        CDI_RptDoc again(&env);
        Check(again.LoadContents(stored));
        Check(again.StoreContents() == stored);
    }

    bool allRestorable = true;
    bool remeasured = false; // classes that measure again after undo
    for (const CDrawObj* obj : doc.GetObjects()) {
        allRestorable = allRestorable && obj->UndoTypeCode() != kUndoTypeNone;
        remeasured = remeasured || obj->GetRuntimeClass().afterUndoRead != nullptr;
    }
    if (allRestorable && doc.GetVersion() == doc.GetProgVersion()) {
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
        doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
        doc.OnEditUndo();
        // Objects that measure again after undo may store other statistics
        // than a hostile input held; from then on nothing may change.
        const QByteArray settled = doc.StoreContents();
        Check(remeasured || settled == stored);
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
        doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
        doc.OnEditUndo();
        Check(doc.StoreContents() == settled);
        for (CDrawObj* obj : doc.GetObjects())
            view.Select(obj, true);
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoDelete);
        doc.SaveUndoSnapshot(CDI_RptDoc::kUndoDelete);
        const std::vector<CDrawObj*> all = doc.GetObjects();
        for (CDrawObj* obj : all) {
            doc.Remove(obj);
            obj->Remove();
        }
        doc.OnEditUndo();
        Check(doc.StoreContents() == settled);
        doc.OnEditRedo();
        Check(doc.GetObjects().empty());
    }
    doc.SetView(nullptr);
    return 0;
}
