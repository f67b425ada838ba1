// Registry of live objects.
//
// A handle is only dereferenced once it is found here, so a stale or doubly
// freed handle gets the bad-handle result rather than reading freed memory.
// (A new object made at the address of a freed one makes the old handle
// valid again; the registry cannot tell them apart.)
#pragma once

#include "ifr_object.h"

namespace thermcore {

// Makes an object and registers it; NULL when it cannot be allocated.
IfrObject* createObject();
// Unregisters and destroys a live object; anything else is ignored.
void destroyObject(void* handle);
// The object behind a handle: registered and carrying the magic, else NULL.
IfrObject* liveObject(void* handle);

}  // namespace thermcore
