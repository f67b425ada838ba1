// The parts of infrared files as scratch files, and the file dialog's
// preview panel.
#include "command_support.h"

#include "irimage/ir_file_dlg.h"
#include "irimage/ir_file_parts.h"

#include "platform/dib_image.h"
#include "platform/recording_voice_player.h"

#include <QDirIterator>
#include <QImage>
#include <QTemporaryDir>
#include <QApplication>
#include <QLineEdit>

using namespace irtest;

namespace {

QStringList FilesUnder(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

} // namespace

TEST(IRFileParts, EachFileGivesItsPartsAndNothingElse)
{
    struct Case {
        QString path;
        bool sound, remark, jpg, bmp, startsIndex;
    };
    const Case cases[] = {
        // A still image with a PCM note and no photo or remark.
        {ExtractFixture("x_pcm.vni"), true, false, false, false, false},
        // An older camera's raw photo: stored bytes and a BMP.
        {Fixture("k4_full.vni"), true, false, true, true, false},
        // Model version 8 stores a JPEG photo: no BMP besides it.
        {ExtractFixture("x_photo_jpeg.vni"), false, false, true, false, false},
        // Sequences whose index thread must finish before the extracts answer.
        {ExtractFixture("x_seq_l1.vnv"), true, true, true, false, true},
        {ExtractFixture("x_seq_l2.vnv"), true, true, true, false, true},
        {ExtractFixture("x_jpg_seq.jpg"), true, true, true, false, true},
        // A fixed-frame sequence starts no index thread.
        {Fixture("seq_l0.vnv"), false, false, false, false, false},
    };
    CommandEnvironment env;
    const QStringList programBefore = FilesUnder(env.folder);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(StartsFrameIndex(c.path), c.startsIndex);
        IRScratchFiles files(env);
        ASSERT_TRUE(files.IsValid());
        EXPECT_TRUE(files.Folder().startsWith(env.scratch.path()));
        IRFileParts parts;
        ASSERT_TRUE(ExtractIRFileParts(env, c.path, files, parts));
        EXPECT_GT(parts.width, 0);
        EXPECT_TRUE(QFileInfo(files.IrBmp()).size() > 54);
        EXPECT_EQ(parts.hasSound, c.sound ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(files.Voice()), c.sound);
        EXPECT_EQ(parts.hasRemark, c.remark ? 1 : 0);
        EXPECT_EQ(QFileInfo::exists(files.Remark()), c.remark);
        EXPECT_EQ(QFileInfo::exists(files.PhotoJpg()), c.jpg);
        EXPECT_EQ(QFileInfo::exists(files.PhotoBmp()), c.bmp);
        EXPECT_EQ(parts.photoIsBmp, c.bmp ? 1 : 0);
        if (c.sound) {
            EXPECT_EQ(ReadAll(files.Voice()).left(4), QByteArray("RIFF"));
        }
    }
    // Nothing beside the program.
    EXPECT_EQ(FilesUnder(env.folder), programBefore);
}

TEST(IRFileParts, AFileThatDoesNotOpenGivesNothingAndLeavesNoStaleParts)
{
    CommandEnvironment env;
    IRScratchFiles files(env);
    IRFileParts parts;
    ASSERT_TRUE(ExtractIRFileParts(env, ExtractFixture("x_pcm.vni"), files, parts));
    ASSERT_TRUE(QFileInfo::exists(files.Voice()));
    const QString broken = env.scratch.filePath(QStringLiteral("broken.vni"));
    ASSERT_TRUE(WriteAll(broken, QByteArray("VN410K4 and nothing else")));
    EXPECT_FALSE(ExtractIRFileParts(env, broken, files, parts));
    EXPECT_EQ(parts.width, 0);
    EXPECT_EQ(parts.hasSound, 0);
    // The previous file's note is not offered for the broken one.
    EXPECT_FALSE(QFileInfo::exists(files.Voice()));
    EXPECT_FALSE(ExtractIRFileParts(env, env.scratch.filePath(QStringLiteral("missing.vni")), files, parts));
}

TEST(IRFileDialog, PreviewShowsOneFileOnceAndPlaysItsNote)
{
    CommandEnvironment env;
    platform::RecordingVoicePlayer player;
    CIRFileDlg dialog(env, true, QString(), QString(), QStringLiteral("PIC (*.VNI)|*.VNI||"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("请选择红外热像文件"));
    EXPECT_FALSE(dialog.PlayEnabled());

    const QString sequence = ExtractFixture("x_seq_l1.vnv");
    dialog.PreviewSelection({sequence});
    EXPECT_EQ(dialog.ExtractionCount(), 1);
    EXPECT_TRUE(dialog.PlayEnabled());
    const QDateTime modified = QFileInfo(sequence).lastModified();
    EXPECT_EQ(dialog.FieldText(CIRFileDlg::kDate), modified.toString(QStringLiteral("yyyy-MM-dd")));
    EXPECT_EQ(dialog.FieldText(CIRFileDlg::kTime), modified.toString(QStringLiteral("HH:mm:ss")));
    EXPECT_EQ(dialog.FieldText(CIRFileDlg::kSize),
              QStringLiteral("%1 * %2").arg(dialog.Parts().width).arg(dialog.Parts().height));
    EXPECT_FALSE(dialog.FieldText(CIRFileDlg::kRemark).isEmpty());
    // The picture fills the preview's left half at least.
    const QImage preview = dialog.PreviewImage();
    EXPECT_NE(preview.pixel(preview.width() / 4, preview.height() / 2),
              preview.pixel(0, 0) == 0 ? 1u : preview.pixel(0, 0));

    dialog.OnPlayVoice();
    ASSERT_EQ(player.played.size(), 1u);
    EXPECT_EQ(player.played.front().bytes, ReadAll(dialog.Scratch().Voice()));
    EXPECT_TRUE(player.played.front().path.startsWith(env.scratch.path()));

    // The same file again is not extracted again.
    dialog.PreviewSelection({sequence});
    EXPECT_EQ(dialog.ExtractionCount(), 1);

    // Several files: no preview.
    dialog.PreviewSelection({sequence, ExtractFixture("x_pcm.vni")});
    EXPECT_FALSE(dialog.PlayEnabled());
    EXPECT_TRUE(dialog.FieldText(CIRFileDlg::kSize).isEmpty());
    EXPECT_EQ(dialog.ExtractionCount(), 1);

    // A still image without a remark: its remark field stays empty.
    dialog.PreviewSelection({Fixture("k4_full.vni")});
    EXPECT_EQ(dialog.ExtractionCount(), 2);
    EXPECT_TRUE(dialog.FieldText(CIRFileDlg::kRemark).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dialog.Scratch().Remark()));

    dialog.resize(900, 700);
    const QString shots = QStringLiteral(IRIMAGE_TEST_ARTIFACTS);
    QDir().mkpath(shots);
    EXPECT_TRUE(dialog.grab().save(shots + QStringLiteral("/ir-file-dialog.png")));
}


// The preview reads a file's photo by its size first: a JPEG photo whose
// frame claims 65535 x 65535 pixels is refused (too large) and the image is
// shown without it.
TEST(IRFileDialog, PreviewRefusesAPhotoBeyondThePictureBound)
{
    CommandEnvironment env;
    CIRFileDlg dialog(env, true, QString(), QString(), QStringLiteral("PIC (*.VNI)|*.VNI||"));
    const struct {
        const char* file;
        int error;
    } cases[] = {{"x_photo_jpeg.vni", platform::CDibImage::kPicErrorNone},
                 {"x_photo_huge_frame.vni", platform::CDibImage::kPicErrorTooLarge}};
    for (const auto& c : cases) {
        dialog.PreviewSelection({ExtractFixture(c.file)});
        EXPECT_EQ(dialog.PhotoError(), c.error) << c.file;
        const QImage preview = dialog.PreviewImage();
        EXPECT_NE(preview.pixel(preview.width() / 4, preview.height() / 2), preview.pixel(0, 0)) << c.file;
    }
}

// A dialog for one file refuses several names typed in quotes: it says that
// one file is taken and stays open; one name (quoted or not) is accepted.
TEST(IRFileDialog, SeveralTypedNamesAreRefusedWhenOneFileIsTaken)
{
    CommandEnvironment env;
    QTemporaryDir folder;
    for (const char* name : {"A.VNI", "B.VNI"})
        ASSERT_TRUE(QFile::copy(Fixture("k4_full.vni"), folder.filePath(QLatin1String(name))));
    CIRFileDlg dialog(env, true, QString(), QString(), QStringLiteral("PIC (*.VNI)|*.VNI||"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(folder.path());
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    dialog.show();
    QApplication::processEvents();

    edit->setText(QStringLiteral("\"A.VNI\" \"B.VNI\""));
    EXPECT_EQ(dialog.TypedNameCount(), 2);
    dialog.accept();
    EXPECT_EQ(env.messageTexts, QStringList{QString::fromUtf8(CIRFileDlg::kOneFileOnly)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    env.messageTexts.clear();
    edit->setText(QStringLiteral("\"B.VNI\""));
    EXPECT_EQ(dialog.TypedNameCount(), 1);
    dialog.accept();
    EXPECT_TRUE(env.messageTexts.isEmpty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{folder.filePath(QStringLiteral("B.VNI"))});

    // The play bar's "+" (several files) takes them all.
    CIRFileDlg several(env, true, QString(), QString(), QStringLiteral("PIC (*.VNI)|*.VNI||"));
    several.setFileMode(QFileDialog::ExistingFiles);
    several.setDirectory(folder.path());
    several.show();
    QApplication::processEvents();
    several.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"A.VNI\" \"B.VNI\""));
    several.accept();
    EXPECT_TRUE(env.messageTexts.isEmpty());
    EXPECT_EQ(several.result(), QDialog::Accepted);
    EXPECT_EQ(several.selectedFiles().size(), 2);
}
