#include "pending/pending_value.h"

#include <iterator>
#include <utility>

#include "pending/pending_lock.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "ui/refusal_text.h"

namespace {

const WideText kSessionManagerKey = u"System\\CurrentControlSet\\Control\\Session Manager";
// A value that keeps growing between the size query and the read is given up after this many
// tries.
constexpr int kReadAttempts = 4;

// One value's new units, worked out before anything is written.
struct ValueWrite {
    const WideText* name = nullptr;
    WideText before;
    WideText after;
};

// Works out every value's change from a fresh read; nothing is written unless each chosen
// operation is still there, in a value the window rewrites.
bool PlanRemoval(HKEY key, const std::vector<ChosenPair>& chosen, std::vector<ValueWrite>& writes,
                 Text& failure) {
    for (uint32_t index = 0; index < std::size(kPendingValues); ++index) {
        std::vector<ChosenPair> ofValue;
        for (const ChosenPair& pair : chosen) {
            if (pair.value == index) {
                ofValue.push_back(pair);
            }
        }
        if (ofValue.empty()) {
            continue;
        }
        PendingValue value = ReadPendingValue(key, kPendingValues[index]);
        if (value.state == ValueState::kAbsent) {
            failure = kCancelGone;
            return false;
        }
        if (value.state != ValueState::kRead) {
            failure = UnreadableRefusal(value);
            return false;
        }
        if (!value.writable) {
            failure = kCancelUnrecognised;
            return false;
        }
        Removal removal = WithoutChosenPairs(value.units, ofValue);
        if (removal.outcome != RemovalOutcome::kRemoved) {
            failure = removal.outcome == RemovalOutcome::kGone ? kCancelGone : kCancelUnrecognised;
            return false;
        }
        writes.push_back({&kPendingValues[index], std::move(value.units), std::move(removal.kept)});
    }
    return true;
}

// The writes of a cancel, each value once; a write that fails puts back those before it.
bool WriteRemoval(HKEY key, const std::vector<ValueWrite>& writes, Text& failure) {
    for (size_t i = 0; i < writes.size(); ++i) {
        const LONG status = WritePendingValue(key, *writes[i].name, writes[i].after);
        if (status != ERROR_SUCCESS) {
            failure = RegistryRefusal(status);
            for (size_t back = 0; back < i; ++back) {
                WritePendingValue(key, *writes[back].name, writes[back].before);
            }
            return false;
        }
    }
    return true;
}

}  // namespace

Text RegistryRefusal(LONG status) {
    return RequestRefusalReason(static_cast<unsigned long>(status));
}

Text UnreadableRefusal(const PendingValue& value) {
    return RegistryRefusal(value.error != ERROR_SUCCESS ? value.error : ERROR_MORE_DATA);
}

PendingValues BothValues(PendingValue first, PendingValue second) {
    PendingValues values;
    PendingValue* read[] = {&first, &second};
    for (uint32_t index = 0; index < std::size(read); ++index) {
        for (PendingOperation operation : read[index]->parsed.operations) {
            operation.value = index;
            values.operations.push_back(operation);
        }
        values.units[index] = std::move(read[index]->units);
    }
    return values;
}

LONG OpenSessionManager(REGSAM access, HKEY& key) {
    key = nullptr;
    const LONG status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideC(kSessionManagerKey), 0, access, &key);
    if (status != ERROR_SUCCESS) {
        key = nullptr;
    }
    return status;
}

PendingValue ReadPendingValue(HKEY key, const WideText& name, WideText room) {
    PendingValue value;
    value.units = std::move(room);
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, WideC(name), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            value.state = ValueState::kAbsent;
            return value;
        }
        if (status != ERROR_SUCCESS) {
            value.error = status;
            return value;
        }
        // Read straight into the units, with room for an odd last byte: a value may be tens of
        // megabytes, and is kept in one copy.
        value.units.assign(size / sizeof(char16_t) + 1, u'\0');
        DWORD room = static_cast<DWORD>(value.units.size() * sizeof(char16_t));
        status = RegQueryValueExW(key, WideC(name), nullptr, &type,
                                  reinterpret_cast<BYTE*>(WideData(value.units)), &room);
        if (status == ERROR_MORE_DATA) {
            continue;  // another program added to it in between
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            value.units.clear();
            value.state = ValueState::kAbsent;
            return value;
        }
        if (status != ERROR_SUCCESS) {
            value.units.clear();
            value.error = status;
            return value;
        }
        value.units.resize(room / sizeof(char16_t));
        value.parsed = ParsePendingOperations(value.units);
        value.writable =
            type == REG_MULTI_SZ && room % sizeof(char16_t) == 0 && value.parsed.wellFormed;
        value.state = ValueState::kRead;
        return value;
    }
    value.units.clear();
    return value;
}

LONG WritePendingValue(HKEY key, const WideText& name, const WideText& units) {
    // Only whole values are written, and a whole one without an operation begins with its end.
    if (units.empty() || units[0] == u'\0') {
        const LONG status = RegDeleteValueW(key, WideC(name));
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    return RegSetValueExW(key, WideC(name), 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(units.data()),
                          static_cast<DWORD>(units.size() * sizeof(char16_t)));
}

bool ReadPendingValues(PendingValues& values) {
    values = PendingValues{};
    HKEY key = nullptr;
    if (OpenSessionManager(KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
        return false;
    }
    PendingValue first = ReadPendingValue(key, kPendingValues[0]);
    PendingValue second = ReadPendingValue(key, kPendingValues[1]);
    RegCloseKey(key);
    const bool whole = (first.state == ValueState::kAbsent || first.writable) &&
                       (second.state == ValueState::kAbsent || second.writable);
    values = BothValues(std::move(first), std::move(second));
    return whole;
}

CancelEnd CancelPendingDeletions(const std::vector<ChosenPair>& chosen,
                                 const std::function<void()>& waiting,
                                 const std::function<bool()>& stopped, Text& failure) {
    HKEY key = nullptr;
    const LONG opened = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key);
    if (opened != ERROR_SUCCESS) {
        failure = RegistryRefusal(opened);
        return CancelEnd::kFailed;
    }
    // Read, changed and written back under the system's lock, as every writer of the values
    // does, so that nothing another program records in between is lost.
    PendingLock lock;
    CancelEnd end = CancelEnd::kStopped;
    if (TakePendingLock(lock, waiting, stopped) != LockWait::kStopped) {
        std::vector<ValueWrite> writes;
        end = PlanRemoval(key, chosen, writes, failure) && WriteRemoval(key, writes, failure)
                  ? CancelEnd::kDone
                  : CancelEnd::kFailed;
    }
    ReleasePendingLock(lock);
    RegCloseKey(key);
    return end;
}
