// Names outside the ANSI code page on the real platform: files made under UTF-16 names ("¥.txt",
// "￥.txt", "ő.txt", "o.txt" and an emoji), dropped in a wide HDROP as the shell sends it, typed
// in UTF-16 into the real open-file dialog, and pasted as CF_UNICODETEXT; then the restart run.
// Every row, and every pending operation Wine records, must name a file the user chose: compared
// by file identity (volume and file index), not by text. Under 936 best fit would turn "¥.txt"
// into "￥.txt", under 1252 "ő.txt" into "o.txt"; both of those other files exist.

#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::wstring kRoot = L"C:\\e2e\\names";

struct Name {
    const wchar_t* name;
    // The exact ANSI form under 936 and under 1252; null where the code page has none.
    const char* exact936;
    const char* exact1252;
};

const Name kNames[] = {
    {L"\u00a5.txt", nullptr, "\xa5.txt"},  {L"\uffe5.txt", "\xa3\xa4.txt", nullptr},
    {L"\u0151.txt", nullptr, nullptr},     {L"o.txt", "o.txt", "o.txt"},
    {L"\U0001F600.txt", nullptr, nullptr},
};

// A row the list must hold: its text and the file it must name.
struct Expected {
    std::string text;
    FileIdentity file;
    std::string what;
};

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string AsciiOf(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

const char* ExactForm(const Name& name) {
    return GetACP() == 936 ? name.exact936 : name.exact1252;
}

// What the program must make of a chosen file: its exact form, else the short form the platform
// gives when that is plain ASCII, else nothing (the name is skipped).
std::optional<std::string> ExpectedText(const std::wstring& folder, const Name& name) {
    const std::wstring path = folder + L"\\" + name.name;
    if (const char* exact = ExactForm(name)) {
        return AsciiOf(folder) + "\\" + exact;
    }
    const std::wstring shortPath = ShortPathOf(path);
    if (!shortPath.empty() && shortPath != path && IsAscii(shortPath)) {
        return AsciiOf(shortPath);
    }
    return std::nullopt;
}

std::wstring FolderFor(const wchar_t* intake) {
    return kRoot + L"\\" + intake;
}

bool MakeFolderOfNames(const std::wstring& folder) {
    bool made = true;
    for (const Name& name : kNames) {
        made = MakeWideFile(folder + L"\\" + name.name) && made;
    }
    return made;
}

// Adds the rows the intake of these names must produce; exactOnly for the paste, whose lines
// name no file where a character had no exact form.
void ExpectNames(std::vector<Expected>& expected, const std::wstring& folder, bool exactOnly) {
    for (const Name& name : kNames) {
        const std::wstring path = folder + L"\\" + name.name;
        const std::optional<std::string> text =
            exactOnly && ExactForm(name) == nullptr ? std::nullopt : ExpectedText(folder, name);
        const std::optional<FileIdentity> file = IdentityOf(path);
        if (text && file) {
            expected.push_back(Expected{*text, *file, Utf8(path)});
        }
    }
}

// The list's rows against the expected ones: the same texts in the same order, and each row
// naming the very file it was expected to name.
void CheckRows(HWND list, const std::vector<Expected>& expected, const std::string& what) {
    WaitForRowCount(list, static_cast<int>(expected.size()));
    const std::vector<Row> rows = ReadRows(list);
    std::vector<std::string> texts;
    for (const Expected& row : expected) {
        texts.push_back(row.text);
    }
    CheckPaths(list, texts, what + ": the rows");
    bool same = rows.size() == expected.size();
    std::string detail;
    for (size_t i = 0; i < rows.size() && i < expected.size(); ++i) {
        const std::optional<FileIdentity> named = IdentityOfAnsi(rows[i].path);
        const bool match = named && *named == expected[i].file;
        same = same && match;
        detail += "\n      [" + Printable(rows[i].path) + "] " +
                  (match ? "names " : "does NOT name ") + expected[i].what;
    }
    Check(same, what + ": every row names the file chosen for it" + detail);
}

void DropNames(HWND mainWindow, HWND list, std::vector<Expected>& expected) {
    const std::wstring folder = FolderFor(L"drop");
    std::vector<std::wstring> paths;
    for (const Name& name : kNames) {
        paths.push_back(folder + L"\\" + name.name);
        Note("drop: " + Utf8(paths.back()) + ", short form " + Utf8(ShortPathOf(paths.back())));
    }
    if (!Check(WaitForDropFinished(DropWideFiles(mainWindow, paths)),
               "a wide HDROP (fWide TRUE) of the five names is handled and released")) {
        return;
    }
    ExpectNames(expected, folder, false);
    CheckRows(list, expected, "dropped names");
}

void ChooseNames(HWND mainWindow, HWND list, std::vector<Expected>& expected) {
    const std::wstring folder = FolderFor(L"dialog");
    Click(mainWindow, IDC_ADD);
    HWND dialog = WaitForCaption("#32770", kSelectTitle);
    if (!Check(dialog != nullptr, "Add opens the open-file dialog, found by its UTF-16 title")) {
        return;
    }
    std::wstring names;
    for (const Name& name : kNames) {
        names += L"\"" + std::wstring(name.name) + L"\" ";
    }
    const bool typed =
        TypeAndOpen(dialog, folder) &&
        Check(WaitUntil(
                  [&] { return lstrcmpiW(DialogFolderW(dialog).c_str(), folder.c_str()) == 0; }),
              "the dialog shows the folder typed into it") &&
        TypeAndOpen(dialog, names);
    if (!Check(typed, "the five names are typed in UTF-16 and confirmed") ||
        !Check(WaitUntilGone(dialog), "the dialog closes after the names are confirmed")) {
        return;
    }
    ExpectNames(expected, folder, false);
    CheckRows(list, expected, "names chosen in the dialog");
}

void PasteNames(HWND mainWindow, HWND list, std::vector<Expected>& expected) {
    const std::wstring folder = FolderFor(L"paste");
    std::wstring lines;
    for (const Name& name : kNames) {
        lines += folder + L"\\" + name.name + L"\r\n";
    }
    Check(PutClipboardWideText(lines), "the driver puts the five paths on the clipboard in UTF-16");
    Click(mainWindow, IDC_BATCH_ADD);
    HWND dialog = WaitForCaption("#32770", kBatchCaption);
    if (!Check(dialog != nullptr, "Batch add opens the batch dialog")) {
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_BATCH_EDIT);
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 is handled");
    // As copied: a character without an exact form is skipped with its line on 确定, never
    // taken by a "?" or a best fit.
    CheckWideText(WideTextOf(edit), lines, "粘贴 shows the names as they were copied");
    Click(dialog, IDC_BATCH_OK);
    HWND question = WaitForBoxText(kConfirmBatch);
    if (!Check(question != nullptr && AnswerBox(question, IDOK), "确定 is asked and answered OK") ||
        !Check(WaitUntilGone(dialog), "the batch closes the dialog")) {
        return;
    }
    ExpectNames(expected, folder, true);
    CheckRows(list, expected, "pasted names");
}

void RestartRun(HWND mainWindow, HWND list, const std::vector<Expected>& expected) {
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForBoxText(kConfirmRestart);
    if (!Check(question != nullptr && AnswerBox(question, IDOK),
               "Restart deletion is asked and answered OK")) {
        return;
    }
    Check(WaitUntil([&] {
              for (const Row& row : ReadRows(list)) {
                  if (row.result.empty()) {
                      return false;
                  }
              }
              return true;
          }),
          "every row gets a result");
    // The results are the program's own texts, written in UTF-16: read them so on every code page.
    bool accepted = true;
    for (int row = 0; row < RowCountOf(list); ++row) {
        accepted = accepted && WideCellText(list, row, 1) == WideOf936(kResultAccepted);
    }
    Check(accepted, "every row was accepted");
    HWND prompt = nullptr;
    if (WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; })) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }

    const std::vector<std::wstring> pending = PendingDeletionsWide();
    bool same = pending.size() == expected.size();
    std::string detail;
    for (size_t i = 0; i < pending.size(); ++i) {
        const std::wstring prefix = L"\\??\\";
        const std::wstring path =
            pending[i].compare(0, prefix.size(), prefix) == 0 ? pending[i].substr(4) : pending[i];
        const std::optional<FileIdentity> named = IdentityOf(path);
        const bool match = i < expected.size() && named && *named == expected[i].file;
        same = same && match;
        detail += "\n      [" + Utf8(pending[i]) + "] " + (match ? "names " : "does NOT name ") +
                  (i < expected.size() ? expected[i].what : std::string("a file not chosen"));
    }
    Check(same,
          "every pending operation names the file of its row, a file the user chose, "
          "compared by identity (" +
              std::to_string(pending.size()) + " entries)" + detail);
}

}  // namespace

void DriveNames(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const UINT codePage = GetACP();
    Note("the system's ANSI code page is " + std::to_string(codePage));
    if (!Check(codePage == 936 || codePage == 1252, "the code page is 936 or 1252")) {
        return;
    }
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    Check(MakeFolderOfNames(FolderFor(L"drop")) && MakeFolderOfNames(FolderFor(L"dialog")) &&
              MakeFolderOfNames(FolderFor(L"paste")),
          "the five files are made under their UTF-16 names in three folders");

    std::vector<Expected> expected;
    DropNames(mainWindow, list, expected);
    ChooseNames(mainWindow, list, expected);
    PasteNames(mainWindow, list, expected);
    RestartRun(mainWindow, list, expected);
    Check(SaveScreenshot(mainWindow, "main-window-names.bmp"),
          "a screenshot of the main window with the names is saved");
}
