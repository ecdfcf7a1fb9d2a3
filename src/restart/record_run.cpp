#include "restart/record_run.h"

#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>

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

// How long a value read back while another program keeps changing it is read again, with the
// lock let go, and how long between two reads.
constexpr ULONGLONG kConfirmMilliseconds = 3000;
constexpr DWORD kConfirmPause = 50;

// Where the row's file or folder really is, as an ordinary path; nothing when that is not known.
std::optional<OrdinaryPath> RealPathOf(const PlannedRow& planned) {
    return OrdinaryFormOf(LiteralFormOf(planned.tree.recorded));
}

// What the run's attribute changes, its write and its read-back came to.
struct RunWrite {
    // Each planned row's outcome when it was refused after its survey.
    std::vector<std::optional<RowOutcome>> outcomes;
    std::vector<ClearedAttribute> cleared;
    // The recorded paths cleared so far: an entry another row comes to record is cleared once.
    std::unordered_set<WideText> clearedPaths;
    RecordedKeys keys;
    // The first value as written, and where the run's deletions are in it.
    WideText units;
    size_t start = 0;
    size_t end = 0;
};

enum class WriteEnd {
    kNothing,      // no row was left to write
    kConfirmed,    // written and read back with every deletion in it
    kFailed,       // not written, or read back whole without the deletions: failure says why
    kUnconfirmed,  // written, but the value could not be read back whole
};

// Admits every row still planned again, from the first, in the room the values leave: after a
// row is refused, an entry it shared with a later row is that row's to record.
void AdmitAgain(std::vector<PlannedRow>& rows, RunWrite& write, size_t bytes,
                const CaseSensitiveFolder& caseSensitive) {
    write.keys = RecordedKeys{};
    size_t room = RoomUnderCap(bytes);
    for (size_t i = 0; i < rows.size(); ++i) {
        PlannedRow& planned = rows[i];
        planned.admitted = false;
        planned.repeated.clear();
        if (!planned.refused &&
            !AdmitRow(write.keys, rows, i, room, FileSystemCase(), caseSensitive)) {
            planned.refused = true;
            write.outcomes[i] = RowOutcome{false, kReasonOverCap};
        }
    }
}

// Refuses a planned row for an entry whose attribute could not be cleared; a folder's box names
// the entry.
void RefuseForAttribute(std::vector<PlannedRow>& rows, size_t index, uint32_t entry, ClearEnd end,
                        RunWrite& write) {
    PlannedRow& planned = rows[index];
    const char* reason = end == ClearEnd::kFileChanged ? kReasonFileChanged : kReasonReadOnlyKept;
    planned.refused = true;
    planned.admitted = false;
    write.outcomes[index] = RowOutcome{false, reason};
    if (planned.folder) {
        SetRowRefusedEntries(planned.row, {{ListedPathOf(planned.tree, entry).text, reason}});
    }
}

// Clears the read-only attribute of every entry the admitted rows record, once each, looking at
// the queue as it goes. A row with an attribute that cannot be cleared, or whose file is no longer
// the one its survey found, is refused, and the others admitted again; false when the main window
// was closed meanwhile.
bool ClearAdmittedReadOnly(std::vector<PlannedRow>& rows, RunWrite& write, size_t bytes,
                           const CaseSensitiveFolder& caseSensitive) {
    ULONGLONG pumped = GetTickCount64();
    for (bool anyRefused = true; anyRefused;) {
        anyRefused = false;
        for (size_t i = 0; i < rows.size(); ++i) {
            const WalkedTree& tree = rows[i].tree;
            for (uint32_t entry = 0; rows[i].admitted && entry < tree.entries.size(); ++entry) {
                if (!tree.entries[entry].readOnly || rows[i].repeated[entry]) {
                    continue;
                }
                RecordedPath path = RecordedPathOf(tree, entry);
                if (write.clearedPaths.count(path.text) != 0) {
                    continue;
                }
                ClearedAttribute one;
                const ClearEnd end = ClearReadOnly(path, IdentityOf(tree, entry), one);
                if (end == ClearEnd::kCleared) {
                    write.clearedPaths.insert(std::move(path.text));
                    write.cleared.push_back(std::move(one));
                } else {
                    RefuseForAttribute(rows, i, entry, end, write);
                    anyRefused = true;
                }
                PumpNowAndThen(pumped);
                if (g_app.closeRequested) {
                    return false;
                }
            }
        }
        if (anyRefused) {
            AdmitAgain(rows, write, bytes, caseSensitive);
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

// What a value read back says of the run's deletions: there, not there, or not to be told.
WriteEnd ReadBackEnd(const PendingValue& read, const RunWrite& write, Text& failure) {
    if (read.state != ValueState::kRead) {
        return WriteEnd::kUnconfirmed;
    }
    // Read back as written, unit for unit, the value holds them; only a value another program
    // changed meanwhile is searched for each.
    const std::u16string_view appended =
        std::u16string_view(write.units).substr(write.start, write.end - write.start);
    if (read.units == write.units || HoldsDeletions(read.units, read.parsed, appended)) {
        return WriteEnd::kConfirmed;
    }
    // Without them, a value that is not whole may still hold them where it was not read.
    if (!read.writable) {
        return WriteEnd::kUnconfirmed;
    }
    failure = RegistryRefusal(ERROR_INVALID_DATA);
    return WriteEnd::kFailed;
}

// The work done under the lock: each row's outcome when it is refused here, the admitted rows'
// deletions written and read back once.
WriteEnd WriteUnderLock(HKEY key, std::vector<PlannedRow>& rows, BootSurvey& survey,
                        RunWrite& write, const CaseSensitiveFolder& caseSensitive, Text& failure) {
    const CaseTable table = FileSystemCase();
    PendingValue first = ReadPendingValue(key, kPendingValues[0]);
    PendingValue second = ReadPendingValue(key, kPendingValues[1]);
    if (!ValuesReadWhole(first, second, failure)) {
        return WriteEnd::kFailed;
    }
    const size_t listEnd = ListEnd(first.parsed);
    PendingValues values = BothValues(std::move(first), std::move(second));
    const size_t bytes = ValueBytes(values);
    const RenamedNames renamed = RenamedNamesOf(values, survey.names, table);
    if (renamed.unknown) {
        failure = kReasonPendingUnrecognised;
        return WriteEnd::kFailed;
    }
    // The first value is built on in place; the rest of what was read is no longer needed.
    WideText& units = write.units;
    units = std::move(values.units[0]);
    values = PendingValues{};
    bool anyRefused = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].refused) {
            continue;
        }
        if (std::optional<RowOutcome> refused = RenameRefusal(rows[i], renamed)) {
            rows[i].refused = anyRefused = true;
            write.outcomes[i] = std::move(refused);
        }
    }
    // What was admitted stands when no row went and the values did not grow since; otherwise
    // each row still there is admitted again, against the values as they are now.
    if (anyRefused || bytes > survey.pendingBytes) {
        AdmitAgain(rows, write, bytes, caseSensitive);
    }
    const WideText rest = OpenList(units, listEnd);
    write.start = units.size();
    for (const RowEntry& at : RunOrder(rows)) {
        AppendRecordedPath(rows[at.row].tree, at.entry, units);
        EndDeletion(units);
    }
    write.end = units.size();
    if (write.end == write.start) {
        return WriteEnd::kNothing;
    }
    CloseList(units, rest);
    // The read-back's room is made before the write, so that nothing the write needs to be told
    // true is left to an allocation after it.
    WideText readBack;
    readBack.reserve(units.size() + units.size() / 8 + 1);
    const LONG status = WritePendingValue(key, kPendingValues[0], units);
    if (status != ERROR_SUCCESS) {
        failure = RegistryRefusal(status);
        return WriteEnd::kFailed;
    }
    // Writers that write the registry directly ignore the lock: what was written must be there.
    return ReadBackEnd(ReadPendingValue(key, kPendingValues[0], std::move(readBack)), write,
                       failure);
}

// A value another program kept changing while it was read back is read again, with the lock let
// go and the window answering, for a few seconds.
WriteEnd ConfirmWithoutLock(HKEY key, const RunWrite& write, Text& failure) {
    const ULONGLONG until = GetTickCount64() + kConfirmMilliseconds;
    while (GetTickCount64() < until && !g_app.closeRequested) {
        Sleep(kConfirmPause);
        PumpPendingMessages();
        const WriteEnd end = ReadBackEnd(ReadPendingValue(key, kPendingValues[0]), write, failure);
        if (end != WriteEnd::kUnconfirmed) {
            return end;
        }
    }
    return WriteEnd::kUnconfirmed;
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
    const CaseSensitiveFolder caseSensitive = FolderCaseOf(survey);
    RunWrite write;
    write.outcomes.resize(rows.size());
    write.keys = std::move(keys);
    const bool going = ClearAdmittedReadOnly(rows, write, survey.pendingBytes, caseSensitive);
    Text failure;
    WriteEnd end = WriteEnd::kFailed;
    HKEY key = nullptr;
    const LONG opened =
        going ? OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key) : ERROR_SUCCESS;
    PendingLock lock;
    if (!going) {
        run.stopped = true;
    } else if (opened != ERROR_SUCCESS) {
        failure = RegistryRefusal(opened);
    } else {
        const auto waiting = [&rows] {
            for (const PlannedRow& planned : rows) {
                if (!planned.refused) {
                    SetRowResult(planned.row, kWaitingForLock);
                }
            }
        };
        run.stopped = TakePendingLock(lock, waiting, [] { return g_app.closeRequested; }) ==
                      LockWait::kStopped;
        if (!run.stopped) {
            end = WriteUnderLock(key, rows, survey, write, caseSensitive, failure);
        }
        ReleasePendingLock(lock);
        if (end == WriteEnd::kUnconfirmed) {
            end = ConfirmWithoutLock(key, write, failure);
        }
        RegCloseKey(key);
    }
    // A file the run cleared and does not record after all has its attribute back; one whose
    // deletion may have been written keeps it cleared.
    const bool written = end == WriteEnd::kConfirmed || end == WriteEnd::kUnconfirmed;
    for (const ClearedAttribute& one : write.cleared) {
        if (!written || !IsRecorded(write.keys, rows, one.path, FileSystemCase(), caseSensitive)) {
            RestoreAttributes(one);
        }
    }
    if (run.stopped) {
        return run;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const PlannedRow& planned = rows[i];
        RowOutcome outcome = write.outcomes[i].value_or(RowOutcome{false, failure});
        if (!write.outcomes[i] && written && planned.admitted) {
            outcome = end == WriteEnd::kConfirmed ? RowOutcome{true, planned.note}
                                                  : RowOutcome{false, kReasonUnconfirmed};
            outcome.unconfirmed = end == WriteEnd::kUnconfirmed;
            SetRowRecordedPath(planned.row, planned.tree.recorded);
        }
        run.outcomes.emplace_back(planned.row, std::move(outcome));
    }
    return run;
}
