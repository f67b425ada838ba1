// The wizard's pages: images with and without photo objects and photos of
// their own, the text and table pages, the new-report image list (add,
// move, delete, texts), and the object checks.
#include "wizard_fixture.h"

#include "batch_fixtures.h"
#include "wizard_new_report_pages.h"
#include "wizard_template_pages.h"

#include "platform/dib_image.h"
#include "platform/recording_voice_player.h"
#include "skin/edit_list_ctrl.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace wiztest;

namespace {

// Camera files made once: with a photo of their own and without.
struct Files {
    QTemporaryDir dir;
    QString withPhoto, plain, other, bad;
    Files()
    {
        withPhoto = batchtest::Generate(dir.filePath(QStringLiteral("photo.VNI")), batchtest::Size(160, 120) << QStringLiteral("--photo"));
        plain = batchtest::Generate(dir.filePath(QStringLiteral("plain.VNI")), batchtest::Size(200, 150));
        other = batchtest::Generate(dir.filePath(QStringLiteral("other.VNI")), batchtest::Size(120, 90));
        bad = dir.filePath(QStringLiteral("bad.VNI"));
        QFile f(bad);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no camera file");
        picture = dir.filePath(QStringLiteral("picture.bmp"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(picture, "BMP");
    }
    QString picture;
};

const Files& TheFiles()
{
    static const Files files;
    return files;
}

// A wizard of a mode on the layout file at path, shown.
struct Wizard {
    Wizard(int mode, const QString& layoutPath)
    {
        TheWizardState().strTemplateIniPath = layoutPath;
        w.m_nMode = mode;
        w.show();
    }
    QWidget owner;
    CReportWizardDlg w{&owner};
};

template <class T>
T* Item(QWidget* page, int id)
{
    return qobject_cast<T*>(static_cast<CDialog*>(page)->GetDlgItem(id));
}

QStringList Row(const QTableWidget& list, int r)
{
    QStringList cells;
    for (int c = 0; c < list.columnCount(); ++c)
        cells << (list.item(r, c) != nullptr ? list.item(r, c)->text() : QString());
    return cells;
}

} // namespace

TEST(WizardPages, ImagesGetPicturesOnlyThroughTheirOwnPhotoObjectAndFilesAreExtractedOnce)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    // Image 1 (IRNO 5) without a photo object, image 2 (IRNO 7) with one.
    LayoutEntries e{{"DrawIR", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawIR", LayoutKey(1, "IRNO"), QStringLiteral("5")},
                    {"DrawIR", LayoutKey(2, "IRNO"), QStringLiteral("7")},
                    {"DrawPhoto", QStringLiteral("ObjCount"), QStringLiteral("1")},
                    {"DrawPhoto", LayoutKey(1, "IRNO"), QStringLiteral("7")}};
    AddObject(e, "DrawIR", 1, QRect(0, 0, 10, 10), 0);
    AddObject(e, "DrawIR", 2, QRect(0, 0, 10, 10), 2);
    Wizard wiz(0, WriteLayoutFile(f.conv.Path(QStringLiteral("t.ini")), e));
    CWizardIRPage* page = wiz.w.IRPage();
    ASSERT_NE(page, nullptr);
    auto* check = Item<QCheckBox>(page, CWizardImagePage::kUsePhoto);
    auto* pictureButton = Item<QPushButton>(page, CWizardImagePage::kChoosePicture);
    ASSERT_EQ(page->List()->count(), 2);
    EXPECT_EQ(page->List()->item(1)->text(), QStringLiteral("红外对象2"));
    EXPECT_EQ(Item<QLabel>(page, CWizardIRPage::kInPage)->text(), QStringLiteral("1"));

    // Image 1: no photo object, so no picture controls.
    f.driver.nextFiles = {TheFiles().plain};
    page->OnChooseFile();
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(pictureButton->isEnabled());
    EXPECT_EQ(page->FieldText(CWizardImagePage::kSize), QStringLiteral("200 * 150"));
    EXPECT_EQ(TheWizardState().astrWizardIRPaths, (QStringList{TheFiles().plain, QString()}));

    // Image 2: its photo object allows a picture once the check is set.
    page->List()->setCurrentRow(1);
    EXPECT_EQ(Item<QLabel>(page, CWizardIRPage::kInPage)->text(), QStringLiteral("3"));
    page->OnChooseFile();
    EXPECT_TRUE(check->isEnabled());
    EXPECT_FALSE(pictureButton->isEnabled());
    check->click();
    EXPECT_TRUE(pictureButton->isEnabled());
    EXPECT_TRUE(TheWizardState().UsePhoto(1));
    f.driver.nextPicture = TheFiles().picture;
    page->OnChoosePicture();
    EXPECT_EQ(TheWizardState().astrWizardPhotoPaths.value(1), TheFiles().picture);

    // Repaints and selection changes extract nothing again.
    const int extracted = page->Cache().ExtractionCount();
    EXPECT_EQ(extracted, 1);
    page->List()->setCurrentRow(0);
    page->List()->setCurrentRow(1);
    page->ShowCurrentImage();
    page->repaint();
    EXPECT_EQ(page->Cache().ExtractionCount(), extracted);

    // A file with a photo of its own: picture controls off, its photo shown.
    f.driver.nextFiles = {TheFiles().withPhoto};
    page->OnChooseFile();
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(pictureButton->isEnabled());
    const QImage shot = page->Preview()->grab().toImage();
    const QRect quarter = page->Preview()->PhotoArea();
    EXPECT_NE(shot.pixel(quarter.center()), shot.pixel(page->Preview()->ImageArea().topLeft() + QPoint(2, 2)));

    // No infrared file: the message, and the entry is cleared.
    f.driver.nextFiles = {TheFiles().bad};
    page->OnChooseFile();
    EXPECT_EQ(f.driver.MessageIds(), std::vector<int>{61515});
    EXPECT_EQ(TheWizardState().astrWizardIRPaths.value(1), QString());
    EXPECT_EQ(TheWizardState().astrWizardPhotoPaths.value(1), QString());
    EXPECT_EQ(page->FieldText(CWizardImagePage::kDate), QString());
}

TEST(WizardPages, ATemplateWithoutImagesOffersNoFileChoice)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    Wizard wiz(0, WriteLayoutFile(f.conv.Path(QStringLiteral("none.ini")), {}));
    CWizardIRPage* page = wiz.w.IRPage();
    EXPECT_EQ(page->List()->count(), 0);
    EXPECT_EQ(Item<QLabel>(page, CWizardIRPage::kInPage)->text(), QString());
    EXPECT_FALSE(page->GetDlgItem(CWizardImagePage::kChooseFile)->isEnabled());
    EXPECT_FALSE(page->GetDlgItem(CWizardImagePage::kUsePhoto)->isEnabled());
    EXPECT_TRUE(TheWizardState().astrWizardIRPaths.isEmpty());
    // The table page of a template without tables has no columns to share 500 pixels.
    EXPECT_EQ(wiz.w.TablePage()->List()->columnCount(), 0);
    EXPECT_EQ(TheWizardState().nWizardTableRows, 0);

    // Nor has one whose tables have no columns: their rows are counted, no cell is listed.
    Wizard zero(0, WriteLayoutFile(f.conv.Path(QStringLiteral("zero.ini")),
                                   {{"DrawTable", QStringLiteral("ObjCount"), QStringLiteral("1")},
                                    {"DrawTable", LayoutKey(1, "Row"), QStringLiteral("2")},
                                    {"DrawTable", LayoutKey(1, "Col"), QStringLiteral("0")}}));
    EXPECT_EQ(zero.w.TablePage()->List()->columnCount(), 0);
    EXPECT_EQ(zero.w.TablePage()->List()->rowCount(), 0);
    EXPECT_EQ(TheWizardState().nWizardTableRows, 2);
    EXPECT_EQ(TheWizardState().Cell(1, 0), QString());
}

TEST(WizardPages, TextsAndTablesAreListedAndEditsReachTheWizardState)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    LayoutEntries e{{"DrawText", QStringLiteral("ObjCount"), QStringLiteral("2")},
                    {"DrawText", LayoutKey(1, "Content"), QStringLiteral("first\\nline")},
                    {"DrawText", LayoutKey(2, "Content"), QString()},
                    {"DrawTable", QStringLiteral("ObjCount"), QStringLiteral("3")},
                    {"DrawTable", LayoutKey(1, "Row"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(1, "Col"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(2, "Row"), QStringLiteral("3")},
                    {"DrawTable", LayoutKey(2, "Col"), QStringLiteral("4")},
                    {"DrawTable", LayoutKey(3, "Row"), QStringLiteral("2")},
                    {"DrawTable", LayoutKey(3, "Col"), QStringLiteral("0")}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            e.emplace_back("DrawTable", LayoutCellKey(1, r, c, "Content"), QStringLiteral("a%1%2").arg(r).arg(c));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            e.emplace_back("DrawTable", LayoutCellKey(2, r, c, "Content"), QStringLiteral("b%1%2").arg(r).arg(c));
    Wizard wiz(0, WriteLayoutFile(f.conv.Path(QStringLiteral("tables.ini")), e));

    CEditListCtrl* texts = wiz.w.TextPage()->List();
    ASSERT_EQ(texts->rowCount(), 2);
    EXPECT_EQ(texts->horizontalHeaderItem(0)->text(), QStringLiteral("TEXT"));
    EXPECT_EQ(texts->columnWidth(0), 500);
    EXPECT_EQ(Row(*texts, 0), QStringList{QStringLiteral("first\nline")});
    EXPECT_EQ(Row(*texts, 1), QStringList{QString()});
    const QString edited = QStringLiteral("新的");
    texts->EndLabelEdit(1, 0, &edited);
    EXPECT_EQ(TheWizardState().astrWizardTexts, (QStringList{QStringLiteral("first\nline"), edited}));

    CEditListCtrl* cells = wiz.w.TablePage()->List();
    ASSERT_EQ(cells->columnCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(cells->columnWidth(c), 125);
    // The last table first, each table's rows in order; cells a table does
    // not have read "--" (table 3 has none at all).
    ASSERT_EQ(cells->rowCount(), 7);
    EXPECT_EQ(TheWizardState().nWizardTableRows, 7);
    EXPECT_EQ(Row(*cells, 0), (QStringList{"--", "--", "--", "--"}));
    EXPECT_EQ(Row(*cells, 2), (QStringList{"b00", "b01", "b02", "b03"}));
    EXPECT_EQ(Row(*cells, 4), (QStringList{"b20", "b21", "b22", "b23"}));
    EXPECT_EQ(Row(*cells, 5), (QStringList{"a00", "a01", "--", "--"}));
    EXPECT_EQ(Row(*cells, 6), (QStringList{"a10", "a11", "--", "--"}));
    EXPECT_EQ(TheWizardState().Cell(6, 1), QStringLiteral("a11"));
    // An edit is stored.
    const QString value = QStringLiteral("x");
    cells->EndLabelEdit(5, 1, &value);
    EXPECT_EQ(TheWizardState().Cell(5, 1), value);
}

TEST(WizardPages, NewReportImagesMoveWithEverythingTheyCarryAndTheLastOneCanGo)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    Wizard wiz(1, QString());
    CWizardIRListPage* page = wiz.w.IRListPage();
    ASSERT_NE(page, nullptr);
    const Files& files = TheFiles();
    f.driver.nextFiles = {files.plain, files.other, files.withPhoto};
    page->OnAdd();
    EXPECT_TRUE(f.driver.lastMultiple);
    ASSERT_EQ(page->m_nImageCount, 3);
    EXPECT_EQ(page->List()->currentRow(), 2);
    EXPECT_EQ(page->FileNameText(), QStringLiteral("photo.VNI"));
    // The third gets its texts, typed without leaving the boxes.
    Item<QLineEdit>(page, CWizardIRListPage::kPageTitle)->setText(QStringLiteral("Title 3"));
    Item<QLineEdit>(page, CWizardIRListPage::kSection)->setText(QStringLiteral("Hall"));
    Item<QLineEdit>(page, CWizardIRListPage::kDeviceName)->setText(QStringLiteral("Pump"));
    TheWizardState().SetUsePhoto(2, true);
    WizardState::Set(TheWizardState().astrWizardPhotoPaths, 2, files.picture);
    page->OnUp();
    page->OnUp();
    const WizardState& s = TheWizardState();
    EXPECT_EQ(page->List()->currentRow(), 0);
    EXPECT_EQ(s.astrWizardIRPaths.mid(0, 3), (QStringList{files.withPhoto, files.plain, files.other}));
    EXPECT_EQ(s.astrWizardPhotoPaths.value(0), files.picture);
    EXPECT_TRUE(s.UsePhoto(0));
    EXPECT_FALSE(s.UsePhoto(2));
    EXPECT_EQ(s.astrWizardPageTitles.value(0), QStringLiteral("Title 3"));
    EXPECT_EQ(s.astrWizardSections.value(0), QStringLiteral("Hall"));
    EXPECT_EQ(s.astrWizardDeviceNames.value(0), QStringLiteral("Pump"));
    EXPECT_EQ(s.astrWizardPageTitles.value(2), QString());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(page->List()->item(i)->text(), QStringLiteral("红外对象%1").arg(i + 1));
    EXPECT_EQ(Item<QLineEdit>(page, CWizardIRListPage::kPageTitle)->text(), QStringLiteral("Title 3"));

    // Down, then delete two: the rest keep their entries.
    page->OnDown();
    EXPECT_EQ(s.astrWizardIRPaths.value(1), files.withPhoto);
    page->OnDelete();
    EXPECT_EQ(page->m_nImageCount, 2);
    EXPECT_EQ(s.astrWizardIRPaths.mid(0, 2), (QStringList{files.plain, files.other}));
    EXPECT_EQ(page->List()->currentRow(), 0);
    page->OnDelete();
    page->OnDelete();
    EXPECT_EQ(page->m_nImageCount, 0);
    EXPECT_EQ(page->List()->count(), 0);
    EXPECT_EQ(page->List()->currentRow(), -1);
    EXPECT_EQ(Item<QLineEdit>(page, CWizardIRListPage::kPageTitle)->text(), QString());
    EXPECT_EQ(page->FileNameText(), QString());
    EXPECT_EQ(page->FieldText(CWizardImagePage::kSize), QString());
    EXPECT_EQ(s.strWizardCurIRPath, QString());
}

TEST(WizardPages, TheNewReportListGrowsPastAHundredImagesAndAnUnreadableFileEndsTheAdding)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    Wizard wiz(1, QString());
    CWizardIRListPage* page = wiz.w.IRListPage();
    f.driver.nextFiles = QStringList(105, TheFiles().plain);
    page->OnAdd();
    EXPECT_EQ(page->m_nImageCount, 105);
    EXPECT_EQ(TheWizardState().astrWizardIRPaths.value(104), TheFiles().plain);
    EXPECT_EQ(page->List()->item(104)->text(), QStringLiteral("红外对象105"));
    EXPECT_EQ(page->Cache().ExtractionCount(), 1);

    f.driver.nextFiles = {TheFiles().other, f.conv.Path(QStringLiteral("missing.VNI")), TheFiles().plain};
    page->OnAdd();
    EXPECT_EQ(page->m_nImageCount, 106);
    // An invalid file is listed, without a file.
    f.driver.nextFiles = {TheFiles().bad};
    page->OnAdd();
    EXPECT_EQ(page->m_nImageCount, 107);
    EXPECT_EQ(TheWizardState().astrWizardIRPaths.value(106), QString());
    EXPECT_TRUE(f.driver.messages.empty());
}

TEST(WizardPages, NewReportDefaultsAndUnchangedObjectChecks)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    Wizard wiz(1, QString());
    QString title, company;
    bool table = false, profile = true, histogram = true;
    f.driver.steps.push_back([&](CDialog& info) {
        title = TheWizardState().strWizardReportTitle;
        company = TheWizardState().strWizardCompany;
        table = TheWizardState().bWizardAttributeTable;
        profile = TheWizardState().bWizardLineProfile;
        histogram = TheWizardState().bWizardHistogram;
        info.ClickButton(CDialog::kIdCancel);
    });
    auto* labels = wiz.w.ReportInfoPage();
    EXPECT_EQ(Item<QLabel>(labels, 510)->text(), QStringLiteral("报表名称:"));
    EXPECT_EQ(Item<QLabel>(wiz.w.IRListPage(), 506)->text(), QStringLiteral("摄像机型号"));
    EXPECT_EQ(wiz.w.ObjectsPage()->CheckList()->count(), 3);
    wiz.w.ClickButton(CReportWizardDlg::kFinish);
    EXPECT_EQ(title, QStringLiteral("请输入报表标题"));
    EXPECT_EQ(company, QStringLiteral("请输入公司名称"));
    EXPECT_TRUE(table);
    EXPECT_FALSE(profile);
    EXPECT_FALSE(histogram);
}

TEST(WizardPages, TheVoiceNotePlayedIsTheSelectedImagesOwnEvenAfterAnotherWasExtracted)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    platform::RecordingVoicePlayer player;
    QTemporaryDir dir;
    const QString shortNote = batchtest::Generate(dir.filePath(QStringLiteral("s.VNI")),
                                                  batchtest::Size(160, 120) << QStringLiteral("--sound") << QStringLiteral("4000"));
    const QString longNote = batchtest::Generate(dir.filePath(QStringLiteral("l.VNI")),
                                                 batchtest::Size(160, 120) << QStringLiteral("--sound") << QStringLiteral("9000"));
    Wizard wiz(1, QString());
    CWizardIRListPage* page = wiz.w.IRListPage();
    f.driver.nextFiles = {shortNote, longNote, TheFiles().plain};
    page->OnAdd();
    // The file without a note: nothing to play.
    EXPECT_FALSE(page->GetDlgItem(CWizardImagePage::kPlayVoice)->isEnabled());
    page->List()->setCurrentRow(0);
    ASSERT_TRUE(page->GetDlgItem(CWizardImagePage::kPlayVoice)->isEnabled());
    page->ClickButton(CWizardImagePage::kPlayVoice);
    page->List()->setCurrentRow(1);
    page->ClickButton(CWizardImagePage::kPlayVoice);
    page->List()->setCurrentRow(0);
    page->ClickButton(CWizardImagePage::kPlayVoice);
    ASSERT_EQ(player.played.size(), 3u);
    EXPECT_EQ(player.played[0].bytes, player.played[2].bytes);
    EXPECT_NE(player.played[0].bytes, player.played[1].bytes);
    EXPECT_EQ(player.played[0].path, player.played[2].path);
    EXPECT_EQ(page->Cache().ExtractionCount(), 3);
}

// The image page reads pictures by their size first: a camera file whose
// JPEG photo claims 65535 x 65535 pixels gives its parts without the photo
// (too large), and so does such a JPEG chosen as a picture.
TEST(WizardPages, PicturesBeyondTheBoundAreRefusedByTheirSize)
{
    Fixture f;
    WizardImageCache cache;
    const QString extracts = QStringLiteral(TEMPLATES_TEST_EXTRACTS) + QLatin1Char('/');
    const struct {
        const char* file;
        QSize photo;
        int error;
    } cases[] = {{"x_photo_jpeg.vni", QSize(16, 8), platform::CDibImage::kPicErrorNone},
                 {"x_photo_huge_frame.vni", QSize(0, 0), platform::CDibImage::kPicErrorTooLarge}};
    for (const auto& c : cases) {
        const WizardImageParts* parts = cache.Get(extracts + QLatin1String(c.file));
        ASSERT_NE(parts, nullptr) << c.file;
        EXPECT_TRUE(parts->valid) << c.file;
        EXPECT_FALSE(parts->image.isNull()) << c.file;
        EXPECT_EQ(parts->ownPhoto.size(), c.photo) << c.file;
        EXPECT_EQ(parts->photoError, c.error) << c.file;
    }
    EXPECT_TRUE(cache.Picture(QStringLiteral(TEMPLATES_TEST_SOURCE "/thermcore/jpeg/tests/fixtures/frame-65535x65535.jpg"))
                    .isNull());
    EXPECT_EQ(cache.Picture(TheFiles().picture).size(), QSize(40, 30));
}

// A sequence's remark is stored as UTF-8 and extracted in GBK, the code page
// of every file the program reads: the remark button shows the Chinese text
// itself, in either wizard.
TEST(WizardPages, AChineseRemarkReadsAsWrittenOnTheFilesButton)
{
    Fixture f;
    ASSERT_NE(f.conv.app, nullptr);
    const QString remark = QStringLiteral("锅炉房东侧管道，温度偏高");
    QTemporaryDir dir;
    const QString sequence = dir.filePath(QStringLiteral("remark.vnv"));
    QProcess gen;
    gen.start(QStringLiteral(TEMPLATES_TEST_PYTHON),
              {QStringLiteral(TEMPLATES_TEST_SOURCE "/tools/vnigen.py"), QStringLiteral("sequence"), QStringLiteral("--frames"),
               QStringLiteral("2"), QStringLiteral("--remark"), remark, QStringLiteral("-o"), sequence});
    ASSERT_TRUE(gen.waitForFinished(60000));
    ASSERT_EQ(gen.exitCode(), 0) << gen.readAllStandardError().toStdString();

    LayoutEntries e{{"DrawIR", QStringLiteral("ObjCount"), QStringLiteral("1")}};
    AddObject(e, "DrawIR", 1, QRect(0, 0, 10, 10), 0);
    Wizard wiz(0, WriteLayoutFile(f.conv.Path(QStringLiteral("r.ini")), e));
    CWizardIRPage* page = wiz.w.IRPage();
    f.driver.nextFiles = {sequence};
    page->OnChooseFile();
    EXPECT_EQ(Item<QPushButton>(page, CWizardImagePage::kChooseFile)->text(), remark);

    Wizard list(1, QString());
    f.driver.nextFiles = {TheFiles().plain, sequence};
    list.w.IRListPage()->OnAdd();
    EXPECT_EQ(Item<QPushButton>(list.w.IRListPage(), CWizardImagePage::kChooseFile)->text(), remark);
}
