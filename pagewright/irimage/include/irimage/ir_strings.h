// Texts of the infrared image object: the labels of its field identifiers,
// the scale formats and its messages. The program's string table may
// override any of them.
#pragma once

#include <QString>

class DocumentEnvironment;

namespace ir_string {
inline constexpr int kFieldGroupHeading = 33100; // + group 0..6
inline constexpr int kScaleFormat = 61446;       // + unit: "%5.1f℃", "%5.1f℉", "%5.1f K"
inline constexpr int kNoImage = 61461;           // no infrared image imported, cannot measure
inline constexpr int kNoLens = 61463;            // + lens code 1..3: the extension lenses
inline constexpr int kNoInfo = 61501;            // "No Info"
inline constexpr int kSheetName = 34022;         // "第%d页"
inline constexpr int kFileDialogTitle = 61457;   // choose an infrared image file
inline constexpr int kOpenExported = 61462;      // exported; open it?
inline constexpr int kOpenExportedCaption = 61476;
inline constexpr int kTargetInUse = 61502;       // the target file is in use
inline constexpr int kExporting = 61505;         // writing the workbook, please wait
inline constexpr int kGridTitle = 61516;         // "... %d点输出报告"
inline constexpr int kTargetTitle = 61522;       // the target report's title
inline constexpr int kPosition = 61523;          // "坐标"
} // namespace ir_string

// The text of id: the program's, else this library's own; empty when neither
// knows it.
QString IRString(const DocumentEnvironment& env, int id);
