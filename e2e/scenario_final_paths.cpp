// What is recorded is where a file really is. C:\e2e\linked\link is a folder link to
// C:\e2e\linked\target (a directory symlink in the prefix, as a moved profile folder is): a file
// listed through the link is recorded by its final path, which current boots compare with the
// file they open, and Wine's restart deletes it. The row still says 成功 once the to-do list has
// been closed: its recorded deletion is pending, though no deletion names the row's text. The
// folder that holds the link is refused: Wine shows the link as a reparse point whose tag it
// does not give, and what cannot be told is not deleted.

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kLinked = "C:\\e2e\\linked";
const std::string kThroughLink = kLinked + "\\link\\f.txt";
const std::string kTarget = kLinked + "\\target\\f.txt";

}  // namespace

void DriveLinkFinalPath(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeFile(kTarget) && PathExists(kThroughLink),
          "a file is made in the link's target, and seen through the link");
    Check(WaitForDropFinished(DropFiles(mainWindow, {kThroughLink, kLinked})),
          "the file, through the link, and the folder holding the link are dropped");
    AnswerFolderQuestion(IDOK, "the dropped folder");
    Check(WaitForRowCount(list, 2), "two rows are listed");
    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }
    const std::vector<Row> rows = ReadRows(list);
    if (!Check(rows.size() == 2, "two rows after the run")) {
        return;
    }
    CheckText(rows[0].path + " " + rows[0].result + " " + rows[0].reason,
              kThroughLink + " " + kResultAccepted + " ",
              "the row keeps the path as listed and says 成功");
    CheckText(
        rows[1].result + " " + rows[1].reason,
        std::string(kResultRefused) + " " + kReasonUnknowable + kCountPrefix + "1" + kCountSuffix,
        "the folder holding the link says 失败, 无法读取文件信息 and how many");
    const std::vector<std::string> recorded = PendingDeletions();
    Check(recorded == std::vector<std::string>{"\\??\\" + kTarget},
          "the deletion is recorded by the file's final path, under the link's target");

    // The to-do list's marks compare the recorded path: the row is still pending.
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"重启时待处理的文件");
    if (Check(dialog != nullptr, "the to-do list opens")) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        Check(WaitUntilGone(dialog), "the to-do list closes");
    }
    // Answered once the rows are marked: the window's thread marks them as the list closes.
    SendWithTimeout(mainWindow, WM_NULL, 0, 0);
    Check(ReadRows(list).at(0).result == kResultAccepted,
          "the row listed through the link still says 成功, not 已取消");
}

void CheckLinkFinalPathAfterRestart() {
    Check(!PathExists(kTarget) && !PathExists(kThroughLink),
          "the restart deleted the file the row reached through the link");
    Check(PathExists(kLinked + "\\target") && PathExists(kLinked + "\\link"),
          "the link and its target are still there");
    Check(PendingDeletions().empty(), "nothing is pending after the restart");
}
