// Toolbar strips read back from the per-user cache instead of being drawn
// from the icons at every start.
#include "test_support.h"

#include "skin/command_strip_cache.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

class CommandStripCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQApplication();
        skin::UseIconTheme();
    }

    // A strip of a themed icon and a command drawn by the fallback, through
    // the cache in the scratch folder; counts the fallback's draws.
    QImage Strip(QSize imageSize = {16, 15}, qreal dpr = 1.0, std::vector<int> commands = {57600, 4711})
    {
        return skin::CachedCommandStrip(skin::SkinLook::Report, commands, imageSize, dpr,
                                        [this](QPainter& p, const QRect& cell, int) {
                                            ++drawn;
                                            p.fillRect(cell, Qt::darkRed);
                                        },
                                        folder());
    }
    QString folder() const { return dir.filePath(QStringLiteral("strips")); }

    QTemporaryDir dir;
    int drawn = 0;
};

TEST_F(CommandStripCacheTest, ASecondStartReadsTheStripItStoredWithoutDrawing)
{
    for (const qreal dpr : {1.0, 2.0}) {
        drawn = 0;
        const QImage first = Strip({16, 15}, dpr);
        EXPECT_EQ(drawn, 1);
        const QString file =
            skin::CommandStripCacheFile(folder(), skin::SkinLook::Report, {57600, 4711}, {16, 15}, dpr);
        ASSERT_TRUE(QFileInfo::exists(file)) << dpr;
        const QDateTime written = QFileInfo(file).lastModified();

        const QImage second = Strip({16, 15}, dpr);
        EXPECT_EQ(drawn, 1) << "the cached strip was drawn again at " << dpr;
        EXPECT_EQ(second.devicePixelRatio(), dpr);
        EXPECT_EQ(second.format(), first.format());
        EXPECT_EQ(second, first);
        EXPECT_EQ(QFileInfo(file).lastModified(), written) << "an unchanged strip was written again";
    }
}

TEST_F(CommandStripCacheTest, EachPartOfTheKeyHasAFileOfItsOwn)
{
    const auto file = [this](std::vector<int> commands, QSize size, qreal dpr, skin::SkinLook program) {
        return skin::CommandStripCacheFile(folder(), program, commands, size, dpr);
    };
    const QString base = file({57600, 4711}, {16, 15}, 1, skin::SkinLook::Report);
    EXPECT_NE(file({57600, 4711}, {16, 16}, 1, skin::SkinLook::Report), base);
    EXPECT_NE(file({57600, 4711}, {16, 15}, 2, skin::SkinLook::Report), base);
    EXPECT_NE(file({4711, 57600}, {16, 15}, 1, skin::SkinLook::Report), base);
    EXPECT_NE(file({57600, 0, 4711}, {16, 15}, 1, skin::SkinLook::Report), base);
    EXPECT_NE(file({57600, 4711}, {16, 15}, 1, skin::SkinLook::Browser), base);
    EXPECT_EQ(file({57600, 4711}, {16, 15}, 1, skin::SkinLook::Report), base);

    // Another icon theme is another strip.
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const QString other = file({57600, 4711}, {16, 15}, 1, skin::SkinLook::Report);
    QIcon::setThemeName(theme);
    EXPECT_NE(other, base);
}

// The bytes of file, changed by change when they hold more than a header.
QByteArray changed(const QString& file, const std::function<void(QByteArray&)>& change)
{
    QFile f(file);
    QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    if (bytes.size() > 16)
        change(bytes);
    return bytes;
}

TEST_F(CommandStripCacheTest, ADamagedOrStaleFileIsDrawnAgainAndReplaced)
{
    const QImage fresh = Strip();
    const QString file = skin::CommandStripCacheFile(folder(), skin::SkinLook::Report, {57600, 4711}, {16, 15}, 1);
    const struct {
        const char* what;
        QByteArray bytes;
    } damaged[] = {
        {"empty", QByteArray()},
        {"not an image", QByteArray("\x89PNG\r\n\x1a\n garbage", 17)},
        {"truncated", [&] {
             QFile f(file);
             return f.open(QIODevice::ReadOnly) ? f.read(f.size() / 2) : QByteArray();
         }()},
        {"another size of the same length", changed(file, [](QByteArray& b) {
             // The stored 32 x 16 pixels claimed as 16 x 32.
             b[8] = 16;
             b[12] = 32;
         })},
        {"another kind of file of the same length", changed(file, [](QByteArray& b) { b[0] = 'X'; })},
        {"a picture file", [] {
             QImage other(32, 16, QImage::Format_ARGB32);
             other.fill(Qt::blue);
             QByteArray png;
             QBuffer buffer(&png);
             buffer.open(QIODevice::WriteOnly);
             other.save(&buffer, "PNG");
             return png;
         }()},
    };
    for (const auto& c : damaged) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.bytes);
        f.close();
        drawn = 0;
        EXPECT_EQ(Strip(), fresh) << c.what;
        EXPECT_EQ(drawn, 1) << c.what;
        drawn = 0;
        EXPECT_EQ(Strip(), fresh) << c.what << ": the replaced file is read back";
        EXPECT_EQ(drawn, 0) << c.what;
    }
}

TEST_F(CommandStripCacheTest, AFolderThatCannotBeWrittenStillGivesTheStrip)
{
    QFile blocker(folder()); // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QImage strip = Strip();
    EXPECT_EQ(strip.size(), QSize(32, 16));
    EXPECT_EQ(drawn, 1);
    drawn = 0;
    const QImage uncached = skin::CachedCommandStrip(
        skin::SkinLook::Report, {57600, 4711}, {16, 15}, 1.0, [this](QPainter&, const QRect&, int) { ++drawn; }, {});
    EXPECT_EQ(drawn, 1);
    EXPECT_EQ(uncached.size(), strip.size());
}

} // namespace
