#include "pending/boot_log.h"

#include <optional>
#include <string>

#include "paths/exact_names.h"
#include "pending/pending_rules.h"
#include "pending/spelled_names.h"
#include "platform/looked_up.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
// The clock the boot wrote its times by may be set right just after (from the network, say); a
// boot logged a little before the system's start is still that boot.
constexpr uint64_t kBootStartSlack = 120 * kTicksPerSecond;

// "C:\Windows\PFRO.log"; empty when the system names no Windows folder.
WideText LogPath() {
    WCHAR folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    WideText path(reinterpret_cast<const char16_t*>(folder), length);
    if (path.back() != u'\\') {
        path += u'\\';
    }
    return path + u"PFRO.log";
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The log's last kBootLogTailBytes, from an even offset so that the units stay whole.
void ReadLogTail(const WideText& path, LastRestart& last, std::string& bytes, bool& fromStart) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WideC(path), GetFileExInfoStandard, &data)) {
        last.error = GetLastError();
        last.state = IsMissing(last.error) ? BootLogState::kAbsent : BootLogState::kUnreadable;
        return;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        last.state = BootLogState::kAbsent;
        return;
    }
    // Only a boot appends to the log, so its size now is the size to read.
    const uint64_t size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    const uint64_t start =
        size > kBootLogTailBytes ? (size - kBootLogTailBytes + 1) & ~uint64_t{1} : 0;
    fromStart = start == 0;
    last.state = BootLogState::kRead;
    if (size == start) {
        return;
    }
    HANDLE file = CreateFileW(WideC(path), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        last.error = GetLastError();
        last.state = IsMissing(last.error) ? BootLogState::kAbsent : BootLogState::kUnreadable;
        return;
    }
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<int64_t>(start);
    bytes.resize(static_cast<size_t>(size - start));
    DWORD read = 0;
    if (!SetFilePointerEx(file, offset, nullptr, FILE_BEGIN) ||
        !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        last.error = GetLastError();
        last.state = BootLogState::kUnreadable;
    }
    CloseHandle(file);
    bytes.resize(read);
}

// When the boot the system is running began, UTC in 100 ns units; nothing when it does not say.
// After a Fast Startup start this is the last full boot's.
std::optional<uint64_t> BootStart() {
    const NtQuerySystemInformationCall query = LookUpNtQuerySystemInformation();
    NtTimeOfDay timeOfDay{};
    ULONG returned = 0;
    if (query == nullptr ||
        query(kSystemTimeOfDayInformation, &timeOfDay, sizeof timeOfDay, &returned) < 0 ||
        timeOfDay.bootTime <= 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(timeOfDay.bootTime);
}

// A local time of the log in UTC, by the time-zone rules of its own date.
std::optional<uint64_t> UtcOf(const LogTime& time) {
    SYSTEMTIME local{};
    local.wYear = time.year;
    local.wMonth = time.month;
    local.wDay = time.day;
    local.wHour = time.hour;
    local.wMinute = time.minute;
    local.wSecond = time.second;
    SYSTEMTIME utc{};
    FILETIME ticks{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
        !SystemTimeToFileTime(&utc, &ticks)) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(ticks.dwHighDateTime) << 32 | ticks.dwLowDateTime;
}

// With no upper bound: a disk check at boot runs before the pending operations.
bool IsOfThisBoot(const LoggedBoot& boot) {
    const std::optional<uint64_t> start = BootStart();
    const std::optional<uint64_t> logged = UtcOf(boot.time);
    return start && logged && *logged + kBootStartSlack >= *start;
}

}  // namespace

LastRestart ReadLastRestart() {
    LastRestart last;
    const WideText path = LogPath();
    if (path.empty()) {
        return last;
    }
    std::string bytes;
    bool fromStart = true;
    ReadLogTail(path, last, bytes, fromStart);
    if (last.state != BootLogState::kRead) {
        return last;
    }
    last.log = ReadBootLog(bytes, fromStart);
    last.lastIsThisBoot = !last.log.boots.empty() && IsOfThisBoot(last.log.boots.back());
    return last;
}

WideText FailureReason(uint32_t status) {
    const StatusReason reason = ReasonOfStatus(status);
    return reason.withStatus ? UiText(reason.text) + StatusText(status) : UiText(reason.text);
}

void KeepLastRestartFailures() {
    LastRestartFailures& kept = g_app.lastRestartFailures;
    kept = LastRestartFailures{};
    const LastRestart last = ReadLastRestart();
    if (!last.lastIsThisBoot) {
        return;
    }
    SpelledNames names;
    for (const LoggedFailure& failure : last.log.boots.back().failures) {
        // In the form the run records a path in: read through the table of spellings and asked
        // of the disk, as the run reads other programs' names.
        const std::optional<OrdinaryPath>& path = SpelledPath(names, failure.source);
        const RecordedPath recorded = path ? RecordedFormOf(LiteralFormOf(*path)) : RecordedPath{};
        if (!failure.destination.empty() || recorded.empty()) {
            continue;
        }
        AddPath(kept.paths, recorded, FileSystemCase(), static_cast<uint32_t>(kept.reasons.size()));
        kept.reasons.push_back(UiText(kLastRestartNotDeleted) + FailureReason(failure.status));
    }
}
