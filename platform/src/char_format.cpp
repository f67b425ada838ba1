#include "platform/char_format.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

std::uint32_t readU32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void writeU32(QByteArray& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::optional<CHARFORMAT> CHARFORMAT::FromBytes(QByteArrayView bytes)
{
    if (static_cast<std::size_t>(bytes.size()) < kSize)
        return std::nullopt;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    CHARFORMAT cf;
    cf.cbSize = readU32(p);
    cf.dwMask = readU32(p + 4);
    cf.dwEffects = readU32(p + 8);
    cf.yHeight = static_cast<std::int32_t>(readU32(p + 12));
    cf.yOffset = static_cast<std::int32_t>(readU32(p + 16));
    cf.crTextColor = readU32(p + 20);
    cf.bCharSet = p[24];
    cf.bPitchAndFamily = p[25];
    std::memcpy(cf.szFaceName.data(), p + 26, kFaceBytes);
    cf.padding = {p[58], p[59]};
    return cf;
}

QByteArray CHARFORMAT::ToBytes() const
{
    QByteArray out;
    out.reserve(kSize);
    writeU32(out, cbSize);
    writeU32(out, dwMask);
    writeU32(out, dwEffects);
    writeU32(out, static_cast<std::uint32_t>(yHeight));
    writeU32(out, static_cast<std::uint32_t>(yOffset));
    writeU32(out, crTextColor);
    out.append(static_cast<char>(bCharSet));
    out.append(static_cast<char>(bPitchAndFamily));
    out.append(szFaceName.data(), kFaceBytes);
    out.append(static_cast<char>(padding[0]));
    out.append(static_cast<char>(padding[1]));
    return out;
}

QString CHARFORMAT::FaceName() const
{
    const auto* end = std::find(szFaceName.begin(), szFaceName.end(), '\0');
    return fromGbk(QByteArrayView(szFaceName.data(), end - szFaceName.begin()));
}

void CHARFORMAT::SetFaceName(const QString& face)
{
    const QByteArray gbk = toGbk(face, kFaceBytes - 1);
    szFaceName.fill('\0');
    std::memcpy(szFaceName.data(), gbk.constData(), static_cast<std::size_t>(gbk.size()));
}

} // namespace platform
