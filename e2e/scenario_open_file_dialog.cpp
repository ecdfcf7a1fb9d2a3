// The real open-file dialog: found by its title, names typed into its file-name box as a user
// types them, confirmed with Open; and Cancel, which adds nothing.

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\open";
HWND OpenTheDialog(HWND mainWindow) {
    // An Add that arrives while the one before still appends its picks is ignored; when nothing
    // was appended the driver cannot see that one end, so it clicks again.
    HWND dialog = nullptr;
    for (int click = 0; click < 3 && dialog == nullptr; ++click) {
        Click(mainWindow, IDC_ADD);
        dialog = WaitForTopWindow("#32770", kSelectTitle, kWaitMilliseconds / 2);
    }
    Check(dialog != nullptr, "Add opens the open-file dialog, found by its title");
    return dialog;
}

// Picks names in the dialog: first the folder typed and opened, then the names.
bool ChooseInFolder(HWND dialog, const std::string& folder, const std::string& names) {
    if (!TypeAndOpen(dialog, folder)) {
        return false;
    }
    // Opening a folder keeps the dialog open and shows that folder.
    return Check(WaitUntil(
                     [&] { return lstrcmpiA(DialogFolder(dialog).c_str(), folder.c_str()) == 0; }),
                 "the dialog shows the folder typed into it") &&
           TypeAndOpen(dialog, names);
}

}  // namespace

void DriveOpenFileDialog(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(MakeFile(kFolder + "\\a.txt") && MakeFile(kFolder + "\\b.txt") &&
              MakeFile(kFolder + "\\c.txt"),
          "fixture files are created");

    HWND dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(!IsWindowEnabled(mainWindow), "the main window is disabled while the dialog is open");
    Check(ChooseInFolder(dialog, kFolder, "\"a.txt\" \"b.txt\""),
          "the folder and then two quoted names are typed and confirmed");
    Check(WaitUntilGone(dialog), "the dialog closes after two names are confirmed");
    WaitForRowCount(list, 2);
    CheckPaths(list, {kFolder + "\\a.txt", kFolder + "\\b.txt"},
               "both chosen files are listed, as full paths, in the order typed");

    dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(TypeAndOpen(dialog, kFolder + "\\c.txt"), "a full path is typed and confirmed");
    Check(WaitUntilGone(dialog), "the dialog closes after a full path is confirmed");
    WaitForRowCount(list, 3);
    CheckPaths(list, {kFolder + "\\a.txt", kFolder + "\\b.txt", kFolder + "\\c.txt"},
               "the file given by its full path is appended");

    dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(ChooseInFolder(dialog, kFolder, "\"b.txt\" \"new.txt\""),
          "a listed name and a name of no file are typed and confirmed");
    Check(WaitUntilGone(dialog), "the dialog closes after those names are confirmed");
    // Under WOW64 the name of no file is left out: which file it names at boot cannot be told.
    const int rows = RunsUnderWow64() ? 3 : 4;
    WaitForRowCount(list, rows);
    std::vector<std::string> expected = {kFolder + "\\a.txt", kFolder + "\\b.txt",
                                         kFolder + "\\c.txt", kFolder + "\\new.txt"};
    expected.resize(static_cast<size_t>(rows));
    CheckPaths(list, expected, "the listed file is not added again; the name of no file is added");

    dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(AnswerBox(dialog, IDCANCEL), "Cancel closes the dialog");
    Check(WaitUntil([&] { return IsWindowEnabled(mainWindow) != FALSE; }),
          "the main window is enabled again after Cancel");
    Check(RowCountOf(list) == rows, "Cancel adds no row");
}
