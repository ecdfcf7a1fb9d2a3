#include "restart/boot_survey.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "paths/sysnative.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// Large enough for any storage device descriptor's fixed part and its strings.
constexpr DWORD kDescriptorBytes = 1024;
// The longest path Windows can name, in UTF-16 code units, and its terminator.
constexpr DWORD kFinalPathRoom = 32768;
// The handle's path with its drive letter, as the system spells the names.
constexpr DWORD kFinalPathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
// The same path with the volume's GUID path at its front ("\\?\Volume{...}\dir\name").
constexpr DWORD kVolumePathFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_GUID;

// The well-known SYSTEM account, S-1-5-18: revision 1, one sub-authority, the NT authority (5),
// and 18.
constexpr BYTE kSystemSid[] = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};

// The groups of the token the boot deletes with: Everyone (S-1-1-0), Authenticated Users
// (S-1-5-11), Administrators (S-1-5-32-544), and the System integrity level (S-1-16-16384).
constexpr DWORD kGroupEnabled = 0x4 | 0x1 | 0x2;  // enabled, mandatory, enabled by default
constexpr DWORD kGroupIntegrity = 0x20 | 0x40;    // integrity, integrity enabled
constexpr size_t kLongestGroupSid = 16;
struct GroupSid {
    BYTE sid[kLongestGroupSid];
    size_t length;
    DWORD attributes;
};
constexpr GroupSid kBootGroups[] = {
    {{1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, 12, kGroupEnabled},
    {{1, 1, 0, 0, 0, 0, 0, 5, 11, 0, 0, 0}, 12, kGroupEnabled},
    {{1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0}, 16, kGroupEnabled},
    {{1, 1, 0, 0, 0, 0, 0, 16, 0, 0x40, 0, 0}, 12, kGroupIntegrity},
};

// The rights whose grant lets SYSTEM delete a file: DELETE on it, or FILE_DELETE_CHILD on its
// folder. MAXIMUM_ALLOWED asks for every right granted.
constexpr DWORD kDeleteRight = 0x00010000;
constexpr DWORD kDeleteChildRight = 0x00000040;
constexpr DWORD kMaximumAllowed = 0x02000000;
constexpr DWORD kNoAudit = 0x1;
// Owner, group and DACL: what an access check reads.
constexpr DWORD kSecurityParts = 0x1 | 0x2 | 0x4;

// Every drive letter's other names, as a rename may be written with them.
std::vector<VolumeAlias> DriveAliases() {
    std::vector<VolumeAlias> aliases;
    const DWORD letters = GetLogicalDrives();
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        if ((letters & (1u << (letter - u'A'))) == 0) {
            continue;
        }
        const WideText drive = {letter, u':'};
        WideText device(MAX_PATH, u'\0');
        if (QueryDosDeviceW(WideC(drive), WideData(device), MAX_PATH) != 0) {
            aliases.push_back({device.substr(0, device.find(u'\0')), drive});
        }
        WideText volume(MAX_PATH, u'\0');
        if (GetVolumeNameForVolumeMountPointW(WideC(drive + u'\\'), WideData(volume), MAX_PATH)) {
            // "\\?\Volume{...}\" is recorded as "\??\Volume{...}\", which is shown without
            // its "\??\".
            volume.resize(volume.find(u'\0'));
            if (volume.size() > 5 && volume.back() == u'\\') {
                aliases.push_back({volume.substr(4, volume.size() - 5), drive});
            }
        }
    }
    return aliases;
}

// The path with its 8.3 names long, as far as it exists now: the system's own path for the
// longest part that names a file or folder (in the native view, the boot's), and the rest, which
// no file holds yet, as it is.
WideText WithLongNames(const WideText& path) {
    if (path.find(u'~') == WideText::npos) {
        return path;
    }
    for (size_t end = path.size(); end != WideText::npos && end > 2;
         end = path.find_last_of(u'\\', end - 1)) {
        const std::optional<WideText> location = FileLocationNow(path.substr(0, end));
        const std::optional<WideText> ordinary = location ? OrdinaryPath(*location) : std::nullopt;
        if (ordinary) {
            return *ordinary + path.substr(end);
        }
    }
    return path;
}

}  // namespace

// Deletions are left out. The system carries out both values' operations before ours.
std::optional<std::vector<WideText>> PendingRenameNames() {
    std::vector<PendingOperation> operations;
    if (!ReadPendingOperations(operations)) {
        return std::nullopt;
    }
    const std::vector<VolumeAlias> aliases = DriveAliases();
    std::vector<WideText> names;
    for (const PendingOperation& operation : operations) {
        if (!IsDeletion(operation)) {
            for (const WideText* side : {&operation.source, &operation.destination}) {
                names.push_back(WithLongNames(WithDriveLetter(ShownPath(*side), aliases)));
            }
        }
    }
    return names;
}

namespace {

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

const VolumeFacts& DriveFacts(BootSurvey& survey, char16_t letter) {
    if (letter >= u'a' && letter <= u'z') {
        letter = static_cast<char16_t>(letter - u'a' + u'A');
    }
    auto known = survey.drives.find(letter);
    if (known != survey.drives.end()) {
        return known->second;
    }
    VolumeFacts facts;
    const WideText root = {letter, u':', u'\\'};
    facts.driveType = GetDriveTypeW(WideC(root));
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
    return survey.drives.emplace(letter, facts).first->second;
}

// The facts of the volume a GUID path ("\\?\Volume{...}\dir\name") is on: those of its drive
// letter when it has one, else asked of the volume itself. A volume mounted in a folder of C:
// is judged as the disk it is, not as C:.
VolumeFacts VolumeOfGuidPath(BootSurvey& survey, const WideText& guidPath) {
    const size_t close = guidPath.find(u"}\\");
    if (close == WideText::npos) {
        return VolumeFacts();
    }
    const WideText volume = guidPath.substr(0, close + 2);
    const auto known = survey.volumes.find(volume);
    if (known != survey.volumes.end()) {
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
        facts = DriveFacts(survey, *letter);
    } else {
        facts.driveType = GetDriveTypeW(WideC(volume));
        facts.busType = BusTypeOf(volume.substr(0, volume.size() - 1));
        facts.knownToMountManager = true;
    }
    survey.volumes.emplace(volume, facts);
    return facts;
}

// The drive facts of an ordinary full path: its letter's, or a share's.
std::optional<VolumeFacts> VolumeOf(BootSurvey& survey, const WideText& path) {
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        VolumeFacts share;
        share.share = true;
        return share;
    }
    if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') {
        return DriveFacts(survey, path[0]);
    }
    return std::nullopt;
}

SystemAccessCheck OpenSystemAccessCheck() {
    SystemAccessCheck check;
    if (!LoadAuthzCalls(check.calls)) {
        return check;
    }
    if (!check.calls.initializeResourceManager(kNoAudit, nullptr, nullptr, nullptr, nullptr,
                                               &check.resourceManager)) {
        check.resourceManager = nullptr;
        return check;
    }
    BYTE sid[sizeof kSystemSid];
    std::memcpy(sid, kSystemSid, sizeof sid);
    void* bare = nullptr;
    if (!check.calls.initializeContextFromSid(0, sid, check.resourceManager, nullptr,
                                              AuthzLuid{0, 0}, nullptr, &bare)) {
        return check;
    }
    // A context from the SID alone may lack the groups of the boot's own token; asked without
    // them, a file only Administrators may delete would be refused though the boot deletes it.
    BYTE groupSids[std::size(kBootGroups)][kLongestGroupSid];
    AuthzSidAndAttributes groups[std::size(kBootGroups)];
    for (size_t i = 0; i < std::size(kBootGroups); ++i) {
        std::memcpy(groupSids[i], kBootGroups[i].sid, kBootGroups[i].length);
        groups[i] = {groupSids[i], kBootGroups[i].attributes};
    }
    if (!check.calls.addSidsToContext(bare, groups, static_cast<DWORD>(std::size(groups)), nullptr,
                                      0, &check.context)) {
        check.context = nullptr;
    }
    check.calls.freeContext(bare);
    return check;
}

// The rights SYSTEM is granted on a file or folder; nothing when they cannot be told.
std::optional<DWORD> SystemRights(const SystemAccessCheck& check, const WideText& literal) {
    const GetFileSecurityCall getSecurity = check.calls.getFileSecurity;
    DWORD needed = 0;
    InNativeView([&] { return getSecurity(WideC(literal), kSecurityParts, nullptr, 0, &needed); },
                 FALSE);
    if (needed == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> descriptor(needed);
    if (!InNativeView(
            [&] {
                return getSecurity(WideC(literal), kSecurityParts, descriptor.data(), needed,
                                   &needed);
            },
            FALSE)) {
        return std::nullopt;
    }
    AuthzAccessRequest request{kMaximumAllowed, nullptr, nullptr, 0, nullptr};
    DWORD granted = 0;
    DWORD error = 0;
    AuthzAccessReply reply{1, &granted, nullptr, &error};
    if (!check.calls.accessCheck(0, check.context, &request, nullptr, descriptor.data(), nullptr, 0,
                                 &reply, nullptr)) {
        return std::nullopt;
    }
    return granted;
}

// Whether SYSTEM may delete the file: DELETE on it or FILE_DELETE_CHILD on its folder; nothing
// when either answer cannot be had.
std::optional<bool> SystemMayDelete(const SystemAccessCheck& check, const WideText& literal) {
    if (check.context == nullptr) {
        return std::nullopt;
    }
    const size_t separator = literal.find_last_of(u'\\');
    if (separator == WideText::npos) {
        return std::nullopt;
    }
    const std::optional<DWORD> onFile = SystemRights(check, literal);
    if (onFile && (*onFile & kDeleteRight) != 0) {
        return true;
    }
    // The folder's literal form keeps its final "\" when it is a drive's root.
    const bool root = separator > 0 && literal[separator - 1] == u':';
    const std::optional<DWORD> onFolder =
        SystemRights(check, literal.substr(0, root ? separator + 1 : separator));
    if (!onFile || !onFolder) {
        return std::nullopt;
    }
    return (*onFolder & kDeleteChildRight) != 0;
}

// Reads the file's own attributes, reparse tag and, when asked, number of names into view.
void ReadAttributes(HANDLE file, BootView& view, OtherNames otherNames) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    DWORD attributes = 0;
    if (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) {
        attributes = tag.FileAttributes;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            view.reparseTag = tag.ReparseTag;
        }
    } else {
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(file, &info)) {
            attributes = info.dwFileAttributes;
        }
    }
    view.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    view.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    FILE_STANDARD_INFO standard{};
    if (otherNames == OtherNames::kCounted &&
        GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        view.linkCount = standard.NumberOfLinks;
    }
}

// The volume GUID path of the file a literal path names ("\\?\Volume{...}\dir\name"); empty
// when the system gives none.
WideText VolumePathOf(BootSurvey& survey, const WideText& literal) {
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return WideText();
    }
    const DWORD length = GetFinalPathNameByHandleW(file, WideData(survey.volumePathRoom),
                                                   kFinalPathRoom, kVolumePathFlags);
    CloseHandle(file);
    return length > 0 && length < kFinalPathRoom ? survey.volumePathRoom.substr(0, length)
                                                 : WideText();
}

}  // namespace

BootSurvey BeginBootSurvey() {
    BootSurvey survey;
    std::optional<std::vector<WideText>> renamed = PendingRenameNames();
    survey.pendingUnrecognised = !renamed;
    survey.renamed = renamed ? std::move(*renamed) : std::vector<WideText>();
    survey.system = OpenSystemAccessCheck();
    survey.finalPathRoom.assign(kFinalPathRoom, u'\0');
    survey.volumePathRoom.assign(kFinalPathRoom, u'\0');
    return survey;
}

void EndBootSurvey(BootSurvey& survey) {
    SystemAccessCheck& check = survey.system;
    if (check.context != nullptr) {
        check.calls.freeContext(check.context);
    }
    if (check.resourceManager != nullptr) {
        check.calls.freeResourceManager(check.resourceManager);
    }
    ReleaseAuthzCalls(check.calls);
    survey = BootSurvey();
}

BootView SurveyRow(BootSurvey& survey, const WideText& path,
                   const std::optional<WideText>& listedLocation, OtherNames otherNames) {
    BootView view;
    view.pendingUnrecognised = survey.pendingUnrecognised;
    const std::optional<VolumeFacts> named = VolumeOf(survey, path);
    if (named) {
        view.namedDrive = *named;
    }
    const WideText literal = LiteralPath(path);
    // The boot has no Sysnative folder, though some systems keep the alias with redirection off.
    if (literal.empty() || (UnderWow64() && IsInSysnative(path, g_app.wow64.windowsDirectory))) {
        return view;
    }
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return view;
    }
    view.exists = true;
    ReadAttributes(file, view, otherNames);
    const DWORD length = GetFinalPathNameByHandleW(file, WideData(survey.finalPathRoom),
                                                   kFinalPathRoom, kFinalPathFlags);
    const DWORD finalPathError = length == 0 ? GetLastError() : ERROR_SUCCESS;
    CloseHandle(file);
    // Nothing, or no path with a drive letter: a volume the boot has no name for.
    const WideText finalLiteral =
        length > 0 && length < kFinalPathRoom ? survey.finalPathRoom.substr(0, length) : WideText();
    // A folder on the way re-pointed since the row was listed (replaced by a junction, say) leads
    // to another file; a link the user chose when listing it still leads where it did.
    view.movedSinceListing = MovedSinceListing(listedLocation, finalLiteral, SameFileSystemName);
    view.location = finalLiteral;
    const std::optional<WideText> finalPath = OrdinaryPath(finalLiteral);
    if (finalPath) {
        view.finalDrive = VolumeOf(survey, *finalPath);
        // The volume the file is on, which the letter at the front of its path may not be (a
        // disk mounted in a folder). Every file of a folder is on the folder's volume, so the
        // mount manager, which takes far longer than the rest of a file's survey, is asked once
        // for each folder.
        if (view.finalDrive && !view.finalDrive->share) {
            const WideText folder = finalPath->substr(0, finalPath->find_last_of(u'\\') + 1);
            auto known = survey.folderVolumes.find(folder);
            if (known == survey.folderVolumes.end()) {
                const WideText volumePath = VolumePathOf(survey, literal);
                known =
                    survey.folderVolumes
                        .emplace(folder, volumePath.empty() ? *view.finalDrive
                                                            : VolumeOfGuidPath(survey, volumePath))
                        .first;
            }
            view.finalDrive = known->second;
        }
    } else if (length == 0 && finalPathError != ERROR_PATH_NOT_FOUND) {
        // The system tells a volume without a drive letter by ERROR_PATH_NOT_FOUND. Any other
        // failure (Wine reports no final path longer than MAX_PATH) leaves the file where the
        // letter typed puts it, which is all that can be told.
        view.finalDrive = view.namedDrive;
    }
    view.renameConflict =
        TouchedByRename(path, survey.renamed, SameFileSystemName) ||
        (finalPath && TouchedByRename(*finalPath, survey.renamed, SameFileSystemName));
    // Asked of folders too: a folder row's folder and those inside it are deleted as files are.
    view.systemMayDelete =
        SystemMayDelete(survey.system, finalLiteral.empty() ? literal : finalLiteral);
    return view;
}

WideText FileKey(const BootView& view, const WideText& path) {
    return view.location.empty() ? LiteralPath(path) : view.location;
}
