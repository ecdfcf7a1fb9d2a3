// Explorer's right-click verb. The system menu's item writes the verb for files and folders; its
// command, run from the registry once per item for five files and a folder in quick succession
// as Explorer runs it, lists the six in one window after the folder question: first in this open
// window, then, this window closed, in the window of the one start the helper makes, whose item
// then takes the verb out again.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/one_window.h"
#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::wstring kFolder = L"C:\\e2e\\verb";
const std::vector<std::wstring> kFiles = {kFolder + L"\\one.txt", kFolder + L"\\two words.txt",
                                          kFolder + L"\\\u4e2d\u6587.txt", kFolder + L"\\four",
                                          kFolder + L"\\five.log"};
const std::wstring kChosenFolder = kFolder + L"\\a folder";
// The names Explorer shows the verb under for every file and for folders.
const wchar_t* const kClasses[] = {L"*", L"Directory"};

std::wstring VerbKey(const wchar_t* fileClass) {
    return std::wstring(L"Software\\Classes\\") + fileClass + L"\\shell\\rebootdel.DeleteAtRestart";
}

// A text value of the verb's key (or of its command key, value null); empty when there is none.
std::wstring VerbValue(const wchar_t* fileClass, const wchar_t* name, bool command = false) {
    wchar_t text[2048] = {};
    DWORD size = sizeof text;
    const std::wstring key = VerbKey(fileClass) + (command ? L"\\command" : L"");
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text,
                        &size) == ERROR_SUCCESS
               ? text
               : L"";
}

// Neither class has the verb's key.
bool VerbGone() {
    HKEY key = nullptr;
    for (const wchar_t* fileClass : kClasses) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, VerbKey(fileClass).c_str(), 0, KEY_READ, &key) ==
            ERROR_SUCCESS) {
            RegCloseKey(key);
            return false;
        }
    }
    return true;
}

std::wstring ItemText(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    SendWithTimeout(mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    wchar_t text[256] = {};
    GetMenuStringW(menu, IDM_CONTEXT_MENU, text, 256, MF_BYCOMMAND);
    return text;
}

// Runs each class's command with the item in place of %1, one process per item at once, as
// Explorer does for a choice; their process handles.
std::vector<HANDLE> RunVerbOnChoice() {
    std::vector<std::pair<const wchar_t*, std::wstring>> items;
    for (const std::wstring& file : kFiles) {
        items.emplace_back(L"*", file);
    }
    items.emplace_back(L"Directory", kChosenFolder);
    std::vector<HANDLE> started;
    for (const auto& [fileClass, item] : items) {
        std::wstring line = VerbValue(fileClass, nullptr, true);
        const size_t at = line.find(L"%1");
        if (at == std::wstring::npos) {
            continue;
        }
        line.replace(at, 2, item);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            started.push_back(process.hProcess);
        }
    }
    return started;
}

// Every helper ended with 0, each within the time a gathering takes.
bool HelpersEnded(std::vector<HANDLE>& helpers) {
    bool ended = helpers.size() == kFiles.size() + 1;
    for (HANDLE helper : helpers) {
        DWORD code = 1;
        ended = ended && WaitForSingleObject(helper, 30000) == WAIT_OBJECT_0 &&
                GetExitCodeProcess(helper, &code) && code == 0;
        CloseHandle(helper);
    }
    return ended;
}

// The five files in whatever order the starts joined, then, after the question, the folder.
bool ListsTheChoice(HWND mainWindow, const std::string& what) {
    AnswerFolderQuestion(IDOK, what);
    HWND list = ListOf(mainWindow);
    const bool six = WaitForRowCount(list, 6);
    std::vector<std::wstring> rows;
    std::string shown;
    for (int row = 0; row < RowCountOf(list); ++row) {
        rows.push_back(WideCellText(list, row, 0));
        shown += " [" + PrintableWide(rows.back()) + "]";
    }
    std::vector<std::wstring> files = kFiles;
    std::sort(files.begin(), files.end());
    const bool filesFirst = rows.size() == 6 &&
                            std::is_permutation(rows.begin(), rows.begin() + 5, files.begin()) &&
                            rows.back() == kChosenFolder + L"\\";
    return Check(six && filesFirst, what + ": one window lists the six:" + shown);
}

BOOL CALLBACK TakeOtherProgramWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(window) ||
        GetPropW(window, reinterpret_cast<LPCWSTR>(kWindowProperty)) == nullptr) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// The program's window of another process, once it has one.
HWND StartedWindow() {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            EnumWindows(TakeOtherProgramWindow, reinterpret_cast<LPARAM>(&found));
            return found != nullptr;
        },
        30000);
    return found;
}

// The lines of the started program's part, in this scenario's log.
void ShowStartedLog() {
    std::ifstream log("context-menu-started.log");
    for (std::string line; std::getline(log, line);) {
        std::printf("  started: %s\n", line.c_str());
    }
    std::fflush(stdout);
}

}  // namespace

void DriveContextMenu(HWND mainWindow) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program = path;
    const std::wstring command = L"\"" + program.substr(0, program.rfind(L'\\')) +
                                 L"\\rebootdel-menu.exe\" \"" + program + L"\" \"%1\"";
    CheckWideText(ItemText(mainWindow), WideOf936(kMenuAddContextMenu),
                  "without the verb the item adds it");
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_CONTEXT_MENU, 0);
    Check(WaitUntil([&] {
              return VerbValue(L"*", nullptr, true) == command &&
                     VerbValue(L"Directory", nullptr, true) == command;
          }),
          "the item writes the verb of files and folders, which runs the helper beside the "
          "program with the program and the item");
    for (const wchar_t* fileClass : kClasses) {
        Check(VerbValue(fileClass, L"MUIVerb") == L"重启时删除" &&
                  VerbValue(fileClass, L"Icon") == program + L",0" &&
                  VerbValue(fileClass, L"MultiSelectModel") == L"Player",
              "shown as 重启时删除 with the program's icon, once per item of a choice");
    }
    CheckWideText(ItemText(mainWindow), WideOf936(kMenuRemoveContextMenu),
                  "with the verb the item takes it out");
    MakeFile("C:\\e2e\\verb\\a folder\\inside.txt");
    for (const std::wstring& file : kFiles) {
        CloseHandle(
            CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }

    std::vector<HANDLE> helpers = RunVerbOnChoice();
    ListsTheChoice(mainWindow, "the verb on five files and a folder, this window open");
    Check(HelpersEnded(helpers), "each of the six helpers ends with 0");

    // No window open: the one start the helper makes opens its own, whose part of the scenario
    // lists the six and takes the verb out with its item.
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    Check(WaitUntil([&] {
              HANDLE claim =
                  OpenMutexW(SYNCHRONIZE, FALSE, reinterpret_cast<LPCWSTR>(kOneWindowMutex));
              if (claim != nullptr) {
                  CloseHandle(claim);
              }
              return !IsWindow(mainWindow) && claim == nullptr;
          }),
          "this window closes, and with it the program's claim");
    SetEnvironmentVariableW(L"E2E_STARTED_BY", L"context-menu");
    helpers = RunVerbOnChoice();
    HWND started = StartedWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(started, &process);
    HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    DWORD code = 1;
    const bool ended = handle != nullptr && WaitForSingleObject(handle, 60000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(handle, &code);
    ShowStartedLog();
    Check(started != nullptr && ended && code == 0,
          "with no window open the helper's start opens one, and its checks pass (exit code " +
              std::to_string(code) + ")");
    Check(HelpersEnded(helpers), "each of the six helpers ends with 0");
    Check(VerbGone(), "the verb's keys are gone");
    if (handle != nullptr) {
        CloseHandle(handle);
    }
}

void DriveContextMenuStarted(HWND mainWindow) {
    ListsTheChoice(mainWindow, "the verb on five files and a folder, no window open");
    CheckWideText(ItemText(mainWindow), WideOf936(kMenuRemoveContextMenu),
                  "this start's item takes out the verb that starts it");
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_CONTEXT_MENU, 0);
    Check(WaitUntil(VerbGone), "the item deletes the verb's keys of files and folders");
    CheckWideText(ItemText(mainWindow), WideOf936(kMenuAddContextMenu), "and then adds it again");
}
