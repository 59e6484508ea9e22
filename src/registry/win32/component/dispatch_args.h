#pragma once

// The arguments of a late-bound call, taken the way callers pass them: typed by reference
// (VT_BYREF|VT_I4, VT_BYREF|VT_BSTR, VT_BYREF|VT_BOOL), as a reference to a script variable
// (VT_BYREF|VT_VARIANT), or, for inputs, by value (a literal in a script). Each Bind returns
// DISP_E_TYPEMISMATCH for an argument it cannot take.

#include <ole2.h>

namespace vellum::registry::component {

class InLong {
public:
    HRESULT Bind(VARIANT& arg);
    LONG* Get() { return target_; }

private:
    LONG value_ = 0;
    LONG* target_ = nullptr;
};

class InString {
public:
    InString() { VariantInit(&converted_); }
    InString(const InString&) = delete;
    InString& operator=(const InString&) = delete;
    ~InString() { VariantClear(&converted_); }

    HRESULT Bind(VARIANT& arg);
    BSTR* Get() { return target_; }

private:
    VARIANT converted_;
    BSTR* target_ = nullptr;
};

// Results go back only through a reference: a by-value output would be dropped silently.
class OutString {
public:
    OutString() = default;
    OutString(const OutString&) = delete;
    OutString& operator=(const OutString&) = delete;
    ~OutString() { SysFreeString(text_); }

    HRESULT Bind(VARIANT& arg);
    BSTR* Get() { return variable_ ? &text_ : target_; }
    // Hands the result to a script variable; a typed reference already holds it.
    void Commit();

private:
    BSTR text_ = nullptr;
    BSTR* target_ = nullptr;
    VARIANT* variable_ = nullptr;
};

class OutBool {
public:
    HRESULT Bind(VARIANT& arg);
    VARIANT_BOOL* Get() { return variable_ ? &flag_ : target_; }
    void Commit();

private:
    VARIANT_BOOL flag_ = VARIANT_FALSE;
    VARIANT_BOOL* target_ = nullptr;
    VARIANT* variable_ = nullptr;
};

}  // namespace vellum::registry::component
