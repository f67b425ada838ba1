#include "font_families.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>

namespace skin {

std::vector<FontFamily> ScalableFamilies(const char* lang)
{
    std::vector<FontFamily> out;
    if (FcInit() == FcFalse)
        return out;
    std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    std::unique_ptr<FcLangSet, decltype(&FcLangSetDestroy)> langs(FcLangSetCreate(), FcLangSetDestroy);
    std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
        FcObjectSetBuild(FC_FAMILY, FC_SPACING, nullptr), FcObjectSetDestroy);
    if (!pattern || !langs || !objects)
        return out;
    FcLangSetAdd(langs.get(), reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddLangSet(pattern.get(), FC_LANG, langs.get());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(FcFontList(nullptr, pattern.get(), objects.get()),
                                                                   FcFontSetDestroy);
    if (!fonts)
        return out;
    std::map<QString, bool> families;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch || family == nullptr)
            continue;
        int spacing = FC_PROPORTIONAL;
        FcPatternGetInteger(fonts->fonts[i], FC_SPACING, 0, &spacing);
        bool& fixed = families[QString::fromUtf8(reinterpret_cast<const char*>(family))];
        fixed = fixed || spacing >= FC_MONO;
    }
    out.reserve(families.size());
    for (const auto& [name, fixed] : families)
        out.push_back({name, fixed});
    return out;
}

} // namespace skin
