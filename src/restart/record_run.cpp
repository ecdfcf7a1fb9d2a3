#include "restart/record_run.h"

#include <iterator>
#include <string>
#include <string_view>

#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "pending/pending_lock.h"
#include "pending/pending_value.h"
#include "resources/texts.h"
#include "restart/read_only.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

// Where the row's file or folder really is, as an ordinary path; nothing when that is not known.
std::optional<OrdinaryPath> RealPathOf(const PlannedRow& planned) {
    return OrdinaryFormOf(LiteralFormOf(planned.tree.recorded));
}

// Clears the read-only attribute of every entry the admitted rows record, looking at the queue
// as it goes; false when the main window was closed meanwhile (what was cleared is in cleared).
bool ClearAdmittedReadOnly(const std::vector<PlannedRow>& rows,
                           std::vector<ClearedAttribute>& cleared) {
    ULONGLONG pumped = GetTickCount64();
    for (const PlannedRow& planned : rows) {
        const WalkedTree& tree = planned.tree;
        for (uint32_t entry = 0; planned.admitted && entry < tree.entries.size(); ++entry) {
            if (!tree.entries[entry].readOnly || planned.repeated[entry]) {
                continue;
            }
            if (std::optional<ClearedAttribute> one =
                    ClearReadOnly(RecordedPathOf(tree, entry), IdentityOf(tree, entry))) {
                cleared.push_back(std::move(*one));
            }
            PumpNowAndThen(pumped);
            if (g_app.closeRequested) {
                return false;
            }
        }
    }
    return true;
}

// A value the program cannot read whole hides renames, and is never rewritten.
bool ValuesReadWhole(const PendingValue& first, const PendingValue& second, Text& failure) {
    for (const PendingValue* value : {&first, &second}) {
        if (value->state == ValueState::kUnreadable) {
            failure = UnreadableRefusal(*value);
            return false;
        }
        if (value->state == ValueState::kRead && !value->writable) {
            failure = kReasonPendingUnrecognised;
            return false;
        }
    }
    return true;
}

// The work done under the lock: each row's outcome when it is refused here, the admitted rows'
// deletions written and read back. False, with why, when the write failed or could not be made;
// true also when no row was left to write.
bool WriteUnderLock(HKEY key, std::vector<PlannedRow>& rows, BootSurvey& survey,
                    std::vector<std::optional<RowOutcome>>& outcomes, RecordedKeys& keys,
                    Text& failure) {
    const CaseTable table = FileSystemCase();
    PendingValue first = ReadPendingValue(key, kPendingValues[0]);
    PendingValue second = ReadPendingValue(key, kPendingValues[1]);
    if (!ValuesReadWhole(first, second, failure)) {
        return false;
    }
    const size_t listEnd = ListEnd(first.parsed);
    PendingValues values = BothValues(std::move(first), std::move(second));
    const size_t bytes = ValueBytes(values);
    const RenamedNames renamed = RenamedNamesOf(values, survey.spellings, survey.volumes, table);
    // The first value is built on in place; the rest of what was read is no longer needed.
    WideText units = std::move(values.units[0]);
    values = PendingValues{};
    bool anyRefused = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (std::optional<RowOutcome> refused = RenameRefusal(rows[i], renamed)) {
            rows[i].refused = anyRefused = true;
            outcomes[i] = std::move(refused);
        }
    }
    // What the survey admitted stands when no row went and the values did not grow since;
    // otherwise each row still there is admitted again, against the values as they are now.
    if (anyRefused || bytes > survey.pendingBytes) {
        keys = RecordedKeys{};
        size_t room = RoomUnderCap(bytes);
        for (size_t i = 0; i < rows.size(); ++i) {
            PlannedRow& planned = rows[i];
            planned.admitted = false;
            planned.repeated.clear();
            if (!planned.refused && !AdmitRow(keys, rows, i, room, table)) {
                outcomes[i] = RowOutcome{false, kReasonOverCap};
            }
        }
    }
    const WideText rest = OpenList(units, listEnd);
    const size_t start = units.size();
    for (const PlannedRow& planned : rows) {
        if (!planned.admitted) {
            continue;
        }
        for (uint32_t entry : RecordOrder(planned.tree)) {
            if (!planned.repeated[entry]) {
                AppendRecordedPath(planned.tree, entry, units);
                EndDeletion(units);
            }
        }
    }
    const size_t end = units.size();
    if (end == start) {
        return true;
    }
    CloseList(units, rest);
    const LONG status = WritePendingValue(key, kPendingValues[0], units);
    if (status != ERROR_SUCCESS) {
        failure = RegistryRefusal(status);
        return false;
    }
    // Writers that write the registry directly ignore the lock: what was written must be there.
    // Read back as written, unit for unit, the value holds them; only a value another program
    // changed meanwhile is searched for each.
    const PendingValue written = ReadPendingValue(key, kPendingValues[0]);
    const std::u16string_view appended = std::u16string_view(units).substr(start, end - start);
    if (written.state != ValueState::kRead ||
        (written.units != units && !HoldsDeletions(written.units, written.parsed, appended))) {
        failure =
            RegistryRefusal(written.error != ERROR_SUCCESS ? written.error : ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

}  // namespace

std::optional<RowOutcome> RenameRefusal(const PlannedRow& planned, const RenamedNames& renamed) {
    const CaseTable table = FileSystemCase();
    const OrdinaryPath& listed = planned.tree.listed;
    const std::optional<OrdinaryPath> real = RealPathOf(planned);
    const auto touches = [&](const OrdinaryPath& path) {
        return planned.folder ? RenameTouchesFolder(renamed, path, table)
                              : RenameTouchesFile(renamed, path, table);
    };
    if (!touches(listed) && !(real && touches(*real))) {
        return std::nullopt;
    }
    if (!planned.folder) {
        return RowOutcome{false, kReasonRenameConflict};
    }
    // The folder itself, or a folder above it, is renamed: that alone is said.
    const bool itself = RenameTouchesFile(renamed, listed, table) ||
                        (real && RenameTouchesFile(renamed, *real, table));
    std::vector<OrdinaryPath> inside = RenamedNamesIn(renamed, listed, table);
    if (real && !SameName(*real, listed, table)) {
        for (OrdinaryPath& name : RenamedNamesIn(renamed, *real, table)) {
            inside.push_back(std::move(name));
        }
    }
    std::vector<RefusedEntry> entries;
    Text reason = kReasonRenameConflict;
    if (itself || inside.empty()) {
        entries.push_back({listed.text, kReasonRenameConflict});
    } else {
        for (const OrdinaryPath& name : inside) {
            entries.push_back({name.text, kReasonRenameConflict});
        }
        reason += kCountPrefix + std::to_string(inside.size()) + kCountSuffix;
    }
    SetRowRefusedEntries(planned.row, std::move(entries));
    return RowOutcome{false, reason};
}

RecordedRun RecordPlannedRows(std::vector<PlannedRow>& rows, BootSurvey& survey,
                              RecordedKeys keys) {
    RecordedRun run;
    if (rows.empty()) {
        return run;
    }
    std::vector<ClearedAttribute> cleared;
    const bool going = ClearAdmittedReadOnly(rows, cleared);
    std::vector<std::optional<RowOutcome>> outcomes(rows.size());
    Text failure;
    bool written = false;
    HKEY key = nullptr;
    const LONG opened =
        going ? OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key) : ERROR_SUCCESS;
    PendingLock lock;
    if (!going) {
        run.stopped = true;
    } else if (opened != ERROR_SUCCESS) {
        failure = RegistryRefusal(opened);
    } else {
        run.stopped = TakePendingLock(lock, [&rows] {
                          for (const PlannedRow& planned : rows) {
                              SetRowResult(planned.row, kWaitingForLock);
                          }
                      }) == LockWait::kStopped;
        if (!run.stopped) {
            written = WriteUnderLock(key, rows, survey, outcomes, keys, failure);
        }
        ReleasePendingLock(lock);
        RegCloseKey(key);
    }
    // A file the run cleared and does not record after all has its attribute back.
    const CaseTable table = FileSystemCase();
    for (const ClearedAttribute& one : cleared) {
        if (!written || !IsRecorded(keys, rows, one.path, table)) {
            RestoreAttributes(one);
        }
    }
    if (run.stopped) {
        return run;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const PlannedRow& planned = rows[i];
        RowOutcome outcome = outcomes[i].value_or(RowOutcome{false, failure});
        if (!outcomes[i] && written && planned.admitted) {
            outcome = RowOutcome{true, planned.note};
            SetRowRecordedPath(planned.row, planned.tree.recorded);
        }
        run.outcomes.emplace_back(planned.row, std::move(outcome));
    }
    return run;
}
