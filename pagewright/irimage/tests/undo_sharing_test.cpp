// Undo snapshots of an image share the listed files' bytes through the
// document's store instead of copying them into every slot.
#include "irimage/draw_ir.h"

#include "test_support.h"

#include "document/draw_view.h"
#include "document/rpt_doc.h"

#include <gtest/gtest.h>

using namespace irtest;

namespace {

struct UndoReport {
    TestEnvironment env;
    CDI_RptDoc doc{&env, &Registry()};
    DrawView view;
    CDrawIR* ir = nullptr;

    explicit UndoReport(int files)
    {
        doc.SetView(&view);
        for (int i = 0; i < files; ++i)
            env.dataFiles << Fixture(i % 2 == 0 ? "k4_320.vni" : "k8.vni");
        ir = static_cast<CDrawIR*>(doc.AddNoUndo(std::make_unique<CDrawIR>(&view, DocRect(0, 0, 3000, -2000))));
        EXPECT_TRUE(ir->LoadIRFileEx(env.dataFiles[0]));
        view.Select(ir);
    }
    ~UndoReport() { doc.SetView(nullptr); }

    void Step(float emissivity)
    {
        doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
        ir->m_fEmissivity = emissivity;
        doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
    }
    CDrawIR* Image() const { return static_cast<CDrawIR*>(doc.GetObjects().at(0)); }
};

} // namespace

TEST(UndoSharing, SlotsHoldKeysAndTheStoreHoldsEachFileOnce)
{
    UndoReport r(12);
    ASSERT_EQ(r.ir->FileCount(), 12);
    for (int i = 0; i < 40; ++i)
        r.Step(0.5f + 0.01f * float(i));
    // Each listed file once for all 80 snapshots; the shown copy is the
    // current entry's bytes.
    const SharedByteStore& store = r.doc.SnapshotStore();
    std::size_t listed = 0;
    for (const IRFileEntry& e : r.ir->Files())
        listed += e.Length();
    EXPECT_EQ(store.BlockCount(), 12u);
    EXPECT_EQ(store.ByteCount(), listed);
    std::size_t slotBytes = 0;
    for (int i = 0; i < CDI_RptDoc::kUndoSlots; ++i)
        slotBytes += static_cast<std::size_t>(r.doc.UndoSlot(i).GetLength() + r.doc.RedoSlot(i).GetLength());
    EXPECT_LT(slotBytes, std::size_t(60) * 8000) << "no slot holds a file";

    r.doc.OnEditUndo();
    CDrawIR* back = r.Image();
    EXPECT_FLOAT_EQ(back->m_fEmissivity, 0.5f + 0.01f * 38);
    EXPECT_TRUE(back->HasImage());
    EXPECT_EQ(back->Files()[1].bytes, ReadAll(Fixture("k8.vni")));
    EXPECT_EQ(back->Image().FileCopy(), ReadAll(Fixture("k4_320.vni")));
    r.doc.OnEditRedo();
    EXPECT_FLOAT_EQ(r.Image()->m_fEmissivity, 0.5f + 0.01f * 39);

    // A reset releases every key.
    r.doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 0);
    EXPECT_EQ(store.BlockCount(), 0u);
}

TEST(UndoSharing, ChangedBytesAndDeletedImagesComeBack)
{
    UndoReport r(4);
    const QByteArray original = r.ir->Files()[0].bytes;
    r.doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
    r.ir->SetPalette(7);
    r.doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
    EXPECT_EQ(r.ir->Files()[0].bytes[36], 7);
    r.doc.OnEditUndo();
    EXPECT_EQ(r.Image()->Files()[0].bytes, original) << "the slot kept the bytes before the patch";
    EXPECT_EQ(r.Image()->Image().PaletteIndex(), 3);
    r.doc.OnEditRedo();
    EXPECT_EQ(r.Image()->Files()[0].bytes[36], 7);
    EXPECT_EQ(r.Image()->Image().PaletteIndex(), 7);

    const QByteArray before = r.doc.StoreContents();
    r.view.Select(r.Image());
    r.doc.SaveRedoSnapshot(CDI_RptDoc::kUndoDelete);
    r.doc.SaveUndoSnapshot(CDI_RptDoc::kUndoDelete);
    CDrawIR* gone = r.Image();
    r.doc.Remove(gone);
    gone->Remove();
    ASSERT_TRUE(r.doc.GetObjects().empty());
    r.doc.OnEditUndo();
    ASSERT_EQ(r.doc.GetObjects().size(), 1u);
    EXPECT_EQ(r.doc.StoreContents(), before);
    EXPECT_TRUE(r.Image()->HasImage());
}

TEST(UndoSharing, TheStoreCountsReferences)
{
    SharedByteStore store;
    const QByteArray a(1000, 'a');
    const QByteArray copyOfA = a; // the same data
    const QByteArray b(1000, 'a'); // equal bytes, other data
    const auto ka = store.Put(a);
    EXPECT_EQ(store.Put(copyOfA), ka);
    const auto kb = store.Put(b);
    EXPECT_NE(kb, ka);
    EXPECT_EQ(store.Put(QByteArray()), SharedByteStore::kEmpty);
    EXPECT_EQ(store.References(ka), 2u);
    store.Release(ka);
    ASSERT_TRUE(store.Get(ka).has_value());
    store.Release(ka);
    EXPECT_FALSE(store.Get(ka).has_value());
    EXPECT_EQ(store.BlockCount(), 1u);
    store.Release(999);
    EXPECT_EQ(store.Get(SharedByteStore::kEmpty), QByteArray());
}
