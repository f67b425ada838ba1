// Checked readers for the values of draw-object records.
//
// One rule for every record of a report, an undo snapshot or the clipboard:
// a coordinate, size, pen width, font height or scale must lie inside the
// range a report can hold, and a float that places or sizes something must
// be a finite number in its range. A value outside its range makes the
// record invalid: the reader throws ArchiveError(BadValue) and the document
// refuses the whole file with its damaged-report message, so drawing and hit
// testing never meet a value whose arithmetic overflows. Measured values
// (temperatures, camera parameters) are kept as they stand: a damaged camera
// file may give non-finite ones, the program saves them so, and the code
// that draws them checks them.
//
// The ranges are far wider than anything the designer makes: positions lie
// within about 25 metres of the page origin (a page is a few thousand units;
// 1008 units make an inch), so the sum or difference of two coordinates,
// widened by pens and handles, stays far inside int.
#pragma once

#include "platform/archive_reader.h"

#include <cstdint>

namespace record_values {

// Largest magnitude of a stored page coordinate (x or y).
inline constexpr std::int32_t kMaxCoordinate = 1'000'000;
// Largest magnitude of a stored pen width (drawn 10.5 times as wide).
inline constexpr std::int32_t kMaxPenWidth = 10'000;
// Largest magnitude of a stored font height (twips: 1,000 points).
inline constexpr std::int32_t kMaxFontHeight = 20'000;
// Largest magnitude of a length (row height, picture size) in page units.
inline constexpr std::int32_t kMaxLength = 2 * kMaxCoordinate;
// Picture pixels per page unit: 0 (not yet laid out) or a normal number
// within these bounds.
inline constexpr float kMinScale = 1e-7f; // a 1-pixel picture over the whole range
inline constexpr float kMaxScale = 1e6f;

// Throws ArchiveError(BadValue) at the given offset unless ok.
void Require(const platform::ArchiveReader& ar, bool ok, std::size_t at);

// An i32 within [low, high].
std::int32_t ReadI32In(platform::ArchiveReader& ar, std::int32_t low, std::int32_t high);
// A page coordinate: |v| <= kMaxCoordinate.
std::int32_t ReadCoordinate(platform::ArchiveReader& ar);
// A pen width: |v| <= kMaxPenWidth.
std::int32_t ReadPenWidth(platform::ArchiveReader& ar);
// A finite f32.
float ReadFinite(platform::ArchiveReader& ar);
// A finite f32 within [low, high].
float ReadFiniteIn(platform::ArchiveReader& ar, float low, float high);
// A picture scale: 0, or within [kMinScale, kMaxScale].
float ReadScale(platform::ArchiveReader& ar);

// A computed page position held inside twice the coordinate range (for
// points derived from pixels and scales, whatever the pixels hold).
int ClampToPage(double v);

} // namespace record_values
