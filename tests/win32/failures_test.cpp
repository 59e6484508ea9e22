// How the bindings word and report what fails: a system call, a COM start, a missing mail
// library or entry point, and a failure that no handler caught inside a window procedure.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "mail/win32/mapi_win32.h"
#include "startup/win32/app_info_win32.h"
#include "toolkit/runtime_error.h"
#include "toolkit/win32/handles.h"
#include "toolkit/win32/process_start.h"
#include "toolkit/win32/strings.h"
#include "toolkit/win32/system_error.h"
#include "toolkit/win32/window.h"

namespace vellum::win32 {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A window whose handler fails with nothing to catch the failure.
class FailingWindow : public Window {
public:
    void Make() {
        CreateTopLevel(L"VellumFailingWindow", "Failing", WS_OVERLAPPEDWINDOW, 2000, 1000, nullptr);
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP) throw toolkit::VellumError(1234, "Nothing caught this.");
        return Window::OnMessage(message, wParam, lParam);
    }
};

struct SeenBox {
    std::string title;
    std::string text;
};

// Answers the first message box another process shows, as a user would with OK, and keeps
// what it said.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() : thread_([this] { Run(); }) {}
    ~MessageBoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    SeenBox Seen() const { return seen_; }

private:
    void Run() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
            HWND box = nullptr;
            EnumWindows(
                [](HWND hwnd, LPARAM found) -> BOOL {
                    DWORD process = 0;
                    GetWindowThreadProcessId(hwnd, &process);
                    wchar_t className[16] = L"";
                    GetClassNameW(hwnd, className, 16);
                    if (process == GetCurrentProcessId() || !IsWindowVisible(hwnd) ||
                        std::wstring(className) != L"#32770")
                        return TRUE;
                    *reinterpret_cast<HWND*>(found) = hwnd;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (box != nullptr) {
                seen_.title = WindowText(box);
                seen_.text = WindowText(GetDlgItem(box, 0xFFFF));
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::atomic<bool> stop_{false};
    SeenBox seen_;
    std::thread thread_;
};

}  // namespace

TEST(SystemError, SaysWhatFailedTheSystemsWordsAndTheNumber) {
    const std::string access = SystemErrorText("The file could not be opened", ERROR_ACCESS_DENIED);
    EXPECT_EQ(access.rfind("The file could not be opened: ", 0), 0u) << access;
    EXPECT_TRUE(EndsWith(access, " (5)")) << access;
    EXPECT_GT(access.size(), std::string("The file could not be opened:  (5)").size())
        << "the system's own words stand between";
    EXPECT_EQ(access.find(".  ("), std::string::npos) << "no full stop before the number";

    const toolkit::RuntimeError com =
        SystemError("COM could not be started", static_cast<DWORD>(E_ACCESSDENIED));
    EXPECT_EQ(com.Number(), static_cast<std::int32_t>(E_ACCESSDENIED));
    EXPECT_EQ(com.Source(), "Vellum");
    EXPECT_TRUE(EndsWith(com.Description(), " (0x80070005)")) << com.Description();

    EXPECT_EQ(SystemErrorText("It failed", 0xA0001234u), "It failed: error 0xA0001234")
        << "a result the system has no words for";
}

TEST(ProcessStart, OnlyAStartThatDiedWhileLoadingIsTriedAgainAndOnlyAFewTimes) {
    struct Case {
        DWORD error;
        int failures;  // before the start works
        BOOL started;
        int tries;
    };
    for (const Case c :
         {Case{ERROR_INTERNAL_ERROR, 2, TRUE, 3}, Case{ERROR_INTERNAL_ERROR, 9, FALSE, 3},
          Case{ERROR_FILE_NOT_FOUND, 9, FALSE, 1}}) {
        int tries = 0;
        const BOOL started = StartProcessRetrying([&] {
            if (++tries > c.failures) return TRUE;
            SetLastError(c.error);
            return FALSE;
        });
        EXPECT_EQ(started, c.started) << c.error << " " << c.failures;
        EXPECT_EQ(tries, c.tries) << c.error << " " << c.failures;
        if (!started) {
            EXPECT_EQ(GetLastError(), c.error) << "the error is kept for the caller";
        }
    }
}

TEST(ComApartment, AThreadWhoseComCannotStartSaysWhyAtOnce) {
    std::string description;
    std::int32_t number = 0;
    std::thread([&] {
        // A thread already in the multithreaded apartment cannot enter a single-threaded one.
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        try {
            ComApartment apartment;
        } catch (const toolkit::RuntimeError& e) {
            number = e.Number();
            description = e.Description();
        }
        CoUninitialize();
    }).join();
    EXPECT_EQ(number, static_cast<std::int32_t>(RPC_E_CHANGED_MODE));
    EXPECT_EQ(description.rfind("COM could not be started: ", 0), 0u) << description;
    // Wine has no words for this result; Windows says "Cannot change thread mode after it is set".
    EXPECT_TRUE(EndsWith(description, "0x80010106")) << description;
}

TEST(Mapi, AMissingLibraryOrEntryPointIsAnErrorThatSaysWhatToDo) {
    const std::string advice =
        ". Install or configure a mail program, or switch off mailing in the configuration.";
    Mapi noEntry("kernel32.dll");
    try {
        noEntry.MAPISendDocuments(0, ";", "C:\\a.pdf", "a.pdf", 0);
        ADD_FAILURE() << "kernel32.dll has no MAPISendDocuments";
    } catch (const toolkit::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 453);
        EXPECT_EQ(e.Source(), "Vellum");
        EXPECT_EQ(e.Description(),
                  "No mail program that supports Simple MAPI is installed: Can't find DLL entry "
                  "point MAPISendDocuments in kernel32.dll" +
                      advice);
    }

    Mapi noLibrary("vellum-no-such-mapi.dll");
    try {
        noLibrary.MAPISendDocuments(0, ";", "C:\\a.pdf", "a.pdf", 0);
        ADD_FAILURE() << "there is no such library";
    } catch (const toolkit::RuntimeError& e) {
        EXPECT_EQ(e.Number(), 48);
        const std::string start =
            "No mail program that supports Simple MAPI is installed: File not found: "
            "vellum-no-such-mapi.dll: ";
        EXPECT_EQ(e.Description().rfind(start, 0), 0u) << e.Description();
        EXPECT_TRUE(EndsWith(e.Description(), " (126)" + advice)) << e.Description();
    }
}

TEST(WindowProcedure, AFailureNothingCaughtIsReportedAndEndsTheProgram) {
    MessageBoxAnswerer user;
    EXPECT_EXIT(
        {
            FailingWindow window;
            window.Make();
            SendMessageW(window.Hwnd(), WM_APP, 0, 0);
        },
        ::testing::ExitedWithCode(1), "");
    const SeenBox box = user.Seen();
    EXPECT_EQ(box.title, "Vellum");
    EXPECT_EQ(box.text, "Run-time error '1234':\r\n\r\nNothing caught this.");
}

TEST(AppInfo, TheVersionForAboutIsTheBuildsVersion) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program(self, length);
    program = program.substr(0, program.rfind(L'\\') + 1) + L"vellum.exe";
    const toolkit::AppInfo app = ReadAppInfo(program);
    EXPECT_EQ(app.exeName, "vellum");
    EXPECT_EQ(app.major, VELLUM_VERSION_MAJOR);
    EXPECT_EQ(app.minor, VELLUM_VERSION_MINOR);
    EXPECT_EQ(app.revision, VELLUM_VERSION_PATCH);
    const toolkit::AppInfo inRoot = ReadAppInfo(L"C:\\vellum.exe");
    EXPECT_EQ(inRoot.path, "C:\\") << "a drive's root keeps its separator";
    EXPECT_EQ(inRoot.exeName, "vellum");
}

}  // namespace vellum::win32
