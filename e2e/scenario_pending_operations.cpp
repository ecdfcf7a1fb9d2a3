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

const std::wstring kQuestionW = L"  确定取消选中文件的重启删除 ?  ";
const std::wstring kDeletionW = L"删除";
const std::wstring kMoveToW = L"移到 ";
const std::wstring kAcceptedW = L"成功";

const wchar_t kSessionManagerKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring W(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// One pair of REG_MULTI_SZ strings, the source in its recorded form.
std::wstring PairUnits(const std::wstring& marker, const std::string& source,
                       const std::wstring& destination = L"") {
    return marker + L"\\??\\" + W(source) + L'\0' + destination + L'\0';
}

// The value's code units exactly as stored; false when there is no such REG_MULTI_SZ value.
bool ReadValue(std::wstring& units) {
    HKEY key = nullptr;
    DWORD type = 0;
    DWORD size = 0;
    units.clear();
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) != 0) {
        return false;
    }
    bool ok = RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) == 0 &&
              type == REG_MULTI_SZ;
    if (ok) {
        units.assign(size / sizeof(wchar_t), L'\0');
        ok = RegQueryValueExW(key, kPendingValue, nullptr, &type,
                              reinterpret_cast<BYTE*>(units.data()), &size) == 0;
    }
    RegCloseKey(key);
    return ok;
}

bool WriteValue(const std::wstring& units) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_SET_VALUE, &key) != 0) {
        return false;
    }
    const bool ok = RegSetValueExW(key, kPendingValue, 0, REG_MULTI_SZ,
                                   reinterpret_cast<const BYTE*>(units.data()),
                                   static_cast<DWORD>(units.size() * sizeof(wchar_t))) == 0;
    RegCloseKey(key);
    return ok;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Makes exactly these rows of the list selected.
void SelectRows(HWND list, const std::vector<int>& rows) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&item));
    for (int row : rows) {
        SelectRow(list, row);
    }
}

bool CheckRows(HWND list, const Rows& expected, const std::string& what) {
    Rows rows;
    std::string detail;
    for (int row = 0; row < RowCountOf(list); ++row) {
        rows.emplace_back(WideCellText(list, row, 0), WideCellText(list, row, 1));
        detail += "\n      [" + Utf8(rows.back().first) + "] [" + Utf8(rows.back().second) + "]";
    }
    return Check(rows == expected, what + ":" + detail);
}

void CheckSystemMenu(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    wchar_t text[128] = {};
    GetMenuStringW(menu, IDM_PENDING, text, 128, MF_BYCOMMAND);
    const int count = GetMenuItemCount(menu);
    Check(std::wstring(text) == L"重启时待处理的文件..." && count >= 5 &&
              GetMenuItemID(menu, count - 4) == IDM_PENDING &&
              GetMenuItemID(menu, count - 3) == IDM_BOOT_LOG &&
              GetMenuItemID(menu, count - 2) == IDM_SEND_TO &&
              GetMenuItemID(menu, count - 1) == IDM_CONTEXT_MENU &&
              (GetMenuState(menu, static_cast<UINT>(count - 5), MF_BYPOSITION) & MF_SEPARATOR),
          "the system menu ends with a separator, the item IDM_PENDING, the last restart's item, "
          "the Send To item and the right-click menu's: " +
              Utf8(text));
}

// Drops the two files, runs the restart deletion and declines the restart.
bool ScheduleTwoFiles(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(WaitForDropFinished(DropFiles(mainWindow, {kCancelled, kScheduled})) &&
              WaitForRowCount(list, 2),
          "two files are dropped and listed");
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBoxW(L"  确定重启删除列表中的文件 ?  ");
    HWND prompt = nullptr;
    const bool asked = question != nullptr && AnswerBox(question, IDOK) &&
                       WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; });
    if (!Check(asked, "重启删除 is answered OK and the restart prompt appears")) {
        return false;
    }
    AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    return Check(WideCellText(list, 0, 1) == kAcceptedW && WideCellText(list, 1, 1) == kAcceptedW,
                 "both rows say 成功");
}

// With only the rename chosen "取消删除" asks nothing; with a deletion chosen too it asks, and
// Cancel leaves the value as it was. Then OK.
bool CancelOneDeletion(HWND dialog, HWND list, const std::wstring& before) {
    std::wstring now;
    SelectRows(list, {0});
    Click(dialog, IDC_PENDING_CANCEL);
    Check(WaitForMessageBoxW(kQuestionW, 1500) == nullptr && ReadValue(now) && now == before,
          "with only the rename chosen 取消删除 asks nothing and changes nothing");

    SelectRows(list, {0, 3});
    Check(SaveScreenshot(dialog, "pending-operations.bmp"),
          "a screenshot of the dialog with its rename and deletions is saved");
    Click(dialog, IDC_PENDING_CANCEL);
    HWND question = WaitForMessageBoxW(kQuestionW);
    if (!Check(question != nullptr && GetWindow(question, GW_OWNER) == dialog &&
                   AnswerBox(question, IDCANCEL) && ReadValue(now) && now == before,
               "取消删除 asks its question, owned by the dialog; Cancel changes nothing")) {
        return false;
    }
    Click(dialog, IDC_PENDING_CANCEL);
    question = WaitForMessageBoxW(kQuestionW);
    return Check(question != nullptr && AnswerBox(question, IDOK),
                 "取消删除 is asked again and answered OK");
}

}  // namespace

void DrivePendingOperations(HWND mainWindow) {
    Check(MakeFile(kRenamedFrom) && MakeFile(kOtherDeletion) && MakeFile(kStarDeletion) &&
              MakeFile(kCancelled) && MakeFile(kScheduled) && !Exists(kRenamedTo),
          "the files are made");
    // What another program recorded, then the list's terminator.
    const std::wstring others = PairUnits(L"", kRenamedFrom, L"!\\??\\" + W(kRenamedTo)) +
                                PairUnits(L"", kOtherDeletion) + PairUnits(L"*1", kStarDeletion);
    if (!Check(ClearPendingOperations() && WriteValue(others + L'\0'),
               "another program's rename, deletion and *1 deletion are in the value")) {
        return;
    }
    CheckSystemMenu(mainWindow);
    if (!ScheduleTwoFiles(mainWindow)) {
        return;
    }
    std::wstring before;
    const bool recorded = ReadValue(before);
    Check(recorded &&
              before == others + PairUnits(L"", kCancelled) + PairUnits(L"", kScheduled) + L'\0',
          "Wine recorded the two deletions after the other program's operations: " +
              ShownUnits(before));

    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"重启时待处理的文件");
    if (!Check(dialog != nullptr && GetWindow(dialog, GW_OWNER) == mainWindow &&
                   !IsWindowEnabled(mainWindow),
               "the system menu's item opens the dialog, modal and owned by the main window")) {
        return;
    }
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

    if (!CancelOneDeletion(dialog, list, before)) {
        return;
    }
    WaitForRowCount(list, 4);
    CheckRows(list,
              {{W(kRenamedFrom), kMoveToW + W(kRenamedTo)},
               {W(kOtherDeletion), kDeletionW},
               {W(kStarDeletion), kDeletionW},
               {W(kScheduled), kDeletionW}},
              "the list shows what is pending now: the cancelled deletion is gone, the rename, "
              "though chosen, stays");
    // Every file is on C:, so a typed c finds the row after the focused one, and a z none.
    const auto typeAndFocus = [list](char letter) {
        SendWithTimeout(list, WM_CHAR, static_cast<WPARAM>(letter), 1);
        return SendWithTimeout(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    };
    Check(FocusRow(list, 0) && typeAndFocus('c') == 1,
          "typing c in the list moves the focus to the next file");
    Sleep(600);
    Check(typeAndFocus('z') == 1, "typing z, which no file begins with, leaves it there");
    std::wstring after;
    const bool read = ReadValue(after);
    Check(read && after == others + PairUnits(L"", kScheduled) + L'\0',
          "the value lost exactly the cancelled pair; every other unit, the *1 and ! markers "
          "included, is as it was: " +
              ShownUnits(after));

    Click(dialog, IDCANCEL);
    HWND mainList = ListOf(mainWindow);
    Check(WaitUntilGone(dialog) && WideCellText(mainList, 0, 1) == L"已取消" &&
              WideCellText(mainList, 1, 1) == kAcceptedW,
          "关闭 closes the dialog; the cancelled file's row says 已取消, the other still 成功");
}

void CheckPendingOperationsAfterRestart() {
    Check(Exists(kCancelled), "the cancelled file is still there");
    Check(!Exists(kScheduled) && !Exists(kOtherDeletion),
          "the program's other deletion and the other program's deletion were carried out");
    Check(!Exists(kRenamedFrom) && Exists(kRenamedTo),
          "the other program's rename was carried out");
    // Wine's boot does not understand the "*1" form: the cancel kept it unit for unit, as checked
    // before the restart.
    Note(std::string("the *1 deletion's file is ") +
         (Exists(kStarDeletion) ? "still there" : "gone"));
    std::wstring value;
    Check(!ReadValue(value), "the value is gone after the restart");
}
