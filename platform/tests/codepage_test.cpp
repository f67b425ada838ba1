#include "platform/codepage.h"

#include <QList>

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

namespace platform {
namespace {

using test::hex;

TEST(CodePage, ConvertsBothWays)
{
    struct Case {
        const char* gbkHex;
        QString text;
    };
    const Case cases[] = {
        {"", QString()},
        {"616263", QStringLiteral("abc")},
        {"d6d0cec4", QStringLiteral("中文")},
        {"baecc9ab3a312e35", QStringLiteral("红色:1.5")},
        {"80", QStringLiteral("€")}, // the single byte of code page 936
        {"a1e6", QStringLiteral("℃")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fromGbk(hex(c.gbkHex)), c.text) << c.gbkHex;
        EXPECT_EQ(toGbk(c.text), hex(c.gbkHex)) << c.gbkHex;
    }
}

TEST(CodePage, ReplacesWhatDoesNotConvert)
{
    // A GBK byte that does not decode becomes U+FFFD; the byte after a broken
    // lead byte is kept when it stands on its own.
    EXPECT_EQ(fromGbk(hex("61ff62")), QStringLiteral("a\uFFFDb"));
    EXPECT_EQ(fromGbk(hex("8120")), QStringLiteral("\uFFFD "));
    EXPECT_EQ(fromGbk(hex("d6d0d6")), QStringLiteral("中\uFFFD")); // cut off at the end
    // A character GBK cannot hold becomes '?'.
    EXPECT_EQ(toGbk(QStringLiteral("a\u0E01b")), QByteArray("a?b"));
    EXPECT_EQ(toGbk(QString::fromUtf8("x\xF0\x9F\x98\x80y")), QByteArray("x?y"));
    // Broken UTF-8 in the std::string interface.
    EXPECT_EQ(utf8ToGbk("\xC3(\xE4\xB8"), "?(?");
    EXPECT_EQ(gbkToUtf8("\xD6\xD0"), "\xE4\xB8\xAD");
}

TEST(CodePage, CutsAtCharacterBoundaries)
{
    const QByteArray text = hex("d6d061d6d0"); // 中 a 中
    const struct {
        std::size_t limit;
        std::size_t expected;
    } cases[] = {{0, 0}, {1, 0}, {2, 2}, {3, 3}, {4, 3}, {5, 5}, {99, 5}};
    for (const auto& c : cases) {
        EXPECT_EQ(gbkFitLength(text, c.limit), c.expected) << c.limit;
        EXPECT_EQ(truncateGbk(text, c.limit), text.left(static_cast<qsizetype>(c.expected))) << c.limit;
    }
    // A lead byte without a valid trail byte counts as one byte.
    EXPECT_EQ(gbkFitLength(hex("6181"), 2), 2u);
    EXPECT_EQ(gbkFitLength(hex("812061"), 2), 2u);
    EXPECT_EQ(toGbk(QStringLiteral("报表简介"), 7), hex("b1a8b1edbcf2"));
}

} // namespace
} // namespace platform

namespace platform {
namespace {

TEST(CodePageConverter, DecodesAndEncodesByCodePage)
{
    struct Case {
        int codePage;
        const char* hexBytes;
        QString text;
    };
    const Case cases[] = {
        {936, "d6d0cec4", QStringLiteral("中文")},
        {1252, "e9e8a3", QStringLiteral("éè£")},
        {1252, "80", QStringLiteral("€")},
        {1251, "cff0e8e2e5f2", QStringLiteral("Привет")},
        {932, "82a0", QStringLiteral("あ")},
        {950, "a4a4", QStringLiteral("中")},
        {1258, "61e2", QStringLiteral("aâ")}, // the last character is held back until the end
        // A letter and a combining accent stay two characters, as written.
        {1258, "61cc", QStringLiteral("a\u0300")},
        {1255, "f9c4", QStringLiteral("\u05E9\u05B4")},
    };
    for (const Case& c : cases) {
        CodePageConverter cp(c.codePage);
        ASSERT_TRUE(cp.isValid()) << c.codePage;
        EXPECT_EQ(cp.decode(test::hex(c.hexBytes)), c.text) << c.codePage;
        QByteArray encoded;
        for (char32_t u : c.text.toUcs4())
            ASSERT_TRUE(cp.encode(u, encoded)) << c.codePage;
        EXPECT_EQ(encoded, test::hex(c.hexBytes)) << c.codePage;
    }
}

TEST(CodePageConverter, RefusesWhatTheCodePageLacks)
{
    CodePageConverter western(1252);
    QByteArray out("x");
    EXPECT_FALSE(western.encode(U'中', out));
    EXPECT_FALSE(western.encode(0xD800, out)); // a lone surrogate is no character
    EXPECT_EQ(out, QByteArray("x"));
    // A lone lead byte decodes as U+FFFD and the next byte is read afresh.
    EXPECT_EQ(CodePageConverter(936).decode(test::hex("b020")), QStringLiteral("\uFFFD "));
    // An unknown code page keeps ASCII only.
    CodePageConverter unknown(12345);
    EXPECT_FALSE(unknown.isValid());
    EXPECT_EQ(unknown.decode(test::hex("41e9")), QStringLiteral("A\uFFFD"));
}

// A precomposed letter that CP1258 has no byte for: iconv gives the base
// letter and a combining grave, which the decoder reads as two characters,
// so the converter refuses it (the RTF writer writes a \u instead).
TEST(CodePageConverter, RefusesBytesThatDecodeToOtherCharacters)
{
    CodePageConverter vietnamese(1258);
    QByteArray out("x");
    EXPECT_FALSE(vietnamese.encode(U'\u00CC', out)); // I grave: "I" + 0xCC
    EXPECT_FALSE(vietnamese.encode(U'\u1EA0', out)); // A dot below: "A" + 0xF2
    EXPECT_EQ(out, QByteArray("x"));
    EXPECT_TRUE(vietnamese.encode(U'\u00C2', out)); // A circumflex has a byte of its own
    EXPECT_EQ(out, hex("78c2"));
}

// The iconv name of each code page a font character set names (a copy of
// the converter's table, so that the test asks iconv itself what it claims).
const char* IconvName(int codePage)
{
    switch (codePage) {
    case 936: return "GBK";
    case 950: return "BIG5";
    case 10000: return "MACINTOSH";
    default: return nullptr;
    }
}

// Every character of the Basic Multilingual Plane that iconv claims to
// encode in a code page a font table can name (every charset 0-255 with a
// code page): the converter encodes it exactly when what iconv gives
// decodes back to that one character, and whatever it encodes decodes to
// that character. The rest goes out of the RTF writer as \uN.
TEST(CodePageConverter, EncodesOnlyWhatDecodesBackInEveryCodePage)
{
    std::vector<int> codePages;
    for (int charset = 0; charset <= 255; ++charset) {
        const int page = codePageOfCharset(charset);
        if (page != 0 && std::find(codePages.begin(), codePages.end(), page) == codePages.end())
            codePages.push_back(page);
    }
    EXPECT_EQ(codePages.size(), 16u);
    for (const int page : codePages) {
        SCOPED_TRACE(page);
        CodePageConverter converter(page);
        ASSERT_TRUE(converter.isValid());
        const std::string name = IconvName(page) != nullptr ? IconvName(page) : "CP" + std::to_string(page);
        const iconv_t cd = iconv_open(name.c_str(), "UTF-16LE");
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
        int claimed = 0;
        int refused = 0;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            char16_t unit = static_cast<char16_t>(c);
            char* in = reinterpret_cast<char*>(&unit);
            std::size_t inLeft = 2;
            char buffer[16];
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const bool claims = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
                                inLeft == 0 && iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == 0;
            const QByteArray iconvBytes(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
            const QString one = QString(QChar(unit));
            QByteArray encoded;
            const bool encodes = converter.encode(c, encoded);
            if (encodes) {
                ASSERT_EQ(converter.decode(encoded), one) << std::hex << unsigned(c);
                ASSERT_EQ(encoded, iconvBytes) << std::hex << unsigned(c);
            }
            if (claims) {
                ++claimed;
                EXPECT_EQ(encodes, converter.decode(iconvBytes) == one) << std::hex << unsigned(c);
                refused += encodes ? 0 : 1;
            } else {
                EXPECT_FALSE(encodes) << std::hex << unsigned(c);
            }
        }
        iconv_close(cd);
        EXPECT_GT(claimed, 0);
        RecordProperty("refused_" + std::to_string(page), refused);
        if (page == 1258) {
            EXPECT_GT(refused, 0); // the precomposed letters of Vietnamese
        }
    }
}

TEST(CodePageConverter, MapsCharacterSetsToCodePages)
{
    EXPECT_EQ(codePageOfCharset(0), 1252);
    EXPECT_EQ(codePageOfCharset(134), 936);
    EXPECT_EQ(codePageOfCharset(136), 950);
    EXPECT_EQ(codePageOfCharset(204), 1251);
    EXPECT_EQ(codePageOfCharset(1), 0); // the default set names none
    EXPECT_EQ(codePageOfCharset(2), 0);
    EXPECT_EQ(codePageOfCharset(99), 0);
}

} // namespace
} // namespace platform
