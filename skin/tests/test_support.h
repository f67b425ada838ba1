// One QApplication for the skin tests, and a skin of a given style made
// current.
#pragma once

#include "skin/skin_colors.h"

#include <memory>

void EnsureQApplication();
// A skin built from preset styleNum and made the current one.
std::unique_ptr<skin::SkinState> MakeSkin(int styleNum = 0);
// Saves a screenshot for looking at, beside the test binary.
void SaveShot(const QImage& image, const char* name);

#include <QString>
#include <ostream>

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
