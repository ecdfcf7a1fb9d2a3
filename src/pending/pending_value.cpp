#include "pending/pending_value.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "ui/refusal_text.h"

namespace {

const WideText kSessionManagerKey = u"System\\CurrentControlSet\\Control\\Session Manager";
// A value that keeps growing between the size query and the read is given up after this many
// tries.
constexpr int kReadAttempts = 4;

// A refusal of the system's is told as a refused restart request is: access denied, or the error.
Text FailureOf(LONG status) {
    return RequestRefusalReason(static_cast<unsigned long>(status));
}

// One value's new units, worked out before anything is written.
struct ValueWrite {
    const WideText* name = nullptr;
    WideText before;
    WideText after;
};

LONG WriteValue(HKEY key, const WideText& name, const WideText& units) {
    if (ParsePendingOperations(units).operations.empty()) {
        const LONG status = RegDeleteValueW(key, WideC(name));
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    return RegSetValueExW(key, WideC(name), 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(units.data()),
                          static_cast<DWORD>(units.size() * sizeof(char16_t)));
}

// Works out every value's change from a fresh read; nothing is written unless each chosen
// operation is still there, in a value the window rewrites.
bool PlanRemoval(HKEY key, const std::vector<PendingOperation>& chosen,
                 std::vector<ValueWrite>& writes, Text& failure) {
    for (size_t index = 0; index < std::size(kPendingValues); ++index) {
        std::vector<PendingOperation> ofValue;
        std::copy_if(chosen.begin(), chosen.end(), std::back_inserter(ofValue),
                     [&](const PendingOperation& operation) { return operation.value == index; });
        if (ofValue.empty()) {
            continue;
        }
        const PendingValue value = ReadPendingValue(key, kPendingValues[index]);
        if (value.state == ValueState::kAbsent) {
            failure = kCancelGone;
            return false;
        }
        if (value.state != ValueState::kRead) {
            failure = FailureOf(value.error != ERROR_SUCCESS ? value.error : ERROR_MORE_DATA);
            return false;
        }
        if (!value.writable) {
            failure = kCancelUnrecognised;
            return false;
        }
        const Removal removal = WithoutChosenPairs(value.units, ofValue);
        if (removal.outcome != RemovalOutcome::kRemoved) {
            failure = removal.outcome == RemovalOutcome::kGone ? kCancelGone : kCancelUnrecognised;
            return false;
        }
        writes.push_back({&kPendingValues[index], value.units, removal.kept});
    }
    return true;
}

// The write of AppendPendingDeletions, on the open key.
bool AppendToFirstValue(HKEY key, const std::vector<WideText>& sources, Text& failure) {
    const WideText& name = kPendingValues[0];
    const PendingValue before = ReadPendingValue(key, name);
    if (before.state == ValueState::kUnreadable) {
        failure = FailureOf(before.error != ERROR_SUCCESS ? before.error : ERROR_MORE_DATA);
        return false;
    }
    // Rewriting a value the program cannot read whole could lose another program's operations.
    if (before.state == ValueState::kRead && !before.writable) {
        failure = kReasonPendingUnrecognised;
        return false;
    }
    const LONG status = WriteValue(key, name, WithDeletionsAppended(before.units, sources));
    if (status != ERROR_SUCCESS) {
        failure = FailureOf(status);
        return false;
    }
    const PendingValue written = ReadPendingValue(key, name);
    if (written.state != ValueState::kRead || !HoldsDeletions(written.parsed.operations, sources)) {
        failure = FailureOf(written.error != ERROR_SUCCESS ? written.error : ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

}  // namespace

LONG OpenSessionManager(REGSAM access, HKEY& key) {
    key = nullptr;
    const LONG status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideC(kSessionManagerKey), 0, access, &key);
    if (status != ERROR_SUCCESS) {
        key = nullptr;
    }
    return status;
}

PendingValue ReadPendingValue(HKEY key, const WideText& name) {
    PendingValue value;
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
        std::vector<BYTE> bytes(size + 1);
        status = RegQueryValueExW(key, WideC(name), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_MORE_DATA) {
            continue;  // another program added to it in between
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            value.state = ValueState::kAbsent;
            return value;
        }
        if (status != ERROR_SUCCESS) {
            value.error = status;
            return value;
        }
        value.units.resize(size / sizeof(char16_t));
        std::memcpy(value.units.data(), bytes.data(), value.units.size() * sizeof(char16_t));
        value.parsed = ParsePendingOperations(value.units);
        value.writable =
            type == REG_MULTI_SZ && size % sizeof(char16_t) == 0 && value.parsed.wellFormed;
        value.state = ValueState::kRead;
        return value;
    }
    return value;
}

bool ReadPendingOperations(std::vector<PendingOperation>& operations) {
    HKEY key = nullptr;
    if (OpenSessionManager(KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
        return false;
    }
    bool whole = true;
    for (size_t index = 0; index < std::size(kPendingValues); ++index) {
        PendingValue value = ReadPendingValue(key, kPendingValues[index]);
        whole = whole && (value.state == ValueState::kAbsent || value.writable);
        for (PendingOperation& operation : value.parsed.operations) {
            operation.value = index;
            operations.push_back(std::move(operation));
        }
    }
    RegCloseKey(key);
    return whole;
}

bool CancelPendingDeletions(const std::vector<PendingOperation>& chosen, Text& failure) {
    HKEY key = nullptr;
    const LONG opened = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key);
    if (opened != ERROR_SUCCESS) {
        failure = FailureOf(opened);
        return false;
    }
    std::vector<ValueWrite> writes;
    bool done = PlanRemoval(key, chosen, writes, failure);
    for (size_t i = 0; done && i < writes.size(); ++i) {
        const LONG status = WriteValue(key, *writes[i].name, writes[i].after);
        if (status != ERROR_SUCCESS) {
            failure = FailureOf(status);
            done = false;
            for (size_t back = 0; back < i; ++back) {
                WriteValue(key, *writes[back].name, writes[back].before);
            }
        }
    }
    RegCloseKey(key);
    return done;
}

bool AppendPendingDeletions(const std::vector<WideText>& sources, Text& failure) {
    HKEY key = nullptr;
    const LONG opened = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key);
    if (opened != ERROR_SUCCESS) {
        failure = FailureOf(opened);
        return false;
    }
    const bool done = AppendToFirstValue(key, sources, failure);
    RegCloseKey(key);
    return done;
}
