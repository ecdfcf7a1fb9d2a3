// Files opened only to ask where and which they are: CreateFileW for an existing file or folder,
// GetFinalPathNameByHandleW, GetFileInformationByHandle, CloseHandle. The look-up sees the
// process's current view.

#include <cstring>
#include <functional>

#include "internal.h"

using namespace standin;
using namespace standin::detail;

namespace {

constexpr uintptr_t kFileBase = 0x500000;
constexpr uintptr_t kStep = 0x10;

HANDLE FileHandle(size_t index) {
    return reinterpret_cast<HANDLE>(kFileBase + index * kStep);
}

OpenFileRecord* FindFile(HANDLE file) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(file);
    if (value < kFileBase || (value - kFileBase) % kStep != 0) {
        return nullptr;
    }
    const size_t index = (value - kFileBase) / kStep;
    return index < S().openFiles.size() ? &S().openFiles[index] : nullptr;
}

std::string FileName(HANDLE file) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(file);
    if (FindFile(file) == nullptr) {
        return Pointer(file);
    }
    return "file:" + Num(static_cast<long long>((value - kFileBase) / kStep + 1));
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD disposition, DWORD flags, HANDLE) {
    LogCall("CreateFileW", {WideArg(fileName), Unsigned(access), Unsigned(shareMode),
                            Unsigned(disposition), Unsigned(flags)});
    if (disposition != OPEN_EXISTING || access != 0) {
        Abort("CreateFileW: the stand-in only opens existing files for no access");
    }
    // A drive's or the volume's device: "\\.\C:", "\\?\Volume{...}".
    const std::u16string name = fileName ? fileName : u"";
    const bool driveDevice = name.size() == 6 && name.rfind(u"\\\\.\\", 0) == 0 && name[5] == u':';
    if (driveDevice || name.rfind(u"\\\\?\\Volume{", 0) == 0) {
        S().openFiles.push_back(OpenFileRecord{name, false, false, true});
        return FileHandle(S().openFiles.size() - 1);
    }
    const std::optional<DiskHit> hit =
        fileName ? LookUpInView(std::u16string(fileName)) : std::nullopt;
    if (!hit) {
        S().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    // A folder opens only with backup semantics.
    if (hit->directory && (flags & FILE_FLAG_BACKUP_SEMANTICS) == 0) {
        S().lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    S().openFiles.push_back(OpenFileRecord{u"\\\\?\\" + hit->path, false, hit->directory});
    return FileHandle(S().openFiles.size() - 1);
}

DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR buffer, DWORD bufferLength, DWORD flags) {
    LogCall("GetFinalPathNameByHandleW",
            {FileName(file), buffer ? "buffer" : "NULL", Unsigned(bufferLength), Unsigned(flags)});
    const OpenFileRecord* record = FindFile(file);
    if (record == nullptr || record->closed) {
        S().lastError = ERROR_INVALID_HANDLE;
        return 0;
    }
    if (flags != (FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) &&
        flags != (FILE_NAME_NORMALIZED | VOLUME_NAME_GUID)) {
        Abort("GetFinalPathNameByHandleW: the stand-in reports only normalised DOS or GUID paths");
    }
    std::u16string path = record->finalPath;
    // Each letter's files are on its one volume; a share has no GUID.
    if ((flags & VOLUME_NAME_GUID) != 0) {
        if (path.size() < 7 || path[5] != u':' || path[6] != u'\\') {
            S().lastError = ERROR_PATH_NOT_FOUND;
            return 0;
        }
        path = VolumeOfLetter(path[4]) + path.substr(7);
    }
    // Too small: the size needed, terminator included; nothing is written.
    if (buffer == nullptr || bufferLength <= path.size()) {
        return static_cast<DWORD>(path.size() + 1);
    }
    std::memcpy(buffer, path.c_str(), (path.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(path.size());
}

BOOL GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
    LogCall("GetFileInformationByHandle", {FileName(file)});
    const OpenFileRecord* record = FindFile(file);
    if (record == nullptr || record->closed || info == nullptr) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    // One volume; a file's index follows from its path on the disk, whatever its spelling.
    const size_t index = std::hash<std::string>()(FoldCase(Wtf8(record->finalPath)));
    *info = BY_HANDLE_FILE_INFORMATION{};
    info->dwFileAttributes = record->directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    info->dwVolumeSerialNumber = 1;
    info->nNumberOfLinks = 1;
    info->nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(index) >> 32);
    info->nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    if (object == MutexHandle()) {
        LogCall("CloseHandle", {"mutex"});
        return TRUE;
    }
    LogCall("CloseHandle", {FileName(object)});
    OpenFileRecord* record = FindFile(object);
    if (record == nullptr) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (record->closed) {
        Fail("CloseHandle called twice on " + FileName(object));
        return FALSE;
    }
    record->closed = true;
    return TRUE;
}

BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                  DWORD size) {
    LogCall("GetFileInformationByHandleEx", {FileName(file), Unsigned(infoClass)});
    const OpenFileRecord* record = FindFile(file);
    if (record == nullptr || record->closed) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (infoClass == FileStandardInfo && info != nullptr && size >= sizeof(FILE_STANDARD_INFO)) {
        auto* standard = static_cast<FILE_STANDARD_INFO*>(info);
        *standard = FILE_STANDARD_INFO{};
        standard->NumberOfLinks = 1;
        standard->Directory = record->directory;
        return TRUE;
    }
    if (infoClass != FileAttributeTagInfo || info == nullptr ||
        size < sizeof(FILE_ATTRIBUTE_TAG_INFO)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    auto* tag = static_cast<FILE_ATTRIBUTE_TAG_INFO*>(info);
    tag->FileAttributes = record->directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    tag->ReparseTag = 0;
    return TRUE;
}

BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID, DWORD, LPVOID out, DWORD outSize,
                     LPDWORD returned, LPVOID) {
    LogCall("DeviceIoControl", {FileName(device), Unsigned(code)});
    if (returned != nullptr) {
        *returned = 0;
    }
    const OpenFileRecord* record = FindFile(device);
    if (record == nullptr || record->closed || !record->volume ||
        code != IOCTL_STORAGE_QUERY_PROPERTY || out == nullptr ||
        outSize < sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
        S().lastError = ERROR_NOT_SUPPORTED;
        return FALSE;
    }
    // A SATA disk.
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    descriptor.Size = sizeof descriptor;
    descriptor.BusType = 11;
    std::memcpy(out, &descriptor, sizeof descriptor);
    if (returned != nullptr) {
        *returned = sizeof descriptor;
    }
    return TRUE;
}
