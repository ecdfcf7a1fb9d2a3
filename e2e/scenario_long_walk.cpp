// What comes while the run walks a large folder. Another program records renames of two listed
// files: one by the path its row shows, one by its final path, which its row reaches through a
// folder link. The renames are read again just before the write, in the forms the survey compared
// them in, and both rows are refused while the folder is recorded. And a close during the walk
// ends the program without recording anything.

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kWalk = "C:\\e2e\\walk";
const std::string kBig = kWalk + "\\big";
// Enough folders for a walk of a few seconds: each is opened, checked and listed.
constexpr int kFolders = 6000;
const std::string kDirect = kWalk + "\\direct.txt";
const std::string kThroughLink = "C:\\e2e\\linked\\link\\g.txt";
const std::string kFinal = "C:\\e2e\\linked\\target\\g.txt";

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

bool MakeBigFolder() {
    if (PathExists(kBig + "\\f" + std::to_string(kFolders - 1))) {
        return true;
    }
    bool made = MakeFolder(kBig);
    for (int i = 0; made && i < kFolders; ++i) {
        const std::wstring folder = Wide(kBig + "\\f" + std::to_string(i));
        made = CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return made;
}

// Lists the big folder and starts the run; true once its walk shows how far it has come.
bool StartWalkOfBigFolder(HWND mainWindow, int folderRow) {
    HWND list = ListOf(mainWindow);
    Check(WaitForDropFinished(DropFiles(mainWindow, {kBig})), "the big folder is dropped");
    AnswerFolderQuestion(IDOK, "the big folder");
    if (!Check(WaitForRowCount(list, folderRow + 1), "the folder is listed") ||
        !AskForRestartDeletion(mainWindow, IDOK)) {
        return false;
    }
    const std::string progress = kWalkProgressPrefix;
    // The row's result as the program's own texts are written (code page 936).
    return Check(WaitUntil(
                     [&] {
                         const std::vector<Row> rows = ReadRows(list);
                         return rows.size() > static_cast<size_t>(folderRow) &&
                                rows[folderRow].result.compare(0, progress.size(), progress) == 0;
                     },
                     30000),
                 "the folder's row shows how far its walk has come");
}

}  // namespace

void DriveRenameDuringWalk(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeBigFolder() && MakeFile(kDirect) && MakeFile(kFinal),
          "a folder of " + std::to_string(kFolders) + " folders and two files are made");
    Check(WaitForDropFinished(DropFiles(mainWindow, {kDirect, kThroughLink})),
          "one file, and one through a folder link, are dropped");
    if (!StartWalkOfBigFolder(mainWindow, 2)) {
        return;
    }
    Check(MoveFileExW(Wide(kDirect).c_str(), Wide(kWalk + "\\direct2.txt").c_str(),
                      MOVEFILE_DELAY_UNTIL_REBOOT) &&
              MoveFileExW(Wide(kFinal).c_str(), Wide("C:\\e2e\\linked\\target\\g2.txt").c_str(),
                          MOVEFILE_DELAY_UNTIL_REBOOT),
          "another program records renames of both files while the folder is walked");
    Note("the folder's row after the renames were recorded: " +
         Printable(ReadRows(list)[2].result));
    HWND prompt = nullptr;
    if (Check(WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; }, 60000),
              "the restart prompt comes")) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }
    const std::vector<Row> rows = ReadRows(list);
    if (!Check(rows.size() == 3, "three rows after the run")) {
        return;
    }
    const std::string refused = std::string(kResultRefused) + " " + kReasonRenameConflict;
    CheckText(rows[0].result + " " + rows[0].reason, refused,
              "the file renamed by the path its row shows says 失败 and why");
    CheckText(rows[1].result + " " + rows[1].reason, refused,
              "the file renamed by its final path, listed through the link, says 失败 and why");
    Check(rows[2].result == kResultAccepted, "the folder says 成功");
    const std::vector<std::string> pending = PendingDeletions();
    bool fileDeletions = false;
    for (const std::string& entry : pending) {
        const bool deletion = entry.find(" -> ") == std::string::npos;
        fileDeletions =
            fileDeletions || (deletion && (entry.find("direct.txt") != std::string::npos ||
                                           entry.find("\\g.txt") != std::string::npos));
    }
    Check(pending.size() == 2 + kFolders + 1 && pending.back() == "\\??\\" + kBig &&
              pending[0].find("direct.txt -> ") != std::string::npos &&
              pending[1].find("g.txt -> ") != std::string::npos,
          "the two renames as they were recorded, then the folder's deletions, the folder last");
    Check(!fileDeletions, "neither renamed file's deletion is recorded");
    ClearPendingOperations();
}

void DriveCloseDuringWalk(HWND mainWindow) {
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeBigFolder(), "a folder of " + std::to_string(kFolders) + " folders is made");
    if (!StartWalkOfBigFolder(mainWindow, 0)) {
        return;
    }
    PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    Check(WaitUntilGone(mainWindow, 20000), "the window closed during the walk goes");
    Check(PendingDeletions().empty(), "nothing is recorded");
}
