// The scalable font families fontconfig knows for a language, by the first
// of their names (the same source Qt's font database reads, without the
// foundry-qualified duplicates, subfamilies and generic names Qt adds).
#pragma once

#include <QString>

#include <vector>

namespace skin {

struct FontFamily {
    QString name;
    bool fixedPitch = false;
};

// lang: a fontconfig language tag ("zh-cn", "en"). Sorted by name, each
// family once.
std::vector<FontFamily> ScalableFamilies(const char* lang);

} // namespace skin
