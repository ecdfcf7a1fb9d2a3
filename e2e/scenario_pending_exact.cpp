// The restart's to-do list cancels exactly the chosen operations, and says so when it cannot:
// with a deletion, another program's rename onto that file and a second deletion of it pending,
// the second deletion is cancelled and the value keeps the other two pairs unit for unit; a value
// changed into a form the list does not rewrite, and a value from which the chosen deletion has
// gone, are left as they are, with a box owned by the list. And "已取消" on a main row only once
// no deletion of that file is left, under any spelling.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::wstring kQuestionW = L"  确定取消选中文件的重启删除 ?  ";
const std::wstring kAcceptedW = L"成功";
const std::wstring kCancelledW = L"已取消";

std::wstring W(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Deletion(const std::string& path) {
    return L"\\??\\" + W(path) + L'\0' + L'\0';
}

// Chooses exactly this row and asks 取消删除, answering the question OK.
bool CancelRow(HWND dialog, int row) {
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&item));
    SelectRow(list, row);
    Click(dialog, IDC_PENDING_CANCEL);
    HWND question = WaitForMessageBoxW(kQuestionW);
    return Check(question != nullptr && AnswerBox(question, IDOK),
                 "取消删除 asks its question, answered OK");
}

// A failed cancel: the box with this text, owned by the list, and the value as it was.
void CheckRefusal(HWND dialog, const std::wstring& text, const std::wstring& value,
                  const std::string& what) {
    HWND box = WaitForMessageBoxW(text);
    const bool shown = box != nullptr && GetWindow(box, GW_OWNER) == dialog && AnswerBox(box, IDOK);
    std::wstring now;
    const bool read = ReadPendingValueUnits(now);
    Check(shown && read && now == value, what + ": " + ShownUnits(now));
}

}  // namespace

void DrivePendingExactCancel(HWND mainWindow) {
    const std::string a = "C:\\e2e\\exact\\a.txt";
    const std::string b = "C:\\e2e\\exact\\b.txt";
    // Delete the a that is there now, rename b onto a, delete that new a.
    const std::wstring rename = L"\\??\\" + W(b) + L'\0' + L"!\\??\\" + W(a) + L'\0';
    const std::wstring value = Deletion(a) + rename + Deletion(a) + L'\0';
    if (!Check(
            MakeFile(a) && MakeFile(b) && ClearPendingOperations() && WritePendingValueUnits(value),
            "[delete a] [b -> !a] [delete a] are pending")) {
        return;
    }
    HWND dialog = OpenPendingList(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    Check(RowCountOf(list) == 3, "one row per operation");
    std::wstring after;
    if (CancelRow(dialog, 2)) {
        const bool shown = WaitForRowCount(list, 2);
        const bool read = ReadPendingValueUnits(after);
        Check(shown && read && after == Deletion(a) + rename + L'\0',
              "cancelling the second deletion of a removes it alone: the first deletion and the "
              "rename stay unit for unit: " +
                  ShownUnits(after));
    }

    // Another program leaves the value in a form the list does not rewrite.
    const std::wstring unrecognised = Deletion(a) + rename + L'\0' + L'x' + L'\0';
    if (WritePendingValueUnits(unrecognised) && CancelRow(dialog, 0)) {
        CheckRefusal(dialog, L"待处理的操作格式无法识别，未作更改", unrecognised,
                     "a value in a form the list does not rewrite is left as it is, and the box "
                     "says so");
    }
    // Another program takes the chosen deletion out after the list was shown.
    const std::wstring gone = rename + L'\0';
    if (Check(RowCountOf(list) == 2, "the list shows the value as far as it reads") &&
        WritePendingValueUnits(gone) && CancelRow(dialog, 0)) {
        CheckRefusal(dialog, L"选中的操作已不再待处理，未作更改", gone,
                     "a chosen deletion no longer pending removes nothing, and the box says so");
    }
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog) && ClearPendingOperations(), "the list closes");
}

void DrivePendingSpellings(HWND mainWindow) {
    const std::string file = "C:\\e2e\\Spell\\Data\\a.txt";
    const std::string other = "c:\\e2e\\spell\\data\\A.TXT";
    HWND list = ListOf(mainWindow);
    Check(MakeFile(file) && ClearPendingOperations(), "the file is made");
    HWND batch = OpenBatchDialog(mainWindow);
    if (batch == nullptr) {
        return;
    }
    SetTextOf(GetDlgItem(batch, IDC_BATCH_EDIT), file + "\r\n" + other);
    if (!ConfirmBatch(batch, IDOK) || !Check(WaitUntilGone(batch) && WaitForRowCount(list, 2),
                                             "two spellings of one file are two rows")) {
        return;
    }
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBoxW(L"  确定重启删除列表中的文件 ?  ");
    HWND prompt = nullptr;
    if (!Check(question != nullptr && AnswerBox(question, IDOK) &&
                   WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; }),
               "重启删除 is answered OK and the restart prompt appears")) {
        return;
    }
    AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    Check(WideCellText(list, 0, 1) == kAcceptedW && WideCellText(list, 1, 1) == kAcceptedW,
          "both rows say 成功");
    // The run asks for one file once, however often it is listed; another program records the
    // second spelling.
    Check(MoveFileExA(other.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE,
          "the other spelling is recorded from outside");

    HWND dialog = OpenPendingList(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(RowCountOf(GetDlgItem(dialog, IDC_PENDING_LIST)) == 2, "both deletions are pending");
    CancelRow(dialog, 0);
    WaitForRowCount(GetDlgItem(dialog, IDC_PENDING_LIST), 1);
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog) && WideCellText(list, 0, 1) == kAcceptedW &&
              WideCellText(list, 1, 1) == kAcceptedW,
          "one of the two cancelled: the other still deletes the file, so neither row says 已取消");

    dialog = OpenPendingList(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    CancelRow(dialog, 0);
    WaitForRowCount(GetDlgItem(dialog, IDC_PENDING_LIST), 0);
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog) && WideCellText(list, 0, 1) == kCancelledW &&
              WideCellText(list, 1, 1) == kCancelledW,
          "both cancelled: no deletion of the file is left, and both rows say 已取消");
    ClearPendingOperations();
}
