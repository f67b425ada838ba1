// Message boxes: where a shown box opens, before and after the main window
// is there to open over.
#include "test_support.h"

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
