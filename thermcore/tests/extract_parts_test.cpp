// Parts of the extracts the interface cannot reach on its own: the UTF-8 to
// GBK converter fed in pieces, and the refusals while a sequence's index is
// being built.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "extracts.h"
#include "file_open.h"
#include "fixture_files.h"
#include "gbk_text.h"

using namespace thermcore;
using thermcore_test::fixturePath;
using thermcore_test::ScratchDir;

namespace {

std::span<const uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

std::string converted(const std::vector<std::string>& pieces) {
    Utf8ToGbk c;
    std::string out;
    for (const std::string& p : pieces) c.feed(bytesOf(p), out);
    c.finish(out);
    return out;
}

TEST(Utf8ToGbk, WholeAndBrokenText) {
    struct Case {
        const char* utf8;
        const char* gbk;
    };
    const Case cases[] = {
        {"", ""},
        {"ok 12", "ok 12"},
        {"温度计。", "\xCE\xC2\xB6\xC8\xBC\xC6\xA1\xA3"},
        {"\xE2\x82\xAC", "\x80"},                   // the euro sign of code page 936
        {"a\xFF" "b", "a?b"},                       // a byte that is never UTF-8
        {"\xC0\xAF", "??"},                         // an overlong '/'
        {"\xED\xA0\x80!", "??" "?!"},                  // a surrogate, byte by byte
        {"\xE6\xB8" "x", "?x"},                     // a character missing its last byte
        {"\xF0\x9F\x98\x80" "x", "?x"},             // U+1F600, which GBK lacks
        {"\xF4\x90\x80\x80", "????"},               // above U+10FFFF
        {"\xE6\xB8", "?"},                          // cut off by the end of the text
        {"\x80\x80", "??"},                         // continuation bytes alone
    };
    for (const Case& c : cases) EXPECT_EQ(converted({c.utf8}), c.gbk) << c.utf8;
    EXPECT_EQ(utf8ToGbk(bytesOf("温")), "\xCE\xC2");
}

TEST(Utf8ToGbk, PiecesCutAnywhereGiveTheSameText) {
    const std::string text = "温度 \xF0\x9F\x98\x80 计ok\xFF。";
    const std::string whole = converted({text});
    EXPECT_EQ(whole, "\xCE\xC2\xB6\xC8 ? \xBC\xC6ok?\xA1\xA3");
    for (size_t a = 0; a <= text.size(); ++a) {
        for (size_t b = a; b <= text.size(); ++b) {
            EXPECT_EQ(converted({text.substr(0, a), text.substr(a, b - a), text.substr(b)}), whole)
                << a << " " << b;
        }
    }
    // finish() ends a text: a cut character does not reach into the next.
    Utf8ToGbk c;
    std::string out;
    c.feed(bytesOf("\xE6\xB8"), out);
    c.finish(out);
    c.feed(bytesOf("\xA9"), out);
    c.finish(out);
    EXPECT_EQ(out, "??");
}

TEST(Extracts, RefusedWhileTheIndexIsBuilt) {
    IfrObject obj;
    ASSERT_EQ(openFile(obj, fixturePath("k4_full").c_str(), IFR_KIND_IMAGE, nullptr, nullptr, nullptr), 0);
    ScratchDir dir;
    const std::string target = dir.path("out");
    EXPECT_EQ(existSound(obj), 1);
    EXPECT_EQ(existPhoto(obj), 1);
    obj.indexReady = 0;
    EXPECT_EQ(existSound(obj), 0);
    EXPECT_EQ(existPhoto(obj), 0);
    EXPECT_EQ(existRemark(obj), 0);
    EXPECT_EQ(writeSoundFile(obj, target.c_str()), -1);
    EXPECT_EQ(writePhotoFile(obj, target.c_str(), nullptr), -1);
    EXPECT_EQ(writeRemarkFile(obj, target.c_str()), -1);
    EXPECT_FALSE(std::filesystem::exists(target));
    obj.indexReady = 1;
    EXPECT_EQ(writeSoundFile(obj, target.c_str()), 1);
}

}  // namespace
