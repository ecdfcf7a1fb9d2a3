#include "restart/restart_deletion.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "list/deletion_list.h"
#include "paths/folder_rows.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "restart/folder_rules.h"
#include "restart/folder_walk.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "platform/looked_up.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/boot_view.h"
#include "restart/restart_run.h"
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

void DisableCommandButtons() {
    for (int id : kCommandButtons) {
        EnableWindow(GetDlgItem(g_app.mainWindow, id), FALSE);
    }
}

void PauseWhilePumping() {
    for (int pass = 0; pass < kPausePasses; ++pass) {
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

// What one run has asked for so far: the key (final path) of every entry recorded, so that a
// file row inside a listed folder, or two nested folder rows, record no path twice.
struct RestartRun {
    BootSurvey survey;
    SystemFolders systemFolders;
    std::set<WideText> recorded;
};

// Asks for one file or folder, its read-only attribute cleared first (some boots delete no
// read-only file) and put back when the system refuses. Literal, so that the system records this
// very name (a final dot or space, a device name), without the A call's limit of MAX_PATH
// characters; a null destination is what turns the delayed move into a deletion. Asked in the
// view the survey looked in, the boot's, so that the request and the survey name one file.
RowOutcome RecordDeletion(const WideText& path, bool readOnly) {
    const WideText literal = LiteralPath(path);
    const DWORD attributes = readOnly
                                 ? InNativeView([&] { return GetFileAttributesW(WideC(literal)); },
                                                INVALID_FILE_ATTRIBUTES)
                                 : INVALID_FILE_ATTRIBUTES;
    const bool cleared =
        attributes != INVALID_FILE_ATTRIBUTES &&
        InNativeView(
            [&] {
                return SetFileAttributesW(WideC(literal), attributes & ~FILE_ATTRIBUTE_READONLY) !=
                       0;
            },
            false);
    SetLastError(ERROR_ACCESS_DENIED);
    const bool recorded = InNativeView(
        [&] { return MoveFileExW(WideC(literal), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0; },
        false);
    if (recorded) {
        return {true, Text()};
    }
    const DWORD error = GetLastError();
    if (cleared) {
        InNativeView([&] { return SetFileAttributesW(WideC(literal), attributes); }, FALSE);
    }
    return {false, RequestRefusalReason(error)};
}

// Takes back the deletions a folder row recorded before the system refused one of its entries,
// so that a row that says "失败" leaves nothing of its folder to the restart: for each path, the
// last pending deletion of it, the one just recorded.
void TakeBackDeletions(const std::vector<WideText>& paths) {
    std::vector<PendingOperation> operations;
    ReadPendingOperations(operations);
    std::vector<PendingOperation> chosen;
    std::vector<bool> taken(operations.size(), false);
    for (const WideText& path : paths) {
        for (size_t i = operations.size(); i-- > 0;) {
            if (!taken[i] && IsDeletion(operations[i]) &&
                operations[i].source == u"\\??\\" + path) {
                taken[i] = true;
                chosen.push_back(operations[i]);
                break;
            }
        }
    }
    Text failure;
    CancelPendingDeletions(chosen, failure);
}

RowOutcome ScheduleFileRow(RestartRun& run, const WideText& path,
                           const std::optional<WideText>& listedLocation) {
    // The system records almost any path; only a file the boot will delete, exactly that one, is
    // asked for, so that an accepted row is a file the restart deletes.
    const BootView view = SurveyRow(run.survey, path, listedLocation);
    const BootRefusal refusal = DecideBootRefusal(view);
    if (refusal != BootRefusal::kNone) {
        return {false, BootRefusalReason(refusal)};
    }
    const WideText key = view.location.empty() ? LiteralPath(path) : view.location;
    if (run.recorded.count(key) != 0) {
        return {true, Text()};
    }
    const RowOutcome outcome = RecordDeletion(path, view.readOnly);
    if (outcome.accepted) {
        run.recorded.insert(key);
    }
    return outcome;
}

// A walk that takes longer than this shows how far it has come in the row's result, and then
// again at most this often.
constexpr ULONGLONG kProgressDelay = 500;
constexpr ULONGLONG kProgressInterval = 250;

RowOutcome ScheduleFolderRow(RestartRun& run, int row, const WideText& rowPath,
                             const std::optional<WideText>& listedLocation) {
    const ULONGLONG start = GetTickCount64();
    ULONGLONG shown = 0;
    const auto checked = [&](size_t count) {
        const ULONGLONG now = GetTickCount64();
        if (now - start >= kProgressDelay && now - shown >= kProgressInterval) {
            shown = now;
            const Text progress = kWalkProgressPrefix + std::to_string(count) + kWalkProgressSuffix;
            SetRowResult(row, progress.c_str());
        }
        PumpPendingMessages();
    };
    const std::vector<FolderEntry> entries =
        WalkFolder(run.survey, FolderOfRow(rowPath), listedLocation, run.systemFolders, checked);
    const FolderPlan plan = PlanFolderDeletion(entries, run.recorded);
    if (!plan.refused.empty()) {
        std::vector<RefusedEntry> refused;
        for (size_t index : plan.refused) {
            refused.push_back({entries[index].path, BootRefusalReason(entries[index].refusal)});
        }
        SetRowRefusedEntries(row, std::move(refused));
        return {false, FolderRefusalReason(entries, plan)};
    }
    std::vector<WideText> recorded;
    for (size_t index : plan.toRecord) {
        const FolderEntry& entry = entries[index];
        const RowOutcome outcome = RecordDeletion(entry.path, entry.readOnly);
        if (!outcome.accepted) {
            TakeBackDeletions(recorded);
            return outcome;
        }
        recorded.push_back(entry.path);
    }
    for (size_t index : plan.toRecord) {
        run.recorded.insert(entries[index].key);
    }
    return {true, Text()};
}

}  // namespace

bool ScheduleListedRows(int rowCount) {
    // What every row shares (the pending renames, each drive, SYSTEM's context) is asked once.
    RestartRun run;
    run.survey = BeginBootSurvey();
    run.systemFolders = SystemFoldersNow();
    RestartRunSteps steps;
    steps.readPath = [](int row) { return GetRowWideText(row, 0); };
    steps.scheduleDeletion = [&run](int row, const WideText& path) {
        if (IsFolderRow(path)) {
            return ScheduleFolderRow(run, row, path, RowListedLocation(row));
        }
        return ScheduleFileRow(run, path, RowListedLocation(row));
    };
    steps.reportResult = [](int row, const RowOutcome& outcome) {
        SetRowResult(row, outcome.accepted ? kResultAccepted : kResultRefused,
                     outcome.reason.c_str());
    };
    steps.pump = PumpPendingMessages;
    const bool anyAccepted = ScheduleRows(rowCount, steps);
    EndBootSurvey(run.survey);
    return anyAccepted;
}

namespace {

// The most entries the box lists; the row's reason gives the number of all.
constexpr size_t kRefusalsShown = 20;

}  // namespace

void ScheduleRestartDeletion() {
    // The rows the user confirms are the rows there at the press. The question's message loop
    // still takes drops, from any program of the user; a row appended during the question or the
    // run is listed, and not scheduled.
    const int confirmedRows = RowCount();
    if (confirmedRows == 0) {
        return;
    }
    if (!ConfirmPrompt(g_app.mainWindow, kConfirmRestart)) {
        return;
    }
    g_app.restartRunning = true;
    const bool anyAccepted = ScheduleListedRows(confirmedRows);
    DisableCommandButtons();
    PauseWhilePumping();
    if (anyAccepted) {
        OfferRestart(g_app.mainWindow);
    }
    g_app.restartRunning = false;
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
