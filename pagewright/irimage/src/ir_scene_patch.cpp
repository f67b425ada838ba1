#include "irimage/ir_scene_patch.h"

#include "irimage/ir_property_values.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr long kBlockSize = 428;

void PutU16(QByteArray& bytes, qsizetype at, std::int32_t value)
{
    const auto v = static_cast<std::uint16_t>(std::clamp<std::int32_t>(value, 0, 0xFFFF));
    bytes[at] = static_cast<char>(v & 0xFF);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

void PutI32(QByteArray& bytes, qsizetype at, std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (qsizetype i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

long SceneBlockOffset(const QByteArray& bytes)
{
    static constexpr char kPrefix[] = "VN410K";
    const long size = static_cast<long>(bytes.size());
    long found = -1;
    for (long i = 0; i + 7 <= size; ++i) {
        if (std::memcmp(bytes.constData() + i, kPrefix, 6) == 0 && bytes.at(static_cast<qsizetype>(i) + 6) != 'V') {
            found = i;
            break;
        }
    }
    if (found < 0 || found + kBlockSize > size)
        return -1;
    return found;
}

bool PatchSceneValues(QByteArray& bytes, int scheme, int subKind, const IRSceneValues& values)
{
    if (scheme < 0 || scheme > 3)
        return false;
    const qsizetype at = SceneBlockOffset(bytes);
    if (at < 0)
        return false;
    PutI32(bytes, at + 40, RoundHalfAway(double(values.ambient) * 100.0));
    PutU16(bytes, at + 340, RoundHalfAway(double(values.emissivity) * 100.0));
    const bool hundredths = scheme == 3 && subKind != 6;
    PutU16(bytes, at + 44, RoundHalfAway(double(values.distance) * (hundredths ? 100.0 : 1.0)));
    PutU16(bytes, at + 46, RoundHalfAway(double(values.humidity) * 100.0));
    return true;
}
