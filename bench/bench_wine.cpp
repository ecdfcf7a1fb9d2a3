// Benchmark on a real Win32 implementation (run under Wine): appending N dropped files to an
// empty list and to a list of N rows, against the floor of bare calls the design needs (one pump
// look per new path); the restart run of N rows of existing files, against bare MoveFileExW
// requests for each of the same files (what the run's one write saves); the restart run of
// one folder row holding N files; opening the to-do list over N deletions and a rename, and
// taking the N deletions back; the to-do list opened from the main window's system menu over N
// operations and closed, until the main window answers again, with the rows its close marks;
// start-up to the opaque window, WM_CLOSE to the end, and the peak working set. The main dialog
// runs modeless on this one thread, and so does the to-do list, except from the menu, where it
// runs modally as in the program; the clock sees only the program's own work and the platform's
// under it. Prints figures; asserts nothing.
//
// Each measure prints one line: the measure, N, the program's seconds, and the floor's seconds
// or "-" when it has none, then the peak working set so far; scripts/bench.sh works out the time
// per file and joins the builds. Measures named on the command line (drop-empty, drop-rows,
// restart-run, folder-run, to-do-list, to-do-close) run alone: scripts/bench.sh starts one
// process for each measure and size, so that each peak is that measure's own and not what the
// heap kept from the measures before it.

#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/shell.h"
#include "bench_common.h"
#include "list/deletion_list.h"
#include "paths/folder_rows.h"
#include "pending/pending_rules.h"
#include "pending/pending_window.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/restart_deletion.h"
#include "runtime/wide_text.h"
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

// A floor below zero is none.
void PrintMeasure(const char* what, int count, double program, double floor,
                  const char* note = "") {
    if (floor >= 0) {
        std::printf("%-34s %6d %10.3f s %10.3f s%s\n", what, count, program, floor, note);
    } else {
        std::printf("%-34s %6d %10.3f s %10s  %s\n", what, count, program, "-", note);
    }
    // The peak so far, after each measure, tells which one raised it.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("peak working set after %s, N = %d: %.1f MiB\n", what, count,
                counters.PeakWorkingSetSize / 1048576.0);
    std::fflush(stdout);
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
    const double floor = bench::PumpFloorSeconds(count);
    PrintMeasure(what, count, program, floor);
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

// The value's size in code units, 0 when it is gone.
DWORD PendingUnits() {
    HKEY key = nullptr;
    DWORD size = 0;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr,
                             &size) != ERROR_SUCCESS) {
            size = 0;
        }
        RegCloseKey(key);
    }
    return size / sizeof(WCHAR);
}

bool WritePendingUnits(std::u16string_view units) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool written =
        RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(units.data()),
                       static_cast<DWORD>(units.size() * sizeof(WCHAR))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

std::wstring WideOf(const std::string& path) {
    return std::wstring(path.begin(), path.end());
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
    PrintMeasure("restart run of N rows", count, program, floor);
    CloseMainWindow(window);
    for (int i = 0; i < count; ++i) {
        DeleteFileA(bench::NumberedPath("run", i).c_str());
    }
}

// The text in UTF-8, as the output is written.
std::string Utf8Of(const WideText& text) {
    const auto* units = reinterpret_cast<const WCHAR*>(text.data());
    const int size = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0, nullptr, nullptr),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

// The deletions the value records now, 0 when it is gone.
size_t PendingDeletions() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return 0;
    }
    WideText units(PendingUnits(), u'\0');
    DWORD size = static_cast<DWORD>(units.size() * sizeof(char16_t));
    const bool read =
        RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(units.data()), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read) {
        return 0;
    }
    const PendingOperations parsed = ParsePendingOperations(units);
    return static_cast<size_t>(
        std::count_if(parsed.operations.begin(), parsed.operations.end(), IsDeletion));
}

// The restart run of one folder row holding `count` files: the walk, every entry decided and
// recorded, the folder last. Making and removing the files is not counted. Wine looks through the
// whole folder for each name it creates, so that 200,000 files would take it hours:
// scripts/bench.sh makes them beforehand, on the host, and removes them after; run alone, the
// measure makes and removes them itself.
void MeasureFolderRun(int count) {
    CreateDirectoryA("C:\\bench", nullptr);
    const std::string folder = "C:\\bench\\folder" + std::to_string(count);
    // Six digits hold the 200,000 files of the largest run.
    const auto file = [&](int i) {
        char name[32];
        std::snprintf(name, sizeof name, "\\f%06d.txt", i);
        return folder + name;
    };
    const bool madeBeforehand =
        GetFileAttributesA(file(count - 1).c_str()) != INVALID_FILE_ATTRIBUTES;
    const Clock::time_point creating = Clock::now();
    if (!madeBeforehand) {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            CloseHandle(
                CreateFileA(file(i).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        }
    }
    const double created = Seconds(creating, Clock::now());
    HWND window = OpenMainWindow();
    const std::wstring wide = WideOf(folder);
    AppendPath(FolderRow(WideText(wide.begin(), wide.end())));
    ClearPendingOperations();
    const Clock::time_point start = Clock::now();
    const bool accepted = ScheduleListedRows(1);
    const double program = Seconds(start, Clock::now());
    // The files and the folder itself, each a deletion of its own.
    const size_t recorded = PendingDeletions();
    ClearPendingOperations();
    std::string note;
    if (!accepted || GetRowWideText(0, 1) != UiText(kResultAccepted)) {
        note = "(refused: " + Utf8Of(GetRowWideText(0, 1)) + " " + Utf8Of(GetRowWideText(0, 2)) +
               "; not measured)";
    } else if (recorded != static_cast<size_t>(count) + 1) {
        note = "(" + std::to_string(recorded) + " deletions recorded, not " +
               std::to_string(count + 1) + ")";
    }
    PrintMeasure("restart run of a folder of N files", count, program, -1, note.c_str());
    CloseMainWindow(window);
    if (madeBeforehand) {
        return;
    }
    const Clock::time_point deleting = Clock::now();
    for (int i = 0; i < count; ++i) {
        DeleteFileA(file(i).c_str());
    }
    RemoveDirectoryA(folder.c_str());
    std::printf("folder of %d files, not counted: made in %.1f s, removed in %.1f s\n", count,
                created, Seconds(deleting, Clock::now()));
    std::fflush(stdout);
}

// The box being answered, and the seconds boxes were up: the platform's, not the program's.
HWND g_box = nullptr;
Clock::time_point g_boxShown;
double g_boxSeconds = 0;

// Answers every message box this thread opens with OK, as the user would.
LRESULT CALLBACK AnswerBoxesWithOk(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && g_box == nullptr) {
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::strcmp(className, "#32770") == 0) {
            g_box = window;
            g_boxShown = Clock::now();
        }
    } else if (code == HCBT_ACTIVATE && window == g_box) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    } else if (code == HCBT_DESTROYWND && window == g_box) {
        g_boxSeconds += Seconds(g_boxShown, Clock::now());
        g_box = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Opening the to-do list over `count` deletions and another program's rename, until its rows
// are painted; then all its rows chosen and "取消删除" confirmed, until the value is rewritten.
void MeasureToDoList(int count) {
    const std::wstring rename = L"\\??\\C:\\bench\\setup.new" + std::wstring(1, L'\0') +
                                L"!\\??\\C:\\bench\\setup.dll" + std::wstring(1, L'\0');
    std::wstring units = rename;
    for (int i = 0; i < count; ++i) {
        units += L"\\??\\" + WideOf(bench::NumberedPath("pend", i)) + std::wstring(2, L'\0');
    }
    units.push_back(L'\0');
    HWND window = OpenMainWindow();
    if (!WritePendingUnits(WideText(units.begin(), units.end()))) {
        std::printf("to-do list: the value could not be written\n");
        CloseMainWindow(window);
        return;
    }
    HMODULE module = GetModuleHandleA(nullptr);
    const Clock::time_point opening = Clock::now();
    HWND dialog =
        CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_PENDING), window, PendingDialogProc, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpPendingMessages();
    const double open = Seconds(opening, Clock::now());
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    PrintMeasure("open the to-do list of N + 1", count, open, -1,
                 rows == count + 1 ? "" : "(rows missing)");

    LVITEMW all{};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
    g_boxSeconds = 0;
    HHOOK hook = SetWindowsHookExW(WH_CBT, AnswerBoxesWithOk, nullptr, GetCurrentThreadId());
    const Clock::time_point cancelling = Clock::now();
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PENDING_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PENDING_CANCEL)));
    const double cancel = Seconds(cancelling, Clock::now());
    UnhookWindowsHookEx(hook);
    // What stays is the rename, its two strings and the list's end.
    const bool onlyRename =
        PendingUnits() == rename.size() + 1 && SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 1;
    char note[64];
    std::snprintf(note, sizeof note, "(the question's box, %.3f s, not counted)%s", g_boxSeconds,
                  onlyRename ? "" : " (not all taken back)");
    PrintMeasure("take back N chosen deletions", count, cancel - g_boxSeconds, -1, note);
    DestroyWindow(dialog);
    g_app.pendingWindow = nullptr;
    CloseMainWindow(window);
    ClearPendingOperations();
}

// The i-th of a series of distinct four-character Chinese names: the digits of i in base 100,
// each position drawing from a hundred characters of the CJK block of its own.
WideText ChineseName(int i) {
    WideText name;
    int scale = 1000000;
    for (int position = 0; position < 4; ++position, scale /= 100) {
        name.push_back(static_cast<char16_t>(0x4E00 + 100 * position + i / scale % 100));
    }
    return name;
}

// The to-do list opened from the menu: when it was drawn and asked to close, what it showed, and
// the window procedures the watch stands in front of.
struct MenuOpening {
    HWND dialog = nullptr;
    Clock::time_point drawn;
    Clock::time_point closing;
    int rows = -1;
    // Hiding the closed dialog: the platform's part of the close. Without a window manager (as on
    // Xvfb), Wine's X11 driver waits two seconds there for one to say the window is gone.
    Clock::time_point hiding;
    double hideSeconds = 0;
    WNDPROC mainProcedure = nullptr;
    WNDPROC dialogProcedure = nullptr;
};
MenuOpening g_opening;

// A window procedure put in front of a window's own, in the window's own character set, so that
// nothing the window is sent is converted on the way.
WNDPROC PutInFront(HWND window, WNDPROC procedure) {
    const auto replacement = reinterpret_cast<LONG_PTR>(procedure);
    return reinterpret_cast<WNDPROC>(IsWindowUnicode(window)
                                         ? SetWindowLongPtrW(window, GWLP_WNDPROC, replacement)
                                         : SetWindowLongPtrA(window, GWLP_WNDPROC, replacement));
}

LRESULT PassOn(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return IsWindowUnicode(window) ? CallWindowProcW(procedure, window, message, wParam, lParam)
                                   : CallWindowProcA(procedure, window, message, wParam, lParam);
}

bool Hides(LPARAM position) {
    return (reinterpret_cast<const WINDOWPOS*>(position)->flags & SWP_HIDEWINDOW) != 0;
}

// Times the hiding of the closed dialog.
LRESULT CALLBACK WatchDialogHide(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && Hides(lParam)) {
        g_opening.hiding = Clock::now();
    }
    const LRESULT result = PassOn(g_opening.dialogProcedure, window, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED && Hides(lParam)) {
        g_opening.hideSeconds += Seconds(g_opening.hiding, Clock::now());
    }
    return result;
}

// The modal dialog's loop tells its owner each time its queue runs dry (WM_ENTERIDLE). The first
// time that happens with the dialog shown and nothing of it left to paint, the list is open on
// the screen: the clock stops there, and the close is posted, as a click on "关闭". A watch in
// front of the two windows, not a hook on the thread's messages: under Wine such a hook makes
// every message the program sends, such as its many to the list, a call to the server.
LRESULT CALLBACK WatchForDrawnList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_opening.dialog == nullptr) {
        HWND dialog = reinterpret_cast<HWND>(lParam);
        if (IsWindowVisible(dialog) && (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0) {
            g_opening.drawn = Clock::now();
            g_opening.dialog = dialog;
            g_opening.rows = static_cast<int>(
                SendDlgItemMessageW(dialog, IDC_PENDING_LIST, LVM_GETITEMCOUNT, 0, 0));
            g_opening.dialogProcedure = PutInFront(dialog, WatchDialogHide);
            g_opening.closing = Clock::now();
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        }
    }
    return PassOn(g_opening.mainProcedure, window, message, wParam, lParam);
}

// Should the watch never see the list drawn, the list is closed after ten minutes, so that the
// run goes on; the figures then say so.
void CALLBACK CloseAfterTooLong(HWND, UINT, UINT_PTR, DWORD) {
    if (g_app.pendingWindow != nullptr) {
        PostMessageW(g_app.pendingWindow, WM_CLOSE, 0, 0);
    }
}

// The to-do list opened from the main window's system menu over `count` operations and closed,
// until the command returns and the main window answers again; the close marks each "成功" row
// whose deletion is no longer pending. Of the operations, a thirty-first are the levels of a
// chain of nested folders, deepest first, as a folder's run records them, and the rest files of
// four-character Chinese names: 62,000 is 60,000 names and 2,000 levels. The main list holds a
// row for each file and one for the chain's top folder, each "成功" with the path a run would
// have recorded, and one more row whose deletion is not pending, which the close must mark.
void MeasureToDoClose(int count) {
    const int levels = count / 31;
    const int files = count - levels;
    const WideText todo = u"C:\\bench\\todo\\";
    const WideText chain = u"C:\\bench\\chain";
    const WideText recordedPrefix = u"\\??\\";
    WideText units;
    for (int i = 0; i < files; ++i) {
        units += recordedPrefix + todo + ChineseName(i) + WideText(2, u'\0');
    }
    for (int level = levels; level >= 1; --level) {
        WideText folder = chain;
        for (int i = 0; i < level; ++i) {
            folder += u"\\a";
        }
        units += recordedPrefix + folder + WideText(2, u'\0');
    }
    units.push_back(u'\0');

    HWND window = OpenMainWindow();
    if (!WritePendingUnits(units)) {
        std::printf("to-do list from the menu: the value could not be written\n");
        CloseMainWindow(window);
        return;
    }
    const auto listAccepted = [&](const WideText& path, const WideText& recorded) {
        const int row = AppendPath(path);
        SetRowResult(row, kResultAccepted);
        SetRowRecordedPath(row, RecordedPath{recordedPrefix + recorded});
    };
    HoldListRedraw();
    for (int i = 0; i < files; ++i) {
        listAccepted(todo + ChineseName(i), todo + ChineseName(i));
    }
    if (levels > 0) {
        listAccepted(FolderRow(chain + u"\\a"), chain + u"\\a");
    }
    const int goneRow = RowCount();
    listAccepted(todo + u"gone.txt", todo + u"gone.txt");
    ReleaseListRedraw();
    PumpPendingMessages();

    g_opening = MenuOpening{};
    g_opening.mainProcedure = PutInFront(window, WatchForDrawnList);
    const UINT_PTR guard = SetTimer(nullptr, 0, 600000, CloseAfterTooLong);
    const Clock::time_point asking = Clock::now();
    SendMessageW(window, WM_SYSCOMMAND, IDM_PENDING, 0);
    const Clock::time_point answered = Clock::now();
    KillTimer(nullptr, guard);
    PutInFront(window, g_opening.mainProcedure);

    if (g_opening.dialog == nullptr) {
        std::printf("to-do list from the menu, N = %d: never seen drawn; closed after %.0f s\n",
                    count, Seconds(asking, answered));
    } else {
        PrintMeasure("open the to-do list of N, by menu", count, Seconds(asking, g_opening.drawn),
                     -1, g_opening.rows == count ? "" : "(operations missing from the list)");
        const WideText& accepted = UiText(kResultAccepted);
        const WideText& cancelled = UiText(kResultCancelled);
        int others = 0;
        for (int row = 0; row < RowCount(); ++row) {
            others += row != goneRow && GetRowWideText(row, 1) != accepted ? 1 : 0;
        }
        const bool right = GetRowWideText(goneRow, 1) == cancelled && others == 0;
        char hidden[96];
        std::snprintf(hidden, sizeof hidden, "(hiding the dialog, %.3f s, counted)%s",
                      g_opening.hideSeconds, right ? "" : " (marks wrong)");
        PrintMeasure("close it until the main answers", count, Seconds(g_opening.closing, answered),
                     -1, hidden);
        std::printf(
            "to-do list from the menu, N = %d: the row not pending says %s, %d other "
            "rows changed\n",
            count, Utf8Of(GetRowWideText(goneRow, 1)).c_str(), others);
    }
    CloseMainWindow(window);
    ClearPendingOperations();
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
    std::printf("%-34s %6s %12s %12s\n", "measure", "N", "program", "floor");
    std::vector<int> sizes;
    std::vector<std::string> named;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] >= '0' && argv[i][0] <= '9') {
            sizes.push_back(std::atoi(argv[i]));
        } else {
            named.emplace_back(argv[i]);
        }
    }
    if (sizes.empty()) {
        sizes = {1000, 10000};
    }
    const auto runs = [&](const char* measure) {
        return named.empty() || std::find(named.begin(), named.end(), measure) != named.end();
    };
    for (int n : sizes) {
        if (runs("drop-empty")) {
            MeasureDrop("drop N files on an empty list", n, 0);
        }
        if (runs("drop-rows")) {
            MeasureDrop("drop N files on a list of N rows", n, n);
        }
    }
    for (int n : sizes) {
        if (runs("restart-run")) {
            MeasureRestartRun(n);
        }
    }
    for (int n : sizes) {
        if (runs("folder-run")) {
            MeasureFolderRun(n);
        }
    }
    for (int n : sizes) {
        if (runs("to-do-list")) {
            MeasureToDoList(n);
        }
    }
    for (int n : sizes) {
        if (runs("to-do-close")) {
            MeasureToDoClose(n);
        }
    }
    std::printf("start to opaque window: %.1f ms; WM_CLOSE to exit: %.1f ms\n", startup, close);

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    std::printf("peak working set: %.1f MiB\n", counters.PeakWorkingSetSize / 1048576.0);
    return 0;
}
