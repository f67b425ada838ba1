// The 8-bit code page of every file the suite reads and writes.
//
// Camera files, report files, INI files and archives hold their texts in GBK
// (code page 936); inside the programs texts are UTF-8 or QString. These
// functions convert at that boundary through the C library's iconv.
//
// Damage is never fatal: a GBK byte that does not decode becomes U+FFFD, and a
// character that GBK cannot hold becomes '?' (the replacement the original
// system's converter used), so every input gives an output.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The code page number stored where a file records its code page.
inline constexpr int kGbkCodePage = 936;

QString fromGbk(QByteArrayView gbk);
QByteArray toGbk(QStringView text);

std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

// The length of the longest prefix of gbk that fits in maxBytes and does not
// end inside a double-byte character.
std::size_t gbkFitLength(QByteArrayView gbk, std::size_t maxBytes);

// gbk cut to at most maxBytes bytes, never splitting a double-byte character.
QByteArray truncateGbk(QByteArrayView gbk, std::size_t maxBytes);

// text in GBK, cut to at most maxBytes bytes at a character boundary.
QByteArray toGbk(QStringView text, std::size_t maxBytes);

// Code pages other than GBK, for texts that name their own (RTF font
// character sets, an RTF's \ansicpg).
inline constexpr int kWesternCodePage = 1252;

// The Windows code page of a font character set (the value of an RTF
// \fcharsetN or a CHARFORMAT's charset): 0 Western 1252, 134 GBK 936, 136
// Big5 950, 128 Shift-JIS 932, 129 Hangul 949, the European and Middle
// Eastern sets their 125x pages, 222 Thai 874. 0 for a set that names no
// code page of its own (1 default, 2 symbol, unknown values).
int codePageOfCharset(int charset);

// Converts between one Windows code page and Unicode, keeping its iconv
// descriptors open for repeated use (a reader or writer holds one per code
// page it meets). An unknown code page converts ASCII only.
class CodePageConverter {
public:
    explicit CodePageConverter(int codePage);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    int codePage() const { return m_codePage; }
    // True when iconv knows the code page.
    bool isValid() const { return m_decoder != nullptr; }
    // Bytes to text; a byte that does not decode (a lone lead byte) becomes
    // U+FFFD and the byte after it is read afresh. In a single-byte code page
    // every byte is one character (a letter and a combining accent are not
    // joined), so decoding what encode wrote gives the same characters.
    QString decode(QByteArrayView bytes);
    // One character (a Unicode scalar value) to its bytes in the code page,
    // appended to out; false, with out unchanged, when the code page has no
    // such character, or none that decode reads back as that one character
    // (a letter that 1258 holds only as a base letter and a combining mark,
    // a character a double-byte page maps onto another's bytes), so that
    // whatever encode writes decodes to exactly what was encoded.
    bool encode(char32_t c, QByteArray& out);

private:
    int m_codePage;
    bool m_singleByte;
    void* m_decoder = nullptr; // iconv_t
    void* m_encoder = nullptr;
};

// True for a byte that starts a double-byte GBK character.
constexpr bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// True for a byte that may follow a lead byte.
constexpr bool isGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

} // namespace platform
