// The batch dialog: the main window hidden while it is open, typed lines filtered by what exists,
// the question answered Cancel and then OK, "粘贴" with text on the real clipboard and with none,
// and the close box.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "ui_texts.h"

namespace {

const std::string kFolder = "C:\\e2e\\batch";
const std::string kListed = kFolder + "\\listed.txt";
const std::string kTwo = kFolder + "\\two.txt";
const std::string kTwoUpper = "c:\\e2e\\batch\\TWO.TXT";
const std::string kThree = kFolder + "\\Three.txt";
const std::string kFour = kFolder + "\\four.txt";
const std::string kSubFolder = kFolder + "\\sub";
const std::string kMissing = kFolder + "\\missing.txt";
const std::string kRelative = "relative.txt";

HWND EditOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_BATCH_EDIT);
}

void CheckDialogLooks(HWND mainWindow, HWND dialog) {
    Check(!IsWindowVisible(mainWindow), "the main window is hidden while the batch dialog is open");
    CheckWideText(WideTextOf(GetDlgItem(dialog, IDC_BATCH_OK)), WideOf936(kBatchOkText),
                  "button 确定 text");
    CheckWideText(WideTextOf(GetDlgItem(dialog, IDC_BATCH_PASTE)), WideOf936(kBatchPasteText),
                  "button 粘贴 text");
    CheckText(TextOf(EditOf(dialog)), "", "the edit box starts empty");
}

// Typed lines, Escape and Enter, the question answered Cancel and then OK.
void TypedLines(HWND mainWindow, HWND list, const std::string& relativeFull) {
    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    CheckDialogLooks(mainWindow, dialog);
    const std::string text = kListed + "\r\n" + kSubFolder + "\r\n" + kMissing + "\r\n\r\n" + kTwo +
                             "\r\n" + kTwo + "\r\n" + kTwoUpper + "\r\n" + kFour + "\n" + kMissing +
                             "\r\n" + kRelative + "\r\n" + kThree;
    Check(SetTextOf(EditOf(dialog), text), "lines are typed into the edit box");
    Check(SaveScreenshot(dialog, "batch-dialog.bmp"), "a screenshot of the batch dialog is saved");

    SendWithTimeout(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendWithTimeout(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Check(IsWindow(dialog) && IsWindowVisible(dialog),
          "IDCANCEL and IDOK (Escape, Enter) leave the batch dialog open");

    if (ConfirmBatch(dialog, IDCANCEL)) {
        Check(IsWindow(dialog) && IsWindowVisible(dialog), "Cancel leaves the dialog open");
        CheckText(TextOf(EditOf(dialog)), text, "Cancel leaves the typed text as it was");
        Check(RowCountOf(list) == 1, "Cancel adds no row");
    }
    if (ConfirmBatch(dialog, IDOK)) {
        AnswerFolderQuestion(IDCANCEL, "the typed folder");
        Check(WaitUntilGone(dialog), "OK processes the lines and closes the dialog");
        Check(WaitUntil([&] { return IsWindowVisible(mainWindow) != FALSE; }),
              "the main window is shown again after the batch");
        CheckPaths(list, {kListed, kTwo, kTwoUpper, relativeFull, kThree},
                   "only existing files are added, each once, in line order; the case variant "
                   "is kept; the relative line is listed as the full path it names; the folder "
                   "is left out, as the user declined");
    }
}

// "粘贴" replaces the whole text with the clipboard's, or empties the box when the clipboard has
// no text; the close box discards the text and adds nothing.
void PasteAndClose(HWND mainWindow, HWND list) {
    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    CheckText(TextOf(EditOf(dialog)), "", "the edit box is empty again on reopening");
    SetTextOf(EditOf(dialog), "typed before the paste");
    const std::string clipboard = kFour + "\r\n" + kTwo;
    Check(PutClipboardText(clipboard), "the driver puts text on the clipboard");
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 is handled");
    CheckText(TextOf(EditOf(dialog)), clipboard,
              "粘贴 replaces the edit box's text with the clipboard's");

    Check(EmptyClipboardText(), "the driver empties the clipboard");
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 with an empty clipboard is handled");
    CheckText(TextOf(EditOf(dialog)), "",
              "粘贴 with no text on the clipboard empties the edit box");

    SetTextOf(EditOf(dialog), kFour);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    Check(WaitUntilGone(dialog), "the close box (WM_CLOSE) closes the batch dialog");
    Check(WaitUntil([&] { return IsWindowVisible(mainWindow) != FALSE; }),
          "the main window is shown again after the close box");
    Check(RowCountOf(list) == 5, "closing the dialog adds nothing");
}

// Pasted text, confirmed: the pasted lines are what is added.
void PasteAndConfirm(HWND mainWindow, HWND list, const std::string& relativeFull) {
    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(PutClipboardText(kTwo + "\r\n" + kFour + "\r\n"),
          "the driver puts two lines on the clipboard");
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 is handled");
    if (ConfirmBatch(dialog, IDOK)) {
        Check(WaitUntilGone(dialog), "the pasted batch closes the dialog");
        CheckPaths(list, {kListed, kTwo, kTwoUpper, relativeFull, kThree, kFour},
                   "of the pasted lines only the new file is added");
    }
}

}  // namespace

void DriveBatchDialog(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(MakeFile(kListed) && MakeFile(kTwo) && MakeFile(kThree) && MakeFile(kFour) &&
              MakeFile(kFolder + "\\" + kRelative) && MakeFolder(kSubFolder),
          "fixture files and folder are created");
    // The program resolves a relative line against the process's current folder.
    SetCurrentDirectoryA(kFolder.c_str());
    char full[MAX_PATH] = {};
    GetFullPathNameA(kRelative.c_str(), MAX_PATH, full, nullptr);

    Check(WaitForDropFinished(DropFiles(mainWindow, {kListed})) && RowCountOf(list) == 1,
          "one file is listed before the batch");
    TypedLines(mainWindow, list, full);
    PasteAndClose(mainWindow, list);
    PasteAndConfirm(mainWindow, list, full);
}
