// The batch command driven through its dialogs as a user would: Back and
// Next, Cancel anywhere, the file and folder choosers answered by the test.
#include "batch_command.h"
#include "batch_dialogs.h"
#include "batch_fixtures.h"

#include "resource_ids.h"
#include "test_support.h"
#include "app_environment.h"

#include "document/draw_class.h"
#include "platform/ini_file.h"
#include "platform/settings.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTimer>

#include <deque>
#include <functional>

using namespace batchtest;

namespace {

using Step = std::function<void(CDialog&)>;

// Answers each dialog the command opens with the next step; a dialog
// without a step is cancelled and counted as a fault.
class BatchDriver {
public:
    BatchDriver()
    {
        static const bool registered = [] {
            CDrawIR::Register(DrawClassRegistry::Standard());
            return true;
        }();
        (void)registered;
        SetBatchDialogRunner([this](CDialog& dialog) {
            shown.push_back(dialog.GetTemplateId());
            QTimer::singleShot(0, &dialog, [this, &dialog] {
                if (steps.empty()) {
                    ADD_FAILURE() << "no step for dialog " << dialog.GetTemplateId();
                    dialog.ClickButton(CDialog::kIdCancel);
                    return;
                }
                Step step = std::move(steps.front());
                steps.pop_front();
                step(dialog);
                if (dialog.isVisible()) {
                    ADD_FAILURE() << "dialog " << dialog.GetTemplateId() << " left open";
                    dialog.ClickButton(CDialog::kIdCancel);
                }
            });
            return dialog.DoModal();
        });
        saved = BatchFileChoosers();
        BatchFileChoosers().openFiles = [this](QWidget*, const QString&, int& filterIndex, const QString&) {
            filterIndex = nextFilterIndex;
            return nextFiles;
        };
        BatchFileChoosers().chooseFolder = [this](QWidget*, const QString& title, const QString&) {
            folderTitle = title;
            return nextFolder;
        };
        BatchFileChoosers().openTemplate = [this](QWidget*, const QString&, const QString&) { return nextTemplate; };
    }
    ~BatchDriver()
    {
        SetBatchDialogRunner({});
        BatchFileChoosers() = saved;
    }

    std::deque<Step> steps;
    std::vector<int> shown;
    QStringList nextFiles;
    int nextFilterIndex = 1;
    QString nextFolder, nextTemplate, folderTitle;

private:
    BatchChoosers saved;
};

QListWidget* List(CDialog& d) { return d.GetDlgItemAs<QListWidget>(res::IDC_BATCH_LIST); }
bool NextEnabled(CDialog& d) { return d.GetDlgItem(CDialog::kIdOk)->isEnabled(); }
void Click(CDialog& d, int id) { d.ClickButton(id); }

QStringList Items(CDialog& d)
{
    QStringList items;
    for (int i = 0; i < List(d)->count(); ++i)
        items << List(d)->item(i)->text();
    return items;
}

struct Fixture {
    StartupSandbox box;
    std::unique_ptr<CDI_RptApp> app = box.Start();
    QTemporaryDir out;
    BatchDriver driver;
    ~Fixture()
    {
        if (app)
            app->ExitInstance();
    }
    std::vector<int> MessageIds() const
    {
        std::vector<int> ids;
        for (const MessageBoxRequest& m : box.messages)
            ids.push_back(m.stringId);
        return ids;
    }
};

} // namespace

TEST(BatchCommand, BackFromSettingsEmptiesTheListBackLaterKeepsItAndPicturesAreMade)
{
    const Inputs& in = SharedInputs();
    Fixture f;
    ASSERT_TRUE(f.app);
    BatchDriver& d = f.driver;
    d.nextFilterIndex = 3;
    d.nextFolder = f.out.path();
    d.steps = {
        [](CDialog& dlg) { Click(dlg, res::IDC_BATCH_SECOND); Click(dlg, CDialog::kIdOk); }, // pictures
        [&](CDialog& dlg) {
            EXPECT_FALSE(NextEnabled(dlg));
            d.nextFiles = {in.a, in.a}; // the same file twice is listed twice
            Click(dlg, res::IDC_BATCH_SELECT);
            EXPECT_EQ(Items(dlg), (QStringList{in.a, in.a}));
            EXPECT_TRUE(NextEnabled(dlg));
            Click(dlg, res::IDC_BATCH_BACK);
        },
        [](CDialog& dlg) { Click(dlg, CDialog::kIdOk); }, // the type stays pictures
        [&](CDialog& dlg) {
            EXPECT_TRUE(Items(dlg).isEmpty()); // started over
            d.nextFiles = {in.a};
            Click(dlg, res::IDC_BATCH_SELECT);
            d.nextFiles = {in.c};
            Click(dlg, res::IDC_BATCH_SELECT);
            Click(dlg, res::IDC_BATCH_SAVE_PATH);
            Click(dlg, CDialog::kIdOk);
        },
        [](CDialog& dlg) { Click(dlg, res::IDC_BATCH_BACK); },
        [&](CDialog& dlg) {
            EXPECT_EQ(Items(dlg), (QStringList{in.a, in.c})); // as confirmed
            Click(dlg, CDialog::kIdOk);
        },
        [](CDialog& dlg) {
            Click(dlg, res::IDC_BATCH_SECOND); // without the colour bar
            dlg.GetDlgItemAs<QComboBox>(res::IDC_BATCH_PALETTE)->setCurrentIndex(1);
            Click(dlg, CDialog::kIdOk);
        },
    };
    f.app->OnBatch();
    EXPECT_TRUE(d.steps.empty());
    EXPECT_EQ(d.shown, (std::vector<int>{341, 342, 341, 342, 343, 342, 343}));
    EXPECT_EQ(d.folderTitle, QStringLiteral("请选择保存路径"));
    EXPECT_TRUE(QFile::exists(f.out.filePath(QStringLiteral("IR0001.bmp"))));
    EXPECT_TRUE(QFile::exists(f.out.filePath(QStringLiteral("IR.2013.05.bmp"))));
    ASSERT_FALSE(f.box.messages.empty());
    EXPECT_TRUE(f.box.messages.back().text.startsWith(QStringLiteral("批处理完成！")));

    // The settings: the filter index in field.ini, the last file added and
    // the output folder remembered.
    platform::IniFile ini(f.app->FieldIniPath());
    EXPECT_EQ(ini.readString(u"SysSet", u"FileType"), QStringLiteral("3"));
    platform::Settings& s = f.app->GetSettings();
    EXPECT_EQ(s.readString(QStringLiteral("PicPath"), QStringLiteral("PicPath")), in.c);
    EXPECT_EQ(s.readString(QStringLiteral("SavePath"), QStringLiteral("SavePath")), f.out.path());
}

TEST(BatchCommand, ReportsAfterRefusedFolderAndTemplateWithDeletionsOnTheWay)
{
    const Inputs& in = SharedInputs();
    Fixture f;
    ASSERT_TRUE(f.app);
    BatchDriver& d = f.driver;
    QTemporaryDir work;
    const QString templ = MakeTemplate(f.app->GetDocumentEnvironment(), work.path());
    d.steps = {
        [](CDialog& dlg) { Click(dlg, CDialog::kIdOk); }, // reports
        [&](CDialog& dlg) {
            d.nextFiles = {in.a, in.b, in.a};
            Click(dlg, res::IDC_BATCH_SELECT);
            // Deleting the first and last leaves the middle; deleting all
            // disables Next.
            List(dlg)->item(0)->setSelected(true);
            List(dlg)->item(2)->setSelected(true);
            Click(dlg, res::IDC_BATCH_DELETE);
            EXPECT_EQ(Items(dlg), QStringList{in.b});
            List(dlg)->selectAll();
            Click(dlg, res::IDC_BATCH_DELETE);
            EXPECT_FALSE(NextEnabled(dlg));
            d.nextFiles = {in.a, in.a};
            Click(dlg, res::IDC_BATCH_SELECT);
            // No folder yet: Next is refused and the dialog stays.
            dlg.GetDlgItemAs<QLineEdit>(res::IDC_BATCH_FOLDER)->setText(QString());
            Click(dlg, CDialog::kIdOk);
            EXPECT_TRUE(dlg.isVisible());
            dlg.GetDlgItemAs<QLineEdit>(res::IDC_BATCH_FOLDER)->setText(f.out.path());
            Click(dlg, CDialog::kIdOk);
        },
        [](CDialog& dlg) { Click(dlg, res::IDC_BATCH_BACK); }, // template dialog: back
        [&](CDialog& dlg) {
            EXPECT_EQ(Items(dlg), (QStringList{in.a, in.a})); // as confirmed
            Click(dlg, CDialog::kIdOk);
        },
        [&](CDialog& dlg) {
            // A typed path that names no file is refused.
            dlg.GetDlgItemAs<QLineEdit>(res::IDC_TEMPLATE_PATH)->setText(work.filePath(QStringLiteral("none.rpm")));
            Click(dlg, CDialog::kIdOk);
            EXPECT_TRUE(dlg.isVisible());
            d.nextTemplate = templ;
            Click(dlg, res::IDC_CHOOSE_TEMPLATE);
            Click(dlg, CDialog::kIdOk);
        },
    };
    f.app->OnBatch();
    EXPECT_TRUE(d.steps.empty());
    EXPECT_EQ(d.shown, (std::vector<int>{341, 342, 345, 342, 345}));
    EXPECT_EQ(f.MessageIds(), (std::vector<int>{res::IDS_BATCH_NO_FOLDER, res::IDS_TEMPLATE_NOT_FOUND, 0}));
    // The same file twice: processed twice, one name, and that is said.
    const QString report = f.out.filePath(QStringLiteral("IR0001.rpt"));
    EXPECT_TRUE(QFile::exists(report));
    EXPECT_TRUE(f.box.messages.back().text.contains(QDir::toNativeSeparators(report)));
    // The settings keep the template chosen and the last file added.
    EXPECT_EQ(f.app->GetSettings().readString(QStringLiteral("TemplatePath"), QStringLiteral("TemplatePath")), templ);
    EXPECT_EQ(f.app->GetSettings().readString(QStringLiteral("PicPath"), QStringLiteral("PicPath")), in.a);
    // A typed path of an existing file is accepted: the run above ended.
    EXPECT_EQ(f.app->m_batchFiles, (QStringList{in.a, in.a}));
}

TEST(BatchCommand, CancelAnywhereEndsWithoutOutput)
{
    const Inputs& in = SharedInputs();
    struct Case {
        int type;         // the kind chosen
        int cancelAt;     // how many dialogs pass before Cancel
    };
    for (const Case c : {Case{0, 0}, Case{0, 1}, Case{0, 2}, Case{1, 2}}) {
        Fixture f;
        ASSERT_TRUE(f.app);
        BatchDriver& d = f.driver;
        d.nextFiles = {in.a};
        std::vector<Step> chain = {
            [c](CDialog& dlg) {
                Click(dlg, c.type == 1 ? res::IDC_BATCH_SECOND : res::IDC_BATCH_FIRST);
                Click(dlg, CDialog::kIdOk);
            },
            [&](CDialog& dlg) {
                Click(dlg, res::IDC_BATCH_SELECT);
                dlg.GetDlgItemAs<QLineEdit>(res::IDC_BATCH_FOLDER)->setText(f.out.path());
                Click(dlg, CDialog::kIdOk);
            },
        };
        for (int i = 0; i < c.cancelAt; ++i)
            d.steps.push_back(chain[i]);
        d.steps.push_back([](CDialog& dlg) { Click(dlg, CDialog::kIdCancel); });
        f.app->OnBatch();
        EXPECT_TRUE(d.steps.empty());
        EXPECT_EQ(static_cast<int>(d.shown.size()), c.cancelAt + 1);
        EXPECT_TRUE(QDir(f.out.path()).entryList(QDir::Files).isEmpty()) << c.type << " " << c.cancelAt;
        EXPECT_TRUE(f.box.messages.empty());
    }
}

TEST(BatchPictureDialog, PreviewLinesFollowThePaletteAndPalettesPast15ShowNothing)
{
    std::vector<std::uint8_t> palette(1024);
    for (int k = 0; k < 256; ++k) {
        palette[4 * k] = static_cast<std::uint8_t>(k);          // blue
        palette[4 * k + 1] = static_cast<std::uint8_t>(255 - k); // green
        palette[4 * k + 2] = 7;                                 // red
    }
    for (const int index : {0, 15, 16}) {
        QImage img(20, 100, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            PaintPalettePreview(p, img.rect(), palette.data(), index);
        }
        if (index > 15) {
            EXPECT_EQ(img.pixel(10, 50), qRgb(255, 255, 255));
            continue;
        }
        // Line i sits at i x 100 / 256 (multiplied first) in entry 255 - i:
        // rows 98 and 99 are the last lines, not all at the top.
        for (int i : {1, 128, 255}) {
            const int y = i * 100 / 256;
            const int k = 255 - i;
            // Later lines may share a row; the last one drawn there wins.
            int last = i;
            while (last < 255 && (last + 1) * 100 / 256 == y)
                ++last;
            const int kk = 255 - last;
            EXPECT_EQ(img.pixel(19, y), qRgb(7, 255 - kk, kk)) << index << " line " << i << " k " << k;
        }
    }
}
