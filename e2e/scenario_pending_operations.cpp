// The restart's to-do list on Wine: operations another program recorded earlier (a replacing
// rename, a deletion, a deletion in the "*1" form) written into the value first, two files
// scheduled with the program beside them, the list opened from the system menu, one of the two
// deletions cancelled; after the restart the cancelled file is still there and every other
// operation was carried out.

#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::string kFolder = "C:\\e2e\\pending";
const std::string kRenamedFrom = kFolder + "\\renamed-from.txt";
const std::string kRenamedTo = kFolder + "\\renamed-to.txt";
const std::string kOtherDeletion = kFolder + "\\other-program.txt";
const std::string kStarDeletion = kFolder + "\\star-one.txt";
const std::string kCancelled = kFolder + "\\cancelled.txt";
const std::string kScheduled = kFolder + "\\scheduled.txt";

const std::wstring kCaptionW = L"重启时待处理的文件";
const std::wstring kMenuItemW = L"重启时待处理的文件...";
const std::wstring kQuestionW = L"  确定取消选中文件的重启删除 ?  ";
const std::wstring kDeletionW = L"删除";
const std::wstring kMoveToW = L"移到 ";
const std::wstring kAcceptedW = L"成功";
const std::wstring kCancelledW = L"已取消";
const std::wstring kRestartQuestionW = L"  确定重启删除列表中的文件 ?  ";

const wchar_t kSessionManagerKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

// Long enough for a box the program should not show.
constexpr DWORD kNoBoxMilliseconds = 1500;

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring W(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Nt(const std::string& path) {
    return L"\\??\\" + W(path);
}

// One pair of strings as REG_MULTI_SZ holds it.
std::wstring PairUnits(const std::wstring& source, const std::wstring& destination) {
    return source + L'\0' + destination + L'\0';
}

// The operations another program recorded before the program runs, the list's terminator last.
std::wstring OtherProgramsValue() {
    return PairUnits(Nt(kRenamedFrom), L"!" + Nt(kRenamedTo)) + PairUnits(Nt(kOtherDeletion), L"") +
           PairUnits(L"*1" + Nt(kStarDeletion), L"") + L'\0';
}

// The file's content is its own name, so that a rename shows where the content went.
bool MakeNamedFile(const std::string& path) {
    CreateDirectoryA("C:\\e2e", nullptr);
    CreateDirectoryA(kFolder.c_str(), nullptr);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, path.data(), static_cast<DWORD>(path.size()), &written, nullptr) != FALSE;
    return CloseHandle(file) && ok;
}

std::string ContentOf(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "<missing>";
    }
    char buffer[512] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HKEY OpenSessionManagerW(REGSAM access) {
    HKEY key = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, access, &key) == ERROR_SUCCESS
               ? key
               : nullptr;
}

// The value's code units exactly as stored; false when there is no such REG_MULTI_SZ value.
bool ReadValue(std::wstring& units) {
    units.clear();
    HKEY key = OpenSessionManagerW(KEY_QUERY_VALUE);
    if (key == nullptr) {
        return false;
    }
    DWORD type = 0;
    DWORD size = 0;
    bool ok =
        RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ;
    if (ok) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        ok = RegQueryValueExW(key, kPendingValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS;
        data.resize(size / sizeof(wchar_t));
        units = data;
    }
    RegCloseKey(key);
    return ok;
}

bool ValueIsAbsent() {
    HKEY key = OpenSessionManagerW(KEY_QUERY_VALUE);
    if (key == nullptr) {
        return false;
    }
    const LONG status = RegQueryValueExW(key, kPendingValue, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND;
}

bool WriteValue(const std::wstring& units) {
    HKEY key = OpenSessionManagerW(KEY_SET_VALUE);
    if (key == nullptr) {
        return false;
    }
    const bool ok =
        RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(units.data()),
                       static_cast<DWORD>(units.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// The value's units for the report: each NUL as "|".
std::string Shown(const std::wstring& units) {
    std::wstring shown = units;
    for (wchar_t& unit : shown) {
        if (unit == L'\0') {
            unit = L'|';
        }
    }
    return Utf8(shown);
}

// The pairs of the value, read here on their own: the list ends at an empty source.
Pairs PairsOf(const std::wstring& units) {
    Pairs pairs;
    size_t at = 0;
    while (at < units.size() && units[at] != L'\0') {
        const size_t sourceEnd = units.find(L'\0', at);
        const size_t destinationEnd =
            sourceEnd == std::wstring::npos ? sourceEnd : units.find(L'\0', sourceEnd + 1);
        if (destinationEnd == std::wstring::npos) {
            break;
        }
        pairs.emplace_back(units.substr(at, sourceEnd - at),
                           units.substr(sourceEnd + 1, destinationEnd - sourceEnd - 1));
        at = destinationEnd + 1;
    }
    return pairs;
}

// Makes exactly these rows of the list selected.
void SelectRows(HWND list, const std::vector<int>& rows) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&item));
    for (int row : rows) {
        SelectRow(list, row);
    }
}

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

Rows ReadDialogRows(HWND list) {
    Rows rows;
    for (int row = 0; row < RowCountOf(list); ++row) {
        rows.emplace_back(WideCellText(list, row, 0), WideCellText(list, row, 1));
    }
    return rows;
}

bool CheckRows(HWND list, const Rows& expected, const std::string& what) {
    const Rows rows = ReadDialogRows(list);
    std::string detail;
    for (const auto& [file, action] : rows) {
        detail += "\n      [" + Utf8(file) + "] [" + Utf8(action) + "]";
    }
    return Check(rows == expected, what + ":" + detail);
}

void CheckSystemMenu(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    wchar_t text[128] = {};
    GetMenuStringW(menu, IDM_PENDING, text, 128, MF_BYCOMMAND);
    CheckWideText(text, kMenuItemW, "the system menu holds the item IDM_PENDING");
    const int count = GetMenuItemCount(menu);
    Check(count >= 2 && GetMenuItemID(menu, count - 1) == IDM_PENDING &&
              (GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR),
          "the item comes last, after a separator");
}

// Drops the two files, runs the restart deletion and declines the restart.
bool ScheduleTwoFiles(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    if (!Check(WaitForDropFinished(DropFiles(mainWindow, {kCancelled, kScheduled})) &&
                   WaitForRowCount(list, 2),
               "two files are dropped and listed")) {
        return false;
    }
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBoxW(kRestartQuestionW);
    if (!Check(question != nullptr && AnswerBox(question, IDOK),
               "重启删除 is asked and answered OK")) {
        return false;
    }
    HWND prompt = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (window != mainWindow && GetWindow(window, GW_OWNER) == mainWindow) {
                prompt = window;
            }
        }
        return prompt != nullptr;
    });
    if (!Check(prompt != nullptr, "the restart prompt appears")) {
        return false;
    }
    AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    return Check(WideCellText(list, 0, 1) == kAcceptedW && WideCellText(list, 1, 1) == kAcceptedW,
                 "both rows say 成功");
}

// "取消删除" with only the rename chosen: no question, nothing changes.
void RenameAloneIsNotCancelled(HWND dialog, HWND list, const std::wstring& before) {
    SelectRows(list, {0});
    Click(dialog, IDC_PENDING_CANCEL);
    Check(WaitForMessageBoxW(kQuestionW, kNoBoxMilliseconds) == nullptr,
          "with only the rename chosen 取消删除 asks nothing");
    std::wstring now;
    Check(ReadValue(now) && now == before, "and the value is unchanged");
}

// Chooses the rename and the first of the program's deletions, declines the question once, then
// answers OK.
bool CancelOneDeletion(HWND dialog, HWND list, const std::wstring& before) {
    SelectRows(list, {0, 3});
    Check(SaveScreenshot(dialog, "pending-operations.bmp"),
          "a screenshot of the dialog with its rename and deletions is saved");
    Click(dialog, IDC_PENDING_CANCEL);
    HWND question = WaitForMessageBoxW(kQuestionW);
    if (!Check(question != nullptr && GetWindow(question, GW_OWNER) == dialog,
               "取消删除 asks its question, owned by the dialog") ||
        !AnswerBox(question, IDCANCEL)) {
        return false;
    }
    std::wstring now;
    Check(ReadValue(now) && now == before, "Cancel on the question leaves the value as it was");

    Click(dialog, IDC_PENDING_CANCEL);
    question = WaitForMessageBoxW(kQuestionW);
    return Check(question != nullptr && AnswerBox(question, IDOK),
                 "取消删除 is asked again and answered OK");
}

}  // namespace

void DrivePendingOperations(HWND mainWindow) {
    for (const std::string& path :
         {kRenamedFrom, kRenamedTo, kOtherDeletion, kStarDeletion, kCancelled, kScheduled}) {
        Check(MakeNamedFile(path), "the file " + path + " is made");
    }
    const std::wstring others = OtherProgramsValue();
    if (!Check(ClearPendingOperations() && WriteValue(others),
               "another program's rename, deletion and *1 deletion are in the value")) {
        return;
    }
    CheckSystemMenu(mainWindow);
    if (!ScheduleTwoFiles(mainWindow)) {
        return;
    }
    std::wstring before;
    Check(ReadValue(before), "the value can be read");
    Note("the value after the restart deletion: " + Shown(before));
    const Pairs expectedPairs = {{Nt(kRenamedFrom), L"!" + Nt(kRenamedTo)},
                                 {Nt(kOtherDeletion), L""},
                                 {L"*1" + Nt(kStarDeletion), L""},
                                 {Nt(kCancelled), L""},
                                 {Nt(kScheduled), L""}};
    Check(PairsOf(before) == expectedPairs,
          "Wine recorded the two deletions after the other program's operations");

    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", kCaptionW);
    if (!Check(dialog != nullptr, "the system menu's item opens the dialog " + Utf8(kCaptionW))) {
        return;
    }
    Check(GetWindow(dialog, GW_OWNER) == mainWindow && !IsWindowEnabled(mainWindow),
          "the dialog is modal, owned by the main window");
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    std::wstring header0, header1;
    Check(WideColumnHeader(list, 0, header0) && header0 == L"文件" &&
              WideColumnHeader(list, 1, header1) && header1 == L"重启时",
          "the columns are 文件 and 重启时");
    CheckRows(list,
              {{W(kRenamedFrom), kMoveToW + W(kRenamedTo)},
               {W(kOtherDeletion), kDeletionW},
               {W(kStarDeletion), kDeletionW},
               {W(kCancelled), kDeletionW},
               {W(kScheduled), kDeletionW}},
              "one row per operation, in order, each side as an ordinary path");

    RenameAloneIsNotCancelled(dialog, list, before);
    if (!CancelOneDeletion(dialog, list, before)) {
        return;
    }
    Check(WaitForRowCount(list, 4), "the list shows what is pending now");
    CheckRows(list,
              {{W(kRenamedFrom), kMoveToW + W(kRenamedTo)},
               {W(kOtherDeletion), kDeletionW},
               {W(kStarDeletion), kDeletionW},
               {W(kScheduled), kDeletionW}},
              "the cancelled deletion is gone; the rename, though chosen, stays");
    std::wstring expected = before;
    const std::wstring cancelledPair = PairUnits(Nt(kCancelled), L"");
    if (const size_t at = expected.find(cancelledPair); at != std::wstring::npos) {
        expected.erase(at, cancelledPair.size());
    }
    std::wstring after;
    const bool read = ReadValue(after);
    Check(read && after == expected,
          "the value lost exactly the cancelled pair; every other unit, the *1 and ! markers "
          "included, is as it was: " +
              Shown(after));

    Click(dialog, IDCANCEL);
    if (!Check(WaitUntilGone(dialog), "关闭 closes the dialog")) {
        return;
    }
    HWND mainList = ListOf(mainWindow);
    CheckWideText(WideCellText(mainList, 0, 1), kCancelledW,
                  "the cancelled file's row says 已取消");
    CheckWideText(WideCellText(mainList, 1, 1), kAcceptedW, "the other row still says 成功");
}

void CheckPendingOperationsAfterRestart() {
    Check(Exists(kCancelled), "the cancelled file is still there");
    Check(!Exists(kScheduled), "the program's other deletion was carried out");
    Check(!Exists(kOtherDeletion), "the other program's deletion was carried out");
    Check(!Exists(kRenamedFrom) && ContentOf(kRenamedTo) == kRenamedFrom,
          "the other program's rename replaced its destination");
    // Wine's boot does not understand the "*1" form; the cancel kept it byte for byte (checked
    // before the restart).
    Note(std::string("the *1 deletion's file is ") +
         (Exists(kStarDeletion) ? "still there" : "gone"));
    Check(ValueIsAbsent(), "the value is gone after the restart");
}
