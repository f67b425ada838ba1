#include "gbk_text.h"

#include <cerrno>

namespace thermcore {

namespace {

constexpr char kReplacement = '?';
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

enum class Utf8 { Complete, Incomplete, Invalid };
struct Utf8Char {
    Utf8 state;
    size_t length;  // of the character, of what there is of it, or of the broken part
};

// The character at the start of s (not empty), by the well-formed byte
// sequences of UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
Utf8Char utf8At(std::span<const uint8_t> s) {
    const uint8_t lead = s[0];
    if (lead < 0x80) return {Utf8::Complete, 1};
    size_t n = 0;
    uint8_t low = 0x80;  // range of the second byte
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {Utf8::Invalid, 1};
    }
    for (size_t i = 1; i < n; ++i) {
        if (i >= s.size()) return {Utf8::Incomplete, i};
        const uint8_t c = s[i];
        if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return {Utf8::Invalid, i};
    }
    return {Utf8::Complete, n};
}

}  // namespace

Utf8ToGbk::Utf8ToGbk() : cd_(iconv_open("GBK", "UTF-8")) {}

Utf8ToGbk::~Utf8ToGbk() {
    if (cd_ != kNoConverter) iconv_close(cd_);
}

void Utf8ToGbk::feed(std::span<const uint8_t> piece, std::string& out) {
    std::vector<uint8_t> joined;
    std::span<const uint8_t> s = piece;
    if (!pending_.empty()) {
        joined.swap(pending_);
        joined.insert(joined.end(), piece.begin(), piece.end());
        s = joined;
    }
    // Runs of whole characters go to iconv; broken parts become '?' here.
    size_t run = 0;
    size_t i = 0;
    while (i < s.size()) {
        const Utf8Char c = utf8At(s.subspan(i));
        if (c.state == Utf8::Complete) {
            i += c.length;
            continue;
        }
        convertValid(s.subspan(run, i - run), out);
        if (c.state == Utf8::Incomplete) {
            pending_.assign(s.begin() + static_cast<ptrdiff_t>(i), s.end());
            return;
        }
        out += kReplacement;
        i += c.length;
        run = i;
    }
    convertValid(s.subspan(run), out);
}

void Utf8ToGbk::finish(std::string& out) {
    if (!pending_.empty()) out += kReplacement;
    pending_.clear();
}

// run holds whole UTF-8 characters only.
void Utf8ToGbk::convertValid(std::span<const uint8_t> run, std::string& out) {
    if (cd_ == kNoConverter) {
        // No converter on this system: ASCII stays, the rest is replaced.
        for (size_t i = 0; i < run.size(); i += utf8At(run.subspan(i)).length) {
            out += run[i] < 0x80 ? static_cast<char>(run[i]) : kReplacement;
        }
        return;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(run.data()));
    size_t inLeft = run.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* o = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd_, &in, &inLeft, &o, &outLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // A character GBK cannot hold.
        out += kReplacement;
        const size_t n = utf8At({reinterpret_cast<const uint8_t*>(in), inLeft}).length;
        in += n;
        inLeft -= n;
    }
}

std::string utf8ToGbk(std::span<const uint8_t> text) {
    Utf8ToGbk converter;
    std::string out;
    converter.feed(text, out);
    converter.finish(out);
    return out;
}

}  // namespace thermcore
