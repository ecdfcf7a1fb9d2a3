// The real list view's read-back at the program's first buffer of 260 UTF-16 code units: what
// Wine's control writes into a buffer too small for a cell, and that the program still tells a
// long path from its prefixes, in the duplicate test and in the restart run. One path is made of
// emoji, so that the first read ends between the two halves of a surrogate pair.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::wstring kFolder = L"C:\\e2e\\readback";
// One character of two code units (four bytes in UTF-8).
const std::wstring kPair = L"\U0001F600";
constexpr int kFirstCapacity = 260;
constexpr size_t kProbeBuffer = 300;
constexpr wchar_t kUnwritten = L'\uffff';

std::wstring Repeated(const std::wstring& text, size_t times) {
    std::wstring repeated;
    for (size_t i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

// 262 code units in two names of emoji (Wine keeps names as UTF-8, within the 255 bytes Linux
// allows a name); the "x" puts a pair at units 258 and 259, where the first read is cut.
const std::wstring kPairs = kFolder + L"\\" + Repeated(kPair, 60) + L"\\x" + Repeated(kPair, 62);

// Reads a cell with cchTextMax 260 into a larger buffer of a noncharacter, which no path holds,
// and reports what changed.
void ProbeCutRead(HWND list, int row, const std::wstring& path) {
    std::wstring buffer(kProbeBuffer, kUnwritten);
    buffer.back() = L'\0';
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = kFirstCapacity;
    const LRESULT count = SendWithTimeout(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(&item));
    size_t written = 0;
    while (written < static_cast<size_t>(kFirstCapacity) && buffer[written] != kUnwritten &&
           buffer[written] != L'\0') {
        ++written;
    }
    const bool terminated = written < static_cast<size_t>(kFirstCapacity) && buffer[written] == 0;
    Note("a cell of " + std::to_string(path.size()) +
         " code units read with cchTextMax 260: " + std::to_string(written) + " written, " +
         (terminated ? "terminated" : "no terminator") + ", count " + std::to_string(count));
    Check(buffer.compare(0, written, path, 0, written) == 0,
          "the code units written are the start of the cell");
    Check(buffer[kFirstCapacity] == kUnwritten,
          "the unit after cchTextMax is left as it was (the program keeps a zero there)");
}

std::vector<std::wstring> RowPaths(HWND list) {
    std::vector<std::wstring> paths;
    for (int row = 0; row < RowCountOf(list); ++row) {
        paths.push_back(WideCellText(list, row, 0));
    }
    return paths;
}

bool Accepted(HWND list, int row) {
    return WideCellText(list, row, 1) == WideOf936(kResultAccepted);
}

}  // namespace

void DriveListReadBack(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    // Two names, as no name may be longer than 255 characters.
    const std::wstring narrowFolder = kFolder + L"\\" + std::wstring(200, L'n');
    const std::wstring narrow =
        narrowFolder + L"\\" + std::wstring(300 - narrowFolder.size() - 1, L'm');
    // Prefixes of whole characters either side of where a read of 260 units cuts the long paths.
    const std::vector<std::wstring> prefixes = {kPairs.substr(0, 258), kPairs.substr(0, 260),
                                                narrow.substr(0, 259), narrow.substr(0, 258)};
    std::string notMade;
    for (const std::wstring& path :
         {kPairs, narrow, prefixes[0], prefixes[1], prefixes[2], prefixes[3]}) {
        if (!MakeWideFile(path)) {
            notMade += " " + Utf8(path);
        }
    }
    Check(notMade.empty(), "the long files and their prefixes are created" + notMade);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");

    Check(WaitForDropFinished(DropWideFiles(mainWindow, {kPairs, narrow})),
          "two long paths are dropped");
    WaitForRowCount(list, 2);
    ProbeCutRead(list, 0, kPairs);
    ProbeCutRead(list, 1, narrow);

    std::vector<std::wstring> second = prefixes;
    second.push_back(kPairs);
    second.push_back(narrow);
    Check(WaitForDropFinished(DropWideFiles(mainWindow, second)),
          "their prefixes and the long paths again are dropped");
    std::vector<std::wstring> expected = {kPairs, narrow};
    expected.insert(expected.end(), prefixes.begin(), prefixes.end());
    WaitForRowCount(list, static_cast<int>(expected.size()));
    Check(RowPaths(list) == expected,
          "each prefix is a new entry and each long path is listed once, whole");

    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr, "Restart deletion asks its question") ||
        !AnswerBox(question, IDOK)) {
        return;
    }
    const int rows = RowCountOf(list);
    Check(WaitUntil([&] { return !WideCellText(list, rows - 1, 1).empty(); }),
          "every row gets a result");
    std::vector<std::wstring> pending;
    std::string results;
    for (int row = 0; row < rows; ++row) {
        const std::wstring path = WideCellText(list, row, 0);
        results +=
            std::to_string(path.size()) + " units " +
            (Accepted(list, row) ? "accepted"
                                 : "refused (" + PrintableWide(WideCellText(list, row, 2)) + ")") +
            "; ";
        if (Accepted(list, row)) {
            pending.push_back(L"\\??\\" + path);
        }
    }
    Note("results: " + results);
    // Asked in UTF-16, no path is too long for the request: the long paths and their prefixes
    // alike are accepted.
    bool all = true;
    for (int row = 0; row < rows; ++row) {
        all = all && Accepted(list, row);
    }
    Check(all, "every row is accepted, the long paths too");
    Check(PendingDeletionsWide() == pending,
          "the registry holds each accepted row's own whole path, once, in row order");

    // Some path was accepted: the restart prompt follows the pause; it is declined.
    HWND prompt = nullptr;
    WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; });
    if (prompt != nullptr) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }
}
