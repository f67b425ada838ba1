#include "document/embedded_item.h"

#include "document/document_environment.h"

#include "platform/archive_reader.h"

// Neither class is re-created by undo: no object of them ever exists.
const DrawClass CDrawOleObj::kClass{{"CDrawOleObj", 0, &platform::createArchiveObject<CDrawOleObj>}, &CDrawObj::kClass};
const DrawClass CDrawItem::kClass{{"CDrawItem", 0, &platform::createArchiveObject<CDrawItem>}, nullptr};

void CDrawOleObj::Serialize(platform::ArchiveReader& ar)
{
    throw RecordRefused(doc_string::kEmbeddedObject, ar.position());
}

void CDrawItem::Serialize(platform::ArchiveReader& ar)
{
    throw RecordRefused(doc_string::kEmbeddedObject, ar.position());
}
