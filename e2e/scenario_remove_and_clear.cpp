// Remove takes the row with the keyboard focus (not the selected one); Clear asks first, and
// Cancel keeps every row. Typing in the list moves the focus to the next row that begins so.

#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\remove";

void RemoveByFocus(HWND mainWindow, HWND list, const std::vector<std::string>& paths) {
    Check(FocusRow(list, -1), "no row has the focus");
    Check(ClickAndWait(mainWindow, IDC_REMOVE), "Remove is handled");
    CheckPaths(list, paths, "Remove with no focused row changes nothing");

    Check(SelectRow(list, 0) && FocusRow(list, 2), "row 0 is selected and row 2 has the focus");
    Check(ClickAndWait(mainWindow, IDC_REMOVE), "Remove is handled");
    CheckPaths(list, {paths[0], paths[1], paths[3]},
               "Remove deletes the focused row, not the selected one");

    Check(FocusRow(list, 0), "row 0 has the focus");
    Check(ClickAndWait(mainWindow, IDC_REMOVE), "Remove is handled");
    CheckPaths(list, {paths[1], paths[3]}, "Remove deletes the first row when it has the focus");
}

void ClearWithQuestion(HWND mainWindow, HWND list) {
    const int rows = RowCountOf(list);
    Click(mainWindow, IDC_CLEAR_LIST);
    HWND question = WaitForMessageBox(kConfirmClear);
    if (Check(question != nullptr, "Clear asks its question") &&
        Check(AnswerBox(question, IDCANCEL), "the question is answered Cancel")) {
        Check(WaitUntil([&] { return IsWindowEnabled(mainWindow) != FALSE; }),
              "the main window is enabled again after the question");
        Check(RowCountOf(list) == rows, "Cancel keeps every row");
    }

    Click(mainWindow, IDC_CLEAR_LIST);
    question = WaitForMessageBox(kConfirmClear);
    if (Check(question != nullptr, "Clear asks its question again") &&
        Check(AnswerBox(question, IDOK), "the question is answered OK")) {
        Check(WaitForRowCount(list, 0), "OK clears the list");
    }
    Check(ClickAndWait(mainWindow, IDC_CLEAR_LIST) && TopWindowsOfClass("#32770").size() == 1,
          "Clear on the emptied list asks nothing");
}

int FocusedRowOf(HWND list) {
    return static_cast<int>(
        SendWithTimeout(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// The list takes a typed letter as the start of a path; a letter typed after a pause starts a
// new search, from the row after the focused one and round past the end.
void FindByTyping(HWND mainWindow, HWND list) {
    const std::vector<std::string> paths = {kFolder + "\\a.txt", "Z:\\e2e-find\\b.txt",
                                            kFolder + "\\c.txt"};
    Check(WaitForDropFinished(DropFiles(mainWindow, paths)) && RowCountOf(list) == 3,
          "three files on two drives are dropped and listed");
    Check(FocusRow(list, 0), "row 0 has the focus");
    bool first = true;
    const auto type = [list, &first](char letter) {
        // Apart by more than the pause that ends one search (450 ms in Wine's list).
        if (!std::exchange(first, false)) {
            Sleep(600);
        }
        SendWithTimeout(list, WM_CHAR, static_cast<WPARAM>(letter), 1);
        return FocusedRowOf(list);
    };
    Check(type('z') == 1, "typing z moves the focus to the row on Z:");
    Check(type('c') == 2, "typing c moves it on to the next row on C:, whatever the case");
    Check(type('c') == 0, "typing c again goes round to the first row");
    Check(type('q') == 0, "a letter no path begins with leaves the focus where it is");
}

}  // namespace

void DriveRemoveAndClear(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    std::vector<std::string> paths;
    for (const char* name : {"one.txt", "two.txt", "three.txt", "four.txt"}) {
        paths.push_back(kFolder + "\\" + name);
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, paths)) && RowCountOf(list) == 4,
          "four files are dropped and listed");
    RemoveByFocus(mainWindow, list, paths);
    ClearWithQuestion(mainWindow, list);
    FindByTyping(mainWindow, list);
}
