#include "registry/win32/com_registry_access.h"

#include <windows.h>

#include <string>
#include <utility>

#include "registry_access_idl.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::registry {

namespace {

using toolkit::RuntimeError;

// One owner per BSTR; by-reference arguments may come back replaced, so the owner frees
// whatever the component left in it. Its text crosses in the process's code page.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::string& text) {
        const std::wstring wide = win32::Widen(text);
        text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (text_ == nullptr)
            throw win32::SystemError("A text could not be passed to the registry component",
                                     static_cast<DWORD>(E_OUTOFMEMORY));
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(text_); }

    BSTR* InOut() { return &text_; }
    std::string Text() const { return win32::Narrow(text_ ? text_ : L"", SysStringLen(text_)); }

private:
    BSTR text_ = nullptr;
};

void Check(HRESULT hr) {
    if (FAILED(hr))
        throw RuntimeError(static_cast<std::int32_t>(hr), kComponentSource,
                           win32::DescribeSystemError(static_cast<DWORD>(hr)));
}

class ComRegistryAccess final : public RegistryAccess {
public:
    explicit ComRegistryAccess(win32::ComPtr<IRegistryAccess> component)
        : component_(std::move(component)) {}

    void ReadString(std::int32_t root, const std::string& keyPath, const std::string& valueName,
                    std::string& value, bool& ok) override {
        LONG rootArg = root;
        Bstr keyArg(keyPath);
        Bstr nameArg(valueName);
        Bstr valueArg;
        VARIANT_BOOL okArg = VARIANT_FALSE;
        Check(component_->ReadString(&rootArg, keyArg.InOut(), nameArg.InOut(), valueArg.InOut(),
                                     &okArg));
        ok = okArg != VARIANT_FALSE;
        if (ok) value = valueArg.Text();
    }

    void WriteString(std::int32_t root, const std::string& keyPath, const std::string& valueName,
                     const std::string& value, bool& ok) override {
        LONG rootArg = root;
        Bstr keyArg(keyPath);
        Bstr nameArg(valueName);
        Bstr valueArg(value);
        VARIANT_BOOL okArg = VARIANT_FALSE;
        Check(component_->WriteString(&rootArg, keyArg.InOut(), nameArg.InOut(), valueArg.InOut(),
                                      &okArg));
        ok = okArg != VARIANT_FALSE;
    }

private:
    win32::ComPtr<IRegistryAccess> component_;
};

// The running program's file name, for telling the user where the component belongs.
std::string ProgramFileName() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "the program";
    std::wstring name(path, length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    return win32::Narrow(name);
}

}  // namespace

}  // namespace vellum::registry

namespace vellum::win32 {

using registry::kComponentFile;

std::unique_ptr<registry::RegistryAccess> RegistryFactory::Create() {
    win32::ComPtr<IRegistryAccess> component;
    const HRESULT hr =
        CoCreateInstance(CLSID_RegistryAccess, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistryAccess,
                         reinterpret_cast<void**>(component.Put()));
    if (SUCCEEDED(hr)) return std::make_unique<registry::ComRegistryAccess>(std::move(component));

    // Whatever the cause (file missing, not registered, damaged), the cure is the same.
    const std::string what =
        std::string("The registry component ") + kComponentFile + " could not be created";
    throw toolkit::VellumError(
        static_cast<std::int32_t>(hr),
        win32::SystemErrorText(what, static_cast<DWORD>(hr)) + ". Make sure " + kComponentFile +
            " is in the program folder next to " + registry::ProgramFileName() + ".");
}

}  // namespace vellum::win32
