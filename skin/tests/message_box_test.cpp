// Message boxes: where a shown box opens, before and after the main window
// is there to open over.
#include "test_support.h"

#include "skin/dialog_base.h"
#include "skin/message_box.h"
#include "skin/window_placement.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Shows a box as the programs do and returns where it stood while open.
QRect OpenedBoxGeometry()
{
    QRect seen;
    std::function<void()> look;
    look = [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) {
            QTimer::singleShot(10, look);
            return;
        }
        seen = box->frameGeometry();
        static_cast<QMessageBox*>(box)->accept();
    };
    QTimer::singleShot(0, look);
    AfxMessageBox(QStringLiteral("A message long enough to give the box some width"), MB_OK);
    return seen;
}

class PlainDialog : public CDialog {
public:
    explicit PlainDialog(QWidget* parent) : CDialog(100, parent) { setFixedSize(240, 160); }

protected:
    bool DoDataExchange(bool) override { return true; }
};

// Runs a dialog modally and returns where it stood while open.
QRect OpenedDialogGeometry(CDialog& dialog)
{
    QRect seen;
    QTimer::singleShot(0, &dialog, [&] {
        seen = dialog.frameGeometry();
        dialog.done(QDialog::Rejected);
    });
    dialog.DoModal();
    return seen;
}

class MessageBoxPlacement : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        SetMessageBoxHook({});
        screen = QGuiApplication::primaryScreen()->availableGeometry();
    }
    void TearDown() override { SetMessageBoxParent(nullptr); }

    QRect screen;
};

} // namespace

// The start-up shows its messages before the main window: they open in the
// middle of the screen, not at the corner where the hidden window waits;
// once the window is shown they open over it.
TEST_F(MessageBoxPlacement, BoxesOpenOverTheShownMainWindowElseMidScreen)
{
    QWidget frame;
    frame.setGeometry(0, 0, 300, 200);
    struct Case {
        const char* what;
        QWidget* parent;
        bool shown;
    };
    const Case cases[] = {
        {"no main window", nullptr, false},
        {"main window not yet shown", &frame, false},
        {"main window shown", &frame, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetMessageBoxParent(c.parent);
        if (c.shown) {
            frame.show();
            frame.setGeometry(QRect(screen.center() + QPoint(60, 40) - QPoint(180, 130), QSize(360, 260)));
        }
        const QRect box = OpenedBoxGeometry();
        ASSERT_TRUE(box.isValid());
        const QPoint expected = c.shown ? frame.frameGeometry().center() : screen.center();
        EXPECT_LE((box.center() - expected).manhattanLength(), 4)
            << box.center().x() << "," << box.center().y() << " expected " << expected.x() << "," << expected.y();
        EXPECT_TRUE(screen.contains(box)) << "inside the screen";
    }
}

// A window larger than the screen keeps its top-left corner on it.
TEST_F(MessageBoxPlacement, ALargeWindowStaysOnTheScreen)
{
    const QPoint corner = skin::CentredPosition(screen.size() + QSize(400, 400), nullptr);
    EXPECT_EQ(corner, screen.topLeft());
    const QPoint small = skin::CentredPosition(QSize(100, 50), nullptr);
    EXPECT_EQ(small, screen.center() - QPoint(50, 25));
}

// Every dialog run opens over its parent while that is shown, else over the
// main window: a chooser without a parent, and a wizard whose parent (the
// chooser) hides while it runs, the second run as the first.
TEST_F(MessageBoxPlacement, DialogsOpenOverTheirShownParentElseTheMainWindow)
{
    QWidget frame;
    frame.show();
    frame.setGeometry(QRect(screen.center() + QPoint(80, 50) - QPoint(200, 150), QSize(400, 300)));
    SetMessageBoxParent(&frame);
    QWidget hiddenOwner;
    hiddenOwner.setGeometry(0, 0, 50, 50);
    hiddenOwner.show();
    hiddenOwner.hide();
    QWidget otherOwner;
    otherOwner.show();
    otherOwner.setGeometry(QRect(screen.topLeft() + QPoint(20, 20), QSize(300, 260)));

    PlainDialog chooser(nullptr);
    PlainDialog wizard(&hiddenOwner);
    PlainDialog property(&otherOwner);
    const struct {
        const char* what;
        CDialog* dialog;
        QPoint over;
    } cases[] = {
        {"no parent", &chooser, frame.frameGeometry().center()},
        {"hidden parent", &wizard, frame.frameGeometry().center()},
        {"hidden parent, second run", &wizard, frame.frameGeometry().center()},
        {"shown parent", &property, otherOwner.frameGeometry().center()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QRect opened = OpenedDialogGeometry(*c.dialog);
        ASSERT_TRUE(opened.isValid());
        EXPECT_LE((opened.center() - c.over).manhattanLength(), 4)
            << opened.center().x() << "," << opened.center().y() << " expected " << c.over.x() << "," << c.over.y();
        c.dialog->move(screen.topLeft()); // moved away: the next run opens over its window again
    }
}
