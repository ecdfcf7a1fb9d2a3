// Results that stay true when something moves while the program waits.
//
// cancel-while-locked: three deletions are pending and another program holds the system's lock on
// the pending values. The to-do list's cancel of the first row waits for it, says so, and takes no
// second cancel meanwhile (the button is disabled, and a command that still arrives is not
// carried out); once the other program has recorded its rename and let go, exactly the first
// deletion is gone, the other two and the rename are kept, and the program answers.
//
// renames-spelled: another program's renames spelled otherwise than "\??\": one moves a file
// ("\DosDevices\"), one replaces a file ("!\GLOBAL??\"), and one moves a file through a folder
// link. Each row is refused for it, and the value is left as it was.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::string kWaitingFolder = "C:\\e2e\\waiting\\";
const std::string kSpelledFolder = "C:\\e2e\\spelled\\";
// A directory symlink the suite makes in the prefix: link leads to target.
const std::string kLink = "C:\\e2e\\linked\\link\\";
const std::string kTarget = "C:\\e2e\\linked\\target\\";

std::wstring W(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Pair(const std::wstring& source, const std::wstring& destination) {
    return source + L'\0' + destination + L'\0';
}

std::wstring Deletion(const std::string& path) {
    return Pair(L"\\??\\" + W(path), L"");
}

}  // namespace

void DriveCancelWhileLocked(HWND mainWindow) {
    const std::string a = kWaitingFolder + "a.txt";
    const std::string b = kWaitingFolder + "b.txt";
    const std::string c = kWaitingFolder + "c.txt";
    const std::wstring value = Deletion(a) + Deletion(b) + Deletion(c) + L'\0';
    if (!Check(MakeFile(a) && MakeFile(b) && MakeFile(c) && MakeFile(Utf8(kSetupNew)) &&
                   ClearPendingOperations() && WritePendingValueUnits(value),
               "three deletions are pending")) {
        return;
    }
    OtherWriter other;
    if (!Check(StartOtherWriter(other), "another program holds \\PendingRenameMutex")) {
        return;
    }
    HWND dialog = OpenPendingList(mainWindow);
    if (dialog == nullptr) {
        LetOtherWriterGo(other);
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    HWND cancel = GetDlgItem(dialog, IDC_PENDING_CANCEL);
    HWND status = GetDlgItem(dialog, IDC_PENDING_STATUS);
    SelectRow(list, 0);
    Click(dialog, IDC_PENDING_CANCEL);
    HWND question = WaitForMessageBox(kConfirmCancelDeletion);
    Check(question != nullptr && AnswerBox(question, IDOK), "the first cancel is confirmed");
    Check(WaitUntil([&] {
              return WideTextOf(status) == WideOf936(kWaitingForLock) && !IsWindowEnabled(cancel);
          }),
          "the list says the cancel waits for another program, its button disabled");

    // The first row again, cancelled again: by the disabled button, and by the command itself.
    SelectRow(list, 0);
    Click(dialog, IDC_PENDING_CANCEL);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_PENDING_CANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
    Check(WaitForMessageBox(kConfirmCancelDeletion, 1500) == nullptr,
          "a second cancel does not begin while the first waits");
    bool timedOut = true;
    SendWithTimeout(dialog, WM_NULL, 0, 0, &timedOut);
    std::wstring during;
    Check(!timedOut && ReadPendingValueUnits(during) && during == value,
          "the list answers, and nothing is taken back while the other program holds the lock");

    Check(LetOtherWriterGo(other), "the other program records its rename and lets go");
    const std::wstring expected =
        Deletion(b) + Deletion(c) + Pair(L"\\??\\" + kSetupNew, L"!\\??\\" + kSetupDll) + L'\0';
    std::wstring after;
    Check(WaitUntil([&] { return ReadPendingValueUnits(after) && after == expected; }) &&
              WaitForRowCount(list, 3),
          "exactly the first deletion is taken back; the others and the other program's rename "
          "stay: " +
              ShownUnits(after));
    Check(WaitUntil([&] { return WideTextOf(status).empty() && IsWindowEnabled(cancel); }),
          "the list no longer says it waits");
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog), "the list closes");
    timedOut = true;
    SendWithTimeout(mainWindow, WM_NULL, 0, 0, &timedOut);
    Check(!timedOut && IsWindow(mainWindow), "the program goes on");
    ClearPendingOperations();
}

void DriveRenamesSpelled(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string moved = kSpelledFolder + "moved.txt";
    const std::string replaced = kSpelledFolder + "replaced.txt";
    const std::string linked = kTarget + "linked.txt";
    const std::wstring value =
        Pair(L"\\DosDevices\\" + W(moved), L"\\DosDevices\\" + W(kSpelledFolder) + L"away.txt") +
        Pair(L"\\??\\" + W(kSpelledFolder) + L"new.txt", L"!\\GLOBAL??\\" + W(replaced)) +
        Pair(L"\\??\\" + W(kLink) + L"linked.txt", L"\\??\\" + W(kLink) + L"gone.txt") + L'\0';
    if (!Check(MakeFile(moved) && MakeFile(replaced) && MakeFile(kSpelledFolder + "new.txt") &&
                   MakeFile(linked) && ClearPendingOperations() && WritePendingValueUnits(value),
               "three renames of other programs are pending, spelled three ways")) {
        return;
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, {moved, replaced, linked})),
          "the three files are dropped");
    if (!AskForRestartDeletion(mainWindow, IDOK)) {
        return;
    }
    Check(WaitUntil([&] { return AllRowsHaveResults(list); }), "every row gets a result");
    const std::vector<Row> rows = ReadRows(list);
    const char* what[] = {"moved (\\DosDevices\\)", "replaced (!\\GLOBAL??\\)",
                          "moved through a folder link"};
    for (size_t i = 0; i < rows.size() && i < 3; ++i) {
        Check(rows[i].result == kResultRefused && rows[i].reason == kReasonRenameConflict,
              std::string("the file a rename ") + what[i] + " is refused for it");
    }
    std::wstring after;
    Check(ReadPendingValueUnits(after) && after == value,
          "the value is left as it was: " + ShownUnits(after));
    ClearPendingOperations();
}
