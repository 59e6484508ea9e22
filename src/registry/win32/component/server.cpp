// The DLL's entry points: its class factory and its self-registration.

#include <olectl.h>
#include <windows.h>

#include <string>

#include "registry/win32/component/registry_object.h"
#include "registry/win32/component/registry_store.h"
#include "registry/win32/component/server_module.h"
#include "registry_access_idl.h"
#include "toolkit/win32/handles.h"

namespace vellum::registry::component {

namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;

constexpr const wchar_t* kDescription = L"Vellum Registry Access";

class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory for the DLL's life; LockServer, not its count, keeps the DLL loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        return CreateRegistryAccess(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            AddServerLock();
        else
            ReleaseServerLock();
        return S_OK;
    }
};

ClassFactory g_factory;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, ARRAYSIZE(text));
    return text;
}

std::wstring ClassKeyPath() {
    return L"CLSID\\" + GuidText(CLSID_RegistryAccess);
}

// Sets a string value under HKEY_CLASSES_ROOT\<path>, creating the key; `name` null is the
// key's default value.
HRESULT SetClassesValue(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    return WriteRegistryString(HKEY_CLASSES_ROOT, path.c_str(), name, text.c_str(), text.size())
               ? S_OK
               : SELFREG_E_CLASS;
}

HRESULT RegisterClassKeys(const std::wstring& path) {
    const std::wstring classKey = ClassKeyPath();
    const std::wstring inproc = classKey + L"\\InprocServer32";
    const struct {
        std::wstring key;
        const wchar_t* name;
        std::wstring text;
    } entries[] = {
        {classKey, nullptr, kDescription},
        {inproc, nullptr, path},
        {inproc, L"ThreadingModel", L"Apartment"},
        {classKey + L"\\ProgID", nullptr, kProgId},
        {classKey + L"\\TypeLib", nullptr, GuidText(LIBID_VellumRegistryLib)},
        {kProgId, nullptr, kDescription},
        {std::wstring(kProgId) + L"\\CLSID", nullptr, GuidText(CLSID_RegistryAccess)},
    };
    for (const auto& entry : entries) {
        const HRESULT hr = SetClassesValue(entry.key, entry.name, entry.text);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

bool ClassesKeyExists(const std::wstring& path) {
    return static_cast<bool>(OpenKey(HKEY_CLASSES_ROOT, path.c_str(), KEY_READ));
}

HRESULT DeleteClassesTree(const std::wstring& path) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
    return HRESULT_FROM_WIN32(status);
}

}  // namespace

HMODULE ServerModule() {
    return g_module;
}

std::wstring ServerPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void AddServerLock() {
    InterlockedIncrement(&g_locks);
}
void ReleaseServerLock() {
    InterlockedDecrement(&g_locks);
}

}  // namespace vellum::registry::component

namespace component = vellum::registry::component;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        component::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_RegistryAccess)) return CLASS_E_CLASSNOTAVAILABLE;
    return component::g_factory.QueryInterface(iid, object);
}

STDAPI DllCanUnloadNow() {
    return component::g_locks == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
    // RegisterTypeLib takes a non-const path.
    std::wstring path = component::ServerPath();
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    HRESULT hr = component::RegisterClassKeys(path);
    if (FAILED(hr)) return hr;
    vellum::win32::ComPtr<ITypeLib> library;
    hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
    if (FAILED(hr)) return hr;
    hr = RegisterTypeLib(library.Get(), path.data(), nullptr);
    return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

STDAPI DllUnregisterServer() {
    HRESULT hr = component::DeleteClassesTree(component::ClassKeyPath());
    const HRESULT progIdResult = component::DeleteClassesTree(component::kProgId);
    if (SUCCEEDED(hr)) hr = progIdResult;
    // Unregister the type library by the identity it carries, so nothing here can disagree.
    const std::wstring path = component::ServerPath();
    vellum::win32::ComPtr<ITypeLib> library;
    if (!path.empty() && SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put()))) {
        TLIBATTR* attributes = nullptr;
        if (SUCCEEDED(library->GetLibAttr(&attributes))) {
            const HRESULT typeLibResult =
                UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum,
                                  attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
            const bool stillThere =
                component::ClassesKeyExists(L"TypeLib\\" + component::GuidText(attributes->guid));
            library->ReleaseTLibAttr(attributes);
            // A library that was not registered is as gone as unregistering asks for.
            if (SUCCEEDED(hr) && FAILED(typeLibResult) && stillThere) hr = SELFREG_E_TYPELIB;
        }
    }
    return hr;
}
