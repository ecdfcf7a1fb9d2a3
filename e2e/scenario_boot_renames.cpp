// The restart deletes exactly the files the rows name, though another program's renames are
// carried out first. Pending before the run: an installer's replacement of an in-use x.dll by
// x.new, a plain rename of a.txt to b.txt, and a rename of a folder. Their sources, their targets
// and a file under the renamed folder are refused with their reason, as is a file on a removable
// disk (R:, a floppy drive to Wine); a plain file is accepted with no reason. Wine's restart then
// carries out the renames untouched and deletes only the plain file.

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\renames\\";
const std::string kInUse = kFolder + "x.dll";
const std::string kReplacement = kFolder + "x.new";
const std::string kRenamed = kFolder + "a.txt";
const std::string kRenamedTo = kFolder + "b.txt";
const std::string kOldFolder = kFolder + "old";
const std::string kMovedFolder = kFolder + "moved";
const std::string kInner = "\\inner.txt";
const std::string kPlain = kFolder + "plain.txt";
const std::string kCard = "R:\\card.txt";

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

// The file's first line, as MakeFile or WriteText left it.
std::string Contents(const std::string& path) {
    HANDLE file = CreateFileW((L"\\\\?\\" + Wide(path)).c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "(none)";
    }
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileW((L"\\\\?\\" + Wide(path)).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(file);
    return ok;
}

// Another program's delayed rename, recorded as the system records it.
bool RecordRename(const std::string& from, const std::string& to, DWORD flags) {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | flags) !=
           FALSE;
}

struct Expected {
    std::string path;
    const char* result;
    const char* reason;  // empty for an accepted row
};

}  // namespace

void DriveBootRenames(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    // What an earlier run's restart left behind.
    DeleteFileW(Wide(kRenamedTo).c_str());
    DeleteFileW(Wide(kMovedFolder + kInner).c_str());
    RemoveDirectoryW(Wide(kMovedFolder).c_str());
    Check(MakeFolder(kFolder.substr(0, kFolder.size() - 1)) && WriteText(kInUse, "old dll") &&
              WriteText(kReplacement, "new dll") && WriteText(kRenamed, "a") &&
              MakeFolder(kOldFolder) && WriteText(kOldFolder + kInner, "inner") &&
              MakeFile(kPlain) && MakeFile(kCard),
          "the files are made, one on the removable drive R:");
    Note("drive type of R: " + std::to_string(GetDriveTypeA("R:\\")));
    Check(RecordRename(kReplacement, kInUse, MOVEFILE_REPLACE_EXISTING) &&
              RecordRename(kRenamed, kRenamedTo, 0) && RecordRename(kOldFolder, kMovedFolder, 0),
          "another program's replacing rename, plain rename and folder rename are pending");
    const std::vector<std::string> before = PendingDeletions();

    // Listed in another spelling, as the file system compares names.
    const std::vector<Expected> rows = {
        {kInUse, kResultRefused, kReasonRenameConflict},
        {kReplacement, kResultRefused, kReasonRenameConflict},
        {"C:\\E2E\\RENAMES\\A.TXT", kResultRefused, kReasonRenameConflict},
        {kOldFolder + kInner, kResultRefused, kReasonRenameConflict},
        {kCard, kResultRefused, kReasonRemovable},
        {kPlain, kResultAccepted, ""},
    };
    std::vector<std::string> paths;
    for (const Expected& row : rows) {
        paths.push_back(row.path);
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, paths)), "the files are dropped");
    CheckPaths(list, paths, "every dropped file is listed");

    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }

    const std::vector<Row> listed = ReadRows(list);
    for (size_t i = 0; i < rows.size() && i < listed.size(); ++i) {
        Check(listed[i].result == rows[i].result && listed[i].reason == rows[i].reason,
              "[" + rows[i].path + "] says " +
                  (rows[i].result == kResultAccepted ? std::string("成功 with no reason")
                                                     : "失败 with its reason"));
    }
    std::vector<std::string> after = before;
    after.push_back("\\??\\" + kPlain);
    Check(PendingDeletions() == after,
          "the renames are pending as before, followed by the deletion of the plain file only");
    Check(SaveScreenshot(mainWindow, "main-window-boot-renames.bmp"),
          "a screenshot of the main window is saved");
}

void CheckBootRenamesAfterRestart() {
    Check(Contents(kInUse) == "new dll" && !PathExists(kReplacement),
          "the replacement took x.dll's place, and nothing deleted it");
    Check(Contents(kRenamedTo) == "a" && !PathExists(kRenamed), "a.txt was renamed to b.txt");
    Check(Contents(kMovedFolder + kInner) == "inner", "the folder moved with its file");
    Check(!PathExists(kPlain), "the restart deleted the plain file");
    Check(PathExists(kCard), "the file on the removable drive is still there");
    Check(PendingDeletions().empty(), "nothing is pending after the restart");
}
