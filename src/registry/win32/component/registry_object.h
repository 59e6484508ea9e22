#pragma once

// The RegistryAccess class itself: IRegistryAccess over the real registry.

#include <windows.h>

namespace vellum::registry::component {

// Makes a new object and asks it for `iid`; what a class factory's CreateInstance does.
HRESULT CreateRegistryAccess(REFIID iid, void** object);

}  // namespace vellum::registry::component
