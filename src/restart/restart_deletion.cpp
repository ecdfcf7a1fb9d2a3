#include "restart/restart_deletion.h"

#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "list/deletion_list.h"
#include "paths/folder_rows.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "restart/folder_rules.h"
#include "restart/folder_walk.h"
#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "platform/looked_up.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/boot_survey.h"
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

// A row that passed the survey, with its deletions in the order the boot must meet them: a file
// row's one entry, or a folder's as its plan orders them.
struct PlannedRow {
    int row = 0;
    bool folder = false;
    std::vector<FolderEntry> deletions;
    // What an accepted row says beside "成功": a file's other names, which keep its data.
    Text note;
};

// What a restart run has found so far. Every request is recorded at the end in one write of the
// pending value: the system rewrites the whole value for each request it is asked, which for
// thousands of files costs far more than the files themselves.
struct RestartRun {
    BootSurvey survey;
    SystemFolders systemFolders;
    std::vector<PlannedRow> planned;
};

// The form the system records a path in: "\??\" and the literal path, so that the boot deletes
// this very name (a final dot or space, a device name); empty for a path with no literal form.
WideText RecordedForm(const WideText& path) {
    const WideText literal = LiteralPath(path);
    return literal.empty() ? WideText() : u"\\??\\" + literal.substr(4);
}

// A row decided when the run's deletions are recorded, and what it says then if they are.
RowOutcome Deferred(const Text& note = Text()) {
    return {false, note, true};
}

RowOutcome ScheduleFileRow(RestartRun& run, int row, const WideText& path,
                           const std::optional<WideText>& listedLocation) {
    // The system records almost any path; only a file the boot will delete, exactly that one, is
    // asked for, so that an accepted row is a file the restart deletes.
    const BootView view = SurveyRow(run.survey, path, listedLocation, OtherNames::kCounted);
    const BootRefusal refusal = DecideBootRefusal(view);
    if (refusal != BootRefusal::kNone) {
        return {false, BootRefusalReason(refusal)};
    }
    if (RecordedForm(path).empty()) {
        return {false, RequestRefusalReason(ERROR_INVALID_NAME)};
    }
    FolderEntry entry;
    entry.path = path;
    entry.key = FileKey(view, path);
    entry.readOnly = view.readOnly;
    run.planned.push_back({row, false, {std::move(entry)}, AcceptedNote(view)});
    return Deferred();
}

// A walk that takes longer than this shows how far it has come in the row's result, and then
// again at most this often.
constexpr ULONGLONG kProgressDelay = 500;
constexpr ULONGLONG kProgressInterval = 250;
// How often a walk looks at the queue: a folder of ten thousand files is walked in a second or
// two, and a look for each would take as long again under Wine, where each costs about 100 us.
constexpr ULONGLONG kPumpInterval = 10;

RowOutcome ScheduleFolderRow(RestartRun& run, int row, const WideText& rowPath,
                             const std::optional<WideText>& listedLocation) {
    const ULONGLONG start = GetTickCount64();
    ULONGLONG shown = 0;
    ULONGLONG pumped = start;
    const auto checked = [&](size_t count) {
        const ULONGLONG now = GetTickCount64();
        if (now - start >= kProgressDelay && now - shown >= kProgressInterval) {
            shown = now;
            const Text progress = kWalkProgressPrefix + std::to_string(count) + kWalkProgressSuffix;
            SetRowResult(row, progress.c_str());
        }
        if (now - pumped >= kPumpInterval) {
            pumped = now;
            PumpPendingMessages();
        }
    };
    const std::vector<FolderEntry> entries =
        WalkFolder(run.survey, FolderOfRow(rowPath), listedLocation, run.systemFolders, checked);
    const FolderPlan plan = PlanFolderDeletion(entries);
    if (!plan.refused.empty()) {
        std::vector<RefusedEntry> refused;
        for (size_t index : plan.refused) {
            refused.push_back({entries[index].path, BootRefusalReason(entries[index].refusal)});
        }
        SetRowRefusedEntries(row, std::move(refused));
        return {false, FolderRefusalReason(entries, plan)};
    }
    PlannedRow planned{row, true, {}, Text()};
    for (size_t index : plan.toRecord) {
        planned.deletions.push_back(entries[index]);
    }
    run.planned.push_back(std::move(planned));
    return Deferred();
}

// Another program may have recorded a rename since the survey read them; a row any of whose
// deletions it touches is refused as the survey would have refused it. Nothing when none is.
std::optional<RowOutcome> RenamedSinceSurvey(const PlannedRow& planned,
                                             const std::vector<WideText>& renamed) {
    std::vector<RefusedEntry> touched;
    bool itself = false;
    for (const FolderEntry& deletion : planned.deletions) {
        if (TouchedByRename(deletion.path, renamed, SameFileSystemName) ||
            TouchedByRename(deletion.key, renamed, SameFileSystemName)) {
            touched.push_back({deletion.path, kReasonRenameConflict});
            itself = itself || deletion.depth == 0;
        }
    }
    if (touched.empty()) {
        return std::nullopt;
    }
    Text reason = kReasonRenameConflict;
    if (planned.folder) {
        if (!itself) {
            reason += kCountPrefix + std::to_string(touched.size()) + kCountSuffix;
        }
        SetRowRefusedEntries(planned.row, std::move(touched));
    }
    return RowOutcome{false, reason};
}

// A read-only file whose attribute was cleared for the restart, and what it was.
struct ClearedAttribute {
    WideText literal;
    DWORD attributes = 0;
};

// Some boots delete no read-only file: the attribute goes first, in the view the survey looked
// in, and comes back when the deletions could not be recorded.
std::vector<ClearedAttribute> ClearReadOnly(const std::vector<const FolderEntry*>& deletions) {
    std::vector<ClearedAttribute> cleared;
    for (const FolderEntry* deletion : deletions) {
        if (!deletion->readOnly) {
            continue;
        }
        const WideText literal = LiteralPath(deletion->path);
        const DWORD attributes = InNativeView([&] { return GetFileAttributesW(WideC(literal)); },
                                              INVALID_FILE_ATTRIBUTES);
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            InNativeView(
                [&] {
                    return SetFileAttributesW(WideC(literal),
                                              attributes & ~FILE_ATTRIBUTE_READONLY) != 0;
                },
                false)) {
            cleared.push_back({literal, attributes});
        }
    }
    return cleared;
}

void RestoreAttributes(const std::vector<ClearedAttribute>& cleared) {
    for (const ClearedAttribute& file : cleared) {
        InNativeView([&] { return SetFileAttributesW(WideC(file.literal), file.attributes); },
                     FALSE);
    }
}

// Records the deletions of every row that passed, in row order, each entry once however many
// rows name it, in one write of the pending value; then tells each of those rows what became of
// it. A write that fails fails every row of it.
std::vector<std::pair<int, RowOutcome>> RecordPlannedRows(const RestartRun& run) {
    std::vector<std::pair<int, RowOutcome>> outcomes;
    if (run.planned.empty()) {
        return outcomes;
    }
    const std::optional<std::vector<WideText>> renamed = PendingRenameNames();
    std::unordered_set<WideText> keys;
    std::vector<const FolderEntry*> toRecord;
    std::vector<WideText> sources;
    for (const PlannedRow& planned : run.planned) {
        if (!renamed) {
            outcomes.emplace_back(planned.row, RowOutcome{false, kReasonPendingUnrecognised});
            continue;
        }
        if (const std::optional<RowOutcome> refused = RenamedSinceSurvey(planned, *renamed)) {
            outcomes.emplace_back(planned.row, *refused);
            continue;
        }
        for (const FolderEntry& deletion : planned.deletions) {
            if (keys.insert(deletion.key).second) {
                toRecord.push_back(&deletion);
                sources.push_back(RecordedForm(deletion.path));
            }
        }
        outcomes.emplace_back(planned.row, Deferred(planned.note));
    }
    if (sources.empty()) {
        return outcomes;
    }
    const std::vector<ClearedAttribute> cleared = ClearReadOnly(toRecord);
    Text failure;
    const bool recorded = AppendPendingDeletions(sources, failure);
    if (!recorded) {
        RestoreAttributes(cleared);
    }
    for (auto& [row, outcome] : outcomes) {
        if (outcome.deferred) {
            outcome = recorded ? RowOutcome{true, outcome.reason} : RowOutcome{false, failure};
        }
    }
    return outcomes;
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
        return ScheduleFileRow(run, row, path, RowListedLocation(row));
    };
    steps.reportResult = [](int row, const RowOutcome& outcome) {
        SetRowResult(row, outcome.accepted ? kResultAccepted : kResultRefused,
                     outcome.reason.c_str());
    };
    steps.pump = PumpPendingMessages;
    steps.recordDeferred = [&run] { return RecordPlannedRows(run); };
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
