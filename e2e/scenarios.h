#pragma once

// The scenarios of the suite. Each works the program's main window from the driver thread and
// leaves it open; the harness closes it afterwards unless the scenario already did. A scenario
// with an after-restart part is listed as "NAME after-restart": the suite then restarts Wine
// (wineserver -k, wineboot -r) and runs that part.

#include <windows.h>

#include <string>

struct Scenario {
    const char* name;
    void (*drive)(HWND mainWindow);
    // Checks of the disk and the registry after Wine has restarted and carried out the pending
    // operations; run by `e2e_suite.exe --after-restart NAME`, without the program.
    void (*afterRestart)() = nullptr;
    // The program is started as from Explorer: this makes the files its command line names and
    // gives the arguments after the program's name.
    std::wstring (*commandLine)() = nullptr;
    // Runs before the program starts: what the program reads at start-up.
    void (*beforeStart)() = nullptr;
    // The window of a start of the program that the scenario made through the right-click verb
    // with no window open (e2e_suite.exe |gathered|TOKEN, with E2E_STARTED_BY naming it).
    void (*driveStarted)(HWND mainWindow) = nullptr;
};

void DriveStartUp(HWND mainWindow);
void DriveDroppedFiles(HWND mainWindow);
void DriveOpenFileDialog(HWND mainWindow);
void DriveOpenFileMany(HWND mainWindow);
void DriveCloseDuringDialog(HWND mainWindow);
void DriveBatchLineForms(HWND mainWindow);
void DriveBatchDialog(HWND mainWindow);
void DriveRemoveAndClear(HWND mainWindow);
void DriveRestartDeletion(HWND mainWindow);
void CheckRestartDeletionCarriedOut();
void DriveRestartAllRefused(HWND mainWindow);
void DriveConfirmedRows(HWND mainWindow);
void DriveClosing(HWND mainWindow);
void DriveSystemFolderDialog(HWND mainWindow);
void DriveSystemFolderBatch(HWND mainWindow);
void DriveSystemFolderDrops(HWND mainWindow);
void DriveListReadBack(HWND mainWindow);
void DriveNames(HWND mainWindow);
void DriveLiteralNames(HWND mainWindow);
void DriveLongPaste(HWND mainWindow);
void CheckLiteralNamesAfterRestart();
void DriveWideTexts(HWND mainWindow);
void DrivePendingOperations(HWND mainWindow);
// After the restart that follows DrivePendingOperations: the disk and the registry.
void CheckPendingOperationsAfterRestart();
void DriveBootRenames(HWND mainWindow);
void CheckBootRenamesAfterRestart();
void DriveBootForms(HWND mainWindow);
void DrivePendingUnreadable(HWND mainWindow);
void DrivePendingExactCancel(HWND mainWindow);
void DrivePendingSpellings(HWND mainWindow);
void DrivePendingFolder(HWND mainWindow);
void DriveFolderDeletion(HWND mainWindow);
void CheckFolderDeletionAfterRestart();
void DriveFolderRefusals(HWND mainWindow);
void DriveLongList(HWND mainWindow);
void DrivePendingLock(HWND mainWindow);
// The other writer DrivePendingLock starts: e2e_suite.exe --hold-pending-lock. It creates and
// holds \PendingRenameMutex until it is let go, then records a rename of kSetupNew onto kSetupDll
// under it, as MoveFileEx does, and ends with 0.
int HoldPendingLock();
extern const std::wstring kSetupNew;
extern const std::wstring kSetupDll;
struct OtherWriter {
    PROCESS_INFORMATION process{};
    HANDLE held = nullptr;
    HANDLE letGo = nullptr;
};
// Starts it and waits until it holds the lock; and lets it go and waits for it to end with 0.
bool StartOtherWriter(OtherWriter& writer);
bool LetOtherWriterGo(OtherWriter& writer);
void DriveLinkFinalPath(HWND mainWindow);
void CheckLinkFinalPathAfterRestart();
void DriveRenameDuringWalk(HWND mainWindow);
void DriveCloseDuringWalk(HWND mainWindow);
void DriveCaseFolding(HWND mainWindow);
void DriveCommandLine(HWND mainWindow);
std::wstring CommandLineArguments();
void DriveSendTo(HWND mainWindow);
void DriveCancelWhileLocked(HWND mainWindow);
void DriveRenamesSpelled(HWND mainWindow);
// The session manager's log written before the start, then the last restart's results.
void WriteBootLogBeforeStart();
void DriveBootLog(HWND mainWindow);
void DriveContextMenu(HWND mainWindow);
void DriveContextMenuStarted(HWND mainWindow);

// Scenarios that end the process with a fatal box instead of running the main window: the name of
// each, one a line; and the run of one, which does not return (-1 when name is none of them).
void ListFatalBoxScenarios(const char* indent);
int RunFatalBoxScenario(const char* name);

inline constexpr Scenario kScenarios[] = {
    {"start-up", DriveStartUp},
    {"dropped-files", DriveDroppedFiles},
    {"open-file-dialog", DriveOpenFileDialog},
    {"open-file-many", DriveOpenFileMany},
    {"close-during-dialog", DriveCloseDuringDialog},
    {"batch-dialog", DriveBatchDialog},
    {"batch-line-forms", DriveBatchLineForms},
    {"remove-and-clear", DriveRemoveAndClear},
    {"restart-deletion", DriveRestartDeletion, CheckRestartDeletionCarriedOut},
    {"restart-all-refused", DriveRestartAllRefused},
    {"confirmed-rows", DriveConfirmedRows},
    {"closing", DriveClosing},
    {"system-folder-dialog", DriveSystemFolderDialog},
    {"system-folder-batch", DriveSystemFolderBatch},
    {"system-folder-drops", DriveSystemFolderDrops},
    {"list-read-back", DriveListReadBack},
    {"names", DriveNames},
    {"literal-names", DriveLiteralNames, CheckLiteralNamesAfterRestart},
    {"long-paste", DriveLongPaste},
    {"wide-texts", DriveWideTexts},
    {"pending-operations", DrivePendingOperations, CheckPendingOperationsAfterRestart},
    {"boot-renames", DriveBootRenames, CheckBootRenamesAfterRestart},
    {"boot-forms", DriveBootForms},
    {"pending-unreadable", DrivePendingUnreadable},
    {"pending-exact-cancel", DrivePendingExactCancel},
    {"pending-spellings", DrivePendingSpellings},
    {"pending-folder", DrivePendingFolder},
    {"boot-log", DriveBootLog, nullptr, nullptr, WriteBootLogBeforeStart},
    {"folder-deletion", DriveFolderDeletion, CheckFolderDeletionAfterRestart},
    {"folder-refusals", DriveFolderRefusals},
    {"long-list", DriveLongList},
    {"pending-lock", DrivePendingLock},
    {"link-final-path", DriveLinkFinalPath, CheckLinkFinalPathAfterRestart},
    {"rename-during-walk", DriveRenameDuringWalk},
    {"close-during-walk", DriveCloseDuringWalk},
    {"case-folding", DriveCaseFolding},
    {"command-line", DriveCommandLine, nullptr, CommandLineArguments},
    {"send-to", DriveSendTo},
    {"cancel-while-locked", DriveCancelWhileLocked},
    {"renames-spelled", DriveRenamesSpelled},
    {"context-menu", DriveContextMenu, nullptr, nullptr, nullptr, DriveContextMenuStarted},
};
