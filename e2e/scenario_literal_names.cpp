// A row that says "成功" names exactly the file the user chose, through a restart. Names the
// system's path rules would rewrite ("foo." and "bar " beside their namesakes "foo" and "bar",
// the device names "nul" and "aux.txt"), a shortcut, and plain names, from each intake: dropped,
// chosen in the real dialog, typed into the batch. Then rows the restart cannot reach: a file
// deleted after it was listed, a file on a network drive (N:, DRIVE_REMOTE)
// and on a SUBST drive. The restart run must ask for exactly the reachable rows, each recorded as
// "\??\" and its row; after Wine's restart the plain files are gone and the others are there.
// Wine's boot turns each "\??\" path back into an ordinary one, which drops a final dot or space
// and takes "nul" for the device, so for those names the recorded entry is the proof, not the
// disk, and their namesakes are not looked at after the restart.

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::string kRoot = "C:\\e2e\\literal";
const std::string kDrop = kRoot + "\\drop\\";
const std::string kDialog = kRoot + "\\dialog\\";
const std::string kTyped = kRoot + "\\typed\\";
const std::string kSubstFolder = kRoot + "\\subst";
const std::string kRemote = "N:\\remote.txt";
const std::string kSubst = "S:\\subst.txt";

// Names the system's own path rules turn into other files, and the namesakes they would become.
const std::vector<std::string> kRewritten = {"foo.", "bar ", "nul", "aux.txt"};
const std::vector<std::string> kNamesakes = {"foo", "bar"};

bool MakeFiles(const std::string& folder, const std::vector<std::string>& names) {
    bool made = true;
    for (const std::string& name : names) {
        made = MakeFile(folder + name) && made;
    }
    return made;
}

// A shell link to target, made as the shell makes one.
bool MakeShortcut(const std::string& link, const std::string& target) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* shellLink = nullptr;
    bool made = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        const std::wstring wideLink(link.begin(), link.end());
        made = SUCCEEDED(shellLink->SetPath(target.c_str())) &&
               SUCCEEDED(
                   shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
               SUCCEEDED(file->Save(wideLink.c_str(), TRUE));
        if (file != nullptr) {
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return made && PathExists(link);
}

std::vector<std::string> Under(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(folder + name);
    }
    return paths;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

HWND ChooseInDialog(HWND mainWindow, const std::string& names) {
    Click(mainWindow, IDC_ADD);
    HWND dialog = WaitForTopWindow("#32770", kSelectTitle);
    if (!Check(dialog != nullptr, "Add opens the open-file dialog")) {
        return nullptr;
    }
    const std::string folder = kDialog.substr(0, kDialog.size() - 1);
    Check(TypeAndOpen(dialog, folder) && WaitUntil([&] {
              return lstrcmpiA(DialogFolder(dialog).c_str(), folder.c_str()) == 0;
          }),
          "the dialog shows the folder typed into it");
    Check(TypeAndOpen(dialog, names) && WaitUntilGone(dialog), "the names are typed and opened");
    return dialog;
}

bool TypeBatch(HWND mainWindow, const std::string& text) {
    HWND dialog = OpenBatchDialog(mainWindow);
    return Check(dialog != nullptr && SetTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT), text),
                 "the lines are typed into the batch dialog") &&
           ConfirmBatch(dialog, IDOK) && Check(WaitUntilGone(dialog), "the batch dialog closes");
}

std::string Listing(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) {
        text += "\n      [" + Printable(path) + "]";
    }
    return text;
}

}  // namespace

void DriveLiteralNames(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(MakeFiles(kDrop, kRewritten) && MakeFiles(kDrop, kNamesakes) &&
              MakeFiles(kDrop, {"plain.txt", "vanish.txt"}) && MakeFiles(kDialog, kRewritten) &&
              MakeFiles(kDialog, kNamesakes) && MakeFiles(kDialog, {"plain.txt", "target.txt"}) &&
              MakeShortcut(kDialog + "Tool.lnk", kDialog + "target.txt") &&
              MakeFiles(kTyped, kRewritten) && MakeFiles(kTyped, kNamesakes) &&
              MakeFiles(kTyped, {"plain.txt", "gone"}) && MakeFile(kRemote) &&
              MakeFile(kSubstFolder + "\\subst.txt"),
          "the files are made under their literal names, with a shortcut and on drive N:");
    Check(DefineDosDeviceA(0, "S:", kSubstFolder.c_str()) != FALSE,
          "S: is a SUBST drive of the session");
    Note("drive types: N: " + std::to_string(GetDriveTypeA("N:\\")) +
         ", S: " + std::to_string(GetDriveTypeA("S:\\")));
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");

    // Each intake, in turn; every name is listed as itself.
    std::vector<std::string> dropped = Under(kDrop, kRewritten);
    Append(dropped, Under(kDrop, {"plain.txt", "vanish.txt"}));
    Append(dropped, {kRemote, kSubst});
    Check(WaitForDropFinished(DropFiles(mainWindow, dropped)), "the files are dropped");
    std::vector<std::string> rows = dropped;
    CheckPaths(list, rows, "dropped names are listed as themselves");

    // A name of no file the dialog answers itself (open-file-dialog shows it).
    ChooseInDialog(mainWindow, "\"foo.\" \"bar \" \"nul\" \"aux.txt\" \"plain.txt\" \"Tool.lnk\"");
    Append(rows, Under(kDialog, {"foo.", "bar ", "nul", "aux.txt", "plain.txt", "Tool.lnk"}));
    WaitForRowCount(list, static_cast<int>(rows.size()));
    CheckPaths(list, rows, "chosen names are listed as themselves, the shortcut as itself");

    std::string lines;
    for (const std::string& path :
         Under(kTyped, {"foo.", "bar ", "nul", "aux.txt", "plain.txt", "gone."})) {
        lines += path + "\r\n";
    }
    TypeBatch(mainWindow, lines);
    Append(rows, Under(kTyped, kRewritten));
    rows.push_back(kTyped + "plain.txt");
    CheckPaths(list, rows, "typed names are listed as themselves; \"gone.\" names nothing");

    // The restart run, after one listed file was deleted.
    Check(DeleteFileW(L"\\\\?\\C:\\e2e\\literal\\drop\\vanish.txt") != FALSE,
          "a listed file is deleted before the restart run");
    if (!RunRestartDeclinePrompt(mainWindow)) {
        return;
    }

    // Each row the restart cannot reach, and its reason. Wine cannot open a file on a drive that
    // DefineDosDevice made, so S: says that its file is not there.
    const std::vector<std::pair<std::string, std::vector<const char*>>> unreachable = {
        {kDrop + "vanish.txt", {kReasonNoFile}},
        {kRemote, {kReasonNetwork}},
        {kSubst, {kReasonSubst, kReasonNoFile}}};
    std::vector<std::string> accepted;
    bool resultsRight = true;
    std::string results;
    for (const Row& row : ReadRows(list)) {
        bool reachable = true;
        bool reasonRight = row.reason.empty();
        for (const auto& [path, reasons] : unreachable) {
            if (row.path == path) {
                reachable = false;
                reasonRight =
                    std::find(reasons.begin(), reasons.end(), row.reason) != reasons.end();
            }
        }
        const std::string expected = reachable ? kResultAccepted : kResultRefused;
        resultsRight = resultsRight && row.result == expected && reasonRight;
        results += "\n      [" + Printable(row.path) + "] " +
                   (row.result == kResultAccepted  ? "accepted"
                    : row.result == kResultRefused ? "refused"
                                                   : "no result") +
                   (reasonRight ? "" : ", with the wrong reason");
        if (reachable) {
            accepted.push_back("\\??\\" + row.path);
        }
    }
    Check(resultsRight,
          "every reachable row says 成功 and no reason, the others 失败 and why:" + results);
    const std::vector<std::string> pending = PendingDeletions();
    Check(pending == accepted,
          "Wine recorded exactly \\??\\ and each accepted row, in row order:" + Listing(pending));
    Check(SaveScreenshot(mainWindow, "main-window-literal-names.bmp"),
          "a screenshot of the main window is saved");
}

void CheckLiteralNamesAfterRestart() {
    // The plain names the rows promised are gone.
    for (const std::string& path :
         {kDrop + "plain.txt", kDialog + "plain.txt", kDialog + "Tool.lnk", kTyped + "plain.txt"}) {
        Check(!PathExists(path), "the restart deleted " + path);
    }
    // What no row asked for is still there: the shortcut's target, the files the restart could
    // not reach, the namesake of the typed "gone." that named nothing.
    for (const std::string& path :
         {kDialog + "target.txt", kRemote, kSubstFolder + "\\subst.txt", kTyped + "gone"}) {
        Check(PathExists(path), "the restart left " + path);
    }
    Check(PendingDeletions().empty(), "nothing is pending after the restart");
}
