#include "restart/volumes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"

namespace {

// Large enough for any storage device descriptor's fixed part and its strings.
constexpr DWORD kDescriptorBytes = 1024;

// The storage bus of the disk under a volume ("\\.\C:", "\\?\Volume{...}"); nothing when the
// system does not say.
std::optional<unsigned> BusTypeOf(const WideText& volume) {
    std::vector<BYTE> answer(kDescriptorBytes);
    HANDLE device = CreateFileW(WideC(volume), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    DWORD returned = 0;
    const BOOL asked = DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                       answer.data(), kDescriptorBytes, &returned, nullptr);
    CloseHandle(device);
    if (!asked || returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(DWORD)) {
        return std::nullopt;
    }
    STORAGE_DEVICE_DESCRIPTOR descriptor{};
    std::memcpy(&descriptor, answer.data(), std::min<size_t>(returned, sizeof descriptor));
    return static_cast<unsigned>(descriptor.BusType);
}

// The drive type of a letter's root, asked of the letter alone.
UINT DriveTypeOf(char16_t letter) {
    const WideText root = {letter, u':', u'\\'};
    return GetDriveTypeW(WideC(root));
}

const VolumeFacts& DriveFacts(VolumeCache& cache, char16_t letter) {
    letter = AsciiUpper(letter);
    auto known = cache.drives.find(letter);
    if (known != cache.drives.end()) {
        return known->second;
    }
    VolumeFacts facts;
    const WideText root = {letter, u':', u'\\'};
    facts.driveType = DriveTypeOf(letter);
    WideText device(MAX_PATH, u'\0');
    const WideText drive = {letter, u':'};
    if (QueryDosDeviceW(WideC(drive), WideData(device), MAX_PATH) == 0) {
        facts.driveType = DRIVE_NO_ROOT_DIR;
    } else {
        facts.subst = !IsOwnDevice(device.substr(0, device.find(u'\0')));
    }
    facts.busType = BusTypeOf(WideText(u"\\\\.\\") + drive);
    WideText volume(MAX_PATH, u'\0');
    facts.knownToMountManager =
        GetVolumeNameForVolumeMountPointW(WideC(root), WideData(volume), MAX_PATH) != FALSE;
    return cache.drives.emplace(letter, facts).first->second;
}

// The facts of the volume a GUID path ("\\?\Volume{...}\dir\name") is on: those of its drive
// letter when it has one, else asked of the volume itself. A volume mounted in a folder of C:
// is judged as the disk it is, not as C:.
VolumeFacts VolumeOfGuidPath(VolumeCache& cache, const WideText& guidPath) {
    const size_t close = guidPath.find(u"}\\");
    if (close == WideText::npos) {
        return VolumeFacts();
    }
    const WideText volume = guidPath.substr(0, close + 2);
    const auto known = cache.volumes.find(volume);
    if (known != cache.volumes.end()) {
        return known->second;
    }
    // Where the volume is mounted: folders ("C:\mnt\usb\") and letters ("E:\"), each ended by
    // a terminator, the list by another.
    WideText names(MAX_PATH, u'\0');
    DWORD length = 0;
    std::optional<char16_t> letter;
    if (GetVolumePathNamesForVolumeNameW(WideC(volume), WideData(names), MAX_PATH, &length)) {
        size_t at = 0;
        while (!letter && at < names.size() && names[at] != u'\0') {
            const size_t end = names.find(u'\0', at);
            if (end == at + 3 && names[at + 1] == u':' && names[at + 2] == u'\\') {
                letter = names[at];
            }
            at = end == WideText::npos ? names.size() : end + 1;
        }
    }
    VolumeFacts facts;
    if (letter) {
        facts = DriveFacts(cache, *letter);
    } else {
        facts.driveType = GetDriveTypeW(WideC(volume));
        facts.busType = BusTypeOf(volume.substr(0, volume.size() - 1));
        facts.knownToMountManager = true;
    }
    cache.volumes.emplace(volume, facts);
    return facts;
}

}  // namespace

std::optional<VolumeFacts> VolumeOf(VolumeCache& cache, const OrdinaryPath& path) {
    switch (RootOf(path.text)) {
        case PathRoot::kShare: {
            VolumeFacts share;
            share.share = true;
            return share;
        }
        case PathRoot::kDrive:
            return DriveFacts(cache, path.text[0]);
        case PathRoot::kNone:
            break;
    }
    return std::nullopt;
}

std::u16string_view FolderOfFile(std::u16string_view finalPath) {
    const size_t separator = finalPath.find_last_of(u'\\');
    return finalPath.substr(0, separator == std::u16string_view::npos ? 0 : separator + 1);
}

const std::optional<VolumeFacts>* KnownFolderVolume(const VolumeCache& cache,
                                                    std::u16string_view folder) {
    const auto known = cache.folderVolumes.find(folder);
    return known == cache.folderVolumes.end() ? nullptr : &known->second;
}

std::optional<VolumeFacts> KeepFolderVolume(VolumeCache& cache, std::u16string_view folder,
                                            const WideText& guidPath) {
    const std::optional<VolumeFacts> facts =
        guidPath.empty() ? std::nullopt
                         : std::optional<VolumeFacts>(VolumeOfGuidPath(cache, guidPath));
    cache.folderVolumes.emplace(WideText(folder), facts);
    return facts;
}
