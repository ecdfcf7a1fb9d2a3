#include "restart/read_only.h"

#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"

namespace {

// Sets the attributes of the file path records, when it is the file identity names, to what
// change makes of them; what they were, or nothing when nothing was changed.
template <typename Change>
std::optional<DWORD> ChangeAttributes(const RecordedPath& path, const FileIdentity& identity,
                                      Change change) {
    const LiteralPath literal = LiteralFormOf(path);
    HANDLE file = InNativeView(
        [&] {
            return literal.empty()
                       ? INVALID_HANDLE_VALUE
                       : CreateFileW(
                             WideC(literal.text), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                             kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        },
        INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<DWORD> before;
    FILE_BASIC_INFO basic{};
    if (IdentityOf(file) == identity &&
        GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
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
        }
    }
    CloseHandle(file);
    return before;
}

}  // namespace

std::optional<ClearedAttribute> ClearReadOnly(const RecordedPath& path,
                                              const FileIdentity& identity) {
    const std::optional<DWORD> before = ChangeAttributes(
        path, identity, [](DWORD attributes) { return attributes & ~FILE_ATTRIBUTE_READONLY; });
    if (!before) {
        return std::nullopt;
    }
    return ClearedAttribute{path, identity, *before};
}

void RestoreAttributes(const ClearedAttribute& cleared) {
    ChangeAttributes(cleared.path, cleared.identity, [&](DWORD) { return cleared.attributes; });
}
