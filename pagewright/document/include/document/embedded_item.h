// CDrawOleObj and CDrawItem: the embedded and linked items of reports made
// on the original platform. Such an item needs the platform's object
// container services, which this one lacks, and its record holds the item in
// a container form that carries no length, so a reader cannot step over it.
// The classes are registered by name only so that a report holding one is
// refused with a message that names the cause (doc_string::kEmbeddedObject)
// instead of an unknown object; nothing makes or writes them.
#pragma once

#include "document/draw_obj.h"

class CDrawOleObj : public CDrawObj {
public:
    static const DrawClass kClass;
    const DrawClass& GetRuntimeClass() const override { return kClass; }
    // Reading refuses (RecordRefused with kEmbeddedObject).
    void Serialize(platform::ArchiveReader& ar) override;
    using CDrawObj::Serialize;
};

// The item inside a CDrawOleObj record.
class CDrawItem : public CDrawObj {
public:
    static const DrawClass kClass;
    const DrawClass& GetRuntimeClass() const override { return kClass; }
    void Serialize(platform::ArchiveReader& ar) override;
    using CDrawObj::Serialize;
};
