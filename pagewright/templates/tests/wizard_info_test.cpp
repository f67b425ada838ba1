// The wizard's end dialog: the summary of each kind of answer, the wizard
// file it writes (read back line by line by Python), a file that cannot be
// written; and the whole wizard driven from File > New to a filled report,
// with screenshots of the chooser and of every page.
#include "wizard_fixture.h"

#include "batch_fixtures.h"
#include "profile_text.h"
#include "wizard_info_dlg.h"
#include "wizard_new_report_pages.h"
#include "wizard_template_pages.h"

#include "document/draw_photo.h"
#include "document/draw_rect.h"
#include "irimage/draw_ir.h"
#include "skin/edit_list_ctrl.h"

#include <QAbstractButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QProcess>

using namespace wiztest;

namespace {

const QString kR = QStringLiteral("\r\n");

LayoutFile Layout(const LayoutEntries& entries)
{
    platform::IniDocument ini;
    for (const auto& [section, key, value] : entries)
        ini.writeString(QString::fromLatin1(section), key, value);
    return LayoutFile(ini);
}

// Two images (IRNO 1 without a photo object, IRNO 2 with photo 1), two
// texts, tables of 2 x 2 and 3 x 1 cells.
LayoutEntries TemplateLayout()
{
    LayoutEntries e{{"DrawIR", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawIR", LayoutKey(1, "IRNO"), QStringLiteral("1")},
                    {"DrawIR", LayoutKey(2, "IRNO"), QStringLiteral("2")},
                    {"DrawPhoto", QStringLiteral("ObjCount"), QStringLiteral("1")},
                    {"DrawPhoto", LayoutKey(1, "IRNO"), QStringLiteral("2")},
                    {"DrawText", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawText", LayoutKey(1, "Content"), QStringLiteral("one")},
                    {"DrawText", LayoutKey(2, "Content"), QStringLiteral("two")},
                    {"DrawTable", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(1, "Row"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(1, "Col"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(2, "Row"), QStringLiteral("3")},
                    {"DrawTable", LayoutKey(2, "Col"), QStringLiteral("1")}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            e.emplace_back("DrawTable", LayoutCellKey(1, r, c, "Content"), QStringLiteral("a%1%2").arg(r).arg(c));
    for (int r = 0; r < 3; ++r)
        e.emplace_back("DrawTable", LayoutCellKey(2, r, 0, "Content"), QStringLiteral("b%1").arg(r));
    return e;
}

// The answers of the template wizard over TemplateLayout: the second text
// changed; table 2's rows first (rows 0 to 2), then table 1's (3 and 4).
WizardState TemplateAnswers()
{
    WizardState s;
    s.strWizardReportName = QStringLiteral("Site");
    s.astrWizardIRPaths = {QStringLiteral("/data/a.VNI"), QStringLiteral("/data/b.VNI")};
    s.astrWizardPhotoPaths = {QStringLiteral("/data/a.jpg"), QStringLiteral("/data/b.jpg")};
    s.abWizardUsePhoto = {true, true};
    s.astrWizardTexts = {QStringLiteral("one"), QStringLiteral("二\n行")};
    s.nWizardTableRows = 5;
    s.nWizardTableCols = 2;
    s.aastrWizardCells = {{"b0", "--"}, {"B1", "--"}, {"b2", "--"}, {"a00", "a01"}, {"a10", "A11"}};
    return s;
}

QJsonArray PythonLines(const QString& path)
{
    const char* script = "import json, sys\n"
                         "data = open(sys.argv[1], 'rb').read().decode('gbk')\n"
                         "assert data.endswith('\\r\\n')\n"
                         "print(json.dumps(data[:-2].split('\\r\\n'), ensure_ascii=False))\n";
    QProcess py;
    py.start(QStringLiteral(TEMPLATES_TEST_PYTHON), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    EXPECT_TRUE(py.waitForFinished(60000));
    EXPECT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(py.readAllStandardOutput()).array();
}

void Shot(QWidget& w, const QString& name)
{
    QDir().mkpath(QStringLiteral(TEMPLATES_TEST_SHOTS));
    EXPECT_TRUE(w.grab().save(QStringLiteral(TEMPLATES_TEST_SHOTS "/") + name + QStringLiteral(".png")));
}

} // namespace

TEST(WizardInfo, SummariesOfTheTemplateWizard)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    const QString summary = BuildWizardSummary(TemplateAnswers(), 0, Layout(TemplateLayout()));
    const QString expected = "报表名称" + kR + " +Site" + kR +                                  //
                             kR + " +红外对象1: /data/a.VNI" + kR + " +可见光对象1: 模版限制，对象无效！" + //
                             kR + " +红外对象2: /data/b.VNI" + kR + " +可见光对象2: /data/b.jpg" +        //
                             kR + kR + "文本信息更改" + kR + "two-->二\n行" +                             //
                             kR + kR + "表格信息更改" + kR + "a11-->A11" + kR + "b1-->B1";
    EXPECT_EQ(summary, expected);
    EXPECT_EQ(summary.count(QStringLiteral("-->")), 3);
}

TEST(WizardInfo, SummariesOfTheNewReportWizard)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    WizardState s;
    s.strWizardReportName = QStringLiteral("Survey");
    s.strWizardReportTitle = QStringLiteral("T");
    s.strWizardCompany = QStringLiteral("C");
    s.strWizardDescription = QStringLiteral("D");
    s.bWizardAttributeTable = true;
    s.bWizardHistogram = true;
    const QString head = "报表名称" + kR + " +Survey" + kR + "报表标题" + kR + " +T" + kR + "公司名称" + kR + " +C" + kR +
                         "文本信息更改" + kR + " +D" + kR;
    // No images: the report data only.
    EXPECT_EQ(BuildWizardSummary(s, 1, LayoutFile()), head);

    s.nWizardImageCount = 2;
    s.astrWizardIRPaths = {QStringLiteral("/x/1.VNI"), QStringLiteral("/x/2.VNI")};
    s.astrWizardPhotoPaths = {QStringLiteral("/x/1.jpg"), QStringLiteral("/x/2.jpg")};
    s.abWizardUsePhoto = {false, true};
    s.astrWizardPageTitles = {QStringLiteral("P1"), QString()};
    s.astrWizardSections = {QString(), QStringLiteral("S2")};
    s.astrWizardDeviceNames = {QStringLiteral("D1"), QStringLiteral("D2")};
    EXPECT_EQ(BuildWizardSummary(s, 1, LayoutFile()),
              head + kR + " +红外对象1: /x/1.VNI" + kR + " +可见光对象1: " + kR + " +P1" + kR + " +D1" + //
                  kR + " +红外对象2: /x/2.VNI" + kR + " +可见光对象2: /x/2.jpg" + kR + " +S2" + kR + " +D2" + //
                  kR + kR + "+属性表" + kR + kR + "+直方图");
}

TEST(WizardInfo, OkWritesTheWizardFileInItsOrderAndAFailedWriteKeepsTheDialogOpen)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    TheWizardState() = TemplateAnswers();
    TheWizardState().strTemplateIniPath = WriteLayoutFile(f.conv.Path(QStringLiteral("t.ini")), TemplateLayout());
    const QString path = WizardFilePath(f.conv.box.ProgramFolder());

    // A folder where the file should be: the reason, and the dialog stays.
    ASSERT_TRUE(QDir().mkpath(path));
    {
        CWizardInfoDlg info;
        info.show();
        info.ClickButton(CDialog::kIdOk);
        EXPECT_TRUE(info.isVisible());
        ASSERT_EQ(f.driver.messages.size(), 1u);
        EXPECT_FALSE(f.driver.messages[0].text.isEmpty());
    }
    ASSERT_TRUE(QDir(path).removeRecursively());

    CWizardInfoDlg info;
    info.show();
    EXPECT_TRUE(info.m_strSummary.startsWith(QStringLiteral("报表名称\r\n +Site\r\n")));
    info.ClickButton(CDialog::kIdOk);
    EXPECT_EQ(info.result(), QDialog::Accepted);
    const QStringList expected = {
        "[IROBJ]", "ObjCount=2", "OBJ1_Path=/data/a.VNI", "OBJ2_Path=/data/b.VNI",
        // Image 1 has no photo object: its picture goes nowhere.
        "", "[CCDOBJ]", "OBJ1_Path=/data/b.jpg",
        "", "[TEXTOBJ]", "ObjCount=2", "OBJ1_Content=one", "OBJ2_Content=二\\n行",
        // Table 1 from rows 3 and 4, table 2 from rows 0 to 2, own columns only.
        "", "[TABLEOBJ]", "ObjCount=2", "OBJ1_0_0_Content=a00", "OBJ1_0_1_Content=a01", "OBJ1_1_0_Content=a10",
        "OBJ1_1_1_Content=A11", "OBJ2_0_0_Content=b0", "OBJ2_1_0_Content=B1", "OBJ2_2_0_Content=b2"};
    const QJsonArray lines = PythonLines(path);
    QStringList got;
    for (const QJsonValue& v : lines)
        got << v.toString();
    EXPECT_EQ(got, expected);
}

TEST(WizardEndToEnd, TheTemplateWizardFillsANewReport)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    QTemporaryDir dir;
    const QString file = batchtest::Generate(dir.filePath(QStringLiteral("IR0001.VNI")), batchtest::Size(160, 120));
    const QString picture = dir.filePath(QStringLiteral("chosen.bmp"));
    QImage chosen(30, 20, QImage::Format_RGB32);
    chosen.fill(Qt::blue);
    ASSERT_TRUE(chosen.save(picture, "BMP"));
    {
        convtest::TemplateBuilder t;
        t.Pages(2);
        t.Image(DocRect(100, -100, 4000, -3000), 1);
        t.Photo(DocRect(4200, -100, 6000, -1500), 1);
        t.Text(DocRect(100, -3200, 6000, -3600), QStringLiteral("old text"), 1);
        t.Text(DocRect(100, -3800, 6000, -4200), QStringLiteral("Total"), 2, 1);
        t.Add(std::make_unique<CDrawRect>(&t.view, DocRect(100, -4400, 3000, -6000)));
        t.Save(f.TemplatePath(QStringLiteral("plant.rpm")));
    }
    f.driver.nextFiles = {file};
    f.driver.nextPicture = picture;
    f.driver.steps.push_back([](CDialog& d) {
        auto& chooser = static_cast<CTemplateSelectDlg&>(d);
        chooser.List()->setCurrentRow(RowOf(*chooser.List(), QStringLiteral("plant")));
        Shot(chooser, QStringLiteral("chooser_thumbnail"));
        chooser.ClickButton(CTemplateSelectDlg::kUseWizard);
    });
    f.driver.steps.push_back([](CDialog& d) {
        auto& w = static_cast<CReportWizardDlg&>(d);
        CWizardIRPage* images = w.IRPage();
        images->OnChooseFile();
        static_cast<QAbstractButton*>(images->GetDlgItem(CWizardImagePage::kUsePhoto))->click();
        images->OnChoosePicture();
        Shot(w, QStringLiteral("template_wizard_page1"));
        w.ClickButton(CReportWizardDlg::kNext);
        const QString text = QStringLiteral("new text");
        w.TextPage()->List()->EndLabelEdit(0, 0, &text);
        w.findChild<QLineEdit*>(QString::number(CWizardTextPage::kReportName))->setText(QStringLiteral("Plant report"));
        Shot(w, QStringLiteral("template_wizard_page2"));
        w.ClickButton(CReportWizardDlg::kNext);
        Shot(w, QStringLiteral("template_wizard_page3"));
        w.ClickButton(CReportWizardDlg::kFinish);
    });
    f.driver.steps.push_back([](CDialog& d) {
        Shot(d, QStringLiteral("template_wizard_end"));
        d.ClickButton(CDialog::kIdOk);
    });
    const int windows = f.conv.WindowCount();
    f.conv.app->OnFileNew();
    QCoreApplication::processEvents();
    ASSERT_EQ(f.conv.WindowCount(), windows + 1);
    CDI_RptView* view = f.conv.ActiveView();
    CDI_RptDoc& doc = *view->GetDocument();
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Plant report"));
    std::vector<QString> texts;
    bool imageLoaded = false, photoChosen = false;
    for (CDrawObj* o : doc.GetObjects()) {
        if (auto* image = dynamic_cast<CDrawIR*>(o))
            imageLoaded = image->HasImage() && image->ImageWidth() == 160;
        else if (auto* photo = dynamic_cast<CDrawPhoto*>(o))
            photoChosen = photo->HasPicture() && photo->Picture().GetWidth() == 30;
        else if (auto* text = dynamic_cast<CDrawText*>(o)) {
            QString plain;
            int align = 0;
            text->GetPlainText(view, plain, align);
            texts.push_back(plain);
        }
    }
    EXPECT_TRUE(imageLoaded);
    EXPECT_TRUE(photoChosen);
    EXPECT_EQ(texts, (std::vector<QString>{QStringLiteral("new text"), QStringLiteral("Total")}));
}

TEST(WizardEndToEnd, TheNewReportWizardBuildsAReportOfItsImages)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    QTemporaryDir dir;
    const QString a = batchtest::Generate(dir.filePath(QStringLiteral("A.VNI")), batchtest::Size(160, 120) << QStringLiteral("--photo"));
    const QString b = batchtest::Generate(dir.filePath(QStringLiteral("B.VNI")), batchtest::Size(200, 150));
    f.driver.nextFiles = {a, b};
    f.driver.steps.push_back([](CDialog& d) {
        auto& chooser = static_cast<CTemplateSelectDlg&>(d);
        chooser.List()->setCurrentRow(1);
        chooser.ClickButton(CTemplateSelectDlg::kUseWizard);
    });
    f.driver.steps.push_back([](CDialog& d) {
        auto& w = static_cast<CReportWizardDlg&>(d);
        w.findChild<QLineEdit*>(QString::number(CWizardReportInfoPage::kFileName))->setText(QStringLiteral("Survey"));
        Shot(w, QStringLiteral("new_report_wizard_page1"));
        w.ClickButton(CReportWizardDlg::kNext);
        w.IRListPage()->OnAdd();
        w.IRListPage()->findChild<QLineEdit*>(QString::number(CWizardIRListPage::kPageTitle))->setText(QStringLiteral("B page"));
        Shot(w, QStringLiteral("new_report_wizard_page2"));
        w.ClickButton(CReportWizardDlg::kNext);
        Shot(w, QStringLiteral("new_report_wizard_page3"));
        w.ClickButton(CReportWizardDlg::kFinish);
    });
    f.driver.steps.push_back([](CDialog& d) {
        Shot(d, QStringLiteral("new_report_wizard_end"));
        d.ClickButton(CDialog::kIdOk);
    });
    const int windows = f.conv.WindowCount();
    f.conv.app->OnFileNew();
    QCoreApplication::processEvents();
    ASSERT_EQ(f.conv.WindowCount(), windows + 1);
    CDI_RptDoc& doc = *f.conv.ActiveView()->GetDocument();
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("Survey"));
    EXPECT_EQ(doc.GetPageCount(), 3); // the cover and a page per image
    int images = 0;
    for (CDrawObj* o : doc.GetObjects())
        images += dynamic_cast<CDrawIR*>(o) != nullptr ? 1 : 0;
    EXPECT_EQ(images, 2);
    EXPECT_EQ(WizardFile::Load(WizardFilePath(f.conv.box.ProgramFolder())).PageTitle(2), QStringLiteral("B page"));
}
