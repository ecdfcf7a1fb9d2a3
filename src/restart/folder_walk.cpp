#include "restart/folder_walk.h"

#include <cstddef>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "restart/listing_records.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// Enough for a few hundred entries a call; a folder is read in as many calls as it needs.
constexpr size_t kListingBytes = 64 * 1024;
// Listing a folder's entries, nothing else; every kind of sharing allowed.
constexpr DWORD kListAccess = FILE_LIST_DIRECTORY | SYNCHRONIZE;
constexpr ListingLayout kListingLayout = {offsetof(FILE_ID_BOTH_DIR_INFO, FileName),
                                          offsetof(FILE_ID_BOTH_DIR_INFO, FileNameLength)};

// The value of an environment variable; empty when it is not set.
OrdinaryPath EnvironmentFolder(const char16_t* name) {
    const DWORD needed = GetEnvironmentVariableW(reinterpret_cast<LPCWSTR>(name), nullptr, 0);
    if (needed == 0) {
        return {};
    }
    WideText value(needed, u'\0');
    const DWORD length =
        GetEnvironmentVariableW(reinterpret_cast<LPCWSTR>(name), WideData(value), needed);
    if (length == 0 || length >= needed) {
        return {};
    }
    value.resize(length);
    while (value.size() > 3 && value.back() == u'\\') {
        value.pop_back();
    }
    return {value};
}

// A walk in progress: the tree so far, what its deletions would add, and where it stands.
struct Walk {
    BootSurvey& survey;
    // What every entry shares with the folder: the drives it is on.
    BootView folderView;
    size_t room = 0;
    size_t bytes = 0;
    FolderWalk result;
    // Folders still to list, by entry.
    std::vector<uint32_t> toList;
    std::vector<uint64_t> listing;
};

// An entry as the listing gave it, decided as the survey decides a file: on the folder's drives,
// by its own attributes and reparse tag, and SYSTEM's right to delete it.
BootRefusal DecideListedEntry(Walk& walk, const FILE_ID_BOTH_DIR_INFO& info,
                              const LiteralPath& literal) {
    BootView view = walk.folderView;
    view.renameConflict = false;
    view.movedSinceListing = false;
    view.folder = (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        // A reparse point's tag stands where the size of its extended attributes would.
        view.reparseTag = info.EaSize;
        view.attributesUnknown = info.EaSize == 0;
    }
    view.systemMayDelete = SystemMayDelete(walk.survey.system, literal);
    return DecideBootRefusal(view, Wanted::kEither);
}

// What reading a folder's listing came to.
enum class Listing {
    kWhole,
    kNotWhole,       // the system did not give all of it
    kAnotherFolder,  // its own entry is not the folder its folder listed
    kEnded,          // the walk ends (its end says why)
};

// Adds every entry of an open folder's listing. The listing's own entry, ".", tells which folder
// it is, as GetFileInformationByHandle would, which under Wine takes a millisecond a folder.
Listing AddListedEntries(Walk& walk, HANDLE handle, uint32_t parent,
                         const std::function<bool(size_t checked)>& checked) {
    WalkedTree& tree = walk.result.tree;
    const bool askSystem = walk.survey.system.context != nullptr;
    std::optional<uint64_t> itself;
    FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;
    const size_t listingBytes = walk.listing.size() * sizeof(uint64_t);
    while (GetFileInformationByHandleEx(handle, kind, walk.listing.data(),
                                        static_cast<DWORD>(listingBytes))) {
        kind = FileIdBothDirectoryInfo;
        const auto* bytes = reinterpret_cast<const char*>(walk.listing.data());
        // The system says nothing of how much it wrote: each record is read only where the
        // buffer holds it.
        const std::optional<std::vector<size_t>> records =
            ListingRecords(std::string_view(bytes, listingBytes), kListingLayout);
        if (!records) {
            return Listing::kNotWhole;
        }
        for (const size_t at : *records) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + at);
            const std::u16string_view name(reinterpret_cast<const char16_t*>(info.FileName),
                                           info.FileNameLength / sizeof(char16_t));
            if (name == u".") {
                itself = static_cast<uint64_t>(info.FileId.QuadPart);
            } else if (name != u"..") {
                const uint32_t entry = AddWalkedEntry(
                    tree, parent, name, (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                    (info.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0,
                    static_cast<uint64_t>(info.FileId.QuadPart), BootRefusal::kNone);
                const LiteralPath literal =
                    askSystem ? LiteralFormOf(RecordedPathOf(tree, entry)) : LiteralPath{};
                tree.entries[entry].refusal = DecideListedEntry(walk, info, literal);
                if (tree.entries[entry].folder &&
                    tree.entries[entry].refusal == BootRefusal::kNone) {
                    walk.toList.push_back(entry);
                }
                walk.bytes += DeletionBytes(tree.entries[entry]);
                if (walk.bytes > walk.room) {
                    walk.result.end = WalkEnd::kOverCap;
                    return Listing::kEnded;
                }
            }
        }
        // A folder of few entries still lets the window answer and the progress show.
        if (!checked(tree.entries.size())) {
            walk.result.end = WalkEnd::kStopped;
            return Listing::kEnded;
        }
    }
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        return Listing::kNotWhole;
    }
    // A file system that gives "." no index is asked the folder's own.
    if (!itself || *itself == 0) {
        const std::optional<FileIdentity> identity = IdentityOf(handle);
        itself = identity ? std::optional<uint64_t>(identity->index) : std::nullopt;
    }
    return itself == tree.entries[parent].index ? Listing::kWhole : Listing::kAnotherFolder;
}

// Opens a folder of the tree where it is recorded, checks that it is the very folder its folder
// listed, still at that path (no folder on its way re-pointed since), and adds what it holds; its
// refusal otherwise. False when the walk must end.
bool ListFolder(Walk& walk, uint32_t folder, const std::function<bool(size_t checked)>& checked) {
    WalkedTree& tree = walk.result.tree;
    const LiteralPath literal = LiteralFormOf(RecordedPathOf(tree, folder));
    HANDLE handle = InNativeView(
        [&] {
            return CreateFileW(WideC(literal.text), kListAccess, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        },
        INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) {
        tree.entries[folder].refusal = BootRefusal::kUnlistedFolder;
        return true;
    }
    const LiteralPath now = FinalPathOf(handle);
    Listing listing = Listing::kAnotherFolder;
    const size_t before = tree.entries.size();
    if (now.empty() || SameName(now, literal, FileSystemCase())) {
        listing = AddListedEntries(walk, handle, folder, checked);
    }
    CloseHandle(handle);
    if (listing == Listing::kWhole || listing == Listing::kEnded) {
        return listing == Listing::kWhole;
    }
    // Not the folder, or not read whole: what it held is not known, and the folders found in it
    // are not walked. The row is refused for it, so nothing of it is recorded.
    tree.entries[folder].refusal = listing == Listing::kNotWhole ? BootRefusal::kUnlistedFolder
                                                                 : BootRefusal::kMovedSinceListing;
    while (!walk.toList.empty() && walk.toList.back() >= before) {
        walk.toList.pop_back();
    }
    return true;
}

}  // namespace

SystemFolders SystemFoldersNow() {
    SystemFolders system;
    // Under WOW64 the Windows folder is known already, asked once for the process.
    system.windows = {UnderWow64() ? g_app.wow64.windowsDirectory : SystemWindowsDirectory()};
    const OrdinaryPath profile = EnvironmentFolder(u"USERPROFILE");
    system.users = ParentOf(profile);
    system.others.push_back(profile);
    for (const char16_t* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432",
                                 u"ProgramData", u"ALLUSERSPROFILE", u"PUBLIC"}) {
        if (OrdinaryPath folder = EnvironmentFolder(name); !folder.empty()) {
            system.others.push_back(folder);
        }
    }
    return system;
}

FolderWalk WalkFolder(BootSurvey& survey, const OrdinaryPath& folder,
                      const std::optional<LiteralPath>& listedLocation, const SystemFolders& system,
                      size_t room, const std::function<bool(size_t checked)>& checked) {
    const CaseTable table = FileSystemCase();
    if (IsSystemFolder(folder, system, table)) {
        return {TreeOf(folder, {}, true, false, {}, BootRefusal::kSystemFolder), WalkEnd::kWhole};
    }
    const BootView view =
        SurveyRow(survey, folder, listedLocation, OtherNames::kNotCounted, Wanted::kFolder);
    BootRefusal refusal = DecideBootRefusal(view, Wanted::kFolder);
    // A folder on the way that leads into a system folder is one too.
    const std::optional<OrdinaryPath> real = OrdinaryFormOf(LocationOf(view));
    if (refusal == BootRefusal::kNone && real && IsSystemFolder(*real, system, table)) {
        refusal = BootRefusal::kSystemFolder;
    }
    Walk walk{survey, view, room, 0, {}, {}, {}};
    // What each entry shares with the folder, without the folder's own path: copied for every
    // entry, it would be a copy of the path too.
    walk.folderView.reported.path = LiteralPath{};
    walk.folderView.byFolder.path = LiteralPath{};
    walk.result.tree =
        TreeOf(folder, RecordedPathOf(view), true, view.readOnly, view.identity, refusal);
    walk.bytes = DeletionBytes(walk.result.tree.entries[0]);
    if (refusal != BootRefusal::kNone) {
        return std::move(walk.result);
    }
    if (walk.bytes > room) {
        walk.result.end = WalkEnd::kOverCap;
        return std::move(walk.result);
    }
    if (!checked(1)) {
        walk.result.end = WalkEnd::kStopped;
        return std::move(walk.result);
    }
    walk.listing.assign(kListingBytes / sizeof(uint64_t), 0);
    walk.toList.push_back(0);
    while (!walk.toList.empty()) {
        const uint32_t next = walk.toList.back();
        walk.toList.pop_back();
        if (!ListFolder(walk, next, checked)) {
            break;
        }
    }
    return std::move(walk.result);
}
