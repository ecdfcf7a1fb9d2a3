// Restart deletion on Wine: every row asked of MoveFileExW in order, its result written into the
// row, the pending operations Wine records in its registry, the buttons disabled, and Wine's
// restart prompt after the pause.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\restart";
const std::string kKeepOne = kFolder + "\\keep-one.txt";
const std::string kKeepTwo = kFolder + "\\keep-two.txt";
const std::string kMissing = kFolder + "\\missing.txt";
// A path of nothing but blanks, a file that does not exist and a long path of no file: the program
// asks for none of them.
const std::string kBlank = " ";

constexpr int kCommandButtons[] = {IDC_ADD, IDC_REMOVE, IDC_BATCH_ADD, IDC_CLEAR_LIST,
                                   IDC_RESTART_DELETE};
// The program pauses 3 x 300 ms before it offers the restart; allow for timer granularity.
constexpr ULONGLONG kLeastPauseMilliseconds = 850;
// Long enough for the pause and a prompt that would follow it.
constexpr DWORD kNoPromptMilliseconds = 3000;

bool AllButtons(HWND mainWindow, bool enabled) {
    for (int id : kCommandButtons) {
        if ((IsWindowEnabled(GetDlgItem(mainWindow, id)) != FALSE) != enabled) {
            return false;
        }
    }
    return true;
}

std::string PendingAsText() {
    std::string text;
    for (const std::string& entry : PendingDeletions()) {
        text += "[" + Printable(entry) + "] ";
    }
    return text;
}

void CancelLeavesEverything(HWND mainWindow, HWND list) {
    if (AskForRestartDeletion(mainWindow, IDCANCEL)) {
        Check(WaitUntil([&] { return IsWindowEnabled(mainWindow) != FALSE; }),
              "the main window is enabled again after Cancel");
        Check(!ReadRows(list).empty() && ReadRows(list)[0].result.empty(),
              "Cancel writes no result");
        Check(AllButtons(mainWindow, true), "Cancel leaves the buttons enabled");
        Check(PendingDeletions().empty(), "Cancel schedules nothing");
    }
}

void DeclineRestartPrompt(HWND mainWindow, ULONGLONG answeredAt) {
    HWND prompt = nullptr;
    WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; });
    const ULONGLONG elapsed = GetTickCount64() - answeredAt;
    if (!Check(prompt != nullptr, "Wine's restart prompt appears")) {
        return;
    }
    Note("restart prompt: caption \"" + Printable(TextOf(prompt)) + "\", text \"" +
         Printable(MessageBoxText(prompt)) + "\", Yes button " +
         (GetDlgItem(prompt, IDYES) != nullptr ? "present" : "absent") + ", No button " +
         (GetDlgItem(prompt, IDNO) != nullptr ? "present" : "absent"));
    Check(elapsed >= kLeastPauseMilliseconds,
          "the prompt comes after the pause (" + std::to_string(elapsed) + " ms after OK)");
    Check(GetWindow(prompt, GW_OWNER) == mainWindow, "the prompt is owned by the main window");
    Check(AllButtons(mainWindow, false), "the buttons are disabled when the prompt appears");
    const int decline = GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL;
    Check(AnswerBox(prompt, decline), "the restart is declined");
}

}  // namespace

void DriveRestartDeletion(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string longPath = LongPathUnder(kFolder, 300);
    Check(MakeFile(kKeepOne) && MakeFile(kKeepTwo), "fixture files are created");
    Check(ClearPendingOperations() && PendingDeletions().empty(),
          "the pending operations in the registry are cleared");

    Check(WaitForDropFinished(DropFiles(mainWindow, {kKeepOne})), "one file is dropped");
    CancelLeavesEverything(mainWindow, list);

    Check(WaitForDropFinished(DropFiles(mainWindow, {kKeepTwo, kMissing, kBlank, longPath})),
          "a second file, a missing file, a blank path and a long path are dropped");
    CheckPaths(list, {kKeepOne, kKeepTwo, kMissing, kBlank, longPath}, "five rows are listed");

    if (!AskForRestartDeletion(mainWindow, IDOK)) {
        return;
    }
    const ULONGLONG answeredAt = GetTickCount64();
    Check(WaitUntil([&] { return AllRowsHaveResults(list); }), "every row gets a result");
    const std::vector<Row> rows = ReadRows(list);
    const char* expected[] = {kResultAccepted, kResultAccepted, kResultRefused, kResultRefused,
                              kResultRefused};
    for (size_t i = 0; i < rows.size() && i < 5; ++i) {
        CheckText(rows[i].result, expected[i], "result of row " + std::to_string(i));
    }
    Check(WaitUntil([&] { return AllButtons(mainWindow, false); }),
          "the five buttons are disabled");

    DeclineRestartPrompt(mainWindow, answeredAt);
    Check(IsWindowVisible(mainWindow) && AllButtons(mainWindow, false),
          "after the prompt the window stays open with its buttons disabled");

    const std::vector<std::string> pending = PendingDeletions();
    Check(pending == std::vector<std::string>{"\\??\\" + kKeepOne, "\\??\\" + kKeepTwo},
          "the registry holds exactly the accepted paths, each once, in row order: " +
              PendingAsText());
    Check(SaveScreenshot(mainWindow, "main-window.bmp"),
          "a screenshot of the main window is saved");

    const std::string late = kFolder + "\\dropped-later.txt";
    Check(WaitForDropFinished(DropFiles(mainWindow, {late})), "a file is dropped after the run");
    const std::vector<Row> after = ReadRows(list);
    Check(after.size() == 6 && after.back().path == late && after.back().result.empty(),
          "drops are still accepted after the run, with an empty result");
}

void DriveRestartAllRefused(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    const std::string longPath = LongPathUnder(kFolder, 280);
    Check(WaitForDropFinished(DropFiles(mainWindow, {kBlank, longPath})) && RowCountOf(list) == 2,
          "a blank path and a long path are listed");
    if (!AskForRestartDeletion(mainWindow, IDOK)) {
        return;
    }
    Check(WaitUntil([&] { return AllRowsHaveResults(list); }), "every row gets a result");
    for (const Row& row : ReadRows(list)) {
        CheckText(row.result, kResultRefused, "a refused row shows the refusal");
    }
    Check(WaitUntil([&] { return AllButtons(mainWindow, false); }),
          "the five buttons are disabled");
    Check(!WaitUntil([&] { return OtherDialog(mainWindow) != nullptr; }, kNoPromptMilliseconds),
          "no restart prompt is shown when every path was refused");
    Check(PendingDeletions().empty(), "nothing is recorded in the registry: " + PendingAsText());
}

// After the restart: the two accepted files are gone and nothing is pending any more.
void CheckRestartDeletionCarriedOut() {
    Check(GetFileAttributesA(kKeepOne.c_str()) == INVALID_FILE_ATTRIBUTES &&
              GetFileAttributesA(kKeepTwo.c_str()) == INVALID_FILE_ATTRIBUTES,
          "the restart deleted both accepted files");
    Check(PendingDeletions().empty(), "nothing is pending after the restart: " + PendingAsText());
}
