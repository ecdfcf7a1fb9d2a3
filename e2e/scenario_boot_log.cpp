// The last restart's results on Wine, which keeps no PFRO.log: the scenario writes one in the
// prefix's Windows folder as the session manager does (UTF-16 LE, CR LF), before the program
// starts, with two old boots and one of this boot, whose times are the local time now (Wine's
// boot time is its server's start). The dialog from the system menu, and the reason of a dropped
// file the boot failed to delete; then the same dialog over a log of older boots only, a log of
// random bytes, no log, and a log of several MiB.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::string kFolder = "C:\\e2e\\boot-log";
// The name holds ", ", and the log spells it in other case.
const std::string kInUse = kFolder + "\\a, b.txt";
const std::wstring kInUseLogged = L"\\??\\C:\\E2E\\Boot-Log\\A, B.TXT";
const std::string kOther = kFolder + "\\other.txt";

const std::wstring kOldBoots =
    L"6/14/2016 19:14:22 - PFRO Error: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp, "
    L"|delete operation|, 0xc0000034\r\n"
    L"6/14/2016 19:14:23 - 12 Successful PFRO operations\r\n\r\n"
    L"3/15/2021 6:36:35 - PFRO Error: \\??\\C:\\Program Files\\Google\\Chrome, |delete "
    L"operation|, 0xc0000101\r\n"
    L"3/15/2021 6:36:35 - PFRO Error: \\??\\D:\\x.tmp, |delete operation|, 0xc0000185\r\n"
    L"not a line of the boot's\r\n"
    L"3/15/2021 6:36:36 - 7 Successful PFRO operations\r\n\r\n";
const std::vector<std::vector<std::wstring>> kOldRows = {
    {L"2021-03-15 06:36:35", L"C:\\Program Files\\Google\\Chrome", L"删除", L"文件夹不为空"},
    {L"2021-03-15 06:36:35", L"D:\\x.tmp", L"删除", L"错误 0xC0000185"},
    {L"2016-06-14 19:14:22", L"C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp", L"删除",
     L"文件不存在"},
};
const std::wstring kStillPending = L"\r\n当前仍有 2 项待处理的操作，只有“重启”才会执行它们。";

std::wstring LogPath() {
    wchar_t folder[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\PFRO.log";
}

bool WriteLog(const std::string& bytes) {
    HANDLE file = CreateFileW(LogPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) != FALSE &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

std::string Utf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::wstring Format(const wchar_t* format, int a, int b, int c, int d, int e, int f) {
    wchar_t text[64] = {};
    swprintf(text, 64, format, a, b, c, d, e, f);
    return text;
}

// Now, as the boot writes a time ("M/D/YYYY H:M:S - "), and as the window shows it.
struct Now {
    std::wstring logged;
    std::wstring shown;
    std::wstring minute;
};
Now LocalNow() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return {
        Format(L"%d/%d/%d %d:%d:%d - ", t.wMonth, t.wDay, t.wYear, t.wHour, t.wMinute, t.wSecond),
        Format(L"%04d-%02d-%02d %02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
               t.wSecond),
        Format(L"%04d-%02d-%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, 0)};
}

Now g_now;

// This boot: the deletion of a file in use, of a folder not empty, a rename onto a file there.
std::wstring ThisBoot(const Now& now) {
    return now.logged + L"PFRO Error: " + kInUseLogged + L", |delete operation|, 0xc0000043\r\n" +
           now.logged +
           L"PFRO Error: \\??\\C:\\e2e\\boot-log\\full folder, |delete operation|, 0xc0000101\r\n" +
           now.logged +
           L"PFRO Error: \\??\\C:\\e2e\\boot-log\\old.txt, \\??\\C:\\e2e\\boot-log\\new.txt, "
           L"0xc0000035\r\n" +
           now.logged + L"4 Successful PFRO operations\r\n\r\n";
}

using Rows = std::vector<std::vector<std::wstring>>;

std::string Shown(const Rows& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += "\n      ";
        for (const std::wstring& cell : row) {
            text += "[" + Utf8(cell) + "]";
        }
    }
    return text;
}

// What the dialog showed: its columns, its line of text, the line under its list, its first rows
// and how many there are, and how long it took to open.
struct Seen {
    std::wstring columns;
    std::wstring summary;
    std::wstring skipped;
    Rows rows;
    int count = -1;
    ULONGLONG took = 0;
};

// Opens the dialog from the system menu, reads it, and closes it with 关闭.
Seen OpenAndRead(HWND mainWindow, const char* screenshot = nullptr) {
    Seen seen;
    const ULONGLONG start = GetTickCount64();
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_BOOT_LOG, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"上次重启的结果");
    seen.took = GetTickCount64() - start;
    if (!Check(dialog != nullptr && GetWindow(dialog, GW_OWNER) == mainWindow &&
                   !IsWindowEnabled(mainWindow),
               "the system menu's item opens 上次重启的结果, modal and owned by the main window")) {
        return seen;
    }
    HWND list = GetDlgItem(dialog, IDC_BOOT_LOG_LIST);
    for (int column = 0; column < 4; ++column) {
        std::wstring header;
        WideColumnHeader(list, column, header);
        seen.columns += header + L"|";
    }
    seen.summary = WideTextOf(GetDlgItem(dialog, IDC_BOOT_LOG_SUMMARY));
    seen.skipped = WideTextOf(GetDlgItem(dialog, IDC_BOOT_LOG_SKIPPED));
    seen.count = RowCountOf(list);
    for (int row = 0; row < seen.count && row < 10; ++row) {
        seen.rows.push_back({});
        for (int column = 0; column < 4; ++column) {
            seen.rows.back().push_back(WideCellText(list, row, column));
        }
    }
    if (screenshot != nullptr) {
        Check(SaveScreenshot(dialog, screenshot), "a screenshot of the dialog is saved");
    }
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog) && WaitUntil([&] { return IsWindowEnabled(mainWindow); }),
          "关闭 closes it and the main window answers again");
    return seen;
}

void CheckMenuItem(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    wchar_t text[128] = {};
    GetMenuStringW(menu, IDM_BOOT_LOG, text, 128, MF_BYCOMMAND);
    const int count = GetMenuItemCount(menu);
    int pending = 0;
    while (pending + 1 < count && GetMenuItemID(menu, pending) != IDM_PENDING) {
        ++pending;
    }
    Check(std::wstring(text) == L"上次重启的结果..." &&
              GetMenuItemID(menu, pending) == IDM_PENDING &&
              GetMenuItemID(menu, pending + 1) == IDM_BOOT_LOG,
          "the system menu's item 上次重启的结果... follows the to-do list's: " + Utf8(text));
}

// The log of two old boots and this one: this boot's rows first.
void CheckThisBoot(HWND mainWindow) {
    const Seen seen = OpenAndRead(mainWindow, "boot-log.bmp");
    CheckWideText(seen.columns, L"时间|文件|操作|原因|", "the columns");
    CheckWideText(
        seen.summary,
        L"上次重启（" + g_now.minute + L"）时有 3 项操作未能完成，4 项已完成。" + kStillPending,
        "the line of text tells of this boot, and of the operations still pending");
    Rows expected = {
        {g_now.shown, L"C:\\E2E\\Boot-Log\\A, B.TXT", L"删除", L"文件正在使用中"},
        {g_now.shown, L"C:\\e2e\\boot-log\\full folder", L"删除", L"文件夹不为空"},
        {g_now.shown, L"C:\\e2e\\boot-log\\old.txt", L"移到 C:\\e2e\\boot-log\\new.txt",
         L"目标已存在"},
    };
    expected.insert(expected.end(), kOldRows.begin(), kOldRows.end());
    Check(seen.rows == expected,
          "a row per failed operation, this boot's first, then older boots', newest first:" +
              Shown(seen.rows));
    CheckWideText(seen.skipped, L"1 行无法识别", "the line that could not be read is counted");
}

// A file the boot failed to delete, dropped, says why; another file says nothing.
void CheckDroppedFile(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(WaitForDropFinished(DropFiles(mainWindow, {kInUse, kOther})) && WaitForRowCount(list, 2),
          "the file the boot failed to delete and another are dropped and listed");
    CheckWideText(WideCellText(list, 0, 2), L"上次重启未能删除：文件正在使用中",
                  "the file the boot failed to delete says why, though the log spells it in "
                  "other case");
    CheckWideText(WideCellText(list, 1, 2), L"", "the other file has no reason");
}

// A log whose last boot is older: nothing failed at this boot, or nothing was pending.
void CheckOnlyOlderBoots(HWND mainWindow) {
    Check(WriteLog(Utf16Bytes(kOldBoots)), "a log of the two old boots only is written");
    const Seen seen = OpenAndRead(mainWindow);
    CheckWideText(seen.summary, L"上次重启时没有记录到失败的操作。" + kStillPending,
                  "when the log's last boot is older the line of text says nothing failed");
    Check(seen.rows == kOldRows, "the older boots' rows are listed:" + Shown(seen.rows));
}

// Bytes of odd length, none of them a line's end: the log's one line cannot be read.
void CheckRandomBytes(HWND mainWindow) {
    std::string bytes(4097, '\0');
    unsigned state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 16);
        byte = byte == '\n' ? 'n' : byte;
    }
    Check(WriteLog(bytes), "a log of 4,097 random bytes is written");
    const Seen seen = OpenAndRead(mainWindow);
    CheckWideText(seen.summary, L"无法读取重启记录：内容无法识别" + kStillPending,
                  "over random bytes the line of text says the log could not be read");
    Check(seen.skipped == L"1 行无法识别" && seen.count == 0,
          "the line under the list says how much; the list is empty");
}

void CheckNoLog(HWND mainWindow) {
    DeleteFileW(LogPath().c_str());
    const Seen seen = OpenAndRead(mainWindow);
    CheckWideText(seen.summary, L"系统没有留下重启记录 (PFRO.log)。" + kStillPending,
                  "without a log the line of text says there is none");
    Check(seen.count == 0 && seen.skipped.empty(), "the list is empty, and nothing is under it");
}

// Old boots for several MiB, then this boot's: only the last MiB is read, its newest boot first.
void CheckLargeLog(HWND mainWindow) {
    std::wstring text;
    for (int boot = 0; text.size() * sizeof(wchar_t) < 3 * 1024 * 1024; ++boot) {
        text += L"1/2/2010 3:4:5 - PFRO Error: \\??\\C:\\old\\" + std::to_wstring(boot) +
                L".tmp, |delete operation|, 0xc0000034\r\n1/2/2010 3:4:6 - 1 Successful PFRO "
                L"operations\r\n\r\n";
    }
    const Now now = LocalNow();
    text += now.logged +
            L"PFRO Error: \\??\\C:\\e2e\\boot-log\\late.txt, |delete operation|, 0xc0000022\r\n" +
            now.logged + L"9 Successful PFRO operations\r\n\r\n";
    Check(WriteLog(Utf16Bytes(text)), "a log of " + std::to_string(text.size() * sizeof(wchar_t)) +
                                          " bytes is written, its last boot this one");
    const Seen seen = OpenAndRead(mainWindow);
    Note("the dialog opened over it in " + std::to_string(seen.took) + " ms");
    CheckWideText(
        seen.summary,
        L"上次重启（" + now.minute + L"）时有 1 项操作未能完成，9 项已完成。" + kStillPending,
        "over several MiB the line of text tells of this boot");
    const Rows first(seen.rows.begin(), seen.rows.begin() + std::min<size_t>(2, seen.rows.size()));
    Check(first.size() == 2 &&
              first[0] == std::vector<std::wstring>{now.shown, L"C:\\e2e\\boot-log\\late.txt",
                                                    L"删除", L"拒绝访问"} &&
              first[1][0] == L"2010-01-02 03:04:05" && seen.count > 1000 && seen.count < 20000 &&
              seen.skipped.empty(),
          "this boot's row first, then the old boots of the last MiB (" +
              std::to_string(seen.count) + " rows), nothing unreadable:" + Shown(first));
}

}  // namespace

void WriteBootLogBeforeStart() {
    g_now = LocalNow();
    Check(MakeFile(kInUse) && MakeFile(kOther), "the files are made");
    Check(WriteLog(Utf16Bytes(kOldBoots + ThisBoot(g_now))),
          "PFRO.log holds two old boots and this one");
}

void DriveBootLog(HWND mainWindow) {
    // Two operations another program recorded, which no restart has carried out yet: a deletion
    // and a rename, then the list's end.
    const wchar_t pending[] =
        L"\\??\\C:\\e2e\\boot-log\\p.txt\0\0\\??\\C:\\e2e\\boot-log\\q.txt\0"
        L"\\??\\C:\\e2e\\boot-log\\r.txt\0";
    Check(ClearPendingOperations() &&
              WritePendingValueUnits(std::wstring(pending, sizeof pending / sizeof pending[0])),
          "two operations are pending");
    CheckMenuItem(mainWindow);
    CheckThisBoot(mainWindow);
    CheckDroppedFile(mainWindow);
    CheckOnlyOlderBoots(mainWindow);
    CheckRandomBytes(mainWindow);
    CheckNoLog(mainWindow);
    CheckLargeLog(mainWindow);
    DeleteFileW(LogPath().c_str());
    ClearPendingOperations();
}
