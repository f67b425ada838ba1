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

// True for a byte that starts a double-byte GBK character.
constexpr bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// True for a byte that may follow a lead byte.
constexpr bool isGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

} // namespace platform
