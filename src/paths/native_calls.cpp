#include "paths/native_calls.h"

#include "runtime/wide_text.h"

namespace {

constexpr DWORD kFinalPathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
// Opening for no access at all is enough to ask where a file is, and asks nothing of its sharing.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

HANDLE OpenToAsk(const WideText& literal) {
    if (literal.empty()) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(WideC(literal), 0, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

WideText FinalPathOf(HANDLE file) {
    WideText buffer(MAX_PATH, char16_t());
    DWORD length = GetFinalPathNameByHandleW(file, WideData(buffer),
                                             static_cast<DWORD>(buffer.size()), kFinalPathFlags);
    if (length >= buffer.size()) {
        // Too small: the answer was the size needed, terminator included.
        buffer.assign(length, char16_t());
        length = GetFinalPathNameByHandleW(file, WideData(buffer),
                                           static_cast<DWORD>(buffer.size()), kFinalPathFlags);
        if (length >= buffer.size()) {
            return {};
        }
    }
    buffer.resize(length);
    return buffer;
}
