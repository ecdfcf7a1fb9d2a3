// Files opened only to ask where and which they are: CreateFileW for an existing file or folder,
// GetFinalPathNameByHandleW, GetFileInformationByHandle, CloseHandle. The look-up sees the
// process's current view.

#include <cstddef>
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

// The disk's entry of an open file; nullptr for a drive's root or a volume.
DiskEntry* EntryOfRecord(const OpenFileRecord& record) {
    return record.diskPath.empty() ? nullptr : EntryInView(record.diskPath);
}

DWORD AttributesOf(const OpenFileRecord& record) {
    const DiskEntry* entry = EntryOfRecord(record);
    const DWORD readOnly = entry != nullptr && entry->readOnly ? FILE_ATTRIBUTE_READONLY : 0;
    return (record.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL) | readOnly;
}

// Hands out as many of a folder's entries as fit, each FILE_ID_BOTH_DIR_INFO aligned to 8 bytes;
// the first call, or a restart, takes the folder's entries as they are now.
BOOL ListThrough(OpenFileRecord& record, bool restart, BYTE* buffer, DWORD size) {
    CheckCallOutsideLock("GetFileInformationByHandleEx");
    if (!record.directory || (record.access & FILE_LIST_DIRECTORY) == 0 || buffer == nullptr) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (restart) {
        record.listing = {{u".", true}, {u"..", true}};
        for (SearchEntry& entry : EntriesOf(record.diskPath)) {
            record.listing.push_back(std::move(entry));
        }
        record.listed = 0;
    }
    const std::u16string folder =
        record.diskPath.back() == u'\\' ? record.diskPath : record.diskPath + u'\\';
    size_t at = 0;
    FILE_ID_BOTH_DIR_INFO* last = nullptr;
    while (record.listed < record.listing.size()) {
        const SearchEntry& entry = record.listing[record.listed];
        const size_t nameBytes = entry.name.size() * sizeof(char16_t);
        const size_t length = (offsetof(FILE_ID_BOTH_DIR_INFO, FileName) + nameBytes + 7) / 8 * 8;
        if (at + length > size) {
            break;
        }
        auto* info = reinterpret_cast<FILE_ID_BOTH_DIR_INFO*>(buffer + at);
        std::memset(info, 0, offsetof(FILE_ID_BOTH_DIR_INFO, FileName));
        const bool itself = entry.name == u".";
        const DiskEntry* disk =
            itself || entry.name == u".." ? nullptr : EntryInView(folder + entry.name);
        info->FileAttributes =
            (entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL) |
            (disk != nullptr && disk->readOnly ? FILE_ATTRIBUTE_READONLY : 0);
        info->FileNameLength = static_cast<DWORD>(nameBytes);
        // "." is the folder itself; ".." is given no index.
        const std::u16string indexed = itself            ? record.finalPath
                                       : disk != nullptr ? u"\\\\?\\" + disk->path
                                                         : std::u16string();
        info->FileId.QuadPart = indexed.empty() ? 0 : static_cast<int64_t>(FileIndexOf(indexed));
        std::memcpy(info->FileName, entry.name.data(), nameBytes);
        if (last != nullptr) {
            last->NextEntryOffset =
                static_cast<DWORD>(reinterpret_cast<BYTE*>(info) - reinterpret_cast<BYTE*>(last));
        }
        last = info;
        at += length;
        ++record.listed;
    }
    if (last == nullptr) {
        S().lastError =
            record.listed < record.listing.size() ? ERROR_INSUFFICIENT_BUFFER : ERROR_NO_MORE_FILES;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD disposition, DWORD flags, HANDLE) {
    LogCall("CreateFileW", {WideArg(fileName), Unsigned(access), Unsigned(shareMode),
                            Unsigned(disposition), Unsigned(flags)});
    constexpr DWORD kAttributes = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
    constexpr DWORD kListing = FILE_LIST_DIRECTORY | SYNCHRONIZE;
    if (disposition != OPEN_EXISTING ||
        (access != 0 && access != kAttributes && access != kListing)) {
        Abort(
            "CreateFileW: the stand-in only opens existing files for no access, a folder's "
            "listing or their attributes");
    }
    // A drive's or the volume's device: "\\.\C:", "\\?\Volume{...}".
    const std::u16string name = fileName ? fileName : u"";
    const bool driveDevice = name.size() == 6 && name.rfind(u"\\\\.\\", 0) == 0 && name[5] == u':';
    if (driveDevice || name.rfind(u"\\\\?\\Volume{", 0) == 0) {
        OpenFileRecord device;
        device.finalPath = name;
        device.volume = true;
        S().openFiles.push_back(std::move(device));
        return FileHandle(S().openFiles.size() - 1);
    }
    const std::optional<DiskHit> hit =
        fileName ? LookUpInView(std::u16string(fileName)) : std::nullopt;
    if (!hit) {
        S().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    // A folder opens only with backup semantics; only a folder has a listing.
    if ((hit->directory && (flags & FILE_FLAG_BACKUP_SEMANTICS) == 0) ||
        (!hit->directory && access == kListing)) {
        S().lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    OpenFileRecord record;
    record.finalPath = u"\\\\?\\" + hit->path;
    record.directory = hit->directory;
    record.access = access;
    record.diskPath = hit->path;
    S().openFiles.push_back(std::move(record));
    return FileHandle(S().openFiles.size() - 1);
}

BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER, LARGE_INTEGER*, DWORD) {
    LogCall("SetFilePointerEx", {FileName(file)});
    S().lastError = ERROR_INVALID_HANDLE;
    return FALSE;
}

BOOL ReadFile(HANDLE file, LPVOID, DWORD toRead, LPDWORD read, LPVOID) {
    LogCall("ReadFile", {FileName(file), Unsigned(toRead)});
    if (read != nullptr) {
        *read = 0;
    }
    S().lastError = ERROR_INVALID_HANDLE;
    return FALSE;
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
    const uint64_t index = FileIndexOf(record->finalPath);
    *info = BY_HANDLE_FILE_INFORMATION{};
    info->dwFileAttributes = AttributesOf(*record);
    info->dwVolumeSerialNumber = 1;
    info->nNumberOfLinks = 1;
    info->nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(index) >> 32);
    info->nFileIndexLow = static_cast<DWORD>(index);
    return TRUE;
}

BOOL CloseHandle(HANDLE object) {
    if (CloseMutantHandle(object)) {
        return TRUE;
    }
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
    if (infoClass == FileBasicInfo && info != nullptr && size >= sizeof(FILE_BASIC_INFO)) {
        auto* basic = static_cast<FILE_BASIC_INFO*>(info);
        *basic = FILE_BASIC_INFO{};
        basic->FileAttributes = AttributesOf(*record);
        return TRUE;
    }
    if (infoClass == FileIdBothDirectoryInfo || infoClass == FileIdBothDirectoryRestartInfo) {
        return ListThrough(*FindFile(file), infoClass == FileIdBothDirectoryRestartInfo,
                           static_cast<BYTE*>(info), size);
    }
    if (infoClass != FileAttributeTagInfo || info == nullptr ||
        size < sizeof(FILE_ATTRIBUTE_TAG_INFO)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    auto* tag = static_cast<FILE_ATTRIBUTE_TAG_INFO*>(info);
    tag->FileAttributes = AttributesOf(*record);
    tag->ReparseTag = 0;
    return TRUE;
}

BOOL SetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS infoClass, LPVOID info,
                                DWORD size) {
    LogCall("SetFileInformationByHandle", {FileName(file), Unsigned(infoClass)});
    CheckCallOutsideLock("SetFileInformationByHandle");
    const OpenFileRecord* record = FindFile(file);
    if (record == nullptr || record->closed || infoClass != FileBasicInfo || info == nullptr ||
        size < sizeof(FILE_BASIC_INFO)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if ((record->access & FILE_WRITE_ATTRIBUTES) == 0) {
        S().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    const DWORD attributes = static_cast<const FILE_BASIC_INFO*>(info)->FileAttributes;
    DiskEntry* entry = EntryOfRecord(*record);
    if (entry != nullptr && entry->attributesFixed) {
        S().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (entry != nullptr && attributes != 0) {
        entry->readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
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
