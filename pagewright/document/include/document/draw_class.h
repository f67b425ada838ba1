// Run-time classes of draw objects: each class's stored name, schema and
// factory (for reading reports), its base class (for "is kind of" tests) and
// what undo needs to re-create its objects. One static DrawClass per class:
//
//     const DrawClass CDrawRect::kClass{
//         {"CDrawRect", 0, &platform::createArchiveObject<CDrawRect>}, &CDrawObj::kClass,
//         &CreateDrawObjForUndo<CDrawRect>};
//
// A DrawClassRegistry is the fixed set of classes a report may hold. The
// standard registry starts with this library's classes; the classes of later
// modules (infrared images, text, tables, charts, photos, ...) are added to it
// as the program starts. A report holding a class the registry lacks does not
// open.
#pragma once

#include "document/geometry.h"
#include "platform/archive.h"

#include <cstddef>

#include <array>
#include <memory>
#include <string_view>
#include <vector>

class CDrawObj;
class DrawView;

struct DrawClass {
    platform::ArchiveClass archive; // name, schema, no-argument factory
    const DrawClass* base = nullptr;
    // Makes an object the way undo re-creates one (with the view and an empty
    // rectangle); null when objects of the class are not re-created.
    std::unique_ptr<CDrawObj> (*createForUndo)(DrawView* view) = nullptr;
    // Called after undo or redo read a record into an object: recreated is
    // true for an object made by createForUndo, false for one changed in
    // place. Tables lay out their cells here, text leaves edit mode.
    void (*afterUndoRead)(CDrawObj& object, DrawView* view, bool recreated) = nullptr;
    // Undo of a change replaces the object by a new one read from the record
    // instead of reading the record into it (tables).
    bool replaceOnUndoChange = false;

    std::string_view Name() const { return archive.name; }
    // True when this class is cls or derives from it.
    bool IsDerivedFrom(const DrawClass& cls) const;
    bool IsDerivedFrom(std::string_view name) const;
};

template <class T>
std::unique_ptr<CDrawObj> CreateDrawObjForUndo(DrawView* view)
{
    return std::make_unique<T>(view, DocRect{});
}

class DrawClassRegistry {
public:
    DrawClassRegistry() = default;

    // Adds a class; a name already present is a programming error
    // (std::invalid_argument).
    void Add(const DrawClass& cls);
    const DrawClass* Find(std::string_view name) const;
    const platform::ArchiveClassRegistry& ArchiveRegistry() const { return m_archive; }
    const std::vector<const DrawClass*>& Classes() const { return m_classes; }

    // The program's registry: CDrawObj, CDrawRect and CDrawPoly, and whatever
    // the program adds at start.
    static DrawClassRegistry& Standard();
    // A registry with this library's classes only.
    static DrawClassRegistry MakeBasic();

private:
    std::vector<const DrawClass*> m_classes;
    platform::ArchiveClassRegistry m_archive;
};

// Thrown while reading a record that the program refuses for a reason of
// its own (an archive fault to every reader); the document shows the text of
// the string id instead of its general message.
class RecordRefused : public platform::ArchiveError {
public:
    RecordRefused(int stringId, std::size_t offset)
        : platform::ArchiveError(platform::ArchiveErrorCode::BadClass, offset), m_stringId(stringId)
    {
    }
    int StringId() const { return m_stringId; }

private:
    int m_stringId;
};

// Undo identifies an object by a type code and its ordinal among the objects
// of that code. The code of a class is the first of these tests it passes
// ("is kind of" the named class); 0 when none does (embedded OLE items).
inline constexpr std::array<std::string_view, 14> kUndoTypeClassNames = {
    "",              "CDrawIR",        "CDrawPhoto",    "CDrawLogo",      "CDraw3DMap",
    "CDrawPoly",     "CDrawField",     "CDrawTable",    "CDrawResultTable", "CDrawProfile",
    "CDrawHistogram", "CDrawTimeProfile", "CDrawText",  "CDrawRect"};
inline constexpr int kUndoTypeNone = 0;
inline constexpr int kUndoTypeRect = 13;

int UndoTypeCodeOf(const DrawClass& cls);
