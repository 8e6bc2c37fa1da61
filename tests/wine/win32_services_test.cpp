// The small Windows services against the platform itself: the ANSI code page, file attributes,
// the system folder, the command launcher, the folder browser and the desktop refresh.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/system_services.h"
#include "tests/wine/win32_test_support.h"

namespace hivora {
namespace {

// The test run gives Wine a Chinese locale, as the program's users have; everything else here
// assumes the code page that follows from it.
TEST(Win32AnsiCodePage, IsTheChineseCodePageOfTheTestLocale) {
    EXPECT_EQ(936u, systemAnsiCodePage());
}

// ---- File attributes and the system folder ----------------------------------------------------

TEST(Win32FileSystem, ReportsWhatIsThere) {
    test::TempFolder folder;
    const std::string chinese = folder.file("\xE4\xB8\xAD\xE6\x96\x87.bmp");  // 中文.bmp
    const std::string hidden = folder.file("hidden.sys");
    for (const std::string& file : {folder.file("plain.txt"), hidden, chinese})
        ASSERT_TRUE(test::writeWholeFile(file, "x")) << file;
    ASSERT_TRUE(::SetFileAttributesW(wideFromUtf8(hidden).c_str(),
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));

    constexpr std::uint32_t kHiddenSystem = kFileAttributeHidden | kFileAttributeSystem;
    const std::pair<std::string, std::optional<std::uint32_t>> cases[] = {
        {folder.file("plain.txt"), 0u},
        {hidden, kHiddenSystem},
        {chinese, 0u},
        {folder.path(), kFileAttributeDirectory},
        {folder.file("missing.txt"), std::nullopt},
        {"", std::nullopt},
    };
    auto files = makeFileSystem();
    for (const auto& [path, expected] : cases) {
        const auto found = files->attributes(path);
        EXPECT_EQ(expected, found
                                ? std::optional(*found & (kHiddenSystem | kFileAttributeDirectory))
                                : std::nullopt)
            << path;
    }
}

TEST(Win32SystemDirectory, IsTheSystemFolderWithoutTrailingSeparator) {
    wchar_t expected[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(expected, MAX_PATH);
    ASSERT_GT(length, 0u);
    const std::string folder = makeSystemDirectory()->GetSystemDirectoryA();
    EXPECT_EQ(utf8FromWide(std::wstring(expected, length)), folder);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE('\\', folder.back());
    // The browser page looks for this file there before it writes anything.
    const auto dll = makeFileSystem()->attributes(folder + "\\BROWSEUI.DLL");
    ASSERT_TRUE(dll.has_value());
    EXPECT_EQ(0u, *dll & kFileAttributeDirectory);
}

// ---- Command launcher --------------------------------------------------------------------------

constexpr wchar_t kReportVariable[] = L"HIVORA_LAUNCH_REPORT";
constexpr wchar_t kEventVariable[] = L"HIVORA_LAUNCH_EVENT";

std::wstring environmentVariable(const wchar_t* name) {
    wchar_t value[1024] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// Not a test of its own: the launcher test starts this program again with only this case, and
// the case reports how the program was started. Run on its own it does nothing.
TEST(LaunchedChild, ReportsHowItWasStarted) {
    const std::wstring report = environmentVariable(kReportVariable);
    const std::wstring event = environmentVariable(kEventVariable);
    if (report.empty() || event.empty()) GTEST_SKIP() << "only run by the launcher test";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    const std::string text = std::to_string(startup.dwFlags & STARTF_USESHOWWINDOW) + " " +
                             std::to_string(startup.wShowWindow) + "\n" +
                             utf8FromWide(::GetCommandLineW());
    test::writeWholeFile(utf8FromWide(report), text);
    HANDLE done = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, event.c_str());
    ASSERT_NE(nullptr, done);
    ::SetEvent(done);
    ::CloseHandle(done);
}

TEST(Win32CommandLauncher, StartsTheCommandMinimisedAndReturnsAtOnce) {
    test::TempFolder folder;
    const std::string report = folder.file("report.txt");
    const std::wstring eventName =
        L"Local\\HivoraLaunchTest" + std::to_wstring(::GetCurrentProcessId());
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(nullptr, done);
    ::SetEnvironmentVariableW(kReportVariable, wideFromUtf8(report).c_str());
    ::SetEnvironmentVariableW(kEventVariable, eventName.c_str());
    wchar_t self[MAX_PATH] = {};
    const DWORD selfLength = ::GetModuleFileNameW(nullptr, self, MAX_PATH);

    // A quoted program path and an argument with a blank and Chinese text reach the child as
    // written.
    const std::string commandLine =
        "\"" + utf8FromWide(std::wstring(self, selfLength)) +
        "\" --gtest_filter=LaunchedChild.* \"\xE4\xB8\xAD \xE6\x96\x87\"";
    const Status started = makeCommandLauncher()->runCommand(commandLine, 2);
    ::SetEnvironmentVariableW(kReportVariable, nullptr);
    ::SetEnvironmentVariableW(kEventVariable, nullptr);
    ASSERT_TRUE(started.isOk()) << started.message();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(done, 60000)) << "the child never reported";
    ::CloseHandle(done);

    EXPECT_EQ("1 2\n" + commandLine, test::readWholeFile(report));
}

TEST(Win32CommandLauncher, CommandThatCannotStartIsAnErrorWithThePlatformCode) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"hivora-no-such-program.exe /x", ERROR_FILE_NOT_FOUND}, {"", ERROR_INVALID_PARAMETER}};
    for (const auto& [command, code] : cases) {
        const Status started = makeCommandLauncher()->runCommand(command, 2);
        EXPECT_FALSE(started.isOk()) << command;
        EXPECT_EQ(code, started.code()) << command;
    }
}

// ---- Folder browser ----------------------------------------------------------------------------

constexpr char kBrowserTitle[] =
    "\xE8\xAF\xB7\xE9\x80\x89\xE6\x8B\xA9\xE6\x96\x87\xE4\xBB\xB6"
    "\xE5\xA4\xB9\xEF\xBC\x9A";  // 请选择文件夹：
constexpr char kBrowserTitleAnsi[] = "\xC7\xEB\xD1\xA1\xD4\xF1\xCE\xC4\xBC\xFE\xBC\xD0\xA3\xBA";

// One run of the modal folder browser, driven from inside: a hook sees the browser's window
// become active, notes the texts of its controls and posts the clicks a user would make.
struct BrowserRun {
    std::string select;  // the folder to choose (ANSI path), or empty to cancel
    std::string texts;   // the texts of the browser's controls, each followed by "|"
    int activations = 0;
};
BrowserRun* g_browserRun = nullptr;

BOOL CALLBACK noteControlText(HWND control, LPARAM) {
    char text[256] = {};
    ::GetWindowTextA(control, text, sizeof text);
    g_browserRun->texts += std::string(text) + "|";
    return TRUE;
}

LRESULT CALLBACK onBrowserEvent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && g_browserRun->activations++ == 0) {
        HWND browser = reinterpret_cast<HWND>(wParam);
        ::EnumChildWindows(browser, noteControlText, 0);
        if (!g_browserRun->select.empty()) {
            ::PostMessageA(browser, BFFM_SETSELECTIONA, TRUE,
                           reinterpret_cast<LPARAM>(g_browserRun->select.c_str()));
        }
        ::PostMessageA(browser, WM_COMMAND, g_browserRun->select.empty() ? IDCANCEL : IDOK, 0);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The browser's text for the folder chosen (empty: cancelled), and that it showed the title.
std::string browseDriven(const std::string& select) {
    BrowserRun run{select, "", 0};
    g_browserRun = &run;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, onBrowserEvent, nullptr, ::GetCurrentThreadId());
    const std::string chosen = makeFolderBrowser()->browseForFolder(0, kBrowserTitle);
    ::UnhookWindowsHookEx(hook);
    EXPECT_GE(run.activations, 1) << "the browser did not open";
    EXPECT_NE(std::string::npos, run.texts.find(std::string("|") + kBrowserTitleAnsi + "|"))
        << run.texts;
    return chosen;
}

TEST(Win32FolderBrowser, ShowsTheTitleAndGivesNothingWhenCancelled) {
    EXPECT_EQ("", browseDriven(""));
}

TEST(Win32FolderBrowser, GivesTheChosenFolderInUtf8) {
    test::TempFolder folder;
    const std::string chosen = folder.file("\xE4\xB8\xAD\xE6\x96\x87");  // 中文
    ASSERT_TRUE(::CreateDirectoryW(wideFromUtf8(chosen).c_str(), nullptr));
    auto codec = makeAnsiCodec(936);
    ASSERT_TRUE(codec.isOk());
    // Under load Wine's browser now and then takes the click before the selection has reached
    // its tree and answers with the desktop folder; a fault in our conversion fails every try.
    std::string answer;
    for (int attempt = 0; attempt < 3 && answer != chosen; ++attempt)
        answer = browseDriven(codec.value()->toAnsi(chosen).value());
    EXPECT_EQ(chosen, answer);
}

// ---- Desktop refresh ---------------------------------------------------------------------------

// A stand-in for the shell's desktop window, owned by this thread so that its queue can be read.
TEST(Win32DesktopRefresher, PostsOneF5KeyDownToTheDesktopWindow) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Progman";
    ::RegisterClassA(&windowClass);
    const std::unique_ptr<HWND__, void (*)(HWND)> desktop(
        ::CreateWindowExA(0, "Progman", "Program Manager", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                          nullptr, windowClass.hInstance, nullptr),
        [](HWND window) {
            ::DestroyWindow(window);
            ::UnregisterClassA("Progman", ::GetModuleHandleA(nullptr));
        });
    ASSERT_NE(nullptr, desktop)
        << "no window could be made: the Wine prefix needs a display or the null graphics driver";
    ASSERT_EQ(desktop.get(), ::FindWindowA("Progman", "Program Manager"));

    makeDesktopRefresher()->refreshDesktop();

    MSG message{};
    ASSERT_TRUE(::PeekMessageA(&message, desktop.get(), 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_KEYDOWN), message.message);
    EXPECT_EQ(static_cast<WPARAM>(VK_F5), message.wParam);
    EXPECT_EQ(0, message.lParam);
    EXPECT_FALSE(::PeekMessageA(&message, desktop.get(), WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
}

// Posting to a window handle of 0 would put the key into this program's own queue, as if the
// user had pressed F5 in it; without a desktop window nothing is posted at all.
TEST(Win32DesktopRefresher, WithoutDesktopWindowPostsNothing) {
    if (::FindWindowA("Progman", "Program Manager")) GTEST_SKIP() << "a desktop window exists";
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    makeDesktopRefresher()->refreshDesktop();
    EXPECT_FALSE(::PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
}

}  // namespace
}  // namespace hivora
