// The template chooser: its list, the thumbnail drawn from a layout file
// (checked pixel by pixel), the page buttons, OK's three results, and File
// > New through it, with and without the wizard.
#include "wizard_fixture.h"

#include "template_thumbnail.h"

#include <QLabel>

#include "document/draw_obj.h"
#include "skin/caption.h"
#include "skin/colors.h"
#include "skin/skin_colors.h"

#include <QPushButton>

using namespace wiztest;

namespace {

bool IsBlack(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }
bool IsBlue(QRgb c) { return qBlue(c) > 150 && qRed(c) < 120 && qGreen(c) < 120; }

int BlueIn(const QImage& image, const QRect& r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += IsBlue(image.pixel(x, y)) ? 1 : 0;
    return n;
}

// A chooser shown (initialised) without a modal loop.
struct Shown {
    Shown() { dlg.show(); }
    CTemplateSelectDlg dlg;
    void Select(int row) { dlg.List()->setCurrentRow(row); }
    void Select(const QString& text) { dlg.List()->setCurrentRow(RowOf(*dlg.List(), text)); }
    QString PageText() const { return qobject_cast<QLabel*>(dlg.GetDlgItem(CTemplateSelectDlg::kPageText))->text(); }
    bool Visible(int id) const { return !dlg.GetDlgItem(id)->isHidden(); }
};

// A layout of `pages` pages with one rectangle per page.
QString PagedLayout(const Fixture& f, const QString& name, int pages)
{
    LayoutEntries e{{"System", QStringLiteral("PageCount"), QString::number(pages)},
                    {"DrawRect", QStringLiteral("ObjCount"), QString::number(pages)}};
    for (int p = 0; p < pages; ++p)
        AddObject(e, "DrawRect", p + 1, QRect(10, 10, 50, 50), p);
    f.DummyTemplate(name + QStringLiteral(".rpm"));
    return WriteLayoutFile(f.TemplatePath(name + QStringLiteral(".ini")), e);
}


} // namespace

TEST(TemplateChooser, AnEmptyFolderListsOnlyTheEmptyReportAndOkGivesAnEmptyPath)
{
    Fixture f(false);
    ASSERT_NE(f.conv.app, nullptr);
    Shown s;
    ASSERT_EQ(s.dlg.List()->count(), 1);
    EXPECT_EQ(s.dlg.List()->item(0)->text(), QStringLiteral("创建空白报表(不使用模板)"));
    EXPECT_EQ(s.dlg.List()->currentRow(), 0);
    EXPECT_FALSE(s.dlg.GetDlgItem(CTemplateSelectDlg::kUseWizard)->isEnabled());
    EXPECT_FALSE(s.Visible(CTemplateSelectDlg::kNextPage));
    s.dlg.m_strTemplatePath = QStringLiteral("stale");
    s.dlg.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(s.dlg.result(), QDialog::Accepted);
    EXPECT_EQ(s.dlg.m_strTemplatePath, QString());
}

TEST(TemplateChooser, TemplatesAreListedByNameWithTheNewReportEntrySecond)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    f.DummyTemplate(QStringLiteral("b.RPM"));
    f.DummyTemplate(QStringLiteral("a.2013.rpm"));
    f.DummyTemplate(QStringLiteral("c.rpt"));
    Shown s;
    QStringList items;
    for (int i = 0; i < s.dlg.List()->count(); ++i)
        items << s.dlg.List()->item(i)->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("创建空白报表(不使用模板)"), QStringLiteral("创建新报表(不使用模板)"),
                                  QStringLiteral("a.2013"), QStringLiteral("b")}));
    // The new-report entry: the wizard may run, no thumbnail, OK gives NewTemp.rpt.
    s.Select(1);
    EXPECT_TRUE(s.dlg.IsNewReportEntry());
    EXPECT_TRUE(s.dlg.GetDlgItem(CTemplateSelectDlg::kUseWizard)->isEnabled());
    EXPECT_FALSE(s.dlg.IsThumbnailShown());
    s.dlg.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(s.dlg.m_strTemplatePath, f.TemplatePath(QStringLiteral("NewTemp.rpt")));
}

TEST(TemplateChooser, OkOnATemplateGivesItsRealPathAndAMissingNewTemplateFallsBack)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    PagedLayout(f, QStringLiteral("B"), 1);
    QFile::rename(f.TemplatePath(QStringLiteral("B.rpm")), f.TemplatePath(QStringLiteral("B.Rpm")));
    QFile::rename(f.TemplatePath(QStringLiteral("B.ini")), f.TemplatePath(QStringLiteral("B.ini")));
    Shown s;
    s.Select(QStringLiteral("B"));
    EXPECT_EQ(TheWizardState().strTemplateIniPath, f.TemplatePath(QStringLiteral("B.ini")));
    s.dlg.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(s.dlg.m_strTemplatePath, f.TemplatePath(QStringLiteral("B.Rpm")));

    // NewTemp.rpt deleted while the chooser is open: the message, then item 0.
    Shown t;
    QFile::remove(f.TemplatePath(QStringLiteral("NewTemp.rpt")));
    t.Select(1);
    EXPECT_EQ(f.driver.MessageIds(), std::vector<int>{61532});
    EXPECT_EQ(t.dlg.List()->currentRow(), 0);
}

TEST(TemplateChooser, AStaleLayoutIsWrittenOnceWhenTheTemplateIsFirstShown)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    convtest::TemplateBuilder t;
    t.Text(DocRect(100, -100, 3000, -800), QStringLiteral("Total"), 2);
    t.Save(f.TemplatePath(QStringLiteral("stale.rpm")));
    const QString layout = f.TemplatePath(QStringLiteral("stale.ini"));
    ASSERT_FALSE(QFile::exists(layout));
    const int windows = f.conv.WindowCount();

    Shown s;
    s.Select(QStringLiteral("stale"));
    EXPECT_EQ(LayoutFile::Load(layout).Int(u"System", QStringLiteral("Updated"), 0), 1);
    EXPECT_EQ(LayoutFile::Load(layout).TextContent(1), QStringLiteral("Total"));
    EXPECT_TRUE(s.dlg.IsThumbnailShown());

    // Current now: shown again, it is not written again.
    platform::IniFile(layout).writeString(u"System", u"Marker", u"kept");
    s.Select(0);
    s.Select(QStringLiteral("stale"));
    EXPECT_EQ(platform::IniFile(layout).readString(u"System", u"Marker"), QStringLiteral("kept"));

    // Updated = 0 (the template was saved since): written anew.
    platform::IniFile(layout).writeString(u"System", u"Updated", u"0");
    s.Select(0);
    s.Select(QStringLiteral("stale"));
    EXPECT_EQ(platform::IniFile(layout).readString(u"System", u"Marker"), QString());
    EXPECT_EQ(LayoutFile::Load(layout).Int(u"System", QStringLiteral("Updated"), 0), 1);
    EXPECT_EQ(f.conv.WindowCount(), windows); // layout mode opens no window
}

TEST(TemplateChooser, PageButtonsWrapAndThePageIsClampedForTheNextTemplate)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    PagedLayout(f, QStringLiteral("three"), 3);
    PagedLayout(f, QStringLiteral("one"), 1);
    Shown s;
    s.Select(QStringLiteral("three"));
    EXPECT_EQ(s.PageText(), QStringLiteral("1/3"));
    EXPECT_TRUE(s.Visible(CTemplateSelectDlg::kNextPage));
    EXPECT_TRUE(s.Visible(CTemplateSelectDlg::kPageText));
    s.dlg.ClickButton(CTemplateSelectDlg::kPreviousPage);
    EXPECT_EQ(s.PageText(), QStringLiteral("3/3"));
    EXPECT_EQ(s.dlg.m_nCurPage, 2);
    s.dlg.ClickButton(CTemplateSelectDlg::kNextPage);
    EXPECT_EQ(s.PageText(), QStringLiteral("1/3"));
    s.dlg.ClickButton(CTemplateSelectDlg::kPreviousPage);
    // Page 3 of one template, then a one-page template: its page 1, no buttons.
    s.Select(QStringLiteral("one"));
    EXPECT_EQ(s.dlg.m_nCurPage, 0);
    EXPECT_FALSE(s.Visible(CTemplateSelectDlg::kNextPage));
    EXPECT_FALSE(s.Visible(CTemplateSelectDlg::kPreviousPage));
    EXPECT_FALSE(s.Visible(CTemplateSelectDlg::kPageText));
}

TEST(TemplateChooser, TheThumbnailDrawsTextsTablesAndResultTablesWhereTheLayoutSays)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    LayoutEntries e{{"System", QStringLiteral("PageCount"), QStringLiteral("1")},
                    {"System", QStringLiteral("PageWidth"), QStringLiteral("800")},
                    {"System", QStringLiteral("PageHeight"), QStringLiteral("1100")},
                    {"DrawText", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawText", LayoutKey(1, "Content"), QStringLiteral("Total")},
                    {"DrawText", LayoutKey(1, "Align"), QStringLiteral("2")},
                    {"DrawText", LayoutKey(2, "Content"), QString()},
                    {"DrawTable", QStringLiteral("ObjCount"), QStringLiteral("4")},
                    {"DrawTable", LayoutKey(1, "Row"), QStringLiteral("3")},
                    {"DrawTable", LayoutKey(1, "Col"), QStringLiteral("2")},
                    // Nothing to draw a grid with: no rows, no columns, a step of 0.
                    {"DrawTable", LayoutKey(2, "Row"), QStringLiteral("0")},
                    {"DrawTable", LayoutKey(2, "Col"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(3, "Row"), QStringLiteral("4")},
                    {"DrawTable", LayoutKey(3, "Col"), QStringLiteral("0")},
                    {"DrawTable", LayoutKey(4, "Row"), QStringLiteral("1000")},
                    {"DrawTable", LayoutKey(4, "Col"), QStringLiteral("2")},
                    {"DrawResultTable", QStringLiteral("ObjCount"), QStringLiteral("1")},
                    // Far off the page and past any count worth drawing.
                    {"DrawRect", QStringLiteral("ObjCount"), QStringLiteral("2000000000")},
                    {"DrawRect", LayoutKey(1, "Left"), QStringLiteral("-2000000000")},
                    {"DrawRect", LayoutKey(1, "Width"), QStringLiteral("2147483647")},
                    {"DrawRect", LayoutKey(1, "Type"), QStringLiteral("1")}};
    AddObject(e, "DrawText", 1, QRect(100, 100, 300, 60));
    AddObject(e, "DrawText", 2, QRect(100, 200, 200, 50));
    AddObject(e, "DrawTable", 1, QRect(400, 400, 200, 300));
    AddObject(e, "DrawTable", 2, QRect(100, 300, 100, 80));
    AddObject(e, "DrawTable", 3, QRect(250, 300, 100, 80));
    AddObject(e, "DrawTable", 4, QRect(100, 800, 100, 300));
    AddObject(e, "DrawResultTable", 1, QRect(650, 100, 100, 150));
    f.DummyTemplate(QStringLiteral("probe.rpm"));
    WriteLayoutFile(f.TemplatePath(QStringLiteral("probe.ini")), e);

    Shown s;
    s.Select(QStringLiteral("probe"));
    ASSERT_TRUE(s.dlg.IsThumbnailShown());
    const QImage& page = s.dlg.PageImage();
    ASSERT_EQ(page.size(), QSize(872, 1157));
    EXPECT_EQ(ThumbnailSourceRect(s.dlg.Pages()), QRect(0, 0, 800, 1100));

    // "Total", right-aligned, no frame; the empty text has its frame only.
    EXPECT_GT(BlueIn(page, QRect(300, 100, 100, 60)), 20);
    EXPECT_EQ(BlueIn(page, QRect(100, 100, 180, 60)), 0);
    EXPECT_FALSE(IsBlack(page, 100, 130));
    EXPECT_FALSE(IsBlack(page, 250, 100));
    EXPECT_TRUE(IsBlack(page, 100, 225));
    EXPECT_TRUE(IsBlack(page, 299, 225));
    EXPECT_TRUE(IsBlack(page, 150, 200));
    EXPECT_EQ(BlueIn(page, QRect(101, 201, 198, 48)), 0);

    // 3 rows in 300 pixels: lines at Top, +100, +200, +300; columns every 100.
    for (int y : {400, 500, 600, 700})
        EXPECT_TRUE(IsBlack(page, 450, y)) << y;
    for (int y : {450, 550, 650})
        EXPECT_FALSE(IsBlack(page, 420, y)) << y;
    for (int x : {400, 500, 600})
        EXPECT_TRUE(IsBlack(page, x, 450)) << x;
    EXPECT_GT(BlueIn(page, QRect(400, 400, 200, 300)), 20); // "Table1"

    // The tables without a grid: their frame, an empty inside.
    for (const QRect& r : {QRect(100, 300, 100, 80), QRect(250, 300, 100, 80), QRect(100, 800, 100, 300)}) {
        EXPECT_TRUE(IsBlack(page, r.left(), r.center().y()));
        EXPECT_TRUE(IsBlack(page, r.center().x(), r.top()));
        EXPECT_FALSE(IsBlack(page, r.left() + 5, r.top() + 3));
    }

    // The result table: yellow, lines every 49 pixels, columns at 0, w/2, w.
    EXPECT_EQ(page.pixel(660, 110), qRgb(255, 220, 0));
    for (int y : {100, 149, 198, 247})
        EXPECT_TRUE(IsBlack(page, 660, y)) << y;
    EXPECT_FALSE(IsBlack(page, 660, 120));
    EXPECT_TRUE(IsBlack(page, 700, 120));

    // The hostile line is clipped to the page; nothing outside the sheet.
    EXPECT_EQ(page.pixel(850, 1140), qRgb(255, 255, 255));
}

TEST(TemplateChooser, FileNewMakesTheReportFromTheChosenTemplate)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    convtest::TemplateBuilder t;
    t.Text(DocRect(100, -100, 3000, -800), QStringLiteral("from the template"), 1);
    t.Save(f.TemplatePath(QStringLiteral("report.rpm")));
    f.driver.steps.push_back(Choose(QStringLiteral("report"), CDialog::kIdOk));
    const int windows = f.conv.WindowCount();
    f.conv.app->OnFileNew();
    EXPECT_EQ(f.driver.shown, std::vector<int>{150});
    ASSERT_EQ(f.conv.WindowCount(), windows + 1);
    CDI_RptView* view = f.conv.ActiveView();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->GetDocument()->GetObjects().size(), 1u);
    EXPECT_EQ(view->GetDocument()->GetPathName(), QString());

    // Cancel: no report.
    f.driver.steps.push_back([](CDialog& d) { d.ClickButton(CDialog::kIdCancel); });
    f.conv.app->OnFileNew();
    EXPECT_EQ(f.conv.WindowCount(), windows + 1);
}

TEST(TemplateChooser, TheWizardPathLeavesExactlyOneNewReport)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    convtest::TemplateBuilder t;
    t.Text(DocRect(100, -100, 3000, -800), QStringLiteral("old"), 1);
    t.Save(f.TemplatePath(QStringLiteral("wiz.rpm")));
    f.driver.steps.push_back(Choose(QStringLiteral("wiz"), CTemplateSelectDlg::kUseWizard));
    f.driver.steps.push_back([](CDialog& d) {
        EXPECT_EQ(d.GetTemplateId(), 363);
        EXPECT_FALSE(d.parentWidget()->isVisible()); // the chooser is hidden meanwhile
        d.ClickButton(CReportWizardDlg::kFinish);
    });
    f.driver.steps.push_back([](CDialog& d) { d.ClickButton(CDialog::kIdOk); });
    const int windows = f.conv.WindowCount();
    f.conv.app->OnFileNew();
    EXPECT_EQ(f.driver.shown, (std::vector<int>{150, 363, 365}));
    // No document was made in the new-document step; conversion follows.
    EXPECT_EQ(f.conv.WindowCount(), windows);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(f.conv.WindowCount(), windows + 1);
    EXPECT_EQ(f.conv.ActiveView()->GetDocument()->GetTitle(), QStringLiteral("WizardReport1"));
    EXPECT_TRUE(QFile::exists(WizardFilePath(f.conv.box.ProgramFolder())));
}

TEST(TemplateChooser, ItsOwnCaptionClosesItAndItPaintsInTheSkinsColours)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    Shown s;
    EXPECT_TRUE(s.dlg.windowFlags().testFlag(Qt::FramelessWindowHint));
    skin::CaptionBar* caption = s.dlg.GetCaption();
    EXPECT_EQ(caption->Scene().buttons, int(skin::kCloseOnly));
    EXPECT_EQ(caption->Scene().title, QStringLiteral("选择模板"));
    const skin::SkinState& skin = f.conv.app->m_skin;
    const QImage shot = s.dlg.grab().toImage();
    // The background between the buttons, and the band's bottom row.
    const QPoint free(s.dlg.width() / 2, s.dlg.height() - 12);
    EXPECT_EQ(shot.pixel(free), skin::ToQColor(skin.m_clrSkinMid).rgb());
    EXPECT_NE(shot.pixel(s.dlg.width() / 2, 2), shot.pixel(free)); // the gloss band differs
    emit caption->buttonClicked(skin::kCloseButton);
    EXPECT_FALSE(s.dlg.isVisible());
    EXPECT_EQ(s.dlg.result(), QDialog::Rejected);
}

// A damaged layout file is said when its template is chosen, not at the end
// of a wizard that cannot use it: the chooser stays open, offers no wizard
// on it, and takes another choice; paging its thumbnail says nothing again.
TEST(TemplateChooser, ADamagedLayoutIsSaidWhenItsTemplateIsChosenAndTheChooserStays)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    LayoutEntries damaged{{"System", QStringLiteral("PageCount"), QStringLiteral("2")},
                          {"DrawText", QStringLiteral("ObjCount"), QStringLiteral("20000")}};
    f.DummyTemplate(QStringLiteral("broken.rpm"));
    WriteLayoutFile(f.TemplatePath(QStringLiteral("broken.ini")), damaged);
    PagedLayout(f, QStringLiteral("good"), 1);

    Shown s;
    s.Select(QStringLiteral("broken"));
    EXPECT_EQ(f.driver.MessageIds(), std::vector<int>{61717});
    EXPECT_TRUE(s.dlg.isVisible());
    EXPECT_TRUE(s.dlg.IsLayoutDamaged());
    EXPECT_FALSE(s.dlg.GetDlgItem(CTemplateSelectDlg::kUseWizard)->isEnabled());
    s.dlg.ClickButton(CTemplateSelectDlg::kNextPage);
    s.dlg.OnUseWizard(); // refused once more, the wizard does not open
    EXPECT_EQ(f.driver.MessageIds(), (std::vector<int>{61717, 61717}));
    EXPECT_TRUE(f.driver.shown.empty());
    EXPECT_TRUE(s.dlg.isVisible());

    s.Select(QStringLiteral("good"));
    EXPECT_EQ(f.driver.MessageIds().size(), 2u);
    EXPECT_TRUE(s.dlg.GetDlgItem(CTemplateSelectDlg::kUseWizard)->isEnabled());
    s.Select(1); // the new-report entry runs its own wizard
    EXPECT_TRUE(s.dlg.GetDlgItem(CTemplateSelectDlg::kUseWizard)->isEnabled());
}
