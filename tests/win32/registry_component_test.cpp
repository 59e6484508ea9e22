// VellumRegistry.dll against the real (Wine) registry: through the program's client, through
// IDispatch the way script engines call it, and through its self-registration.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <utility>
#include <string>

#include "registry/win32/com_registry_access.h"
#include "registry_access_idl.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/strings.h"

namespace vellum::registry {
namespace {

using toolkit::RuntimeError;
using win32::ComPtr;

constexpr const char* kTestKey = "SOFTWARE\\VellumTests\\RegistryComponent";
constexpr const wchar_t* kTestKeyW = L"SOFTWARE\\VellumTests\\RegistryComponent";

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring ComponentPath() {
    return ProgramFolder() + L"\\VellumRegistry.dll";
}

// Declares the component the way vellum.exe's manifest does, for as long as it lives. The
// manifest goes into `folder`, where the DLL is then looked for.
class ManifestActivation {
public:
    explicit ManifestActivation(const std::wstring& folder)
        : manifest_(folder + L"\\vellum_registry_test.manifest") {
        std::ofstream(manifest_.c_str())
            << R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Vellum.RegistryComponentTest" version="1.0.0.0"/>
  <file name="VellumRegistry.dll">
    <comClass clsid="{1BCD446C-7095-11D0-9C4E-00AA00BDD685}" threadingModel="Apartment"/>
  </file>
</assembly>
)";
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.lpSource = manifest_.c_str();
        context_ = CreateActCtxW(&request);
        EXPECT_NE(context_, INVALID_HANDLE_VALUE) << "CreateActCtxW: " << GetLastError();
        EXPECT_TRUE(ActivateActCtx(context_, &cookie_)) << GetLastError();
    }
    ManifestActivation(const ManifestActivation&) = delete;
    ManifestActivation& operator=(const ManifestActivation&) = delete;
    ~ManifestActivation() {
        if (cookie_) DeactivateActCtx(0, cookie_);
        if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
        DeleteFileW(manifest_.c_str());
    }

private:
    std::wstring manifest_;
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

// Calls one of the DLL's exports, loading it for the call.
HRESULT CallExport(const char* name) {
    const win32::Module dll(LoadLibraryW(ComponentPath().c_str()));
    if (!dll) return HRESULT_FROM_WIN32(GetLastError());
    auto* entry = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll.Get(), name)));
    if (entry == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    return entry();
}

bool ClassKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{1BCD446C-7095-11D0-9C4E-00AA00BDD685}", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring ClassesString(const wchar_t* path, const wchar_t* name) {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CLASSES_ROOT, path, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

// The error a failed creation throws, checked for what every such error must tell the user.
RuntimeError CreationError() {
    try {
        win32::RegistryFactory().Create();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Source(), toolkit::kVellumSource);
        EXPECT_NE(error.Description().find("VellumRegistry.dll could not be created"),
                  std::string::npos)
            << error.Description();
        EXPECT_NE(error.Description().find(
                      "Make sure VellumRegistry.dll is in the program folder next to "
                      "vellum_win32_tests.exe."),
                  std::string::npos)
            << error.Description();
        return error;
    }
    ADD_FAILURE() << "created without the DLL being registered or declared";
    return RuntimeError(0, "", "");
}

class RegistryComponentTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKeyW); }
    void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKeyW); }

    void SetTestValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKeyW, 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const win32::RegKey owner(key);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }

    win32::ComApartment apartment_;
};

TEST_F(RegistryComponentTest, WritesRealStringValuesThatReadBackUnchanged) {
    ManifestActivation activation(ProgramFolder());
    win32::RegistryFactory factory;
    const auto registry = factory.Create();

    // The key does not exist yet: WriteString makes it, several levels deep.
    const std::string deepKey = std::string(kTestKey) + "\\Fresh\\Deeper";
    bool ok = false;
    registry->WriteString(kHkeyLocalMachine, deepKey, "gsExe", "C:\\gs\\bin\\gswin64c.exe", ok);
    EXPECT_TRUE(ok);
    std::string value;
    ok = false;
    registry->ReadString(kHkeyLocalMachine, deepKey, "gsExe", value, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(value, "C:\\gs\\bin\\gswin64c.exe");

    // Outside ASCII, empty, and an overwrite.
    const std::string unicode =
        "D:\\Dokumente\\Gr\xC3\xB6\xC3\x9F"
        "e \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80";
    for (const std::string& text : {unicode, std::string(), std::string("second")}) {
        registry->WriteString(kHkeyLocalMachine, kTestKey, "defDir", text, ok);
        EXPECT_TRUE(ok);
        value = "stale";
        ok = false;
        registry->ReadString(kHkeyLocalMachine, kTestKey, "defDir", value, ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ(value, text);
    }

    // It is the real registry, as a REG_SZ in UTF-16.
    registry->WriteString(kHkeyLocalMachine, kTestKey, "sendMail", unicode, ok);
    wchar_t stored[64] = {};
    DWORD size = sizeof(stored);
    DWORD type = 0;
    ASSERT_EQ(
        RegGetValueW(HKEY_LOCAL_MACHINE, kTestKeyW, L"sendMail", RRF_RT_ANY, &type, stored, &size),
        ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(win32::Narrow(stored, wcslen(stored)), unicode);
    // Its data ends with the terminating NUL, as readers that do not add one expect.
    win32::RegKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTestKeyW, 0, KEY_QUERY_VALUE, key.Put()),
              ERROR_SUCCESS);
    DWORD bytes = 0;
    ASSERT_EQ(RegQueryValueExW(key.Get(), L"sendMail", nullptr, nullptr, nullptr, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(bytes, (win32::Widen(unicode).size() + 1) * sizeof(wchar_t));
}

TEST_F(RegistryComponentTest, ReadStringIsNotOkWithoutATextToRead) {
    ManifestActivation activation(ProgramFolder());
    const auto registry = win32::RegistryFactory().Create();
    const BYTE bytes[] = {1, 0, 0, 0};
    SetTestValue(L"binary", REG_BINARY, bytes, sizeof(bytes));
    const ULONGLONG big = 1;
    SetTestValue(L"qword", REG_QWORD, &big, sizeof(big));
    const wchar_t list[] = L"a\0b\0";
    SetTestValue(L"list", REG_MULTI_SZ, list, sizeof(list));

    struct Case {
        std::string key, name;
    } cases[] = {
        {std::string(kTestKey) + "\\Missing", "gsExe"},  // no such key
        {kTestKey, "gsExe"},                             // key without the value
        {kTestKey, "binary"},                            // not text, though 4 bytes long
        {kTestKey, "qword"},
        {kTestKey, "list"},
    };
    for (const Case& c : cases) {
        std::string value = "untouched";
        bool ok = true;
        registry->ReadString(kHkeyLocalMachine, c.key, c.name, value, ok);
        EXPECT_FALSE(ok) << c.key << " " << c.name;
        EXPECT_EQ(value, "untouched") << c.key << " " << c.name;
    }
}

// Values as users and administrators store them by hand: expandable paths, numbers as DWORDs.
TEST_F(RegistryComponentTest, ReadsExpandableStringsExpandedAndNumbersAsDecimalText) {
    ManifestActivation activation(ProgramFolder());
    const auto registry = win32::RegistryFactory().Create();
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELLUM_TEST_HOME", L"C:\\Users\\Zo\u00eb \u0416"));
    const wchar_t documents[] = L"%VELLUM_TEST_HOME%\\Documents";
    SetTestValue(L"defDir", REG_EXPAND_SZ, documents, sizeof(documents));
    const wchar_t unknown[] = L"%VELLUM_NO_SUCH_VARIABLE%\\gs";
    SetTestValue(L"gsLib", REG_EXPAND_SZ, unknown, sizeof(unknown));
    SetTestValue(L"unterminated", REG_SZ, L"abc", 3 * sizeof(wchar_t));
    const DWORD one = 1;
    SetTestValue(L"sendMail", REG_DWORD, &one, sizeof(one));
    const DWORD most = 0xFFFFFFFF;
    SetTestValue(L"most", REG_DWORD, &most, sizeof(most));

    const std::pair<const char*, std::string> texts[] = {
        {"defDir", "C:\\Users\\Zo\xC3\xAB \xD0\x96\\Documents"},
        {"gsLib", "%VELLUM_NO_SUCH_VARIABLE%\\gs"},  // left as written, as Windows does
        {"unterminated", "abc"},                     // nothing from beyond its end
        {"sendMail", "1"},
        {"most", "4294967295"},
    };
    for (const auto& [name, expected] : texts) {
        std::string value;
        bool ok = false;
        registry->ReadString(kHkeyLocalMachine, kTestKey, name, value, ok);
        EXPECT_TRUE(ok) << name;
        EXPECT_EQ(value, expected) << name;
    }
    SetEnvironmentVariableW(L"VELLUM_TEST_HOME", nullptr);
}

TEST_F(RegistryComponentTest, ExpandableValueWrittenBackUnchangedStaysExpandable) {
    ManifestActivation activation(ProgramFolder());
    const auto registry = win32::RegistryFactory().Create();
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELLUM_TEST_HOME", L"C:\\Users\\tester"));
    const wchar_t documents[] = L"%VELLUM_TEST_HOME%\\Documents";
    SetTestValue(L"defDir", REG_EXPAND_SZ, documents, sizeof(documents));
    const DWORD one = 1;
    SetTestValue(L"sendMail", REG_DWORD, &one, sizeof(one));
    auto stored = [&](const wchar_t* name, DWORD& type) {
        wchar_t text[128] = {};
        DWORD size = sizeof(text);
        type = 0;
        EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, kTestKeyW, name, RRF_RT_ANY | RRF_NOEXPAND,
                               &type, text, &size),
                  ERROR_SUCCESS);
        return std::wstring(text);
    };

    bool ok = false;
    registry->WriteString(kHkeyLocalMachine, kTestKey, "defDir", "C:\\Users\\tester\\Documents",
                          ok);
    EXPECT_TRUE(ok);
    DWORD type = 0;
    EXPECT_EQ(stored(L"defDir", type), documents) << "stays per user";
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));

    registry->WriteString(kHkeyLocalMachine, kTestKey, "defDir", "D:\\PDF", ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(stored(L"defDir", type), L"D:\\PDF") << "a changed value is the user's new text";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    registry->WriteString(kHkeyLocalMachine, kTestKey, "sendMail", "1", ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(stored(L"sendMail", type), L"1") << "a number is written back as text";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    SetEnvironmentVariableW(L"VELLUM_TEST_HOME", nullptr);
}

// Script engines pass their variables as VT_BYREF|VT_VARIANT and literals by value.
TEST_F(RegistryComponentTest, DispatchTakesScriptVariablesAndLiterals) {
    ManifestActivation activation(ProgramFolder());
    ComPtr<IDispatch> object;
    ASSERT_EQ(CoCreateInstance(CLSID_RegistryAccess, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(object.Put())),
              S_OK);
    auto idOf = [&](const wchar_t* name) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
            << win32::Narrow(name);
        return id;
    };
    const DISPID writeString = idOf(L"writestring");  // names are case-insensitive
    const DISPID readString = idOf(L"ReadString");
    // Arguments go last first, as DISPPARAMS wants them.
    auto invoke = [&](DISPID id, VARIANT* reversed, UINT count, UINT* argError = nullptr) {
        DISPPARAMS params{reversed, nullptr, count, 0};
        EXCEPINFO exception{};
        UINT error = 0;
        const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                          &params, nullptr, &exception, &error);
        if (argError) *argError = error;
        return hr;
    };
    auto byRef = [](VARIANT& target) {
        VARIANT ref;
        VariantInit(&ref);
        V_VT(&ref) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&ref) = &target;
        return ref;
    };

    VARIANT root, key, name, value, ok;
    for (VARIANT* v : {&root, &key, &name, &value, &ok}) VariantInit(v);
    V_VT(&root) = VT_I4;
    V_I4(&root) = kHkeyLocalMachine;
    V_VT(&key) = VT_BSTR;
    V_BSTR(&key) = SysAllocString(kTestKeyW);
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = SysAllocString(L"gsLib");
    V_VT(&value) = VT_BSTR;
    V_BSTR(&value) = SysAllocString(L"C:\\gs\\lib");
    VARIANT write[] = {byRef(ok), byRef(value), byRef(name), byRef(key), byRef(root)};
    ASSERT_EQ(invoke(writeString, write, 5), S_OK);
    EXPECT_EQ(V_VT(&ok), VT_BOOL);
    EXPECT_EQ(V_BOOL(&ok), VARIANT_TRUE);

    // Inputs as literals; the value comes back into an empty script variable.
    VARIANT readBack, readOk;
    VariantInit(&readBack);
    VariantInit(&readOk);
    VARIANT literalRoot;
    VariantInit(&literalRoot);
    V_VT(&literalRoot) = VT_I4;
    V_I4(&literalRoot) = kHkeyLocalMachine;
    VARIANT read[] = {byRef(readOk), byRef(readBack), name, key, literalRoot};
    ASSERT_EQ(invoke(readString, read, 5), S_OK);
    EXPECT_EQ(V_VT(&readOk), VT_BOOL);
    EXPECT_EQ(V_BOOL(&readOk), VARIANT_TRUE);
    ASSERT_EQ(V_VT(&readBack), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&readBack), L"C:\\gs\\lib");

    // Typed references work as well; a missing value leaves the variable alone.
    BSTR typedValue = SysAllocString(L"untouched");
    VARIANT_BOOL typedOk = VARIANT_TRUE;
    BSTR missing = SysAllocString(L"missing");
    VARIANT typed[5];
    for (VARIANT& v : typed) VariantInit(&v);
    V_VT(&typed[0]) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&typed[0]) = &typedOk;
    V_VT(&typed[1]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&typed[1]) = &typedValue;
    V_VT(&typed[2]) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&typed[2]) = &missing;
    typed[3] = key;
    typed[4] = literalRoot;
    ASSERT_EQ(invoke(readString, typed, 5), S_OK);
    EXPECT_EQ(typedOk, VARIANT_FALSE);
    EXPECT_STREQ(typedValue, L"untouched");

    // An output passed by value could not return anything: refused, naming the argument.
    UINT argError = 99;
    VARIANT byValueOk[] = {literalRoot, byRef(readBack), name, key, literalRoot};
    EXPECT_EQ(invoke(readString, byValueOk, 5, &argError), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u);
    EXPECT_EQ(invoke(readString, read + 1, 4), DISP_E_BADPARAMCOUNT);

    SysFreeString(typedValue);
    SysFreeString(missing);
    for (VARIANT* v : {&key, &name, &value, &ok, &readBack, &readOk}) VariantClear(v);
}

// Without a manifest the class is found through the registration the DLL writes itself; once
// that is gone, creation fails with a message that says what to do.
TEST_F(RegistryComponentTest, RegistersAndUnregistersItself) {
    ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
    EXPECT_TRUE(ClassKeyExists());
    const wchar_t* inproc = L"CLSID\\{1BCD446C-7095-11D0-9C4E-00AA00BDD685}\\InprocServer32";
    EXPECT_EQ(ClassesString(inproc, L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ClassesString(inproc, nullptr), ComponentPath());
    CLSID fromProgId{};
    EXPECT_EQ(CLSIDFromProgID(L"Vellum.RegistryAccess", &fromProgId), S_OK);
    EXPECT_TRUE(IsEqualCLSID(fromProgId, CLSID_RegistryAccess));
    {
        const auto registry = win32::RegistryFactory().Create();
        bool ok = false;
        registry->WriteString(kHkeyLocalMachine, kTestKey, "rmPort", "RPT1:", ok);
        EXPECT_TRUE(ok);
    }

    ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
    EXPECT_FALSE(ClassKeyExists());
    EXPECT_EQ(CallExport("DllUnregisterServer"), S_OK) << "unregistering twice";

    const RuntimeError error = CreationError();
    EXPECT_EQ(error.Number(), static_cast<std::int32_t>(REGDB_E_CLASSNOTREG));
}

// What a user who copied vellum.exe without the DLL meets.
TEST_F(RegistryComponentTest, ManifestWithoutTheDllIsAnActionableError) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"vellum_registry_test_empty";
    CreateDirectoryW(folder.c_str(), nullptr);
    {
        ManifestActivation activation(folder);
        const RuntimeError error = CreationError();
        EXPECT_LT(error.Number(), 0);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace vellum::registry
