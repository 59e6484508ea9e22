#pragma once

// The program's side of the registry component: VellumRegistry.dll, created by class id.

#include <memory>

#include "registry/registry_access.h"

namespace vellum::registry {

// The component's file, named in the messages a failed creation shows.
inline constexpr const char* kComponentFile = "VellumRegistry.dll";
// The source of failures the component itself reports.
inline constexpr const char* kComponentSource = "Vellum.RegistryAccess";

}  // namespace vellum::registry

namespace vellum::win32 {

// Creates RegistryAccess instances through CoCreateInstance, found by the program's manifest
// or by the component's registration. COM must already be initialised on the calling thread.
class RegistryFactory : public registry::RegistryFactory {
public:
    // Throws toolkit::RuntimeError (number: the HRESULT) when the component cannot be
    // created, with a description that tells the user what to fix.
    std::unique_ptr<registry::RegistryAccess> Create() override;
};

}  // namespace vellum::win32
