// UTF-8 text to GBK (code page 936), the 8-bit code page of the camera
// software, through the C library's iconv.
//
// The text may come in pieces: a character cut between two pieces is
// completed by the next. Damage is never fatal: a byte sequence that is not
// UTF-8 (each maximal broken part), a character GBK cannot hold, and a
// character still incomplete when the text ends each become one '?'. The
// output never holds half of a double-byte character.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <iconv.h>

namespace thermcore {

class Utf8ToGbk {
public:
    Utf8ToGbk();
    ~Utf8ToGbk();
    Utf8ToGbk(const Utf8ToGbk&) = delete;
    Utf8ToGbk& operator=(const Utf8ToGbk&) = delete;

    // Appends the GBK of the next piece to out.
    void feed(std::span<const uint8_t> piece, std::string& out);
    // Ends the text (a character still incomplete becomes '?'); the next
    // feed begins a new text.
    void finish(std::string& out);

private:
    void convertValid(std::span<const uint8_t> run, std::string& out);

    iconv_t cd_;
    std::vector<uint8_t> pending_;  // the start of a character cut off by the piece's end
};

// The whole text at once.
std::string utf8ToGbk(std::span<const uint8_t> text);

}  // namespace thermcore
