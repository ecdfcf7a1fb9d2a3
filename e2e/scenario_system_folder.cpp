// The system folder, seen by a 32-bit program on 64-bit Windows through WOW64: its own view shows
// C:\windows\system32 as syswow64, while the boot carries out each pending deletion in the native
// view. Sample files only in syswow64, only in system32, and namesakes in both; each intake's rows
// are scheduled, and every pending entry must name, in the native view, the very file that intake
// showed: the dialog's file in the program's view, a typed line's and a dropped path's file in
// the native view (the shell's). Files are compared by identity (volume and file index), looked
// up by the driver thread with redirection off for its own look-ups. Outside WOW64 (the x86_64
// build, a 32-bit prefix) the same checks hold with no redirection at all.

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kSystem32 = "C:\\windows\\system32\\";
const std::string kSysWow64 = "C:\\windows\\syswow64\\";
const std::string kSysnative = "C:\\windows\\sysnative\\";
const std::string kBoth = "rebootdel-e2e-both.txt";
const std::string kOnly32 = "rebootdel-e2e-only32.txt";
const std::string kOnly64 = "rebootdel-e2e-only64.txt";
// A folder in system32 whose syswow64 namesake is a file.
const std::string kNativeFolder = "rebootdel-e2e-folder";

// Runs a step of this (the driver's) thread in the native view; the program's thread keeps its
// own view. Outside WOW64 every view is the native one.
template <typename Step>
auto InNativeView(Step step) {
    PVOID saved = nullptr;
    const bool switched = RunsUnderWow64() && Wow64DisableWow64FsRedirection(&saved);
    auto result = step();
    if (switched) {
        Wow64RevertWow64FsRedirection(saved);
    }
    return result;
}

struct FileId {
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
    bool operator==(const FileId&) const = default;
};

// The file or folder a path names in this thread's current view.
std::optional<FileId> IdentityInCurrentView(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != FALSE;
    CloseHandle(file);
    if (!known) {
        return std::nullopt;
    }
    return FileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

std::optional<FileId> NativeIdentity(const std::string& path) {
    return InNativeView([&] { return IdentityInCurrentView(path); });
}

// The file a pending entry's path names at boot. The boot is a native (64-bit) process, which
// has no Sysnative folder; Wine keeps that alias for a 32-bit thread even with redirection off.
std::optional<FileId> BootIdentity(const std::string& path) {
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    const std::string sysnative = std::string(windows) + "\\sysnative";
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                       static_cast<int>(std::min(path.size(), sysnative.size())), sysnative.c_str(),
                       static_cast<int>(sysnative.size())) == CSTR_EQUAL) {
        return std::nullopt;
    }
    return NativeIdentity(path);
}

std::string DescribeIdentity(const std::optional<FileId>& id) {
    if (!id) {
        return "no file";
    }
    char text[64];
    wsprintfA(text, "%08lx:%08lx%08lx", id->volume, id->indexHigh, id->indexLow);
    return text;
}

// The sample files, created in the native view: namesakes in both folders, one file only in
// each, and a native folder whose syswow64 namesake is a file.
bool MakeSampleFiles() {
    return InNativeView([] {
        return MakeFile(kSystem32 + kBoth) && MakeFile(kSysWow64 + kBoth) &&
               MakeFile(kSysWow64 + kOnly32) && MakeFile(kSystem32 + kOnly64) &&
               MakeFolder(kSystem32 + kNativeFolder) && MakeFile(kSysWow64 + kNativeFolder);
    });
}

std::string PendingAsText(const std::vector<std::string>& pending) {
    std::string text;
    for (const std::string& entry : pending) {
        text += "[" + Printable(entry) + "] ";
    }
    return text;
}

// Restart deletion of every row, the question answered OK and the restart prompt declined; then
// every pending entry, in row order, must be "\??\" and its row's path and name, in the native
// view, the file that row's intake showed.
void ScheduleAndCheck(HWND mainWindow, const std::vector<std::optional<FileId>>& shown) {
    HWND list = ListOf(mainWindow);
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr && AnswerBox(question, IDOK), "the restart run is confirmed")) {
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
    HWND prompt = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (window != mainWindow) {
                prompt = window;
            }
        }
        return prompt != nullptr;
    });
    if (Check(prompt != nullptr, "the restart prompt appears")) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }

    const std::vector<Row> rows = ReadRows(list);
    const std::vector<std::string> pending = PendingDeletions();
    Note("Wine records: " + PendingAsText(pending));
    if (!Check(pending.size() == rows.size() && rows.size() == shown.size(),
               "one pending entry per row, for each file shown")) {
        return;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        CheckText(rows[i].result, kResultAccepted, "row " + rows[i].path + " is accepted");
        CheckText(pending[i], "\\??\\" + rows[i].path, "the pending entry names its row's path");
        const std::optional<FileId> atBoot = BootIdentity(pending[i].substr(4));
        Check(shown[i].has_value() && atBoot == shown[i],
              "in the native view, " + Printable(pending[i]) + " is the file its intake showed (" +
                  DescribeIdentity(atBoot) + ", shown " + DescribeIdentity(shown[i]) + ")");
    }
}

// Starts a scenario: the sample files and an empty registry value.
bool Prepare(const char* intake) {
    Note(std::string(intake) + (RunsUnderWow64() ? ": under WOW64" : ": not under WOW64"));
    return Check(MakeSampleFiles(), "the sample files are created in the native view") &&
           Check(ClearPendingOperations(), "the pending operations are cleared");
}

// --- The open-file dialog ---------------------------------------------------------------------

// One use of the Add button: the folder typed and opened (when given), then the names.
void PickInDialog(HWND mainWindow, const std::string& folder, const std::string& names,
                  int rowsAfter) {
    Click(mainWindow, IDC_ADD);
    HWND dialog = WaitForTopWindow("#32770", kSelectTitle);
    if (!Check(dialog != nullptr, "Add opens the open-file dialog")) {
        return;
    }
    if (!folder.empty()) {
        // A dialog that is still filling its view can drop the first Open: try again.
        const auto showsFolder = [&] {
            return lstrcmpiA(DialogFolder(dialog).c_str(), folder.c_str()) == 0;
        };
        bool shown = false;
        for (int attempt = 0; attempt < 3 && !shown; ++attempt) {
            shown = TypeAndOpen(dialog, folder) && WaitUntil(showsFolder, 4000);
        }
        Check(shown,
              "the dialog shows " + folder + " (it shows " + Printable(DialogFolder(dialog)) + ")");
    }
    Check(TypeAndOpen(dialog, names) && WaitUntilGone(dialog), "the dialog confirms " + names);
    Check(WaitForRowCount(ListOf(mainWindow), rowsAfter),
          "the list holds " + std::to_string(rowsAfter) + " rows");
}

}  // namespace

void DriveSystemFolderDialog(HWND mainWindow) {
    if (!Prepare("dialog")) {
        return;
    }
    const bool wow64 = RunsUnderWow64();
    // The dialog's own view: under WOW64 system32 shows syswow64's files, and Sysnative the
    // native system32.
    const std::string folder = kSystem32.substr(0, kSystem32.size() - 1);
    const std::string second = wow64 ? kOnly32 : kOnly64;
    PickInDialog(mainWindow, folder, "\"" + kBoth + "\" \"" + second + "\"", 2);
    const std::string third = wow64 ? kSysnative + kOnly64 : kSysWow64 + kOnly32;
    PickInDialog(mainWindow, "", third, 3);

    const std::vector<std::optional<FileId>> shown = {IdentityInCurrentView(kSystem32 + kBoth),
                                                      IdentityInCurrentView(kSystem32 + second),
                                                      IdentityInCurrentView(third)};
    const std::vector<Row> rows = ReadRows(ListOf(mainWindow));
    for (size_t i = 0; i < rows.size() && i < shown.size(); ++i) {
        Check(BootIdentity(rows[i].path) == shown[i],
              "the row " + Printable(rows[i].path) + " shows where the chosen file really is");
    }
    ScheduleAndCheck(mainWindow, shown);
}

void DriveSystemFolderBatch(HWND mainWindow) {
    if (!Prepare("batch")) {
        return;
    }
    HWND list = ListOf(mainWindow);
    Click(mainWindow, IDC_BATCH_ADD);
    HWND dialog = WaitForTopWindow("#32770", kBatchCaption);
    if (!Check(dialog != nullptr, "the batch dialog opens")) {
        return;
    }
    // Only-32 under system32 and anything under Sysnative name nothing in the native view, and a
    // native folder is a folder, whatever the program's own view holds there.
    const std::vector<std::string> lines = {kSystem32 + kBoth,    kSystem32 + kOnly64,
                                            kSystem32 + kOnly32,  kSysWow64 + kOnly32,
                                            kSysnative + kOnly64, kSystem32 + kNativeFolder};
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    Check(SetTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT), text), "the lines are typed");
    Click(dialog, IDC_BATCH_OK);
    HWND question = WaitForMessageBox(kConfirmBatch);
    Check(question != nullptr && AnswerBox(question, IDOK) &&
              AnswerFolderQuestion(IDCANCEL, "the native folder") && WaitUntilGone(dialog),
          "the batch is confirmed, its folder declined, and the dialog closes");
    const std::vector<std::string> listed = {kSystem32 + kBoth, kSystem32 + kOnly64,
                                             kSysWow64 + kOnly32};
    CheckPaths(list, listed, "the lines that name a file in the native view are listed as typed");
    ScheduleAndCheck(mainWindow, {NativeIdentity(listed[0]), NativeIdentity(listed[1]),
                                  NativeIdentity(listed[2])});
}

void DriveSystemFolderDrops(HWND mainWindow) {
    if (!Prepare("drops")) {
        return;
    }
    HWND list = ListOf(mainWindow);
    // The shell drops native paths.
    Check(WaitForDropFinished(DropFiles(mainWindow, {kSystem32 + kBoth, kSystem32 + kNativeFolder,
                                                     kSystem32 + kOnly64, kSysWow64 + kOnly32})),
          "native paths are dropped");
    AnswerFolderQuestion(IDCANCEL, "the native folder");
    const std::vector<std::string> listed = {kSystem32 + kBoth, kSystem32 + kOnly64,
                                             kSysWow64 + kOnly32};
    CheckPaths(list, listed, "the dropped files are listed as dropped, the native folder is not");
    ScheduleAndCheck(mainWindow, {NativeIdentity(listed[0]), NativeIdentity(listed[1]),
                                  NativeIdentity(listed[2])});
}
