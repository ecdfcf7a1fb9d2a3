// Starts from Explorer. The suite's program is started as a drop on the icon starts it: two files
// (one with a space in its name), a folder in quotes that ends in a backslash, and a relative name
// of no file; it lists the files, then after the question the folder, and tells of the missing
// name. Then the real program is started twice more while this window is open: it hands over its
// file and ends with 0, and without paths it only ends. And the system menu's Send To item writes
// a shortcut to the program, takes it out again, and points another program's shortcut of the
// name here instead of deleting it.

#include <windows.h>

#include <string>
#include <vector>

#include "app/one_window.h"
#include "driver.h"
#include "platform/shell_links.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\cmdline";
const std::string kSpaced = kFolder + "\\with space.txt";
const std::string kPlain = kFolder + "\\plain.txt";
const std::string kSubFolder = kFolder + "\\a folder";
const std::string kHanded = kFolder + "\\handed.txt";
const std::wstring kMissingName = L"no such file.txt";

template <typename Text>
std::wstring Wide(const Text& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// build/<build>/rebootdel.exe, beside the folder of build/<build>/e2e/e2e_suite.exe.
std::wstring RealProgram() {
    std::wstring path = ModulePath();
    for (int part = 0; part < 2; ++part) {
        path.resize(path.find_last_of(L'\\'));
    }
    return path + L"\\rebootdel.exe";
}

// Starts the real program with these arguments; false when it could not be started.
bool StartRealProgram(const std::wstring& arguments, PROCESS_INFORMATION& process) {
    std::wstring line = L"\"" + RealProgram() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process) != FALSE;
}

// Waits for a started program to end; its exit code, or -1 when it did not end in time.
long ExitCodeOf(PROCESS_INFORMATION& process) {
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        TerminateProcess(process.hProcess, 9);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<long>(code);
}

// Starts the real program and waits for it to end; how long it took goes to elapsed.
long RunRealProgram(const std::wstring& arguments, DWORD& elapsed) {
    const ULONGLONG start = GetTickCount64();
    PROCESS_INFORMATION process{};
    const long code = StartRealProgram(arguments, process) ? ExitCodeOf(process) : -1;
    elapsed = static_cast<DWORD>(GetTickCount64() - start);
    return code;
}

// The visible main window of another process, or null.
struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK TakeWindowOfProcess(HWND window, LPARAM parameter) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window) ||
        GetDlgItem(window, IDC_FILE_LIST) == nullptr) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

HWND WindowOfProcess(DWORD processId) {
    WindowSearch search{processId, nullptr};
    EnumWindows(TakeWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Through the program's own shell calls, which are Wine's shell objects and nothing more.
std::wstring SendToShortcut() {
    const std::u16string folder = SendToFolder();
    return folder.empty() ? std::wstring()
                          : Wide(folder) + L"\\" + WideOf936(kSendToShortcutName) + L".lnk";
}

std::wstring TargetOf(const std::wstring& shortcut) {
    return Wide(ShortcutTarget(std::u16string(shortcut.begin(), shortcut.end())));
}

// The Send To item's text as the window menu shows it when it opens.
std::wstring SendToItemText(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    SendWithTimeout(mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    wchar_t text[256] = {};
    GetMenuStringW(menu, IDM_SEND_TO, text, 256, MF_BYCOMMAND);
    return text;
}

// Chooses the item and waits until the shortcut's target is expected (empty: no shortcut).
bool ChooseSendTo(HWND mainWindow, const std::wstring& shortcut, const std::wstring& expected) {
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_SEND_TO, 0);
    return WaitUntil([&] {
        const bool there = GetFileAttributesW(shortcut.c_str()) != INVALID_FILE_ATTRIBUTES;
        return expected.empty() ? !there : there && TargetOf(shortcut) == expected;
    });
}

}  // namespace

std::wstring CommandLineArguments() {
    MakeFile(kSpaced);
    MakeFile(kPlain);
    MakeFile(kSubFolder + "\\inside.txt");
    MakeFile(kHanded);
    // The folder in quotes with its final backslash, which must not escape the quote.
    return L"\"" + Wide(kSpaced) + L"\" " + Wide(kPlain) + L" \"" + Wide(kSubFolder) + L"\\\" \"" +
           kMissingName + L"\"";
}

void DriveCommandLine(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    AnswerFolderQuestion(IDOK, "the folder of the command line");
    HWND box = nullptr;
    Check(WaitUntil([&] { return (box = OtherDialog(mainWindow)) != nullptr; }),
          "a box tells of the name of no file");
    if (box != nullptr) {
        CheckWideText(
            WideMessageBoxText(box),
            WideOf936(kMissingPathsHeading) + L"\r\n" + CurrentFolder() + L"\\" + kMissingName,
            "the box lists the missing name made full against the starting folder");
        Check(GetWindow(box, GW_OWNER) == mainWindow, "the box is owned by the window");
        AnswerBox(box, IDOK);
    }
    CheckPaths(list, {kSpaced, kPlain, kSubFolder + "\\"},
               "the files in order, then after the question the folder; the missing name never");

    DWORD elapsed = 0;
    const long handed = RunRealProgram(L"\"" + Wide(kHanded) + L"\"", elapsed);
    Check(handed == 0, "a second start with a file ends with 0 (" + std::to_string(handed) + ")");
    Check(elapsed < 10000, "within seconds (" + std::to_string(elapsed) + " ms)");
    Check(WaitForRowCount(list, 4), "its file is listed in this window");
    CheckPaths(list, {kSpaced, kPlain, kSubFolder + "\\", kHanded},
               "the handed file comes last, with nothing else");
    Check(ReadRows(list).back().result.empty(), "the handed row is only listed");

    const long bare = RunRealProgram(L"", elapsed);
    Check(bare == 0 && OtherDialog(mainWindow) == nullptr && RowCountOf(list) == 4,
          "a start without paths ends with 0 and changes nothing here");

    // A window that cannot be found (or does not answer) takes nothing: the start opens its own.
    const LPCWSTR property = reinterpret_cast<LPCWSTR>(kWindowProperty);
    const HANDLE mark = RemovePropW(mainWindow, property);
    PROCESS_INFORMATION process{};
    if (Check(mark != nullptr && StartRealProgram(L"\"" + Wide(kPlain) + L"\"", process),
              "a start is made while this window cannot be found")) {
        HWND own = nullptr;
        Check(WaitUntil([&] { return (own = WindowOfProcess(process.dwProcessId)) != nullptr; },
                        20000),
              "it opens a window of its own");
        Check(own != nullptr && WaitUntil([&] { return RowCountOf(ListOf(own)) == 1; }),
              "which lists its file rather than lose it");
        if (own != nullptr) {
            PostMessageW(own, WM_CLOSE, 0, 0);
        }
        Check(ExitCodeOf(process) == 0, "and ends with 0 when closed");
    }
    SetPropW(mainWindow, property, mark);
    Check(RowCountOf(list) == 4, "nothing reached this window meanwhile");
}

void DriveSendTo(HWND mainWindow) {
    const std::wstring shortcut = SendToShortcut();
    if (!Check(!shortcut.empty(), "the Send To folder is known")) {
        return;
    }
    DeleteFileW(shortcut.c_str());
    const std::wstring program = ModulePath();
    const std::wstring add = WideOf936(kMenuAddSendTo);
    const std::wstring remove = WideOf936(kMenuRemoveSendTo);
    CheckWideText(SendToItemText(mainWindow), add, "without the shortcut the item adds it");

    Check(ChooseSendTo(mainWindow, shortcut, program),
          "the item writes the shortcut, whose target is the program");
    CheckWideText(SendToItemText(mainWindow), remove, "with it the item takes it out");
    Check(ChooseSendTo(mainWindow, shortcut, L""), "the item takes the shortcut out again");
    CheckWideText(SendToItemText(mainWindow), add, "and then adds it again");

    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring other = std::wstring(windows) + L"\\notepad.exe";
    Check(SaveShortcut(std::u16string(shortcut.begin(), shortcut.end()),
                       std::u16string(other.begin(), other.end())) &&
              TargetOf(shortcut) == other,
          "another program's shortcut of the name is there");
    CheckWideText(SendToItemText(mainWindow), add, "a shortcut pointing elsewhere is not ours");
    Check(ChooseSendTo(mainWindow, shortcut, program),
          "the item points that shortcut at the program instead of deleting it");
    Check(OtherDialog(mainWindow) == nullptr, "no box: every change was made");
    DeleteFileW(shortcut.c_str());
}
