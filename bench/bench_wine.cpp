// Benchmark on a real Win32 implementation (run under Wine): appending N dropped files to an
// empty list and to a list of N rows, against the floor of bare calls the design needs (one
// LVM_GETITEMTEXTW and one pump look per row read); the restart run of N rows of existing files,
// against the floor of a bare MoveFileExW request for each of the same files; start-up to the
// opaque window, WM_CLOSE to the end, and the peak working set. The main dialog runs modeless on
// this one thread, so the clock sees only the program's own work. Prints figures; asserts nothing.

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "bench_common.h"
#include "resources/resource.h"
#include "restart/restart_deletion.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

using bench::Clock;
using bench::Seconds;

// A drop of `count` numbered paths, as the shell hands it over: DROPFILES and ANSI names.
HDROP MakeDrop(const char* stem, int count) {
    std::string names;
    for (int i = 0; i < count; ++i) {
        names.append(bench::NumberedPath(stem, i)).push_back('\0');
    }
    names.push_back('\0');
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

HWND OpenMainWindow() {
    g_app = AppState{};
    HMODULE module = GetModuleHandleA(nullptr);
    g_app.mainIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_APP));
    InitCommonControls();
    // WM_INITDIALOG runs the whole fade-in before this returns.
    return CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
}

void CloseMainWindow(HWND window) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    DestroyWindow(window);
    PumpPendingMessages();
}

void MeasureDrop(const char* what, int count, int existing) {
    HWND window = OpenMainWindow();
    if (existing > 0) {
        SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop("old", existing)), 0);
    }
    HDROP drop = MakeDrop("new", count);
    const Clock::time_point start = Clock::now();
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const double program = Seconds(start, Clock::now());
    const double floor = bench::FloorSeconds(g_app.listControl, bench::RowReads(count, existing));
    std::printf("%-34s %6d %10.3f s %10.3f s %8.2f\n", what, count, program, floor,
                program / floor);
    std::fflush(stdout);
    CloseMainWindow(window);
}

const WCHAR kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";

// Each measure starts from no pending operations: the system rewrites the whole value with each
// request, so its length weighs on the next.
void ClearPendingOperations() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueW(key, L"PendingFileRenameOperations");
        RegCloseKey(key);
    }
}

std::wstring LiteralOf(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

// The restart run of N rows of existing files (each gathered, decided, asked for and reported)
// against bare requests for the same files.
void MeasureRestartRun(int count) {
    CreateDirectoryA("C:\\bench", nullptr);
    for (int i = 0; i < count; ++i) {
        CloseHandle(CreateFileA(bench::NumberedPath("run", i).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
    }
    HWND window = OpenMainWindow();
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop("run", count)), 0);
    ClearPendingOperations();
    const Clock::time_point start = Clock::now();
    ScheduleListedRows(count);
    const double program = Seconds(start, Clock::now());
    ClearPendingOperations();
    const Clock::time_point floorStart = Clock::now();
    for (int i = 0; i < count; ++i) {
        MoveFileExW(LiteralOf(bench::NumberedPath("run", i)).c_str(), nullptr,
                    MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    const double floor = Seconds(floorStart, Clock::now());
    ClearPendingOperations();
    std::printf("%-34s %6d %10.3f s %10.3f s %8.2f\n", "restart run of N rows", count, program,
                floor, program / floor);
    std::fflush(stdout);
    CloseMainWindow(window);
    for (int i = 0; i < count; ++i) {
        DeleteFileA(bench::NumberedPath("run", i).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The start of the process, for the time to the opaque window.
    FILETIME created, exited, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    HWND window = OpenMainWindow();
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](FILETIME time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const double startup = (ticks(now) - ticks(created)) / 1e4;
    const Clock::time_point closing = Clock::now();
    CloseMainWindow(window);
    const double close = 1000 * Seconds(closing, Clock::now());

    // Which build this is and which Windows it meets: a 32-bit prefix, or WOW64 in a 64-bit one.
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const char* build = sizeof(void*) == 8 ? "x86_64 build, 64-bit Windows"
                        : wow64            ? "i686 build, 64-bit Windows (WOW64)"
                                           : "i686 build, 32-bit Windows";
    std::printf("Wine (%s, code page %u)\n", build, GetACP());
    std::printf("%-34s %6s %12s %12s %8s\n", "measure", "N", "program", "floor", "ratio");
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {1000, 4000};
    }
    for (int n : sizes) {
        MeasureDrop("drop N files on an empty list", n, 0);
        MeasureDrop("drop N files on a list of N rows", n, n);
    }
    for (int n : sizes) {
        MeasureRestartRun(n);
    }
    std::printf("start to opaque window: %.1f ms; WM_CLOSE to exit: %.1f ms\n", startup, close);

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("peak working set: %.1f MiB\n", counters.PeakWorkingSetSize / 1048576.0);
    return 0;
}
