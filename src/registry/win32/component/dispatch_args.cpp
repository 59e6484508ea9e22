#include "registry/win32/component/dispatch_args.h"

namespace vellum::registry::component {

namespace {

// A script variable passed by reference is a reference to the VARIANT that holds it.
VARIANT* Variable(VARIANT& arg) {
    return V_VT(&arg) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&arg) : nullptr;
}

VARIANT* Content(VARIANT& arg) {
    VARIANT* variable = Variable(arg);
    return variable ? variable : &arg;
}

}  // namespace

HRESULT InLong::Bind(VARIANT& arg) {
    VARIANT* content = Content(arg);
    if (content == nullptr) return DISP_E_TYPEMISMATCH;
    if (V_VT(content) == (VT_BYREF | VT_I4)) {
        target_ = V_I4REF(content);
        return target_ ? S_OK : DISP_E_TYPEMISMATCH;
    }
    VARIANT number;
    VariantInit(&number);
    if (SUCCEEDED(VariantChangeType(&number, content, 0, VT_I4))) {
        value_ = V_I4(&number);
    } else if (SUCCEEDED(VariantChangeType(&number, content, 0, VT_UI4))) {
        // Script engines without unsigned integers may hand 0x80000002 over as a large
        // positive number; its bits are the root key all the same.
        value_ = static_cast<LONG>(V_UI4(&number));
    } else {
        return DISP_E_TYPEMISMATCH;
    }
    target_ = &value_;
    return S_OK;
}

HRESULT InString::Bind(VARIANT& arg) {
    VARIANT* content = Content(arg);
    if (content == nullptr) return DISP_E_TYPEMISMATCH;
    if (V_VT(content) == (VT_BYREF | VT_BSTR)) {
        target_ = V_BSTRREF(content);
        return target_ ? S_OK : DISP_E_TYPEMISMATCH;
    }
    if (FAILED(VariantChangeType(&converted_, content, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
    target_ = &V_BSTR(&converted_);
    return S_OK;
}

HRESULT OutString::Bind(VARIANT& arg) {
    if (V_VT(&arg) == (VT_BYREF | VT_BSTR) && V_BSTRREF(&arg) != nullptr) {
        target_ = V_BSTRREF(&arg);
        return S_OK;
    }
    variable_ = Variable(arg);
    return variable_ ? S_OK : DISP_E_TYPEMISMATCH;
}

void OutString::Commit() {
    if (variable_ == nullptr) return;
    VariantClear(variable_);
    V_VT(variable_) = VT_BSTR;
    V_BSTR(variable_) = text_;
    text_ = nullptr;
}

HRESULT OutBool::Bind(VARIANT& arg) {
    if (V_VT(&arg) == (VT_BYREF | VT_BOOL) && V_BOOLREF(&arg) != nullptr) {
        target_ = V_BOOLREF(&arg);
        return S_OK;
    }
    variable_ = Variable(arg);
    return variable_ ? S_OK : DISP_E_TYPEMISMATCH;
}

void OutBool::Commit() {
    if (variable_ == nullptr) return;
    VariantClear(variable_);
    V_VT(variable_) = VT_BOOL;
    V_BOOL(variable_) = flag_;
}

}  // namespace vellum::registry::component
