// Names outside the locale's code page on the real platform: files made under UTF-16 names
// ("¥.txt", "￥.txt", "ő.txt", "o.txt", an emoji and "中한.txt"), dropped in a wide HDROP as the
// shell sends it, typed in UTF-16 into the real open-file dialog, pasted as CF_UNICODETEXT and
// typed into the batch box; then the restart run. The program's manifest makes UTF-8 its code page,
// so every name has an exact form: each row, read back in UTF-16, must be the path itself, and each
// pending operation Wine records "\??\" and that path. Under 936 best fit would turn "¥.txt" into
// "￥.txt", under 1252 "ő.txt" into "o.txt"; both of those other files exist.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::wstring kRoot = L"C:\\e2e\\names";

const wchar_t* const kNames[] = {
    L"\u00a5.txt", L"\uffe5.txt", L"\u0151.txt", L"o.txt", L"\U0001F600.txt", L"\u4e2d\ud55c.txt",
};

std::wstring FolderFor(const wchar_t* intake) {
    return kRoot + L"\\" + intake;
}

std::vector<std::wstring> PathsIn(const std::wstring& folder) {
    std::vector<std::wstring> paths;
    for (const wchar_t* name : kNames) {
        paths.push_back(folder + L"\\" + name);
    }
    return paths;
}

std::wstring Lines(const std::vector<std::wstring>& paths) {
    std::wstring lines;
    for (const std::wstring& path : paths) {
        lines += path + L"\r\n";
    }
    return lines;
}

bool MakeFiles(const std::vector<std::wstring>& paths) {
    bool made = true;
    for (const std::wstring& path : paths) {
        made = MakeWideFile(path) && made;
    }
    return made;
}

// The rows, read in UTF-16, are the paths expected so far, in order.
void CheckRows(HWND list, const std::vector<std::wstring>& expected, const std::string& what) {
    WaitForRowCount(list, static_cast<int>(expected.size()));
    std::vector<std::wstring> rows;
    for (int row = 0; row < RowCountOf(list); ++row) {
        rows.push_back(WideCellText(list, row, 0));
    }
    std::string detail;
    for (const std::wstring& row : rows) {
        detail += "\n      [" + Utf8(row) + "]";
    }
    Check(rows == expected, what + " are listed as themselves (LVM_GETITEMTEXTW)" + detail);
}

void DropNames(HWND mainWindow, HWND list, std::vector<std::wstring>& expected) {
    const std::vector<std::wstring> paths = PathsIn(FolderFor(L"drop"));
    if (!Check(WaitForDropFinished(DropWideFiles(mainWindow, paths)),
               "a wide HDROP (fWide TRUE) of the names is handled and released")) {
        return;
    }
    expected.insert(expected.end(), paths.begin(), paths.end());
    CheckRows(list, expected, "dropped names");
}

void ChooseNames(HWND mainWindow, HWND list, std::vector<std::wstring>& expected) {
    const std::wstring folder = FolderFor(L"dialog");
    Click(mainWindow, IDC_ADD);
    HWND dialog = WaitForTopWindow("#32770", kSelectTitle);
    if (!Check(dialog != nullptr, "Add opens the open-file dialog, found by its UTF-16 title")) {
        return;
    }
    std::wstring names;
    for (const wchar_t* name : kNames) {
        names += L"\"" + std::wstring(name) + L"\" ";
    }
    const bool typed =
        TypeAndOpen(dialog, folder) &&
        Check(WaitUntil(
                  [&] { return lstrcmpiW(DialogFolderW(dialog).c_str(), folder.c_str()) == 0; }),
              "the dialog shows the folder typed into it") &&
        TypeAndOpen(dialog, names);
    if (!Check(typed, "the names are typed in UTF-16 and confirmed") ||
        !Check(WaitUntilGone(dialog), "the dialog closes after the names are confirmed")) {
        return;
    }
    const std::vector<std::wstring> paths = PathsIn(folder);
    expected.insert(expected.end(), paths.begin(), paths.end());
    CheckRows(list, expected, "names chosen in the dialog");
}

// One batch: lines pasted from the clipboard, then lines typed after them.
void BatchNames(HWND mainWindow, HWND list, std::vector<std::wstring>& expected) {
    const std::vector<std::wstring> pasted = PathsIn(FolderFor(L"paste"));
    const std::vector<std::wstring> typed = PathsIn(FolderFor(L"typed"));
    Check(PutClipboardWideText(Lines(pasted)), "the driver puts the paths on the clipboard");
    Click(mainWindow, IDC_BATCH_ADD);
    HWND dialog = WaitForTopWindow("#32770", kBatchCaption);
    if (!Check(dialog != nullptr, "Batch add opens the batch dialog")) {
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_BATCH_EDIT);
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 is handled");
    CheckWideText(WideTextOf(edit), Lines(pasted), "粘贴 shows every name as itself");
    Check(SetWideTextOf(edit, WideTextOf(edit) + Lines(typed)), "more names are typed after them");
    Click(dialog, IDC_BATCH_OK);
    HWND question = WaitForMessageBox(kConfirmBatch);
    if (!Check(question != nullptr && AnswerBox(question, IDOK), "确定 is asked and answered OK") ||
        !Check(WaitUntilGone(dialog), "the batch closes the dialog")) {
        return;
    }
    expected.insert(expected.end(), pasted.begin(), pasted.end());
    expected.insert(expected.end(), typed.begin(), typed.end());
    CheckRows(list, expected, "pasted and typed names");
}

void RestartRun(HWND mainWindow, HWND list, const std::vector<std::wstring>& expected) {
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr && AnswerBox(question, IDOK),
               "Restart deletion is asked and answered OK")) {
        return;
    }
    const int rows = RowCountOf(list);
    Check(WaitUntil([&] { return !WideCellText(list, rows - 1, 1).empty(); }),
          "every row gets a result");
    bool accepted = true;
    for (int row = 0; row < rows; ++row) {
        accepted = accepted && WideCellText(list, row, 1) == WideOf936(kResultAccepted);
    }
    Check(accepted, "every row was accepted");
    HWND prompt = nullptr;
    if (WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; })) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }

    const std::vector<std::wstring> pending = PendingDeletionsWide();
    std::vector<std::wstring> recorded;
    for (const std::wstring& path : expected) {
        recorded.push_back(L"\\??\\" + path);
    }
    std::string detail;
    for (const std::wstring& entry : pending) {
        detail += "\n      [" + Utf8(entry) + "]";
    }
    Check(pending == recorded, "every pending operation is \"\\??\\\" and its row's path (" +
                                   std::to_string(pending.size()) + " entries)" + detail);
}

}  // namespace

void DriveNames(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const UINT localePage = LocaleCodePage();
    Note("the locale's ANSI code page is " + std::to_string(localePage) + ", the program's is " +
         std::to_string(GetACP()));
    Check(GetACP() == CP_UTF8, "the program's code page is UTF-8, as its manifest asks");
    Check(localePage == 936 || localePage == 1252,
          "the locale's code page (936 or 1252) lacks some of the names");
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeFiles(PathsIn(FolderFor(L"drop"))) && MakeFiles(PathsIn(FolderFor(L"dialog"))) &&
              MakeFiles(PathsIn(FolderFor(L"paste"))) && MakeFiles(PathsIn(FolderFor(L"typed"))),
          "the files are made under their UTF-16 names in four folders");

    std::vector<std::wstring> expected;
    DropNames(mainWindow, list, expected);
    ChooseNames(mainWindow, list, expected);
    BatchNames(mainWindow, list, expected);
    RestartRun(mainWindow, list, expected);
    Check(SaveScreenshot(mainWindow, "main-window-names.bmp"),
          "a screenshot of the main window with the names is saved");
}
