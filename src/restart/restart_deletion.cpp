#include "restart/restart_deletion.h"

#include <optional>
#include <utility>
#include <vector>

#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/folder_rows.h"
#include "paths/literal_forms.h"
#include "platform/looked_up.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/boot_survey.h"
#include "restart/boot_view.h"
#include "restart/folder_walk.h"
#include "restart/record_run.h"
#include "restart/restart_run.h"
#include "restart/run_plan.h"
#include "restart/walk_progress.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"
#include "ui/refusal_text.h"

namespace {

constexpr int kCommandButtons[] = {IDC_ADD, IDC_REMOVE, IDC_BATCH_ADD, IDC_CLEAR_LIST,
                                   IDC_RESTART_DELETE};
constexpr int kPausePasses = 3;
constexpr DWORD kPauseMilliseconds = 300;
const WideText kPowerKey = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power";
const WideText kHiberbootValue = u"HiberbootEnabled";
// The most refused entries a row keeps for its box; its reason gives the number of all.
constexpr size_t kRefusalsShown = 20;

void DisableCommandButtons() {
    for (int id : kCommandButtons) {
        EnableWindow(GetDlgItem(g_app.mainWindow, id), FALSE);
    }
}

void PauseWhilePumping() {
    for (int pass = 0; pass < kPausePasses && !g_app.closeRequested; ++pass) {
        Sleep(kPauseMilliseconds);
        PumpPendingMessages();
    }
}

// With Fast Startup on, a shutdown hibernates the system's session and the next start resumes
// it, past the boot step that carries out pending deletions; only a restart boots afresh. A
// missing key or value, or one of another type, counts as off.
bool FastStartupOn() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideC(kPowerKey), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD enabled = 0;
    DWORD size = sizeof enabled;
    const LONG status = RegQueryValueExW(key, WideC(kHiberbootValue), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&enabled), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof enabled && enabled == 1;
}

// The platform's restart prompt. EWX_REBOOT asks for a restart, the only shutdown that carries
// out the pending deletions; with Fast Startup on the prompt says so, since there shutting down
// and starting again does not.
void OfferRestart(HWND owner) {
    if (const RestartDialogCall restartDialog = LookUpRestartDialog()) {
        restartDialog(owner, FastStartupOn() ? WideC(UiText(kFastStartupPrompt)) : nullptr,
                      EWX_REBOOT);
    }
}

// What a restart run has found so far. Every request is recorded at the end in one write of the
// pending value: the system rewrites the whole value for each request it is asked, which for
// thousands of files costs far more than the files themselves.
struct RestartRun {
    BootSurvey survey;
    SystemFolders systemFolders;
    std::vector<PlannedRow> planned;
    // The recorded paths of the rows planned so far, and the bytes the values may still take.
    RecordedKeys keys;
    size_t room = 0;
};

// A row decided when the run's deletions are recorded.
RowOutcome Deferred() {
    return {false, Text(), true};
}

// Plans a row that passed its survey, when its deletions fit within the cap beside the rows
// planned before it.
RowOutcome Plan(RestartRun& run, PlannedRow planned) {
    run.planned.push_back(std::move(planned));
    if (!AdmitRow(run.keys, run.planned, run.planned.size() - 1, run.room, FileSystemCase(),
                  FolderCaseOf(run.survey))) {
        run.planned.pop_back();
        return {false, kReasonOverCap};
    }
    return Deferred();
}

// The room a row's own deletions may take: whatever else is planned, a row that takes more never
// fits beside what the values hold already.
size_t RowRoom(const RestartRun& run) {
    return RoomUnderCap(run.survey.pendingBytes);
}

RowOutcome ScheduleFileRow(RestartRun& run, int row, const OrdinaryPath& path,
                           const std::optional<LiteralPath>& listedLocation) {
    // The system records almost any path; only a file the boot will delete, exactly that one, is
    // asked for, so that an accepted row is a file the restart deletes.
    const BootView view =
        SurveyRow(run.survey, path, listedLocation, OtherNames::kCounted, Wanted::kFile);
    const BootRefusal refusal = DecideBootRefusal(view);
    if (refusal != BootRefusal::kNone) {
        return {false, BootRefusalReason(refusal)};
    }
    PlannedRow planned;
    planned.row = row;
    planned.tree =
        TreeOf(path, RecordedPathOf(view), false, view.readOnly, view.identity, BootRefusal::kNone);
    planned.note = AcceptedNote(view);
    return Plan(run, std::move(planned));
}

// The refused entries of a walked folder, for its row's box, and the row's reason.
RowOutcome RefuseFolder(int row, const WalkedTree& tree) {
    const RefusedEntries refused = RefusedEntriesOf(tree, kRefusalsShown + 1);
    std::vector<RefusedEntry> entries;
    for (uint32_t entry : refused.first) {
        entries.push_back(
            {ListedPathOf(tree, entry).text, BootRefusalReason(tree.entries[entry].refusal)});
    }
    SetRowRefusedEntries(row, std::move(entries));
    return {false, RefusalReason(tree, refused)};
}

RowOutcome ScheduleFolderRow(RestartRun& run, int row, const OrdinaryPath& folder,
                             const std::optional<LiteralPath>& listedLocation) {
    WalkProgress progress = StartWalkProgress(row);
    FolderWalk walk =
        WalkFolder(run.survey, folder, listedLocation, run.systemFolders, RowRoom(run),
                   [&progress](size_t checked) { return WalkChecked(progress, checked); });
    // A walk stopped by the window's close says nothing: the run records nothing after it.
    if (walk.end == WalkEnd::kStopped) {
        return Deferred();
    }
    if (walk.end == WalkEnd::kOverCap) {
        return {false, kReasonOverCap};
    }
    PlannedRow planned;
    planned.row = row;
    planned.folder = true;
    planned.tree = std::move(walk.tree);
    if (planned.tree.entries[0].refusal == BootRefusal::kRenameConflict) {
        // Told with the renames that move anything into or out of it.
        if (std::optional<RowOutcome> refused = RenameRefusal(planned, run.survey.renamed)) {
            return *refused;
        }
    }
    if (RefusedEntriesOf(planned.tree, 1).count != 0) {
        return RefuseFolder(row, planned.tree);
    }
    return Plan(run, std::move(planned));
}

}  // namespace

bool ScheduleListedRows(int rowCount) {
    // What every row shares (the pending renames, each drive, SYSTEM's context) is asked once.
    RestartRun run;
    run.survey = BeginBootSurvey();
    run.systemFolders = SystemFoldersNow();
    run.room = RowRoom(run);
    RestartRunSteps steps;
    steps.readPath = [](int row) { return GetRowWideText(row, 0); };
    steps.scheduleDeletion = [&run](int row, const WideText& path) {
        if (IsFolderRow(path)) {
            return ScheduleFolderRow(run, row, OrdinaryPath{FolderOfRow(path)},
                                     RowListedLocation(row));
        }
        return ScheduleFileRow(run, row, OrdinaryPath{path}, RowListedLocation(row));
    };
    steps.reportResult = [](int row, const RowOutcome& outcome) {
        const char* result = outcome.accepted      ? kResultAccepted
                             : outcome.unconfirmed ? kResultUnconfirmed
                                                   : kResultRefused;
        SetRowResult(row, result, outcome.reason.c_str());
    };
    steps.pump = PumpPendingMessages;
    // A close asked for during the run ends it before anything is recorded.
    steps.stopped = [] { return g_app.closeRequested; };
    steps.recordDeferred = [&run] {
        return RecordPlannedRows(run.planned, run.survey, std::move(run.keys)).outcomes;
    };
    const bool anyAccepted = ScheduleRows(rowCount, steps);
    EndBootSurvey(run.survey);
    return anyAccepted;
}

void ScheduleRestartDeletion() {
    // The rows the user confirms are the rows there at the press. The question's message loop
    // still takes drops, from any program of the user; a row appended during the question or the
    // run is listed, and not scheduled.
    const int confirmedRows = RowCount();
    if (confirmedRows == 0 || g_app.pendingValuesBusy) {
        return;
    }
    if (!ConfirmPrompt(g_app.mainWindow, kConfirmRestart)) {
        return;
    }
    g_app.restartRunning = true;
    g_app.pendingValuesBusy = true;
    const bool anyAccepted = ScheduleListedRows(confirmedRows);
    // A window being closed offers no restart, whenever the close came.
    if (!g_app.closeRequested) {
        DisableCommandButtons();
        PauseWhilePumping();
    }
    if (anyAccepted && !g_app.closeRequested) {
        OfferRestart(g_app.mainWindow);
    }
    g_app.restartRunning = false;
    g_app.pendingValuesBusy = false;
}

void ShowRowRefusals(int row) {
    const std::vector<RefusedEntry> refused = RowRefusedEntries(row);
    if (refused.empty()) {
        return;
    }
    WideText text = UiText(kRefusedEntriesHeading);
    for (size_t i = 0; i < refused.size() && i < kRefusalsShown; ++i) {
        text += u"\r\n" + refused[i].path + u"    " + UiText(refused[i].reason.c_str());
    }
    if (refused.size() > kRefusalsShown) {
        text += u"\r\n" + UiText(kMoreEntries);
    }
    ShowWideMessage(g_app.mainWindow, text, MB_OK | MB_ICONINFORMATION);
}
