// The restart run schedules the rows the user confirmed, on Wine: a drop posted while the
// question is open (as any program of the user can post one) is listed by the question's message
// loop, and after OK it gets no result and nothing is recorded for it.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\confirmed";
const std::string kConfirmed = kFolder + "\\confirmed.txt";
const std::string kSlippedIn = kFolder + "\\slipped-in.txt";

// Declines Wine's restart prompt, which follows the run's pause.
void DeclineRestart(HWND mainWindow) {
    HWND prompt = nullptr;
    WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; });
    if (Check(prompt != nullptr, "Wine's restart prompt appears")) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }
}

}  // namespace

void DriveConfirmedRows(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(MakeFile(kConfirmed) && MakeFile(kSlippedIn), "fixture files are created");
    Check(ClearPendingOperations() && PendingDeletions().empty(),
          "the pending operations in the registry are cleared");
    Check(WaitForDropFinished(DropFiles(mainWindow, {kConfirmed})), "one file is dropped");

    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr, "Restart deletion asks its question")) {
        return;
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, {kSlippedIn})),
          "a drop posted while the question is open is taken");
    CheckPaths(list, {kConfirmed, kSlippedIn}, "the question's loop lists the dropped file");
    Check(AnswerBox(question, IDOK), "the question is answered with OK");

    Check(WaitUntil([&] { return !CellText(list, 0, 1).empty(); }), "the listed row gets a result");
    DeclineRestart(mainWindow);
    const std::vector<Row> rows = ReadRows(list);
    Check(rows.size() == 2, "two rows after the run");
    if (rows.size() == 2) {
        CheckText(rows[0].result, kResultAccepted, "the row listed before the press is scheduled");
        CheckText(rows[1].result, "", "the row dropped during the question gets no result");
    }
    const std::vector<std::string> pending = PendingDeletions();
    std::string shown;
    for (const std::string& entry : pending) {
        shown += "[" + Printable(entry) + "] ";
    }
    Check(pending == std::vector<std::string>{"\\??\\" + kConfirmed},
          "the registry holds the confirmed file only: " + shown);
    Check(ClearPendingOperations(), "the pending operations are cleared again");
}
