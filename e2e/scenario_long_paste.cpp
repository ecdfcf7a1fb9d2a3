// The batch box takes a paste whole, as the user copied it. A Ctrl+V (WM_PASTE) of text longer
// than the edit box's default limit (30,000 characters under Wine, 32,767 on Windows), whose line
// at that limit would be cut into the name of another existing file: every line arrives whole and
// the cut name is never listed. Then "粘贴" with a line holding a Thai letter, which a code page
// without it would have shown as "?", making a literal path of an existing file, and a line in
// the double quotes of the shell's "Copy as path".

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::string kFolder = "C:\\e2e\\paste";
// The default limit of a multi-line edit box under Wine.
constexpr size_t kOldLimit = 30000;
constexpr size_t kLineLength = 200;
// Lines before the one that crosses the old limit, and after it.
constexpr size_t kLinesBefore = 148;
constexpr size_t kLinesAfter = 10;

std::string NumberedLine(size_t number) {
    const std::string start = kFolder + "\\lines\\line-" + std::to_string(number) + "-";
    return start + std::string(kLineLength - start.size() - 4, 'x') + ".txt";
}

// A line whose first characters up to the old limit name another existing file: "...\cut.txt"
// of "...\cut.txt.full".
std::string CutLine(size_t startsAt) {
    const std::string name = "\\cut.txt";
    const std::string folder = kFolder + "\\";
    const size_t padding = kOldLimit - startsAt - folder.size() - name.size();
    return folder + std::string(padding, 'p') + name + ".full";
}

bool Confirm(HWND dialog) {
    return ConfirmBatch(dialog, IDOK) &&
           Check(WaitUntilGone(dialog), "确定 is answered OK and the batch closes the dialog");
}

}  // namespace

void DriveLongPaste(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    std::vector<std::string> lines;
    for (size_t i = 0; i < kLinesBefore; ++i) {
        lines.push_back(NumberedLine(i));
    }
    const std::string cut = CutLine(kLinesBefore * (kLineLength + 2));
    const std::string cutName = cut.substr(0, cut.size() - std::string(".full").size());
    lines.push_back(cut);
    for (size_t i = 0; i < kLinesAfter; ++i) {
        lines.push_back(NumberedLine(kLinesBefore + 1 + i));
    }
    bool made = MakeFile(cutName);
    std::wstring text;
    for (const std::string& line : lines) {
        made = MakeFile(line) && made;
        text += std::wstring(line.begin(), line.end()) + L"\r\n";
    }
    Check(made, "every line's file exists, and so does the file the cut line would name");
    Note("the text is " + std::to_string(text.size()) + " characters; the line at " +
         std::to_string(kOldLimit) + " would be cut to " + cutName);

    // Ctrl+V: the edit box's own paste, at the caret.
    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    HWND edit = GetDlgItem(dialog, IDC_BATCH_EDIT);
    Check(PutClipboardWideText(text), "the text is put on the clipboard");
    SendWithTimeout(edit, WM_PASTE, 0, 0);
    Check(static_cast<size_t>(GetWindowTextLengthW(edit)) == text.size(),
          "Ctrl+V puts the whole text into the box (" + std::to_string(GetWindowTextLengthW(edit)) +
              " characters)");
    if (!Confirm(dialog)) {
        return;
    }
    WaitForRowCount(list, static_cast<int>(lines.size()));
    CheckPaths(list, lines, "every line is listed whole, the cut name never");

    // "粘贴": the clipboard's UTF-16 text as it was copied. Under 936 or 1252 the Thai letter
    // has no form, and its "?" would have made "\\?\C:\...\keep.txt", a literal path of a file;
    // under UTF-8 it has one, and the line is a share that names nothing.
    const std::string keep = kFolder + "\\keep.txt";
    const std::string quoted = kFolder + "\\quoted.txt";
    Check(MakeFile(keep) && MakeFile(quoted), "keep.txt and quoted.txt exist");
    const std::wstring pasted = L"\\\\\u0e01\\" + std::wstring(keep.begin(), keep.end()) +
                                L"\r\n\"" + std::wstring(quoted.begin(), quoted.end()) + L"\"\r\n";
    dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    Check(PutClipboardWideText(pasted), "a line with a Thai letter and a quoted line are copied");
    Check(ClickAndWait(dialog, IDC_BATCH_PASTE), "粘贴 is handled");
    CheckWideText(WideTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT)), pasted,
                  "粘贴 shows the text as it was copied");
    if (!Confirm(dialog)) {
        return;
    }
    lines.push_back(quoted);
    WaitForRowCount(list, static_cast<int>(lines.size()));
    CheckPaths(list, lines, "the quoted line is listed without its quotes; keep.txt is not");
}
