#include "registry/win32/component/registry_object.h"

#include <new>
#include <string>

#include "registry/win32/component/dispatch_args.h"
#include "registry/win32/component/registry_store.h"
#include "registry/win32/component/server_module.h"
#include "registry_access_idl.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"

namespace vellum::registry::component {

namespace {

// The dispatch ids the interface description gives its operations.
constexpr DISPID kDeleteValueId = 1;
constexpr DISPID kWriteStringId = 2;
constexpr DISPID kReadStringId = 3;

// An automation string may be null, which means empty.
const wchar_t* Text(BSTR text) {
    return text ? text : L"";
}

VARIANT_BOOL ToVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

// A failed operation reaches a late-bound caller as an exception carrying its result.
HRESULT RaiseException(HRESULT hr, EXCEPINFO* exception) {
    if (exception == nullptr) return hr;
    *exception = EXCEPINFO{};
    exception->scode = hr;
    exception->bstrSource = SysAllocString(kProgId);
    const std::wstring description =
        win32::Widen(win32::DescribeSystemError(static_cast<DWORD>(hr)));
    exception->bstrDescription = SysAllocString(description.c_str());
    return DISP_E_EXCEPTION;
}

class RegistryAccessObject final : public IRegistryAccess {
public:
    RegistryAccessObject() { AddServerLock(); }
    RegistryAccessObject(const RegistryAccessObject&) = delete;
    RegistryAccessObject& operator=(const RegistryAccessObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, IID_IRegistryAccess)) {
            *object = static_cast<IRegistryAccess*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (info == nullptr) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        const HRESULT hr = LoadTypeInfo();
        if (FAILED(hr)) return hr;
        typeInfo_->AddRef();
        *info = typeInfo_.Get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        const HRESULT hr = LoadTypeInfo();
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(typeInfo_.Get(), names, count, ids);
    }
    // By hand rather than DispInvoke: script engines pass their variables as
    // VT_BYREF|VT_VARIANT, which DispInvoke refuses for typed by-reference parameters.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) override;

    // IRegistryAccess
    HRESULT STDMETHODCALLTYPE DeleteValue(LONG* root, BSTR* keyPath, BSTR* valueName,
                                          VARIANT_BOOL* ok) override {
        if (!root || !keyPath || !valueName || !ok) return E_POINTER;
        *ok = ToVariantBool(DeleteRegistryValue(RootKey(*root), Text(*keyPath), Text(*valueName)));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteString(LONG* root, BSTR* keyPath, BSTR* valueName, BSTR* value,
                                          VARIANT_BOOL* ok) override {
        if (!root || !keyPath || !valueName || !value || !ok) return E_POINTER;
        try {
            *ok = ToVariantBool(WriteRegistryString(
                RootKey(*root), Text(*keyPath), Text(*valueName), *value, SysStringLen(*value)));
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE ReadString(LONG* root, BSTR* keyPath, BSTR* valueName, BSTR* value,
                                         VARIANT_BOOL* ok) override {
        if (!root || !keyPath || !valueName || !value || !ok) return E_POINTER;
        try {
            std::wstring text;
            const bool found =
                ReadRegistryString(RootKey(*root), Text(*keyPath), Text(*valueName), text);
            if (found) {
                BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
                if (copy == nullptr) return E_OUTOFMEMORY;
                SysFreeString(*value);
                *value = copy;
            }
            *ok = ToVariantBool(found);
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

private:
    ~RegistryAccessObject() { ReleaseServerLock(); }

    HRESULT LoadTypeInfo() {
        if (typeInfo_) return S_OK;
        win32::ComPtr<ITypeLib> library;
        const std::wstring path = ServerPath();
        if (path.empty()) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.Put());
        if (FAILED(hr)) return hr;
        return library->GetTypeInfoOfGuid(IID_IRegistryAccess, typeInfo_.Put());
    }

    LONG references_ = 1;
    win32::ComPtr<ITypeInfo> typeInfo_;
};

HRESULT RegistryAccessObject::Invoke(DISPID member, REFIID iid, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    UINT count = 0;
    switch (member) {
        case kDeleteValueId:
            count = 4;
            break;
        case kWriteStringId:
        case kReadStringId:
            count = 5;
            break;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
    if ((flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr) return E_INVALIDARG;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params->cArgs != count) return DISP_E_BADPARAMCOUNT;
    if (params->rgvarg == nullptr) return E_INVALIDARG;

    // rgvarg holds the arguments last first.
    auto arg = [&](UINT position) -> VARIANT& { return params->rgvarg[count - 1 - position]; };
    auto mismatch = [&](UINT position) {
        if (argError) *argError = count - 1 - position;
        return DISP_E_TYPEMISMATCH;
    };

    InLong root;
    InString keyPath;
    InString valueName;
    if (FAILED(root.Bind(arg(0)))) return mismatch(0);
    if (FAILED(keyPath.Bind(arg(1)))) return mismatch(1);
    if (FAILED(valueName.Bind(arg(2)))) return mismatch(2);

    HRESULT hr = S_OK;
    OutBool ok;
    if (member == kDeleteValueId) {
        if (FAILED(ok.Bind(arg(3)))) return mismatch(3);
        hr = DeleteValue(root.Get(), keyPath.Get(), valueName.Get(), ok.Get());
    } else if (member == kWriteStringId) {
        InString value;
        if (FAILED(value.Bind(arg(3)))) return mismatch(3);
        if (FAILED(ok.Bind(arg(4)))) return mismatch(4);
        hr = WriteString(root.Get(), keyPath.Get(), valueName.Get(), value.Get(), ok.Get());
    } else {
        OutString value;
        if (FAILED(value.Bind(arg(3)))) return mismatch(3);
        if (FAILED(ok.Bind(arg(4)))) return mismatch(4);
        hr = ReadString(root.Get(), keyPath.Get(), valueName.Get(), value.Get(), ok.Get());
        if (SUCCEEDED(hr) && *ok.Get() != VARIANT_FALSE) value.Commit();
    }
    if (FAILED(hr)) return RaiseException(hr, exception);
    ok.Commit();
    if (result) VariantInit(result);
    return S_OK;
}

}  // namespace

HRESULT CreateRegistryAccess(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    auto* created = new (std::nothrow) RegistryAccessObject();
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(iid, object);
    created->Release();
    return hr;
}

}  // namespace vellum::registry::component
