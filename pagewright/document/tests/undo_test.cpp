// Undo and redo: the rings, the snapshot layout, identities by type code and
// ordinal, pages, and the steps that must be refused or abandoned.
#include "test_support.h"

#include "platform/archive_reader.h"
#include "platform/archive_writer.h"

#include <gtest/gtest.h>

using namespace rpt_test;

namespace {

// A table-like subclass of CDrawRect: type code 7, replaced on undo of a
// change, laid out after every undo read.
class FakeTable : public CDrawRect {
public:
    static const DrawClass kClass;
    FakeTable() = default;
    FakeTable(DrawView* view, const DocRect& rect) : CDrawRect(view, rect) {}
    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveWriter& ar) const override
    {
        CDrawRect::Serialize(ar);
        ar.writeI32(cells);
    }
    void Serialize(platform::ArchiveReader& ar) override
    {
        CDrawRect::Serialize(ar);
        cells = ar.readI32();
    }
    int cells = 9;
    int layouts = 0;
};
const DrawClass FakeTable::kClass{{"CDrawTable", 0, &platform::createArchiveObject<FakeTable>},
                                  &CDrawRect::kClass,
                                  &CreateDrawObjForUndo<FakeTable>,
                                  [](CDrawObj& obj, DrawView*, bool) { ++static_cast<FakeTable&>(obj).layouts; },
                                  true};

// A subclass of CDrawRect with no type code of its own (it counts as 13).
class Subshape : public CDrawRect {
public:
    static const DrawClass kClass;
    using CDrawRect::CDrawRect;
    const DrawClass& GetRuntimeClass() const override { return kClass; }
};
const DrawClass Subshape::kClass{{"CDrawSubshape", 0, &platform::createArchiveObject<Subshape>}, &CDrawRect::kClass,
                                 &CreateDrawObjForUndo<Subshape>};

class UndoTest : public ::testing::Test {
protected:
    UndoTest() : m_registry(DrawClassRegistry::MakeBasic()), m_doc(&m_env, &m_registry)
    {
        m_registry.Add(FakeTable::kClass);
        m_registry.Add(Subshape::kClass);
        m_doc.SetView(&m_view);
    }
    ~UndoTest() override { m_doc.SetView(nullptr); }

    CDrawRect* Rect(DocRect r) { return AddShape(m_doc, &m_view, CDrawRect::rectangle, r); }
    FakeTable* Table(DocRect r)
    {
        return static_cast<FakeTable*>(m_doc.AddNoUndo(std::make_unique<FakeTable>(&m_view, r)));
    }
    void Select(std::initializer_list<CDrawObj*> objects)
    {
        m_view.ClearSelection();
        for (CDrawObj* o : objects)
            m_view.Select(o, true);
    }
    // The view's delete command.
    void DeleteSelected()
    {
        m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoDelete);
        m_doc.SaveUndoSnapshot(CDI_RptDoc::kUndoDelete);
        const std::vector<CDrawObj*> selection = m_view.GetSelection();
        for (CDrawObj* o : selection) {
            m_doc.Remove(o);
            o->Remove();
        }
    }
    // An editing command on the selected objects.
    template <class F>
    void Change(std::initializer_list<CDrawObj*> objects, F edit)
    {
        Select(objects);
        m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
        edit();
        m_doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange);
    }
    // The delete-page command.
    void DeletePage()
    {
        m_view.ClearSelection();
        for (CDrawObj* o : m_doc.GetObjects()) {
            if (o->page == static_cast<std::uint32_t>(m_doc.GetCurPage()))
                m_view.Select(o, true);
        }
        m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoPageDelete);
        m_doc.SaveUndoSnapshot(CDI_RptDoc::kUndoPageDelete);
        m_doc.DeleteCurrentPage();
    }
    void NewPage(int placement, const QString& title)
    {
        m_doc.InsertPage(placement, title);
        m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoPageInsert);
        m_doc.SaveUndoSnapshot(CDI_RptDoc::kUndoPageInsert);
    }
    QByteArray State() { return m_doc.StoreContents(); }

    RecordingEnvironment m_env;
    DrawClassRegistry m_registry;
    CountingView m_view;
    CDI_RptDoc m_doc;
};

} // namespace

TEST_F(UndoTest, AddThenUndoThenRedo)
{
    Rect(DocRect(0, 0, 100, -100));
    const QByteArray before = State();
    CDrawRect* added = AddShape(m_doc, &m_view, CDrawRect::ellipse, DocRect(10, -10, 50, -50), /*undo=*/true);
    EXPECT_EQ(m_view.GetSelection(), std::vector<CDrawObj*>{added});
    EXPECT_TRUE(m_doc.IsModified());
    const QByteArray after = State();
    EXPECT_TRUE(m_doc.CanUndo());
    EXPECT_FALSE(m_doc.CanRedo());

    m_doc.OnEditUndo();
    EXPECT_EQ(State(), before);
    EXPECT_TRUE(m_view.GetSelection().empty());
    EXPECT_EQ(m_doc.GetUndoCount(), 0);
    EXPECT_EQ(m_doc.GetRedoCount(), 1);
    EXPECT_TRUE(m_doc.CanRedo());

    m_doc.OnEditRedo();
    EXPECT_EQ(State(), after);
    ASSERT_EQ(m_doc.GetObjects().size(), 2u);
    EXPECT_EQ(static_cast<CDrawRect*>(m_doc.GetObjects()[1])->shape, CDrawRect::ellipse); // back at the tail
    EXPECT_EQ(m_doc.GetObjects()[1]->GetView(), &m_view);
    EXPECT_EQ(m_doc.GetUndoCount(), 1);
    EXPECT_EQ(m_doc.GetRedoCount(), 0);
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(UndoTest, SnapshotsHoldIdentitiesAndRecordsAsLaidOut)
{
    Rect(DocRect(0, 0, 1, 1));
    CDrawRect* added = AddShape(m_doc, &m_view, CDrawRect::rectangle, DocRect(1, 2, 3, 4), true);
    // Before snapshot of an add: header, then the identity (type code,
    // ordinal, place in the list) only.
    const QByteArray before = Bytes().u32(1).u32(0).u32(0).u32(1).u32(13).u32(2).u32(1).data();
    EXPECT_EQ(m_doc.RedoSlot(0).ToByteArray().toHex(), before.toHex());
    // After snapshot: the same, then the object's record.
    platform::ArchiveWriter record;
    added->Serialize(record);
    EXPECT_EQ(m_doc.UndoSlot(1).ToByteArray().toHex(), (before + record.data()).toHex());
    EXPECT_EQ(m_doc.GetUndoIndex(), 1);

    NewPage(0, QStringLiteral("Two"));
    // Page insert: nothing after the header before, the new page's title after.
    EXPECT_EQ(m_doc.RedoSlot(1).ToByteArray().toHex(), Bytes().u32(2).u32(1).u32(3).data().toHex());
    EXPECT_EQ(m_doc.UndoSlot(2).ToByteArray().toHex(),
              Bytes().u32(2).u32(1).u32(3).u8(3).raw("Two").data().toHex());
}

TEST_F(UndoTest, DeletingTwoObjectsOfOneClassRestoresBothInPlace)
{
    std::vector<CDrawObj*> r;
    for (int i = 0; i < 5; ++i) {
        r.push_back(Rect(DocRect(i * 100, 0, i * 100 + 50, -50)));
        if (i == 2)
            m_doc.AddNoUndo(std::make_unique<CDrawPoly>(&m_view, DocRect(7, 7, 7, 7)));
    }
    const QByteArray original = State();
    Select({r[3], r[1]}); // selected out of list order
    DeleteSelected();
    const QByteArray deleted = State();
    ASSERT_EQ(m_doc.GetObjects().size(), 4u);

    m_doc.OnEditUndo();
    EXPECT_EQ(State(), original);
    m_doc.OnEditRedo();
    EXPECT_EQ(State(), deleted);
    m_doc.OnEditUndo();
    EXPECT_EQ(State(), original);
}

TEST_F(UndoTest, DeletingAPageAndUndoingBringsBackItsTitleAndObjects)
{
    BuildSampleReport(m_doc, &m_view);
    m_doc.InsertPage(0, QStringLiteral("Last"));
    AddShape(m_doc, &m_view, CDrawRect::ellipse, DocRect(1, -1, 2, -2)); // on the last page
    for (int page : {0, 2, 1}) {
        SCOPED_TRACE(page);
        m_doc.SetCurPage(page);
        const QByteArray original = State();
        const QStringList titles = m_doc.GetPageTitles();
        DeletePage();
        EXPECT_EQ(m_doc.GetPageCount(), 2);
        const QByteArray deleted = State();

        m_doc.OnEditUndo();
        EXPECT_EQ(m_doc.GetPageTitles(), titles);
        EXPECT_EQ(m_doc.GetCurPage(), page);
        EXPECT_EQ(State(), original);
        EXPECT_EQ(m_env.pageListCount, titles.size());
        m_doc.OnEditRedo();
        EXPECT_EQ(State(), deleted);
        m_doc.OnEditUndo();
        EXPECT_EQ(State(), original);
    }
}

TEST_F(UndoTest, InsertingAPageIsUndoneAndRedone)
{
    BuildSampleReport(m_doc, &m_view);
    for (int placement : {0, 1, 2, 3}) {
        SCOPED_TRACE(placement);
        m_doc.SetCurPage(1);
        const QByteArray original = State();
        NewPage(placement, QStringLiteral("Inserted"));
        const QByteArray inserted = State();
        EXPECT_EQ(m_doc.GetPageCount(), 3);
        m_doc.OnEditUndo();
        EXPECT_EQ(State(), original);
        m_doc.OnEditRedo();
        EXPECT_EQ(State(), inserted);
        m_doc.OnEditUndo();
    }
}

TEST_F(UndoTest, ThirtyOneChangesLeaveThirtyUndoableSteps)
{
    CDrawRect* rect = Rect(DocRect(0, 0, 10, -10));
    std::vector<QByteArray> states{State()};
    for (int step = 1; step <= 31; ++step) {
        Change({rect}, [&] { rect->MoveTo(DocRect(step, 0, step + 10, -10), CDrawObj::kMoveNoUndo, &m_view); });
        states.push_back(State());
    }
    EXPECT_EQ(m_doc.GetUndoCount(), 30);
    for (int undo = 1; undo <= 30; ++undo) {
        ASSERT_TRUE(m_doc.CanUndo()) << undo;
        m_doc.OnEditUndo();
        rect = static_cast<CDrawRect*>(m_doc.GetObjects()[0]);
        ASSERT_EQ(State(), states[31 - undo]) << undo;
    }
    EXPECT_FALSE(m_doc.CanUndo());
    m_doc.OnEditUndo(); // the thirty-first is refused
    EXPECT_EQ(State(), states[1]);
    for (int redo = 1; redo <= 30; ++redo) {
        ASSERT_TRUE(m_doc.CanRedo()) << redo;
        m_doc.OnEditRedo();
        ASSERT_EQ(State(), states[1 + redo]) << redo;
    }
    EXPECT_FALSE(m_doc.CanRedo());
    EXPECT_EQ(State(), states[31]);
}

TEST_F(UndoTest, ABeforeSnapshotWithoutItsAfterOverwritesNothingUndoNeeds)
{
    CDrawRect* rect = Rect(DocRect(0, 0, 10, -10));
    std::vector<QByteArray> states{State()};
    for (int step = 1; step <= 30; ++step) { // the ring is full: the next slot holds step 1
        Change({rect}, [&] { rect->MoveTo(DocRect(0, step, 10, step - 10), CDrawObj::kMoveNoUndo, &m_view); });
        states.push_back(State());
    }
    Select({rect});
    m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange); // e.g. a click that moved nothing
    rect->MoveTo(DocRect(500, 500, 600, 400), CDrawObj::kMoveNoUndo, &m_view);
    for (int undo = 1; undo <= 30; ++undo)
        m_doc.OnEditUndo();
    EXPECT_EQ(State(), states[0]);

    // Between an undo and a redo as well.
    m_doc.OnEditRedo();
    Select({m_doc.GetObjects()[0]});
    m_doc.SaveRedoSnapshot(CDI_RptDoc::kUndoChange);
    m_doc.OnEditRedo();
    m_doc.OnEditUndo();
    m_doc.OnEditUndo();
    EXPECT_EQ(State(), states[0]);
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(UndoTest, AnAfterSnapshotWithoutItsBeforeUndoesToNothing)
{
    CDrawRect* rect = Rect(DocRect(0, 0, 10, -10));
    Select({rect});
    rect->MoveTo(DocRect(5, 5, 15, -5), 0, &m_view); // records an after snapshot only
    const QByteArray moved = State();
    EXPECT_EQ(m_doc.GetUndoCount(), 1);
    m_doc.OnEditUndo();
    EXPECT_EQ(State(), moved);
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(UndoTest, MixedRectanglesAndTablesActOnTheRightObjects)
{
    CDrawRect* r1 = Rect(DocRect(0, 0, 10, -10));
    FakeTable* t1 = Table(DocRect(20, 0, 30, -10));
    CDrawRect* r2 = Rect(DocRect(40, 0, 50, -10));
    FakeTable* t2 = Table(DocRect(60, 0, 70, -10));
    CDrawRect* r3 = Rect(DocRect(80, 0, 90, -10));
    (void)r1;
    std::vector<QByteArray> states{State()};

    Change({t2, r2}, [&] {
        t2->cells = 12;
        r2->shape = CDrawRect::ellipse;
    });
    states.push_back(State());
    Select({r3, t1});
    DeleteSelected();
    states.push_back(State());
    AddShape(m_doc, &m_view, CDrawRect::line, DocRect(1, 1, 2, 2), true);
    states.push_back(State());
    m_doc.Add(std::make_unique<FakeTable>(&m_view, DocRect(3, 3, 4, 4)));
    states.push_back(State());

    for (int i = 3; i >= 0; --i) {
        m_doc.OnEditUndo();
        ASSERT_EQ(State(), states[static_cast<std::size_t>(i)]) << "undo to " << i;
    }
    // The changed table was replaced by a new one and laid out.
    auto* restored = dynamic_cast<FakeTable*>(m_doc.GetObjects()[3]);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->cells, 9);
    EXPECT_GE(restored->layouts, 1);
    for (int i = 1; i <= 4; ++i) {
        m_doc.OnEditRedo();
        ASSERT_EQ(State(), states[static_cast<std::size_t>(i)]) << "redo to " << i;
    }
    EXPECT_TRUE(m_env.messages.empty());
}

TEST_F(UndoTest, ARecordIsNeverReadIntoAnObjectOfAnotherClass)
{
    CDrawRect* plain = Rect(DocRect(0, 0, 10, -10));
    m_doc.AddNoUndo(std::make_unique<Subshape>(&m_view, DocRect(20, 0, 30, -10)));
    Change({plain}, [&] { plain->pen.color = RGB(1, 2, 3); });
    // Taken out and put back without a step: the first rectangle is now the
    // other class.
    ASSERT_TRUE(m_doc.Remove(plain));
    m_doc.AddNoUndo(std::unique_ptr<CDrawObj>(plain));
    const QByteArray before = State();

    m_doc.OnEditUndo();
    EXPECT_EQ(State(), before);
    ASSERT_EQ(m_env.messages.size(), 1u);
    EXPECT_EQ(m_env.messages[0].stringId, doc_string::kUndoReset);
    EXPECT_FALSE(m_doc.CanUndo());
    EXPECT_FALSE(m_doc.CanRedo());
}

// Stacking-order changes are steps of their own: undoing one puts the object
// back, and the steps before it still find their objects (ordinals count in
// Arrows stay at the tail of the list; an object added after an arrow goes
// before it at once, so the add's step names the new object and its undo
// takes that one away, not the arrow.
TEST_F(UndoTest, ObjectsAddedAfterAnArrowGoBeforeItAndUndoTakesTheRightOne)
{
    CDrawRect* a = Rect(DocRect(0, 0, 10, -10));
    CDrawRect* arrow = AddShape(m_doc, &m_view, CDrawRect::arrow, DocRect(0, -20, 50, -20));
    CDrawRect* b = AddShape(m_doc, &m_view, CDrawRect::ellipse, DocRect(20, 0, 30, -10), true);
    EXPECT_EQ(m_doc.GetObjects(), (std::vector<CDrawObj*>{a, b, arrow}));
    m_doc.OnEditUndo();
    ASSERT_EQ(m_doc.GetObjects().size(), 2u);
    EXPECT_EQ(m_doc.GetObjects()[1], arrow);
    m_doc.OnEditRedo();
    ASSERT_EQ(m_doc.GetObjects().size(), 3u);
    const auto* redone = dynamic_cast<const CDrawRect*>(m_doc.GetObjects()[1]);
    ASSERT_NE(redone, nullptr);
    EXPECT_EQ(redone->shape, CDrawRect::ellipse);

    // Restacking never moves an object past an arrow; a move that would
    // is no step.
    Select({a});
    EXPECT_TRUE(m_doc.MoveToFront(a));
    EXPECT_EQ(m_doc.GetObjects()[1], a);
    EXPECT_EQ(m_doc.GetObjects()[2], arrow);
    const int steps = m_doc.GetUndoCount();
    EXPECT_FALSE(m_doc.MoveForward(a));
    EXPECT_EQ(m_doc.GetUndoCount(), steps);
    EXPECT_TRUE(m_env.messages.empty());
}

// list order, so a reorder without a step would send them to the wrong one).
TEST_F(UndoTest, StackingOrderIsUndoneAndRedoneInItsPlace)
{
    CDrawRect* a = Rect(DocRect(0, 0, 10, -10));
    CDrawRect* b = Rect(DocRect(20, 0, 30, -10));
    CDrawRect* c = Rect(DocRect(40, 0, 50, -10));
    Change({a}, [&] { a->pen.color = RGB(9, 9, 9); });
    const QByteArray changed = State();
    struct Case {
        bool (CDI_RptDoc::*move)(CDrawObj*);
        CDrawRect* obj;
        std::vector<CDrawRect*> after;
    };
    const Case cases[] = {
        {&CDI_RptDoc::MoveToFront, a, {b, c, a}},
        {&CDI_RptDoc::MoveToBack, c, {c, a, b}},
        {&CDI_RptDoc::MoveForward, a, {b, a, c}},
        {&CDI_RptDoc::MoveBackward, b, {b, a, c}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(&k - cases));
        Select({k.obj});
        const int steps = m_doc.GetUndoCount();
        ASSERT_TRUE((m_doc.*k.move)(k.obj));
        EXPECT_EQ(m_doc.GetUndoCount(), steps + 1);
        EXPECT_EQ(m_doc.GetObjects(), std::vector<CDrawObj*>(k.after.begin(), k.after.end()));
        const QByteArray moved = State();
        m_doc.OnEditUndo();
        EXPECT_EQ(State(), changed);
        m_doc.OnEditRedo();
        EXPECT_EQ(State(), moved);
        m_doc.OnEditUndo();
    }
    // The older change still names the first rectangle.
    m_doc.OnEditUndo();
    EXPECT_EQ(m_doc.GetObjects()[0]->GetLogPen().color, 0u);
    EXPECT_TRUE(m_env.messages.empty());
    // At the head already: nothing moves, no step.
    const int steps = m_doc.GetUndoCount();
    EXPECT_FALSE(m_doc.MoveToBack(m_doc.GetObjects()[0]));
    EXPECT_EQ(m_doc.GetUndoCount(), steps);
}

TEST_F(UndoTest, ObjectOperationsRecordTheirOwnSteps)
{
    CDrawRect* rect = Rect(DocRect(0, 0, 10, -10));
    Select({rect});
    const QByteArray original = State();
    rect->SetLineWidth(4);
    EXPECT_EQ(m_doc.GetUndoCount(), 1);
    const QByteArray widened = State();
    m_doc.OnEditUndo();
    EXPECT_EQ(State(), original);
    m_doc.OnEditRedo();
    EXPECT_EQ(State(), widened);

    auto* poly = static_cast<CDrawPoly*>(m_doc.AddNoUndo(std::make_unique<CDrawPoly>(&m_view, DocRect())));
    Select({poly});
    const int steps = m_doc.GetUndoCount();
    poly->AddPoint(QPoint(5, 5), &m_view);
    poly->AddPoint(QPoint(5, 5), &m_view); // the same point again: no step
    EXPECT_EQ(m_doc.GetUndoCount(), steps + 1);
}

TEST_F(UndoTest, TheRedoCountBelongsToItsDocumentAndResets)
{
    CDI_RptDoc other(&m_env, &m_registry);
    AddShape(m_doc, &m_view, CDrawRect::rectangle, DocRect(0, 0, 1, 1), true);
    m_doc.OnEditUndo();
    EXPECT_EQ(m_doc.GetRedoCount(), 1);
    EXPECT_EQ(other.GetRedoCount(), 0);
    EXPECT_FALSE(other.CanRedo());

    m_doc.SaveUndoSnapshot(CDI_RptDoc::kUndoChange, nullptr, 0); // reset after a build from a template
    EXPECT_EQ(m_doc.GetRedoCount(), 0);
    EXPECT_EQ(m_doc.GetUndoCount(), 0);
    EXPECT_FALSE(m_doc.IsModified());

    AddShape(m_doc, &m_view, CDrawRect::rectangle, DocRect(0, 0, 1, 1), true);
    m_doc.OnEditUndo();
    ASSERT_TRUE(m_doc.OnNewDocument());
    EXPECT_EQ(m_doc.GetRedoCount(), 0);
    EXPECT_FALSE(m_doc.CanUndo());
}

TEST_F(UndoTest, TextBeingEditedIsUndoneByTheEditorFirst)
{
    class Editor : public InPlaceTextEditor {
    public:
        bool IsVisible() const override { return true; }
        void Hide() override {}
        bool CanUndo() const override { return canUndo; }
        void Undo() override { ++editorUndos; }
        bool canUndo = true;
        int editorUndos = 0;
    } editor;
    CountingView view;
    view.SetTextEditor(&editor);
    m_doc.SetView(&view);
    AddShape(m_doc, &view, CDrawRect::rectangle, DocRect(0, 0, 1, 1), true);
    m_doc.OnEditUndo();
    EXPECT_EQ(editor.editorUndos, 1);
    EXPECT_EQ(m_doc.GetUndoCount(), 1);
    editor.canUndo = false;
    m_doc.OnEditUndo();
    EXPECT_EQ(m_doc.GetUndoCount(), 0);
    m_doc.SetView(nullptr);
}

TEST_F(UndoTest, CommandStatesFollowTheHistory)
{
    DocCommandUI ui;
    ASSERT_TRUE(m_doc.OnUpdateCommand(CDI_RptDoc::ID_EDIT_UNDO, ui));
    EXPECT_FALSE(ui.enabled);
    AddShape(m_doc, &m_view, CDrawRect::rectangle, DocRect(0, 0, 1, 1), true);
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_EDIT_UNDO, ui);
    EXPECT_TRUE(ui.enabled);
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_EDIT_REDO, ui);
    EXPECT_FALSE(ui.enabled);
    m_doc.OnCommand(CDI_RptDoc::ID_EDIT_UNDO);
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_EDIT_REDO, ui);
    EXPECT_TRUE(ui.enabled);

    m_doc.OnUpdateCommand(CDI_RptDoc::ID_LOCK, ui);
    EXPECT_EQ(ui.text, QString::fromUtf8("锁定(&L)"));
    m_doc.OnCommand(CDI_RptDoc::ID_LOCK);
    EXPECT_TRUE(m_env.lockIndicator);
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_LOCK, ui);
    EXPECT_EQ(ui.text, QString::fromUtf8("解锁(&U)"));
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_SHOW_NUMBERS, ui);
    EXPECT_EQ(ui.text, QString::fromUtf8("隐藏编号(&H)"));
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_PREV_PAGE, ui);
    EXPECT_FALSE(ui.enabled);
    m_doc.OnUpdateCommand(CDI_RptDoc::ID_LAST_PAGE, ui);
    EXPECT_FALSE(ui.enabled);
    EXPECT_FALSE(m_doc.OnUpdateCommand(32776, ui));
}
