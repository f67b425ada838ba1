// Fuzz target: the Contents archive of a report. Two programs share this
// file. The reading target (this file as it stands) checks that whatever the
// reader accepts saves, reads back and saves to the same bytes, and that an
// unchanged edit step (kind 2) and a delete step of every object undo to the
// same bytes too (after a first undo for objects that measure again); it
// draws nothing, so it runs many inputs a second. The drawing target
// (REPORT_FUZZ_DRAWING defined, contents_draw_fuzzer.cpp) selects, hit tests
// and draws every page of what the reader accepts.
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

#ifndef REPORT_FUZZ_DRAWING
// Selects and deletes every object in one undo step, undoes it and returns
// what the document then saves.
QByteArray DeleteAllAndUndo(CDI_RptDoc& doc, DrawView& view)
{
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
    return doc.StoreContents();
}
#else
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
#endif

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

#ifdef REPORT_FUZZ_DRAWING

namespace {

void Exercise(CDI_RptDoc& doc, DrawView& view, DocumentEnvironment& env)
{
    for (CDrawObj* obj : doc.GetObjects()) {
        view.Select(obj, true);
        obj->HitTest(QPoint(10, -10), &view, true, 0);
    }
    DrawPages(doc, view);
    // What drawing measured still saves and reads back.
    CDI_RptDoc again(&env);
    Check(again.LoadContents(doc.StoreContents()));
}

} // namespace

#else

namespace {

void Exercise(CDI_RptDoc& doc, DrawView& view, DocumentEnvironment& env)
{
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
        // Deleting every object and undoing: objects that measure again
        // settle on the first round (nothing was drawn here to measure them
        // before), and a second round changes nothing.
        const QByteArray restored = DeleteAllAndUndo(doc, view);
        Check(remeasured || restored == settled);
        Check(DeleteAllAndUndo(doc, view) == restored);
        doc.OnEditRedo();
        Check(doc.GetObjects().empty());
    }
}

} // namespace

#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QuietEnvironment env;
    CDI_RptDoc doc(&env);
    if (!doc.LoadContents(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))))
        return 0;
    DrawView view;
    doc.SetView(&view);
    Exercise(doc, view, env);
    doc.SetView(nullptr);
    return 0;
}
