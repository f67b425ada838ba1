// The holder and the view's core over the library, on camera files, checked
// with outside readers: PIL for the picture, Python's wave for the voice note.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "heatshelf/folder_walk.h"
#include "heatshelf/image_view_core.h"
#include "heatshelf/ir_image.h"
#include "heatshelf/result_rows.h"
#include "platform/dib_image.h"
#include "shelf_test_support.h"

namespace heatshelf {
namespace {

using heatshelf_test::fixture;

QByteArray withFileHeader(const QByteArray& dib) {
    QByteArray file("BM");
    const auto le32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i) file.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    le32(static_cast<quint32>(dib.size() + 14));
    le32(0);
    le32(54);
    return file + dib;
}

class ImageViewRealTest : public ::testing::Test {
protected:
    ImageViewCore& viewOf(const QString& name) {
        view.SetFolder(QFileInfo(fixture(name)).absolutePath());
        view.SetCurrentFile(fixture(name));
        return view;
    }
    QTemporaryDir app;
    ImageViewCore view{app.path()};
};

TEST_F(ImageViewRealTest, ThePictureIsTheBitmapPilReads) {
    ImageViewCore& v = viewOf(QStringLiteral("big.vni"));
    ASSERT_TRUE(v.RenderCurrent());
    ASSERT_TRUE(v.imageShown());
    ASSERT_EQ(v.picture().size(), QSize(640, 480));
    QTemporaryDir tmp;
    const QString bmp = tmp.filePath(QStringLiteral("p.bmp"));
    const QString rgb = tmp.filePath(QStringLiteral("p.rgb"));
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(withFileHeader(v.pictureDib()));
    f.close();
    ASSERT_EQ(heatshelf_test::extractCheck({QStringLiteral("bmp"), bmp, rgb}), 0);
    QFile r(rgb);
    ASSERT_TRUE(r.open(QIODevice::ReadOnly));
    EXPECT_EQ(r.readLine(), QByteArray("640 480\n"));
    const QByteArray pixels = r.readAll();
    ASSERT_EQ(pixels.size(), 640 * 480 * 3);
    const QImage& image = v.picture();
    int differing = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const QRgb p = image.pixel(x, y);
            const auto* q = reinterpret_cast<const uchar*>(pixels.constData()) + (y * 640 + x) * 3;
            if (qRed(p) != q[0] || qGreen(p) != q[1] || qBlue(p) != q[2]) ++differing;
        }
    }
    EXPECT_EQ(differing, 0);
    // The range comes from the picture's histogram; the level is cut to a tenth.
    EXPECT_GT(v.windowHigh(), v.windowLow());
    EXPECT_FLOAT_EQ(v.rangeUpper(), 2 * v.windowHigh() - v.windowLow());
    EXPECT_LE(v.levelHigh(), v.windowHigh());
    EXPECT_GT(v.levelHigh(), v.windowHigh() - 0.1f);
}

TEST_F(ImageViewRealTest, AWindowChangesThePictureOfAStillImage) {
    ImageViewCore& v = viewOf(QStringLiteral("big.vni"));
    ASSERT_TRUE(v.RenderCurrent());
    const QByteArray automatic = v.pictureDib();
    v.SetLevel(1, v.windowLow() + (v.windowHigh() - v.windowLow()) / 2);
    EXPECT_NE(v.pictureDib(), automatic);
    EXPECT_EQ(v.pictureDib().size(), automatic.size());
}

TEST_F(ImageViewRealTest, VoiceNoteIsAWaveFile) {
    ImageViewCore& v = viewOf(QStringLiteral("sound.vni"));
    ASSERT_TRUE(v.RenderCurrent());
    EXPECT_EQ(v.HasSoundNote(), 1);
    QString first;
    ASSERT_EQ(v.ExtractVoiceNote(&first), 1);
    QByteArray info;
    ASSERT_EQ(heatshelf_test::extractCheck({QStringLiteral("wav"), first}, &info), 0) << info.constData();
    EXPECT_TRUE(info.startsWith("1 2 ")) << info.constData();
    QString second;
    ASSERT_EQ(v.ExtractVoiceNote(&second), 1);
    EXPECT_NE(second, first) << "a new file each time";
    EXPECT_FALSE(QFile::exists(first));
    EXPECT_FALSE(second.contains(QStringLiteral("temp.wav"), Qt::CaseInsensitive));

    ImageViewCore& quiet = viewOf(QStringLiteral("walk/a.VNI"));
    ASSERT_TRUE(quiet.RenderCurrent());
    EXPECT_EQ(quiet.HasSoundNote(), 0);
    QString none;
    EXPECT_EQ(quiet.ExtractVoiceNote(&none), 0);
    quiet.SetCurrentFile({});
    EXPECT_EQ(quiet.HasSoundNote(), 0);
}

// A photo whose JPEG frame claims 65535 x 65535 pixels is refused by its
// size (too large); the file's picture is shown all the same.
TEST_F(ImageViewRealTest, PhotosLoadFromTheirPrivateFiles) {
    const struct {
        const char* file;
        QSize size;
        int error;
    } cases[] = {{"photo_k10.vni", QSize(16, 8), platform::CDibImage::kPicErrorNone},
                 {"photo_raw.vni", QSize(316, 6), platform::CDibImage::kPicErrorNone},
                 {"photo_huge_frame.vni", QSize(0, 0), platform::CDibImage::kPicErrorTooLarge},
                 {"big.vni", QSize(0, 0), platform::CDibImage::kPicErrorNone}};
    for (const auto& c : cases) {
        ImageViewCore& v = viewOf(QLatin1String(c.file));
        ASSERT_TRUE(v.RenderCurrent()) << c.file;
        EXPECT_FALSE(v.picture().isNull()) << c.file;
        EXPECT_EQ(v.photo().size(), c.size) << c.file;
        EXPECT_EQ(v.photoError(), c.error) << c.file;
    }
    EXPECT_EQ(view.holder().photoWidth(), 0);
    viewOf(QStringLiteral("photo_raw.vni"));
    ASSERT_TRUE(view.RenderCurrent());
    EXPECT_EQ(view.holder().photoWidth(), 316) << "318 rounded down to a multiple of 4";
}

TEST_F(ImageViewRealTest, LevelChangesKeepTheFrameOfASequence) {
    QTemporaryDir appDir;
    CIrImage image(appDir.path());
    ASSERT_EQ(image.Open(fixture(QStringLiteral("seq3.vnv"))), 1);
    float upper = 0, lower = 0, high = 0, low = 0;
    image.GetTempRange(&upper, &lower, &high, &low);
    const int size = ThermcoreDibFileSize(image.displayWidth(), image.displayHeight());
    std::vector<unsigned char> first(static_cast<size_t>(size));
    std::vector<unsigned char> last(static_cast<size_t>(size));
    int written = 0;
    image.SetLevelSpan(high, low);
    ASSERT_EQ(image.OutputDIB(first.data(), size, &written, 3), 0);
    // A new window shows at once, without reading the frame again.
    std::vector<unsigned char> narrow(static_cast<size_t>(size));
    image.SetLevelSpan(low + (high - low) * 0.6f, low + (high - low) * 0.4f);
    ASSERT_EQ(image.OutputDIB(narrow.data(), size, &written, 3), 0);
    EXPECT_NE(narrow, first);
    for (int i = 0; i < 20; ++i) image.SetLevelSpan(high - static_cast<float>(i % 5), low + static_cast<float>(i % 3));
    image.SetLevelSpan(high, low);
    ASSERT_EQ(image.OutputDIB(last.data(), size, &written, 3), 0);
    EXPECT_EQ(first, last);
    // Still at the first frame: two more follow.
    EXPECT_EQ(IFR_Next(image.handle()), 0);
    EXPECT_EQ(IFR_Next(image.handle()), 0);
    EXPECT_NE(IFR_Next(image.handle()), 0);
}

TEST_F(ImageViewRealTest, BoardAndDeviceValueOfTheFile) {
    QTemporaryDir appDir;
    CIrImage image(appDir.path());
    ASSERT_EQ(image.Open(fixture(QStringLiteral("k11.vni"))), 1);
    EXPECT_EQ(image.fileVersion(), 11);
    int rect[4] = {};
    image.GetBoardRect(rect);
    EXPECT_EQ(std::vector<int>(rect, rect + 4), (std::vector<int>{2, 2, 6, 6}));
    EXPECT_EQ(image.lastDeviceValue(), 7);
    ASSERT_EQ(image.Open(fixture(QStringLiteral("k3.vni"))), 1);
    EXPECT_EQ(image.scheme(), 1);
    EXPECT_EQ(image.lastDeviceValue(), 0xFF) << "not the last file's 7";
}

TEST_F(ImageViewRealTest, ChoosingWalksAndRendersAndThumbnailsCoverTheFolder) {
    view.SetFolder(fixture(QStringLiteral("walk")));
    view.ChooseFile(kWalkFirst);
    EXPECT_EQ(QFileInfo(view.currentFile()).fileName(), QStringLiteral("a.VNI"));
    EXPECT_TRUE(view.imageShown());
    EXPECT_FALSE(view.picture().isNull());
    view.ChooseFile(kWalkNext);
    view.ChooseFile(kWalkNext);
    EXPECT_EQ(QFileInfo(view.currentFile()).fileName(), QStringLiteral("D.JPG"));
    EXPECT_TRUE(view.walk().atLast);

    const std::vector<Thumbnail> thumbs = view.RenderThumbnails();
    ASSERT_EQ(thumbs.size(), 3u);
    EXPECT_EQ(thumbs[1].name, QStringLiteral("c.vnv"));
    for (const Thumbnail& t : thumbs) EXPECT_EQ(t.image.size(), QSize(16, 12)) << t.name.toStdString();
    EXPECT_TRUE(view.currentFile().isEmpty());

    QTemporaryDir empty;
    view.SetFolder(empty.path());
    view.ChooseFile(kWalkFirst);
    EXPECT_TRUE(view.walk().noFile);
    EXPECT_FALSE(view.imageShown());
    EXPECT_TRUE(view.picture().isNull());
}

// A sequence opens only when its first frame can be read: one without a
// frame has no picture and no temperatures to show.
TEST(ImageViewFixturesTest, ASequenceWhoseFirstFrameFailsDoesNotOpen) {
    const QDir dir(qEnvironmentVariable("THERMCORE_FIXTURE_DIR"));
    const struct {
        const char* file;
        int open;
    } cases[] = {
        {"seq_l1.vnv", 1},
        {"seqbad_l1_gray_short.vnv", 1},  // first frame fine, the second is damaged
        {"seqbad_l1_param_oversize.vnv", -1},
        {"seqbad_l1_param_small.vnv", -1},
        {"seqbad_l3_param_big.vnv", -1},
    };
    CIrImage image(qEnvironmentVariable("SUITE_DEFAULT_DATA"));
    OpenTest opens;  // the folder walk's and the grid's test agree with the holder
    for (const auto& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_TRUE(QFileInfo::exists(path)) << c.file;
        EXPECT_EQ(image.Open(path, nullptr), c.open) << c.file;
        EXPECT_EQ(opens(path), c.open == 1) << c.file;
    }
    ImageViewCore view(qEnvironmentVariable("SUITE_DEFAULT_DATA"));
    view.SetFolder(dir.path());
    view.SetCurrentFile(dir.filePath(QStringLiteral("seqbad_l1_param_oversize.vnv")));
    EXPECT_FALSE(view.RenderCurrent());
    EXPECT_TRUE(view.picture().isNull());
}

// Every camera file the library's tests use, damaged ones included, through
// everything the view does with a file: nothing may crash or read astray.
TEST(ImageViewFixturesTest, EveryFixtureGoesThroughTheViewSafely) {
    const QDir dirs[] = {QDir(qEnvironmentVariable("THERMCORE_FIXTURE_DIR")),
                         QDir(heatshelf_test::fixture(QStringLiteral("walk")))};
    int shown = 0;
    int files = 0;
    for (const QDir& dir : dirs) {
        ImageViewCore view(qEnvironmentVariable("SUITE_DEFAULT_DATA"));
        view.SetFolder(dir.path());
        for (const QString& name : dir.entryList(QDir::Files)) {
            ++files;
            view.SetCurrentFile(dir.filePath(name));
            const bool opened = view.RenderCurrent();
            if (name.startsWith(QLatin1String("bad_"))) {
                EXPECT_FALSE(opened) << name.toStdString();
            }
            if (!opened) {
                EXPECT_TRUE(view.picture().isNull()) << name.toStdString();
                continue;
            }
            ++shown;
            EXPECT_EQ(view.picture().width(), view.holder().imageWidth()) << name.toStdString();
            view.SetLevel(2, view.levelHigh() - 1.0f);
            float line[64];
            int count = 64;
            view.holder().GetLineTemps(0, 0, 40, 30, 0.95f, 1.0f, line, &count);
            IRAnalysisItem area;
            area.x2 = 12;
            area.y2 = 12;
            view.holder().MeasureArea(&area);
            for (int category = 0; category < 4; ++category) {
                EXPECT_FALSE(BuildResultTable(category, &view.holder(), view.currentFile()).columns.empty());
            }
            QString voice;
            const int extracted = view.ExtractVoiceNote(&voice);
            EXPECT_EQ(extracted == 1, !voice.isEmpty()) << name.toStdString();
        }
        view.ChooseFile(kWalkFirst);
        view.RenderThumbnails();
    }
    EXPECT_GT(files, 60);
    EXPECT_GT(shown, 40);
}

// Next and Previous show a file with the temperatures it showed first,
// whatever file was shown between: the display range, the level, the
// picture, the stored results and the browser's measurements, to the bit
// (model families of the fixtures).
TEST(ImageViewFixturesTest, NextAndPreviousShowAFileWithItsOwnTemperatures) {
    const QDir fixtures(qEnvironmentVariable("THERMCORE_FIXTURE_DIR"));
    const struct {
        const char* family;
        const char* a;
        const char* b;
    } cases[] = {
        {"radiometric (K8) and own (K4)", "k8_full.vni", "k4_full.vni"},
        {"own (K4) and plane (K11)", "k4_full.vni", "k11.vni"},
        {"plane (K11) and radiometric (K9)", "k11.vni", "k9.vni"},
        {"radiometric (K8, 640 wide) and own (K4, 320 wide)", "k8_640.vni", "k4_320.vni"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        QTemporaryDir folder;
        ASSERT_TRUE(QFile::copy(fixtures.filePath(QLatin1String(c.a)), folder.filePath(QStringLiteral("1.vni"))));
        ASSERT_TRUE(QFile::copy(fixtures.filePath(QLatin1String(c.b)), folder.filePath(QStringLiteral("2.vni"))));
        ImageViewCore view(qEnvironmentVariable("SUITE_DEFAULT_DATA"));
        view.SetFolder(folder.path());
        // Everything shown of the current file, as bytes.
        const auto read = [&view] {
            QByteArray out;
            const auto add = [&out](const auto& v) { out.append(reinterpret_cast<const char*>(&v), sizeof v); };
            for (float v : {view.rangeUpper(), view.rangeLower(), view.windowHigh(), view.windowLow(),
                            view.levelHigh(), view.levelLow()})
                add(v);
            out += view.pictureDib();
            for (int category = 0; category < 4; ++category) {
                for (const auto& row : BuildResultTable(category, &view.holder(), view.currentFile()).rows) {
                    for (const Cell& cell : row) out += cell.text.toUtf8() + '|' + QByteArray::number(cell.stringId);
                }
            }
            CIrImage& holder = view.holder();
            const int w = holder.imageWidth();
            const int h = holder.imageHeight();
            float t = 0;
            holder.GetPointTemp(w / 3 | 1, h / 3 | 1, 0.95f, 1.0f, &t);
            add(t);
            std::vector<float> line(static_cast<size_t>(w + h));
            int count = w + h;
            holder.GetLineTemps(1, 1, w - 2, h - 2, 0.95f, 1.0f, line.data(), &count);
            out.append(reinterpret_cast<const char*>(line.data()), count * int(sizeof(float)));
            IRAnalysisItem area;
            area.x1 = 1;
            area.y1 = 1;
            area.x2 = w - 1;
            area.y2 = h - 1;
            area.emissivity = 0.95f;
            area.distance = 1.0f;
            holder.MeasureArea(&area);
            for (float v : {area.maxTemp, area.minTemp, area.avgTemp}) add(v);
            return out;
        };
        view.ChooseFile(kWalkFirst);
        ASSERT_TRUE(view.imageShown());
        const QByteArray first = read();
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(round);
            view.ChooseFile(kWalkNext);
            ASSERT_EQ(QFileInfo(view.currentFile()).fileName(), QStringLiteral("2.vni"));
            read();
            view.ChooseFile(kWalkPrevious);
            ASSERT_EQ(QFileInfo(view.currentFile()).fileName(), QStringLiteral("1.vni"));
            EXPECT_EQ(read(), first);
        }
    }
}

}  // namespace
}  // namespace heatshelf
