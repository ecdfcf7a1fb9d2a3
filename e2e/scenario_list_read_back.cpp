// The real list view's read-back at the program's first buffer of 260 bytes, under code page 936:
// what Wine's control writes into a buffer too small for a cell, and that the program still tells
// a long path from its prefixes, in the duplicate test and in the restart run.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\readback";
// One double-byte character of code page 936.
const std::string kWide = "\xCE\xC4";
constexpr int kFirstCapacity = 260;
constexpr size_t kProbeBuffer = 300;

// A path of length bytes under kFolder, in two names of double-byte characters (Wine keeps names
// as UTF-8, three bytes a character, within the 255 bytes Linux allows a name). The folder part
// has an odd length, so an odd length puts every character boundary after it at an odd offset,
// and a cut within 260 bytes ends one byte short of the room.
std::string WidePath(size_t length) {
    std::string path = kFolder + "\\";
    for (int i = 0; i < 60; ++i) {
        path += kWide;
    }
    path += length % 2 == 0 ? "\\w" : "\\";
    while (path.size() < length) {
        path += kWide;
    }
    return path;
}

// Reads a cell with cchTextMax 260 into a larger buffer of 'x' and reports what changed.
void ProbeCutRead(HWND list, int row, const std::string& path) {
    std::string buffer(kProbeBuffer, 'x');
    buffer.back() = '\0';
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = buffer.data();
    item.cchTextMax = kFirstCapacity;
    const LRESULT count = SendWithTimeout(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                          reinterpret_cast<LPARAM>(&item));
    size_t written = 0;
    while (written < static_cast<size_t>(kFirstCapacity) && buffer[written] != 'x' &&
           buffer[written] != '\0') {
        ++written;
    }
    const bool terminated = written < static_cast<size_t>(kFirstCapacity) && buffer[written] == 0;
    Note("a cell of " + std::to_string(path.size()) +
         " bytes read with cchTextMax 260: " + std::to_string(written) + " bytes written, " +
         (terminated ? "terminated" : "no terminator") + ", count " + std::to_string(count));
    Check(buffer.compare(0, written, path, 0, written) == 0,
          "the bytes written are the start of the cell");
    Check(buffer[kFirstCapacity] == 'x',
          "the byte after cchTextMax is left as it was (the program keeps a zero there)");
}

bool AcceptedRowsArePending(const std::vector<Row>& rows) {
    std::vector<std::string> expected;
    for (const Row& row : rows) {
        if (row.result == kResultAccepted) {
            expected.push_back("\\??\\" + row.path);
        }
    }
    return PendingDeletions() == expected;
}

}  // namespace

void DriveListReadBack(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string wide = WidePath(261);
    // Two names, as no name may be longer than 255 characters.
    const std::string narrowFolder = kFolder + "\\" + std::string(200, 'n');
    const std::string narrow =
        narrowFolder + "\\" + std::string(300 - narrowFolder.size() - 1, 'm');
    // Prefixes of whole characters that a read of 260 bytes could hand out for the long paths.
    const std::vector<std::string> prefixes = {wide.substr(0, 259), wide.substr(0, 257),
                                               narrow.substr(0, 259), narrow.substr(0, 258)};
    std::string notMade;
    for (const std::string& path :
         {wide, narrow, prefixes[0], prefixes[1], prefixes[2], prefixes[3]}) {
        if (!MakeFile(path)) {
            notMade += " " + Printable(path);
        }
    }
    Check(notMade.empty(), "the long files and their prefixes are created" + notMade);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");

    Check(WaitForDropFinished(DropFiles(mainWindow, {wide, narrow})), "two long paths are dropped");
    ProbeCutRead(list, 0, wide);
    ProbeCutRead(list, 1, narrow);

    std::vector<std::string> second = prefixes;
    second.push_back(wide);
    second.push_back(narrow);
    Check(WaitForDropFinished(DropFiles(mainWindow, second)),
          "their prefixes and the long paths again are dropped");
    std::vector<std::string> expected = {wide, narrow};
    expected.insert(expected.end(), prefixes.begin(), prefixes.end());
    CheckPaths(list, expected,
               "each prefix is a new entry and each long path is listed once, whole");

    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr, "Restart deletion asks its question") ||
        !AnswerBox(question, IDOK)) {
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
    const std::vector<Row> rows = ReadRows(list);
    std::string results;
    for (const Row& row : rows) {
        results += std::to_string(row.path.size()) + " bytes " +
                   (row.result == kResultAccepted ? "accepted" : "refused") + "; ";
    }
    Note("results: " + results);
    Check(AcceptedRowsArePending(rows),
          "the registry holds each accepted row's own whole path, once, in row order");

    // Some path was accepted: the restart prompt follows the pause; it is declined.
    HWND prompt = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (window != mainWindow) {
                prompt = window;
            }
        }
        return prompt != nullptr;
    });
    if (prompt != nullptr) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }
}
