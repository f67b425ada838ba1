// Icons made on first use: nothing is made while widgets only lay
// themselves out, the first real use makes the icon once for all copies,
// and the lazy icon then answers exactly as the icon made.
#include "test_support.h"

#include "skin/lazy_icon.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QIcon redSquare()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    return QIcon(pm);
}

TEST(LazyIcon, IsMadeOnceWhenFirstShownNotWhileLaidOut)
{
    EnsureQApplication();
    int made = 0;
    const QIcon icon = skin::LazyIcon([&made] { ++made; return redSquare(); }, true);
    QAction action;
    action.setIcon(icon);
    QToolButton button;
    button.setDefaultAction(&action);
    button.setIconSize(QSize(16, 16));
    const QSize hint = button.sizeHint();
    EXPECT_FALSE(action.icon().isNull());
    EXPECT_EQ(made, 0) << "laid out without making the icon";

    const QIcon copy = action.icon();
    const QImage shown = copy.pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32), redSquare().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(icon.actualSize(QSize(32, 32)), QSize(16, 16));
    QImage canvas(20, 20, QImage::Format_ARGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    icon.paint(&painter, QRect(2, 2, 16, 16));
    painter.end();
    EXPECT_EQ(canvas.pixel(10, 10), QColor(Qt::red).rgb());
    EXPECT_EQ(made, 1) << "made once for every copy";
    EXPECT_EQ(button.sizeHint(), hint) << "the same layout once made";
}

TEST(LazyIcon, WithoutThePromiseIsNullAsksTheIconMade)
{
    EnsureQApplication();
    struct Case {
        bool madeNull;
    };
    for (const Case c : {Case{true}, Case{false}}) {
        int made = 0;
        const QIcon icon = skin::LazyIcon([&] {
            ++made;
            return c.madeNull ? QIcon() : redSquare();
        });
        EXPECT_EQ(made, 0);
        EXPECT_EQ(icon.isNull(), c.madeNull);
        EXPECT_EQ(made, 1);
        EXPECT_EQ(icon.pixmap(QSize(16, 16)).isNull(), c.madeNull);
        EXPECT_EQ(made, 1);
    }
}

} // namespace
