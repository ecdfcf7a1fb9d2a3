#include "restart/read_only.h"

#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"

namespace {

// Sets the attributes of the file path records, when it is the file identity names, to what
// change makes of them; before is what they were.
template <typename Change>
ClearEnd ChangeAttributes(const RecordedPath& path, const FileIdentity& identity, Change change,
                          DWORD& before) {
    const LiteralPath literal = LiteralFormOf(path);
    DWORD openError = ERROR_SUCCESS;
    HANDLE file = InNativeView(
        [&] {
            HANDLE opened =
                literal.empty()
                    ? INVALID_HANDLE_VALUE
                    : CreateFileW(WideC(literal.text), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                  kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                  nullptr);
            openError = opened == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
            return opened;
        },
        INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND
                   ? ClearEnd::kFileChanged
                   : ClearEnd::kRefused;
    }
    ClearEnd end = ClearEnd::kRefused;
    FILE_BASIC_INFO basic{};
    const std::optional<FileIdentity> opened = IdentityOf(file);
    if (opened && *opened != identity) {
        end = ClearEnd::kFileChanged;
    } else if (opened && GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        const DWORD attributes = basic.FileAttributes;
        // Times of 0 leave the file's times as they are; attributes of 0 would too. Whether it
        // is a folder is no attribute a caller sets.
        basic = FILE_BASIC_INFO{};
        basic.FileAttributes = change(attributes) & ~FILE_ATTRIBUTE_DIRECTORY;
        if (basic.FileAttributes == 0) {
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        if (SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic)) {
            before = attributes;
            end = ClearEnd::kCleared;
        }
    }
    CloseHandle(file);
    return end;
}

}  // namespace

ClearEnd ClearReadOnly(const RecordedPath& path, const FileIdentity& identity,
                       ClearedAttribute& cleared) {
    DWORD before = 0;
    const ClearEnd end = ChangeAttributes(
        path, identity, [](DWORD attributes) { return attributes & ~FILE_ATTRIBUTE_READONLY; },
        before);
    if (end == ClearEnd::kCleared) {
        cleared = ClearedAttribute{path, identity, before};
    }
    return end;
}

void RestoreAttributes(const ClearedAttribute& cleared) {
    DWORD before = 0;
    ChangeAttributes(
        cleared.path, cleared.identity, [&](DWORD) { return cleared.attributes; }, before);
}
