// Whole folders deleted at the restart. A tree of three levels, with an empty folder and a
// read-only file, is dropped beside a file and agreed to: the value holds every entry before the
// folder that holds it, and after Wine's restart nothing of the tree is left, while the folders
// beside it (one whose name begins the same) are kept. Then the refusals: a declined question
// lists nothing; a typed folder asks too; a folder with another program's rename inside, one that a
// pending rename moves a file into (the boot would find it not empty), and the Windows folder say
// "失败" with their reasons, and nothing of them is recorded.

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kBase = "C:\\e2e\\folders";
const std::string kTree = kBase + "\\app";
const std::vector<std::string> kTreeFiles = {kTree + "\\a.txt", kTree + "\\sub\\b.txt",
                                             kTree + "\\sub\\deep\\c.txt"};
const std::string kReadOnly = kTree + "\\sub\\deep\\c.txt";
const std::string kEmpty = kTree + "\\empty";
const std::string kBeside = kBase + "\\single.txt";
const std::string kSameStart = kBase + "\\app2\\keep.txt";
const std::string kOther = kBase + "\\other\\keep.txt";

const std::string kHeld = kBase + "\\held";
const std::string kHeldFile = kHeld + "\\x.txt";
const std::string kHeldTarget = kHeld + "\\y.txt";
const std::string kPlain = kBase + "\\plain.txt";
// A folder another program's rename will move a file into at the boot.
const std::string kInto = kBase + "\\into";
const std::string kComing = kBase + "\\x.new";

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// True when every recorded path comes before each folder that holds it.
bool EntriesBeforeTheirFolders(const std::vector<std::string>& recorded) {
    for (size_t folder = 0; folder < recorded.size(); ++folder) {
        const std::string prefix = recorded[folder] + "\\";
        for (size_t entry = folder + 1; entry < recorded.size(); ++entry) {
            if (recorded[entry].compare(0, prefix.size(), prefix) == 0) {
                return false;
            }
        }
    }
    return true;
}

std::vector<std::string> Recorded(const std::vector<std::string>& paths) {
    std::vector<std::string> recorded;
    for (const std::string& path : paths) {
        recorded.push_back("\\??\\" + path);
    }
    return recorded;
}

}  // namespace

void DriveFolderDeletion(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    bool made = MakeFolder(kEmpty) && MakeFile(kBeside) && MakeFile(kSameStart) && MakeFile(kOther);
    for (const std::string& file : kTreeFiles) {
        made = made && MakeFile(file);
    }
    made = made && SetFileAttributesW(Wide(kReadOnly).c_str(), FILE_ATTRIBUTE_READONLY);
    Check(made, "a tree of three levels with an empty folder and a read-only file is made");

    Check(WaitForDropFinished(DropFiles(mainWindow, {kTree, kBeside})),
          "the folder and a file beside it are dropped");
    AnswerFolderQuestion(IDOK, "the dropped folder");
    Check(WaitForRowCount(list, 2), "two rows are listed");
    CheckPaths(list, {kBeside, kTree + "\\"},
               "the file first, then the folder as one row, its path and a backslash");
    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }
    for (const Row& row : ReadRows(list)) {
        Check(row.result == kResultAccepted && row.reason.empty(),
              "[" + row.path + "] says 成功 with no reason");
    }
    const std::vector<std::string> pending = PendingDeletions();
    std::vector<std::string> expected =
        Recorded({kBeside, kTreeFiles[0], kTreeFiles[1], kTreeFiles[2], kEmpty, kTree + "\\sub",
                  kTree + "\\sub\\deep", kTree});
    std::vector<std::string> sorted = pending;
    std::sort(sorted.begin(), sorted.end());
    std::sort(expected.begin(), expected.end());
    Check(sorted == expected, "each file and folder of the tree is recorded once, and the file");
    Check(EntriesBeforeTheirFolders(pending) && !pending.empty() &&
              pending.back() == "\\??\\" + kTree,
          "every entry is recorded before the folder that holds it, the folder itself last");
    const DWORD attributes = GetFileAttributesW(Wide(kReadOnly).c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0,
          "the read-only file's attribute is cleared, so that every boot deletes it");
}

void CheckFolderDeletionAfterRestart() {
    Check(!PathExists(kTree), "nothing of the tree is left after the restart");
    Check(!PathExists(kBeside), "the file beside it is deleted");
    Check(PathExists(kSameStart) && PathExists(kOther),
          "the folders beside it are kept, one whose name begins the same");
    Check(PendingDeletions().empty(), "nothing is pending after the restart");
}

void DriveFolderRefusals(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeFile(kHeldFile) && MakeFile(kHeld + "\\z.txt") && MakeFile(kPlain) &&
              MakeFile(kInto + "\\keep.txt") && MakeFile(kComing),
          "the folders and files are made");

    Check(WaitForDropFinished(DropFiles(mainWindow, {kHeld})), "a folder alone is dropped");
    AnswerFolderQuestion(IDCANCEL, "the dropped folder");
    Check(RowCountOf(list) == 0, "the declined folder lists nothing");

    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    Check(SetTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT),
                    kHeld + "\r\n" + std::string(windows) + "\r\n" + kPlain + "\r\n" + kInto),
          "three folders and a file are typed");
    ConfirmBatch(dialog, IDOK);
    AnswerFolderQuestion(IDOK, "the typed folders");
    Check(WaitUntilGone(dialog), "the batch dialog closes");
    CheckPaths(list, {kPlain, kHeld + "\\", std::string(windows) + "\\", kInto + "\\"},
               "the file, then each typed folder as its row");

    // Another program's delayed renames: one inside the folder, one into the other from outside,
    // of a file that is not there yet.
    Check(MoveFileExW(Wide(kHeldFile).c_str(), Wide(kHeldTarget).c_str(),
                      MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE &&
              MoveFileExW(Wide(kComing).c_str(), Wide(kInto + "\\later.dll").c_str(),
                          MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE,
          "another program's renames inside the one folder and into the other are pending");
    const std::vector<std::string> before = PendingDeletions();
    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }
    const std::vector<Row> rows = ReadRows(list);
    if (!Check(rows.size() == 4, "four rows after the run")) {
        return;
    }
    Check(rows[0].result == kResultAccepted, "the file says 成功");
    // The rename's source and destination both lie in the folder.
    CheckText(rows[1].result + " " + rows[1].reason,
              std::string(kResultRefused) + " " + kReasonRenameConflict + kCountPrefix + "2" +
                  kCountSuffix,
              "the folder with a rename inside says 失败, the rename's reason and the count");
    CheckText(rows[3].result + " " + rows[3].reason,
              std::string(kResultRefused) + " " + kReasonRenameConflict + kCountPrefix + "1" +
                  kCountSuffix,
              "the folder a rename moves a file into says 失败 and why");
    CheckText(rows[2].result + " " + rows[2].reason,
              std::string(kResultRefused) + " " + kReasonSystemFolder,
              "the Windows folder says 失败 系统文件夹");
    std::vector<std::string> after = before;
    after.push_back("\\??\\" + kPlain);
    Check(PendingDeletions() == after,
          "only the file is recorded; nothing of the folders, and the renames are kept");

    // A double-click on the refused folder's row tells which entry and why.
    Check(FocusRow(list, 1), "the refused folder's row is focused");
    static NMHDR click{};
    click.hwndFrom = list;
    click.idFrom = IDC_FILE_LIST;
    click.code = NM_DBLCLK;
    PostMessageW(mainWindow, WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&click));
    HWND box = nullptr;
    Check(WaitUntil([&] { return (box = OtherDialog(mainWindow)) != nullptr; }),
          "a box comes on the double-click");
    if (box != nullptr) {
        const std::wstring text = WideMessageBoxText(box);
        Check(text.find(Wide(kHeldFile)) != std::wstring::npos &&
                  text.find(Wide(kHeldTarget)) != std::wstring::npos &&
                  text.find(WideOf936(kReasonRenameConflict)) != std::wstring::npos &&
                  text.find(Wide(kHeld + "\\z.txt")) == std::wstring::npos,
              "the box names the rename's two names in the folder and why, and no other entry");
        AnswerBox(box, IDOK);
    }
    ClearPendingOperations();
}
