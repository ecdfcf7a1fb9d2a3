// The virtual disk: files and folders under their UTF-16 names, with optional short (8.3) names,
// and the calls that look at it. The A calls convert their paths from the selected code page
// first, as the platform does, so a name that best fit has changed finds whatever file carries
// the changed name.

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>

#include "internal.h"

using namespace standin;
using namespace standin::detail;

namespace {

bool IsDriveRoot(const std::string& key) {
    return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

// The disk key of a full path: no trailing separator except for a drive's root, folded.
std::string KeyOfFull(std::string full) {
    if (!IsDriveRoot(full) && full.size() > 1 && full.back() == '\\') {
        full.pop_back();
    }
    return FoldCase(full);
}

// The full path (WTF-8) of a UTF-16 path, against the current directory.
std::optional<std::string> FullOf(const std::u16string& path) {
    const bool absolute = (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') ||
                          (path.size() >= 3 && path[1] == u':' && path[2] == u'\\');
    // Only a relative path needs the current directory, which is kept in the code page.
    return FullPath(Wtf8(path), absolute ? std::string() : Wtf8(WideOfAnsi(S().currentDirectory)));
}

// The key of the folder that holds a key's entry; empty for a root.
std::string ParentKey(const std::string& key) {
    if (IsDriveRoot(key)) {
        return {};
    }
    const size_t cut = key.rfind('\\');
    if (cut == std::string::npos || cut == 0) {
        return {};
    }
    std::string parent = key.substr(0, cut);
    if (parent.size() == 2 && parent[1] == ':') {
        parent += '\\';
    }
    return parent;
}

std::string JoinKey(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

// The key of what a key names, its parts given by long or by short names: the entry's own key
// when there is one, else the key as it stands.
std::string Resolve(const std::string& key) {
    State& s = S();
    if (s.disk.count(key) != 0) {
        return key;
    }
    const std::string parent = ParentKey(key);
    if (parent.empty() || parent.size() >= key.size()) {
        return key;
    }
    const std::string folder = Resolve(parent);
    const std::string name = key.substr(key.rfind('\\') + 1);
    const std::string joined = JoinKey(folder, name);
    if (s.disk.count(joined) != 0) {
        return joined;
    }
    const auto byShortName = s.shortNames.find(JoinKey(folder, name));
    return byShortName != s.shortNames.end() ? byShortName->second : joined;
}

std::optional<std::string> KeyOf(const std::u16string& path) {
    std::optional<std::string> full = FullOf(path);
    if (!full) {
        return std::nullopt;
    }
    return Resolve(KeyOfFull(*full));
}

// The key of what a path names in the process's current view (wow64.cpp).
std::optional<std::string> ViewKeyOf(const std::u16string& path) {
    return InView(KeyOf(path));
}

const DiskEntry* EntryOf(const std::optional<std::string>& key) {
    if (!key) {
        return nullptr;
    }
    auto found = S().disk.find(*key);
    return found == S().disk.end() ? nullptr : &found->second;
}

bool IsDirectoryKey(const std::optional<std::string>& key) {
    if (!key) {
        return false;
    }
    if (const DiskEntry* entry = EntryOf(key)) {
        return entry->directory;
    }
    // The current directory and the root of its drive exist, whatever the table holds.
    const std::optional<std::string> cwd = KeyOf(WideOfAnsi(S().currentDirectory));
    const bool cwdRoot = cwd && cwd->size() >= 2 && (*cwd)[1] == ':' && IsDriveRoot(*key) &&
                         key->substr(0, 2) == cwd->substr(0, 2);
    return (cwd && *key == *cwd) || cwdRoot;
}

void AddEntry(const std::u16string& path, bool directory,
              const std::optional<std::u16string>& shortName) {
    const std::optional<std::string> full = FullOf(path);
    if (!full) {
        return;
    }
    State& s = S();
    std::string trimmed = *full;
    if (!IsDriveRoot(trimmed) && trimmed.size() > 1 && trimmed.back() == '\\') {
        trimmed.pop_back();
    }
    const std::string key = FoldCase(trimmed);
    DiskEntry& entry = s.disk[key];
    entry.path = FromWtf8(trimmed);
    entry.file = entry.file || !directory;
    entry.directory = entry.directory || directory;
    if (shortName) {
        entry.shortName = shortName;
        s.shortNames[JoinKey(ParentKey(key), FoldCase(Wtf8(*shortName)))] = key;
    }
    // Every folder above it exists too, under the spelling of this path.
    for (std::string parent = ParentKey(key); !parent.empty(); parent = ParentKey(parent)) {
        DiskEntry& folder = s.disk[parent];
        if (folder.path.empty()) {
            folder.path = FromWtf8(parent.size() == 3 ? trimmed.substr(0, 3)
                                                      : trimmed.substr(0, parent.size()));
        }
        folder.directory = true;
    }
}

// The short form of an entry's path: each part by its short name where it has one.
std::u16string ShortFormOf(const std::string& key) {
    const DiskEntry& entry = S().disk.at(key);
    const std::string parent = ParentKey(key);
    if (parent.empty() || S().disk.count(parent) == 0) {
        return entry.path;
    }
    const std::u16string folder = ShortFormOf(parent);
    const std::u16string name =
        entry.shortName ? *entry.shortName : entry.path.substr(entry.path.rfind(u'\\') + 1);
    return !folder.empty() && folder.back() == u'\\' ? folder + name : folder + u"\\" + name;
}

// The names a folder's key holds, each with whether it is a folder.
std::vector<SearchEntry> ChildrenOfKey(const std::string& key) {
    std::vector<SearchEntry> children;
    const std::string prefix = IsDriveRoot(key) ? key : key + "\\";
    for (auto it = S().disk.lower_bound(prefix);
         it != S().disk.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos) {
            const std::u16string& path = it->second.path;
            children.push_back({path.substr(path.rfind(u'\\') + 1), it->second.directory});
        }
    }
    return children;
}

}  // namespace

namespace standin {

void AddFile(const std::string& path) {
    AddEntry(WideOfAnsi(path), false, std::nullopt);
}

void AddDirectory(const std::string& path) {
    AddEntry(WideOfAnsi(path), true, std::nullopt);
}

void AddFileW(const std::u16string& path, std::optional<std::u16string> shortName) {
    AddEntry(path, false, shortName);
}

void AddDirectoryW(const std::u16string& path, std::optional<std::u16string> shortName) {
    AddEntry(path, true, shortName);
}

std::optional<std::u16string> FileNamedBy(const std::string& path) {
    const DiskEntry* entry = EntryOf(KeyOf(WideOfAnsi(path)));
    return entry ? std::optional<std::u16string>(entry->path) : std::nullopt;
}

void SetReadOnly(const std::string& path, bool readOnly) {
    auto found = S().disk.find(KeyOf(WideOfAnsi(path)).value_or(std::string()));
    if (found == S().disk.end()) {
        Abort("SetReadOnly: no such file or folder: " + path);
    }
    found->second.readOnly = readOnly;
}

std::optional<std::u16string> FileNamedByW(const std::u16string& path) {
    const DiskEntry* entry = EntryOf(KeyOf(path));
    return entry ? std::optional<std::u16string>(entry->path) : std::nullopt;
}

void SetAttributesFixed(const std::string& path, bool fixed) {
    auto found = S().disk.find(KeyOf(WideOfAnsi(path)).value_or(std::string()));
    if (found == S().disk.end()) {
        Abort("SetAttributesFixed: no such file or folder: " + path);
    }
    found->second.attributesFixed = fixed;
}

bool IsReadOnly(const std::string& path) {
    const DiskEntry* entry = EntryOf(KeyOf(WideOfAnsi(path)));
    return entry != nullptr && entry->readOnly;
}

void SetCurrentDirectory(const std::string& directory) {
    std::optional<std::string> full = FullPath(directory);
    std::string cwd = full ? *full : directory;
    if (cwd.size() > 3 && cwd.back() == '\\') {
        cwd.pop_back();
    }
    S().currentDirectory = cwd;
}

}  // namespace standin

namespace {

constexpr uintptr_t kSearchBase = 0x700000;
constexpr uintptr_t kSearchStep = 0x10;

SearchRecord* FindSearch(HANDLE search) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(search);
    if (value < kSearchBase || (value - kSearchBase) % kSearchStep != 0) {
        return nullptr;
    }
    const size_t index = (value - kSearchBase) / kSearchStep;
    return index < S().searches.size() ? &S().searches[index] : nullptr;
}

std::string SearchName(HANDLE search) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(search);
    return FindSearch(search)
               ? "search:" + Num(static_cast<long long>((value - kSearchBase) / kSearchStep + 1))
               : Pointer(search);
}

// Hands out the search's next entry; false with ERROR_NO_MORE_FILES after the last.
BOOL NextEntry(SearchRecord& search, LPWIN32_FIND_DATAW found) {
    if (search.next >= search.entries.size()) {
        S().lastError = ERROR_NO_MORE_FILES;
        return FALSE;
    }
    const SearchEntry& entry = search.entries[search.next++];
    *found = WIN32_FIND_DATAW{};
    found->dwFileAttributes = entry.directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    const size_t length = std::min<size_t>(entry.name.size(), MAX_PATH - 1);
    std::memcpy(found->cFileName, entry.name.data(), length * sizeof(char16_t));
    return TRUE;
}

}  // namespace

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
    LogCall("FindFirstFileW", {WideArg(pattern)});
    CheckCallOutsideLock("FindFirstFileW");
    const std::u16string text = pattern ? std::u16string(pattern) : std::u16string();
    if (text.size() < 2 || text.compare(text.size() - 2, 2, u"\\*") != 0 || found == nullptr) {
        Abort("FindFirstFileW: the stand-in lists whole folders only (\"folder\\*\")");
    }
    const std::optional<std::string> key = ViewKeyOf(text.substr(0, text.size() - 2));
    if (!IsDirectoryKey(key)) {
        S().lastError = ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    SearchRecord search;
    search.entries = {{u".", true}, {u"..", true}};
    for (SearchEntry& entry : ChildrenOfKey(*key)) {
        search.entries.push_back(std::move(entry));
    }
    S().searches.push_back(std::move(search));
    NextEntry(S().searches.back(), found);
    return reinterpret_cast<HANDLE>(kSearchBase + (S().searches.size() - 1) * kSearchStep);
}

BOOL FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW found) {
    SearchRecord* record = FindSearch(search);
    if (record == nullptr || record->closed || found == nullptr) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return NextEntry(*record, found);
}

BOOL FindClose(HANDLE search) {
    LogCall("FindClose", {SearchName(search)});
    SearchRecord* record = FindSearch(search);
    if (record == nullptr || record->closed) {
        Fail("FindClose called on " + SearchName(search) + ", which is no open search");
        return FALSE;
    }
    record->closed = true;
    return TRUE;
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    LogCall("SetFileAttributesW", {WideArg(path), Unsigned(attributes)});
    CheckCallOutsideLock("SetFileAttributesW");
    DiskEntry* entry = path != nullptr ? EntryInView(path) : nullptr;
    if (entry == nullptr) {
        S().lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    entry->readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return TRUE;
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
    static const std::map<std::u16string, std::u16string> kVariables = {
        {u"USERPROFILE", u"C:\\Users\\user"},
        {u"PUBLIC", u"C:\\Users\\Public"},
        {u"ProgramFiles", u"C:\\Program Files"},
        {u"ProgramFiles(x86)", u"C:\\Program Files (x86)"},
        {u"ProgramW6432", u"C:\\Program Files"},
        {u"ProgramData", u"C:\\ProgramData"},
        {u"ALLUSERSPROFILE", u"C:\\ProgramData"},
    };
    const auto value = name ? kVariables.find(name) : kVariables.end();
    if (value == kVariables.end()) {
        S().lastError = 203;  // ERROR_ENVVAR_NOT_FOUND
        return 0;
    }
    if (buffer == nullptr || size <= value->second.size()) {
        return static_cast<DWORD>(value->second.size() + 1);
    }
    std::memcpy(buffer, value->second.c_str(), (value->second.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(value->second.size());
}

namespace standin::detail {

DiskEntry* EntryInView(const std::u16string& path) {
    const std::optional<std::string> key = ViewKeyOf(path);
    if (!key) {
        return nullptr;
    }
    auto found = S().disk.find(*key);
    return found == S().disk.end() ? nullptr : &found->second;
}

std::vector<SearchEntry> EntriesOf(const std::u16string& folder) {
    const std::optional<std::string> key = KeyOf(folder);
    return key ? ChildrenOfKey(*key) : std::vector<SearchEntry>();
}

uint64_t FileIndexOf(const std::u16string& finalPath) {
    return std::hash<std::string>()(FoldCase(Wtf8(finalPath)));
}

std::optional<DiskHit> LookUpInView(const std::u16string& path) {
    const std::optional<std::string> key = ViewKeyOf(path);
    const DiskEntry* entry = EntryOf(key);
    if (entry != nullptr) {
        return DiskHit{entry->path, entry->directory};
    }
    if (IsDirectoryKey(key)) {
        return DiskHit{FromWtf8(*key), true};
    }
    return std::nullopt;
}

}  // namespace standin::detail

DWORD GetFileAttributesW(LPCWSTR path) {
    LogCall("GetFileAttributesW", {WideArg(path)});
    const std::optional<std::string> key = path ? ViewKeyOf(path) : std::nullopt;
    const DiskEntry* entry = EntryOf(key);
    if (entry != nullptr) {
        const DWORD kind = entry->directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        return entry->readOnly ? (kind & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY : kind;
    }
    if (IsDirectoryKey(key)) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    S().lastError = path ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER;
    return INVALID_FILE_ATTRIBUTES;
}

BOOL GetFileAttributesExW(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID information) {
    LogCall("GetFileAttributesExW", {WideArg(path), Unsigned(level)});
    const std::optional<std::string> key = path ? ViewKeyOf(path) : std::nullopt;
    const DiskEntry* entry = EntryOf(key);
    if (level != GetFileExInfoStandard || information == nullptr ||
        (entry == nullptr && !IsDirectoryKey(key))) {
        S().lastError = entry == nullptr && path ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    // The stand-in's files hold nothing.
    auto& data = *static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(information);
    data = WIN32_FILE_ATTRIBUTE_DATA{};
    data.dwFileAttributes = GetFileAttributesW(path);
    return TRUE;
}

DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength) {
    LogCall("GetShortPathNameW",
            {WideArg(longPath), shortPath ? "buffer" : "NULL", Unsigned(bufferLength)});
    const std::optional<std::string> key = longPath ? ViewKeyOf(longPath) : std::nullopt;
    if (!EntryOf(key)) {
        S().lastError = longPath ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_PARAMETER;
        return 0;
    }
    std::u16string form = ShortFormOf(*key);
    // Asked in the literal form, the answer comes in it too.
    if (std::u16string(longPath).rfind(u"\\\\?\\", 0) == 0) {
        form = form.rfind(u"\\\\", 0) == 0 ? u"\\\\?\\UNC" + form.substr(1) : u"\\\\?\\" + form;
    }
    if (!shortPath || bufferLength <= form.size()) {
        return static_cast<DWORD>(form.size() + 1);
    }
    std::memcpy(shortPath, form.c_str(), (form.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(form.size());
}

UINT GetDriveTypeW(LPCWSTR rootPath) {
    LogCall("GetDriveTypeW", {WideArg(rootPath)});
    const std::u16string root = rootPath ? rootPath : u"";
    const bool letter =
        root.size() == 3 && root[1] == u':' && root[2] == u'\\' &&
        ((root[0] >= u'A' && root[0] <= u'Z') || (root[0] >= u'a' && root[0] <= u'z'));
    return letter ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

DWORD QueryDosDeviceW(LPCWSTR deviceName, LPWSTR targetPath, DWORD max) {
    LogCall("QueryDosDeviceW", {WideArg(deviceName), Unsigned(max)});
    const std::u16string name = deviceName ? deviceName : u"";
    if (name.size() != 2 || name[1] != u':') {
        S().lastError = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    // The device and the empty name that ends the list.
    const std::u16string target = std::u16string(u"\\Device\\HarddiskVolume1") + u'\0' + u'\0';
    if (!targetPath || max < target.size()) {
        S().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(targetPath, target.data(), target.size() * sizeof(char16_t));
    return static_cast<DWORD>(target.size());
}

namespace {

bool IsLetter(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

}  // namespace

std::u16string standin::detail::VolumeOfLetter(char16_t letter) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    const unsigned code = static_cast<unsigned>(letter & ~0x20u);
    return std::u16string(u"\\\\?\\Volume{00000000-0000-0000-0000-0000000000") +
           kDigits[code >> 4] + kDigits[code & 0xF] + u"}\\";
}

DWORD GetLogicalDrives() {
    LogCall("GetLogicalDrives", {});
    return 1u << 2;
}

BOOL GetVolumeNameForVolumeMountPointW(LPCWSTR mountPoint, LPWSTR volumeName, DWORD length) {
    LogCall("GetVolumeNameForVolumeMountPointW", {WideArg(mountPoint), Unsigned(length)});
    const std::u16string point = mountPoint ? mountPoint : u"";
    if (point.size() != 3 || !IsLetter(point[0]) || point[1] != u':' || point[2] != u'\\') {
        S().lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    const std::u16string volume = VolumeOfLetter(point[0]);
    if (!volumeName || length <= volume.size()) {
        S().lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    std::memcpy(volumeName, volume.c_str(), (volume.size() + 1) * sizeof(char16_t));
    return TRUE;
}

BOOL GetVolumePathNamesForVolumeNameW(LPCWSTR volumeName, LPWSTR names, DWORD length,
                                      LPDWORD needed) {
    LogCall("GetVolumePathNamesForVolumeNameW", {WideArg(volumeName), Unsigned(length)});
    const std::u16string volume = volumeName ? volumeName : u"";
    char16_t letter = 0;
    for (char16_t candidate = u'A'; candidate <= u'Z'; ++candidate) {
        if (FoldCase(Wtf8(volume)) == FoldCase(Wtf8(VolumeOfLetter(candidate)))) {
            letter = candidate;
        }
    }
    if (letter == 0) {
        S().lastError = ERROR_INVALID_NAME;
        return FALSE;
    }
    // The letter's root and the empty name that ends the list.
    const std::u16string list = std::u16string{letter, u':', u'\\', u'\0', u'\0'};
    if (needed) {
        *needed = static_cast<DWORD>(list.size());
    }
    if (!names || length < list.size()) {
        S().lastError = ERROR_MORE_DATA;
        return FALSE;
    }
    std::memcpy(names, list.data(), list.size() * sizeof(char16_t));
    return TRUE;
}

int CompareStringOrdinal(LPCWCH left, int leftLength, LPCWCH right, int rightLength,
                         BOOL ignoreCase) {
    if (left == nullptr || right == nullptr) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    const std::u16string_view a(left, leftLength < 0 ? std::char_traits<char16_t>::length(left)
                                                     : static_cast<size_t>(leftLength));
    const std::u16string_view b(right, rightLength < 0 ? std::char_traits<char16_t>::length(right)
                                                       : static_cast<size_t>(rightLength));
    auto upper = [&](char16_t unit) { return ignoreCase ? UpperCaseUnit(unit) : unit; };
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const char16_t x = upper(a[i]);
        const char16_t y = upper(b[i]);
        if (x != y) {
            return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
        }
    }
    if (a.size() == b.size()) {
        return CSTR_EQUAL;
    }
    return a.size() < b.size() ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}
