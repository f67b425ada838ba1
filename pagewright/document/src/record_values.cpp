#include "document/record_values.h"

#include <algorithm>
#include <cmath>

namespace record_values {

void Require(const platform::ArchiveReader& ar, bool ok, std::size_t at)
{
    if (!ok)
        ar.fail(platform::ArchiveErrorCode::BadValue, at);
}

std::int32_t ReadI32In(platform::ArchiveReader& ar, std::int32_t low, std::int32_t high)
{
    const std::size_t at = ar.position();
    const std::int32_t v = ar.readI32();
    Require(ar, low <= v && v <= high, at);
    return v;
}

std::int32_t ReadCoordinate(platform::ArchiveReader& ar) { return ReadI32In(ar, -kMaxCoordinate, kMaxCoordinate); }

std::int32_t ReadPenWidth(platform::ArchiveReader& ar) { return ReadI32In(ar, -kMaxPenWidth, kMaxPenWidth); }

float ReadFinite(platform::ArchiveReader& ar)
{
    const std::size_t at = ar.position();
    const float v = ar.readF32();
    Require(ar, std::isfinite(v), at);
    return v;
}

float ReadFiniteIn(platform::ArchiveReader& ar, float low, float high)
{
    const std::size_t at = ar.position();
    const float v = ar.readF32();
    Require(ar, low <= v && v <= high, at); // false for NaN too
    return v;
}

float ReadScale(platform::ArchiveReader& ar)
{
    const std::size_t at = ar.position();
    const float v = ar.readF32();
    Require(ar, v == 0.0f || (kMinScale <= v && v <= kMaxScale), at);
    return v;
}

int ClampToPage(double v)
{
    constexpr double kLimit = 2.0 * kMaxCoordinate;
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

} // namespace record_values
