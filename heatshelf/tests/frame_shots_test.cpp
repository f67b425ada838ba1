// Screenshots of the main window in every theme, with the About and rename
// boxes, and probes of the caption's outline and bevel.
#include "app_test_support.h"

#include "rename_dlg.h"
#include "resource_ids.h"

#include "heatshelf/about_dlg.h"
#include "skin/colors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

using namespace heatshelf;

TEST(FrameShots, EveryThemePaintsCaptionOutlineAndBevelInTheDarkShade)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    CMainFrame* frame = app->MainFrame();
    frame->resize(800, 560);
    frame->show();
    QApplication::processEvents();
    for (int theme = 0; theme <= 7; ++theme) {
        if (theme < 6)
            frame->RunCommand(32777 + theme);
        else
            app->GetTheme().ApplySkinColor(theme == 6 ? app->GetTheme().ThemePresets()[6] : RGB(200, 120, 60));
        QApplication::processEvents();
        const QImage shot = Grab(*frame);
        SaveShot(shot, QStringLiteral("frame-%1").arg(theme));
        const Theme& t = app->GetTheme();
        const int w = shot.width(), h = shot.height();
        for (const QPoint& p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1),
                                QPoint(3, 1), QPoint(1, 3), QPoint(2, 2), QPoint(w - 4, 1), QPoint(w - 2, 3),
                                QPoint(w - 3, 2), QPoint(w - 5, 1), QPoint(w - 2, 4)})
            EXPECT_EQ(PixelAt(shot, p.x(), p.y()), t.SkinDark()) << theme << " " << p.x() << "," << p.y();
        // The side borders and the menu bar's free end in the mid shade.
        EXPECT_EQ(PixelAt(shot, 2, h / 2), t.SkinMid()) << theme;
        EXPECT_EQ(PixelAt(shot, w - 3, h / 2), t.SkinMid()) << theme;
        EXPECT_EQ(PixelAt(shot, w - 20, frame->CaptionHeight() + 4), t.SkinMid()) << theme;
    }
}

TEST(FrameShots, AboutAndRenameBoxes)
{
    StartupSandbox box;
    auto app = box.Start();
    ASSERT_NE(app, nullptr);
    app->GetTheme().OnTheme(32779);
    const std::unique_ptr<CAboutDlg> about = app->MakeAboutBox();
    const QImage aboutShot = Grab(*about);
    SaveShot(aboutShot, QStringLiteral("about"));
    EXPECT_EQ(PixelAt(aboutShot, 0, 0), app->GetTheme().SkinDark());
    EXPECT_EQ(PixelAt(aboutShot, 30, 100), app->GetTheme().SkinMid());

    CRenameDlg rename(app->GetTheme());
    rename.m_strNewName = QStringLiteral("IR_0001.vni");
    // exec() shows the name selected; run it and accept a new name.
    QTimer::singleShot(0, &rename, [&] {
        EXPECT_EQ(rename.Edit()->text(), QStringLiteral("IR_0001.vni"));
        EXPECT_EQ(rename.Edit()->selectedText(), QStringLiteral("IR_0001.vni"));
        EXPECT_EQ(rename.Edit()->objectName(), QString::number(res::IDC_NEW_NAME));
        const QImage shot = Grab(rename);
        SaveShot(shot, QStringLiteral("rename"));
        EXPECT_EQ(PixelAt(shot, 2, 2), app->GetTheme().SkinMid());
        rename.Edit()->setText(QStringLiteral("hot.vni"));
        rename.accept();
    });
    EXPECT_EQ(rename.exec(), QDialog::Accepted);
    EXPECT_EQ(rename.m_strNewName, QStringLiteral("hot.vni"));
    // After a theme change the background is the new mid shade.
    app->GetTheme().OnTheme(32781);
    const QImage shot = Grab(rename);
    EXPECT_EQ(PixelAt(shot, 2, 2), app->GetTheme().SkinMid());
}
