#include "pending/pending_value.h"

#include <cstring>
#include <iterator>
#include <utility>

#include "runtime/wide_text.h"

namespace {

const WideText kSessionManagerKey = u"System\\CurrentControlSet\\Control\\Session Manager";
// A value that keeps growing between the size query and the read is given up after this many
// tries.
constexpr int kReadAttempts = 4;

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
