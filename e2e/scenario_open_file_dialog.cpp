// The real open-file dialog: found by its title, names typed into its file-name box as a user
// types them, confirmed with Open; a typed name of no file, which the program answers with a box in
// front of the dialog; Cancel, which adds nothing; a close of the main window while that box is
// open; and a selection of many files, chosen in the dialog's own list, whose names take more room
// than the dialog's first buffer.

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

// The message box in front of the dialog (owned by it), or null.
HWND DialogBoxOf(HWND dialog) {
    HWND box = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (GetWindow(window, GW_OWNER) == dialog) {
                box = window;
                return true;
            }
        }
        return false;
    });
    return box;
}

// The folder view's list: the SysListView32 inside the dialog's SHELLDLL_DefView.
HWND FolderList(HWND dialog) {
    HWND view = FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr);
    return view != nullptr ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
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
    // The name of no file is answered in front of the dialog, with its path, and the dialog
    // stays open.
    HWND box = DialogBoxOf(dialog);
    const std::wstring missing = WideOf936((kFolder + "\\new.txt").c_str());
    Check(box != nullptr && WideMessageBoxText(box) == missing + L"\r\n" + WideOf936(kPickNotFound),
          "the name of no file is answered with its path and the program's text");
    Check(box != nullptr && AnswerBox(box, IDOK) && IsWindow(dialog) && IsWindowVisible(dialog),
          "the box closes with OK and the dialog stays open");
    Check(AnswerBox(dialog, IDCANCEL), "Cancel closes the dialog");
    Check(WaitUntil([&] { return IsWindowEnabled(mainWindow) != FALSE; }),
          "the main window is enabled again after Cancel");
    CheckPaths(list, {kFolder + "\\a.txt", kFolder + "\\b.txt", kFolder + "\\c.txt"},
               "neither the listed file again nor the name of no file is added");
}

void DriveCloseDuringDialog(HWND mainWindow) {
    Check(MakeFile(kFolder + "\\a.txt"), "a fixture file is created");
    HWND dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr ||
        !Check(TypeAndOpen(dialog, kFolder + "\\none.txt"), "a path of no file is confirmed")) {
        return;
    }
    HWND box = DialogBoxOf(dialog);
    if (!Check(box != nullptr,
               "the path of no file is answered with a box in front of the dialog")) {
        return;
    }
    // As the taskbar's Close does: the main window is asked to close while both are open.
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    Check(WaitUntilGone(box) && WaitUntilGone(dialog),
          "the box and then the dialog close when the main window is closed");
    Check(WaitUntilGone(mainWindow), "the main window ends after them");
}

void DriveOpenFileMany(HWND mainWindow) {
    // 500 names of 200 characters: the dialog's output needs some 100,500 code units, more than
    // the 98,192 the program's buffer starts with.
    const std::string folder = "C:\\e2e\\open-many";
    constexpr int kFiles = 500;
    std::vector<std::string> paths;
    bool made = true;
    for (int i = 0; i < kFiles; ++i) {
        const std::string number = std::to_string(1000 + i);
        paths.push_back(folder + "\\" + number + std::string(196 - number.size(), 'n') + ".txt");
        made = made && MakeFile(paths.back());
    }
    if (!Check(made, "500 files with names of 200 characters are made")) {
        return;
    }
    HWND list = ListOf(mainWindow);
    HWND dialog = OpenTheDialog(mainWindow);
    if (dialog == nullptr || !TypeAndOpen(dialog, folder) ||
        !Check(WaitUntil([&] {
                   HWND view = FolderList(dialog);
                   return lstrcmpiA(DialogFolder(dialog).c_str(), folder.c_str()) == 0 &&
                          view != nullptr &&
                          SendWithTimeout(view, LVM_GETITEMCOUNT, 0, 0) == kFiles;
               }),
               "the dialog shows the folder and its 500 files")) {
        return;
    }
    // Every file chosen in the dialog's list, as Ctrl+A does: the dialog tells its hook of each
    // change of the selection.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendWithTimeout(FolderList(dialog), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&item));
    HWND name = FileNameBox(dialog);
    Check(name != nullptr && GetWindowTextLengthW(name) > 98192,
          "the file-name box holds every chosen name, more than the first buffer takes");
    Click(dialog, IDOK);
    Check(WaitUntilGone(dialog, 3 * kWaitMilliseconds), "Open closes the dialog");
    Check(WaitForRowCount(list, kFiles, 6 * kWaitMilliseconds), "all 500 chosen files are listed");
    CheckPaths(list, paths, "every chosen file is listed by its full path, in the dialog's order");
    Check(OtherDialog(mainWindow) == nullptr, "no box is shown");
}
