#include "document/draw_class.h"

#include "document/draw_obj.h"
#include "document/draw_photo.h"
#include "document/embedded_item.h"
#include "document/draw_poly.h"
#include "document/draw_rect.h"

#include <stdexcept>
#include <string>

bool DrawClass::IsDerivedFrom(const DrawClass& cls) const
{
    for (const DrawClass* c = this; c != nullptr; c = c->base) {
        if (c == &cls)
            return true;
    }
    return false;
}

bool DrawClass::IsDerivedFrom(std::string_view name) const
{
    for (const DrawClass* c = this; c != nullptr; c = c->base) {
        if (c->Name() == name)
            return true;
    }
    return false;
}

void DrawClassRegistry::Add(const DrawClass& cls)
{
    if (Find(cls.Name()) != nullptr)
        throw std::invalid_argument("draw class registered twice: " + std::string(cls.Name()));
    m_archive.add(cls.archive);
    m_classes.push_back(&cls);
}

const DrawClass* DrawClassRegistry::Find(std::string_view name) const
{
    for (const DrawClass* c : m_classes) {
        if (c->Name() == name)
            return c;
    }
    return nullptr;
}

DrawClassRegistry DrawClassRegistry::MakeBasic()
{
    DrawClassRegistry r;
    r.Add(CDrawObj::kClass);
    r.Add(CDrawRect::kClass);
    r.Add(CDrawPoly::kClass);
    r.Add(CDrawPhoto::kClass);
    r.Add(CDrawLogo::kClass);
    r.Add(CDrawOleObj::kClass);
    r.Add(CDrawItem::kClass);
    return r;
}

DrawClassRegistry& DrawClassRegistry::Standard()
{
    static DrawClassRegistry registry = MakeBasic();
    return registry;
}

int UndoTypeCodeOf(const DrawClass& cls)
{
    for (std::size_t code = 1; code < kUndoTypeClassNames.size(); ++code) {
        if (cls.IsDerivedFrom(kUndoTypeClassNames[code]))
            return static_cast<int>(code);
    }
    return kUndoTypeNone;
}
