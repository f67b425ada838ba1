#include "platform/ini_document.h"
#include "platform/ini_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace platform {
namespace {

// field.ini as both programs leave it: comments, mixed-case names, blanks
// around names and values, CRLF, a GBK value ("铁红").
const QByteArray kFieldIni = QByteArray("; shared settings\r\n"
                                        "[COMMON]\r\n"
                                        "StyleNum=3\r\n"
                                        "customR = 200 \r\n"
                                        "Pallette1=\xCC\xFA\xBA\xEC\r\n"
                                        "Quoted=\"  spaced  \"\r\n"
                                        "Empty=\r\n"
                                        "\r\n"
                                        "[FileName]\r\n"
                                        "Pallette1=nruler1.bmp\r\n"
                                        "  PWave = 0  \r\n");

TEST(IniDocument, LooksNamesUpLikeTheProfileFunctions)
{
    const IniDocument ini(kFieldIni);
    const struct {
        const char16_t* section;
        const char16_t* key;
        QString expected;
    } cases[] = {
        {u"COMMON", u"StyleNum", QStringLiteral("3")},
        {u"common", u"stylenum", QStringLiteral("3")},
        {u" Common ", u"STYLENUM ", QStringLiteral("3")},
        {u"COMMON", u"CustomR", QStringLiteral("200")},
        {u"COMMON", u"Pallette1", QStringLiteral("铁红")},
        {u"FILENAME", u"Pallette1", QStringLiteral("nruler1.bmp")},
        {u"filename", u"pwave", QStringLiteral("0")},
        {u"COMMON", u"Quoted", QStringLiteral("  spaced  ")},
        {u"COMMON", u"Empty", QString()},
        {u"COMMON", u"Missing", QStringLiteral("default")},
        {u"NoSuchSection", u"StyleNum", QStringLiteral("default")},
        {u"COMMON", u"; shared settings", QStringLiteral("default")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ini.readString(QStringView(c.section), QStringView(c.key), QStringLiteral("default")), c.expected)
            << QString::fromUtf16(c.section).toStdString() << "/" << QString::fromUtf16(c.key).toStdString();
    }
}

TEST(IniDocument, ReadsIntegersLikeTheProfileIntegerReader)
{
    const struct {
        const char* value;
        int expected;
    } cases[] = {
        {"-1", -1},       {"+7", 7},   {" 42 ", 42},           {"12abc", 12}, {"abc", 0},
        {"0x10", 0},      {"-", 0},    {"4294967295", -1},     {"2147483648", -2147483647 - 1},
        {"\"5\"", 5},     {"", 99},
    };
    for (const auto& c : cases) {
        const IniDocument ini(QByteArray("[S]\r\nK=") + c.value + "\r\n");
        EXPECT_EQ(ini.readInt(u"S", u"K", 99), c.expected) << c.value;
    }
    EXPECT_EQ(IniDocument(kFieldIni).readInt(u"COMMON", u"CustomG", 192), 192);
}

TEST(IniDocument, RewritingOneKeyKeepsEveryOtherByte)
{
    IniDocument ini(kFieldIni);
    ASSERT_TRUE(ini.writeInt(u"common", u"STYLENUM", 5));
    ASSERT_TRUE(ini.writeString(u"COMMON", u"customR", QStringLiteral("彩虹")));

    QByteArray expected = kFieldIni;
    expected.replace("StyleNum=3\r\n", "StyleNum=5\r\n");
    expected.replace("customR = 200 \r\n", "customR =\xB2\xCA\xBA\xE7\r\n");
    EXPECT_EQ(ini.toBytes(), expected);
    EXPECT_EQ(ini.readString(u"COMMON", u"CustomR"), QStringLiteral("彩虹"));
}

TEST(IniDocument, AddsKeysAndSectionsWhereTheProfileFunctionsDo)
{
    // A new key goes after the section's last non-blank line, a new section at
    // the end after a blank line.
    IniDocument ini(kFieldIni);
    ASSERT_TRUE(ini.writeString(u"COMMON", u"CustomG", u"10"));
    ASSERT_TRUE(ini.writeString(u"SysSet", u"FileType", u"2"));
    QByteArray expected = kFieldIni;
    expected.replace("Empty=\r\n", "Empty=\r\nCustomG=10\r\n");
    expected += "\r\n[SysSet]\r\nFileType=2\r\n";
    EXPECT_EQ(ini.toBytes(), expected);

    // LF files stay LF; a last line without a line end gets one.
    IniDocument unix(QByteArray("[A]\nx=1"));
    ASSERT_TRUE(unix.writeString(u"a", u"y", u"2"));
    EXPECT_EQ(unix.toBytes(), QByteArray("[A]\nx=1\ny=2\n"));

    // A new file is written with CRLF.
    IniDocument fresh;
    ASSERT_TRUE(fresh.writeString(u"System", u"Updated", u"0"));
    EXPECT_EQ(fresh.toBytes(), QByteArray("[System]\r\nUpdated=0\r\n"));
}

TEST(IniDocument, TemplateReadersFindKeysAskedWithTrailingBlanks)
{
    IniDocument ini;
    ASSERT_TRUE(ini.writeString(u"DrawText", u"OBJ1_Align", u"2"));
    ASSERT_TRUE(ini.writeString(u"IROBJ", u"OBJ1_Path", u"/data/a.vni"));
    EXPECT_EQ(ini.readInt(u"drawtext", u"OBJ1_Align ", -1), 2);
    EXPECT_EQ(ini.readString(u"IRObj", u"OBJ1_Path "), QStringLiteral("/data/a.vni"));
    // The key written with a blank rewrites the same line.
    ASSERT_TRUE(ini.writeString(u"drawtext", u"OBJ1_Align ", u"0"));
    EXPECT_EQ(ini.toBytes(), QByteArray("[DrawText]\r\nOBJ1_Align=0\r\n\r\n[IROBJ]\r\nOBJ1_Path=/data/a.vni\r\n"));
}

TEST(IniDocument, TheFirstOfARepeatedSectionOrKeyIsTheOneReadAndWritten)
{
    // Repeated names, blanks inside the brackets, a GBK section name ("区域")
    // and a key line before any section.
    const QByteArray text("Stray=0\r\n"
                          "[ Area ]\r\n"
                          "K=1\r\n"
                          "k=2\r\n"
                          "; note\r\n"
                          "\r\n"
                          "[\xC7\xF8\xD3\xF2]\r\n"
                          "Name=a\r\n"
                          "[AREA]\r\n"
                          "K=3\r\n"
                          "New=9\r\n");
    IniDocument ini(text);
    EXPECT_EQ(ini.readInt(u"area", u"K", -1), 1);
    EXPECT_FALSE(ini.value(u"AREA", u"New")) << "only the first section is read";
    EXPECT_EQ(ini.readString(u"区域", u"name"), QStringLiteral("a"));
    EXPECT_FALSE(ini.value(u"", u"Stray"));

    ASSERT_TRUE(ini.writeInt(u"Area", u"k", 5));
    ASSERT_TRUE(ini.writeInt(u"Area", u"New", 6));
    ASSERT_TRUE(ini.writeString(u"区域", u"Name", u"b"));
    QByteArray expected = text;
    expected.replace("K=1\r\n", "K=5\r\n");
    expected.replace("; note\r\n", "; note\r\nNew=6\r\n");
    expected.replace("Name=a", "Name=b");
    EXPECT_EQ(ini.toBytes(), expected);
}

TEST(IniDocument, NamesLoseOnlyTheBlanksTheFileLoses)
{
    // "n" and a key whose name ends in an ideographic space (GBK A1 A1) or
    // in a byte that is no character: three keys, each found only by its
    // own name, and writing one leaves the others alone.
    IniDocument ini(QByteArray("[x]\nn=1\nn\xA1\xA1=2\nn\x85=3\n"));
    EXPECT_EQ(ini.value(u"x", u" n\t"), QStringLiteral("1"));
    EXPECT_EQ(ini.value(u"x", u"n\u3000"), QStringLiteral("2"));
    EXPECT_FALSE(ini.value(u"x", u"n\u0085")) << "U+0085 is no blank of the file";
    EXPECT_FALSE(ini.value(u"x\u3000", u"n"));

    ASSERT_TRUE(ini.writeString(u"x", u"n\u3000", u"new"));
    ASSERT_TRUE(ini.writeString(u"x", u"n", u"one"));
    const IniDocument again(ini.toBytes());
    EXPECT_EQ(again.value(u"x", u"n"), QStringLiteral("one"));
    EXPECT_EQ(again.value(u"x", u"n\u3000"), QStringLiteral("new"));
    EXPECT_EQ(again.toBytes(), QByteArray("[x]\nn=one\nn\xA1\xA1=new\nn\x85=3\n"));
}

TEST(IniDocument, KeysWrittenInAnyOrderLandInTheirSectionsAndAreFoundAgain)
{
    // Keys go to the sections in turn (names in varied case, keys with
    // blanks), so most new keys land inside the text, before later sections;
    // some are written twice. The bytes are compared with the text built
    // section by section, and every value is read back from the document
    // and from its bytes.
    IniDocument ini(QByteArray("[System]\nUpdated=0\n"));
    const QString asked[] = {QStringLiteral("DrawText"), QStringLiteral("system"), QStringLiteral("DRAWRECT"),
                             QStringLiteral(" drawtext "), QStringLiteral("IRObj")};
    const QString stored[] = {QStringLiteral("DrawText"), QStringLiteral("System"), QStringLiteral("DRAWRECT"),
                              QStringLiteral("DrawText"), QStringLiteral("IRObj")};
    std::vector<std::pair<QString, std::vector<std::pair<QString, int>>>> model{
        {QStringLiteral("System"), {{QStringLiteral("Updated"), 0}}}};
    const auto write = [&](int i, int value) {
        const QString key = QStringLiteral("OBJ%1_Left").arg(i / 3);
        ASSERT_TRUE(ini.writeInt(asked[i % 5], key + (i % 2 ? QStringLiteral(" ") : QString()), value));
        auto section = std::find_if(model.begin(), model.end(), [&](const auto& m) { return m.first == stored[i % 5]; });
        if (section == model.end())
            section = model.insert(model.end(), {stored[i % 5], {}});
        auto entry = std::find_if(section->second.begin(), section->second.end(),
                                  [&](const auto& e) { return e.first == key; });
        if (entry == section->second.end())
            section->second.push_back({key, value});
        else
            entry->second = value;
    };
    for (int i = 0; i < 90; ++i)
        write(i, i);
    for (int i = 0; i < 90; i += 7)
        write(i, 1000 + i);

    QByteArray expected;
    for (const auto& [section, keys] : model) {
        expected += (expected.isEmpty() ? "[" : "\n[") + section.toLatin1() + "]\n";
        for (const auto& [key, value] : keys)
            expected += key.toLatin1() + '=' + QByteArray::number(value) + '\n';
    }
    EXPECT_EQ(ini.toBytes(), expected);

    const IniDocument reloaded(ini.toBytes());
    for (const IniDocument* doc : {static_cast<const IniDocument*>(&ini), &reloaded}) {
        for (const auto& [section, keys] : model) {
            for (const auto& [key, value] : keys)
                EXPECT_EQ(doc->readInt(section.toLower(), key.toUpper() + u' ', -1), value) << key.toStdString();
        }
    }
}

TEST(IniDocument, RefusesWritesThatWouldBreakTheFile)
{
    IniDocument ini(kFieldIni);
    EXPECT_FALSE(ini.writeString(u"COMMON", u"StyleNum", u"1\r\n[COMMON]"));
    EXPECT_FALSE(ini.writeString(u"COMMON", u"a=b", u"1"));
    EXPECT_FALSE(ini.writeString(u"", u"k", u"1"));
    EXPECT_FALSE(ini.writeString(u"COMMON", u"  ", u"1"));
    EXPECT_FALSE(ini.writeString(u"A]", u"k", u"1"));
    EXPECT_EQ(ini.toBytes(), kFieldIni);
}

TEST(IniDocument, CutsValuesToTheReadersBuffer)
{
    // Palette names are read into 20-byte buffers: at most 19 bytes, and
    // never half a GBK character.
    QByteArray iron; // ten times "铁"
    for (int i = 0; i < 10; ++i)
        iron += "\xCC\xFA";
    const IniDocument ini(QByteArray("[COMMON]\r\nEven=") + iron + "\r\nOdd=a" + iron + "\r\n");
    EXPECT_EQ(ini.readString(u"COMMON", u"Even", {}, 20), QString(9, QChar(0x94C1)));
    EXPECT_EQ(ini.readString(u"COMMON", u"Odd", {}, 20), QLatin1Char('a') + QString(9, QChar(0x94C1)));
    EXPECT_EQ(ini.readString(u"COMMON", u"Even"), QString(10, QChar(0x94C1)));
}

TEST(IniFile, ReadsDefaultsWhenTheFileIsMissingAndCreatesItOnWrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    IniFile ini(dir.filePath(QStringLiteral("field.ini")));
    EXPECT_EQ(ini.readInt(u"COMMON", u"StyleNum", 0), 0);
    EXPECT_EQ(ini.readString(u"COMMON", u"Pallette1", QStringLiteral("none")), QStringLiteral("none"));
    ASSERT_TRUE(ini.writeInt(u"COMMON", u"StyleNum", -1));
    EXPECT_EQ(ini.readInt(u"COMMON", u"StyleNum", 0), -1);
    // No lock file or temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("field.ini")});
}

TEST(IniFile, OneProgramsWriteKeepsTheOthersKeys)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("field.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kFieldIni);
    }
    IniFile designer(path);
    IniFile browser(path);
    ASSERT_TRUE(designer.writeInt(u"SysSet", u"FileType", 3));
    ASSERT_TRUE(browser.writeInt(u"COMMON", u"StyleNum", 4));
    ASSERT_TRUE(designer.writeString(u"COMMON", u"Pallette1", u"彩虹"));

    const IniDocument doc = IniFile(path).load();
    EXPECT_EQ(doc.readInt(u"SysSet", u"FileType", 1), 3);
    EXPECT_EQ(doc.readInt(u"COMMON", u"StyleNum", 0), 4);
    EXPECT_EQ(doc.readString(u"COMMON", u"Pallette1"), QStringLiteral("彩虹"));
    EXPECT_EQ(doc.readString(u"FileName", u"Pallette1"), QStringLiteral("nruler1.bmp"));
    EXPECT_EQ(doc.readInt(u"COMMON", u"CustomR", 192), 200);
}

// The cached text is read once and again whenever the file changed: a save
// through the lock and rename, a rewrite in place, a removal, another file
// under the name.
TEST(IniFile, CachedTextFollowsEveryChangeOfTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("field.ini"));
    const auto writeInPlace = [&](const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(0));
        ASSERT_EQ(f.write(bytes), bytes.size());
    };
    const auto pwave = [&] { return IniFile(path).loadCached()->readInt(u"FileName", u"PWave", -1); };
    IniFile ini(path);
    EXPECT_EQ(pwave(), -1) << "missing";
    writeInPlace(kFieldIni);
    EXPECT_EQ(pwave(), 0);
    const std::shared_ptr<const IniDocument> first = ini.loadCached();
    EXPECT_EQ(ini.loadCached(), first) << "unchanged: the same text, not read again";

    ASSERT_TRUE(ini.writeInt(u"FileName", u"PWave", 1));
    EXPECT_EQ(pwave(), 1);
    QByteArray changed = kFieldIni;
    changed.replace("PWave = 0", "PWave = 17");
    writeInPlace(changed);
    EXPECT_EQ(pwave(), 17) << "rewritten in place";
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(pwave(), -1);
    const QString other = dir.filePath(QStringLiteral("other.ini"));
    ASSERT_TRUE(IniFile(other).writeInt(u"FileName", u"PWave", 5));
    ASSERT_TRUE(QFile::rename(other, path));
    EXPECT_EQ(pwave(), 5);
}

TEST(IniFile, WholeDocumentSaveReplacesTheFileAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("layout.ini"));
    IniFile ini(path);
    ASSERT_TRUE(ini.writeString(u"System", u"Updated", u"0"));
    IniDocument doc = ini.load();
    ASSERT_TRUE(doc.writeInt(u"System", u"PageCount", 2));
    ASSERT_TRUE(doc.writeString(u"DrawText", u"OBJ1_Content", u"检测"));
    // Nothing reaches the disk before the save.
    EXPECT_FALSE(ini.load().value(u"DrawText", u"OBJ1_Content"));
    ASSERT_TRUE(ini.save(doc));
    EXPECT_EQ(ini.load().toBytes(), doc.toBytes());
    EXPECT_EQ(ini.readString(u"drawtext", u"OBJ1_Content "), QStringLiteral("检测"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("layout.ini")});

    // A folder that does not exist: the save fails and makes nothing.
    IniFile nowhere(dir.filePath(QStringLiteral("missing/layout.ini")));
    EXPECT_FALSE(nowhere.save(doc));
    EXPECT_FALSE(QFile::exists(nowhere.path()));
}

} // namespace
} // namespace platform
