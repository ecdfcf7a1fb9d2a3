// Real WM_DROPFILES messages posted to the main window, each carrying an HDROP built the way the
// shell builds one (DROPFILES header, ANSI paths): a folder is left out when its question is
// declined, each path is listed once, letter case counts, and a path longer than MAX_PATH is
// listed whole.

#include <string>
#include <vector>

#include "driver.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\drop";
const std::string kFileA = kFolder + "\\a.txt";
const std::string kFileB = kFolder + "\\B.txt";
const std::string kFileAUpper = "c:\\E2E\\DROP\\A.TXT";
const std::string kSubFolder = kFolder + "\\folder";
const std::string kMissing = kFolder + "\\not-there.txt";

// Posts a drop and waits until the program has released it, so everything it does with the
// drop is done.
bool Drop(HWND mainWindow, const std::vector<std::string>& paths, const std::string& what) {
    return Check(WaitForDropFinished(DropFiles(mainWindow, paths)),
                 what + ": the drop is handled and released (DragFinish)");
}

}  // namespace

void DriveDroppedFiles(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    const std::string longPath = LongPathUnder(kFolder, 300);
    Check(MakeFile(kFileA) && MakeFile(kFileB) && MakeFolder(kSubFolder),
          "fixture files and folder are created");
    const bool longFileExists = MakeFile(longPath);
    Note("a file at a path of " + std::to_string(longPath.size()) + " bytes " +
         (longFileExists ? "was created in drive_c" : "could not be created; dropping it anyway"));

    Drop(mainWindow, {kSubFolder, kFileA, kFileA, kFileB}, "folder, a file twice, another file");
    AnswerFolderQuestion(IDCANCEL, "folder, a file twice, another file");
    CheckPaths(list, {kFileA, kFileB},
               "the declined folder is left out and the file dropped twice is listed once, in "
               "drop order");

    Drop(mainWindow, {kFileAUpper, kFileA, longPath, kMissing},
         "a case variant, a listed path, a long path, a missing file");
    CheckPaths(list, {kFileA, kFileB, kFileAUpper, longPath, kMissing},
               "the case variant, the whole long path and the missing file are appended");
    Check(CellText(list, 3, 0).size() == longPath.size(),
          "the long path reads back whole (" + std::to_string(longPath.size()) + " bytes)");

    Drop(mainWindow, {kSubFolder}, "only a folder");
    AnswerFolderQuestion(IDCANCEL, "only a folder");
    Drop(mainWindow, {}, "an empty drop");
    CheckPaths(list, {kFileA, kFileB, kFileAUpper, longPath, kMissing},
               "a declined folder alone and an empty drop add nothing");

    bool resultsEmpty = true;
    for (const Row& row : ReadRows(list)) {
        resultsEmpty = resultsEmpty && row.result.empty();
    }
    Check(resultsEmpty, "every dropped row has an empty result");
}
