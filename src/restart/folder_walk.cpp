#include "restart/folder_walk.h"

#include <initializer_list>

#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// The value of an environment variable; empty when it is not set.
WideText EnvironmentFolder(const char16_t* name) {
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
    return value;
}

WideText ParentOf(const WideText& path) {
    const size_t separator = path.find_last_of(u'\\');
    return separator == WideText::npos ? WideText() : path.substr(0, separator);
}

// The names a folder holds, each with whether it is a folder; false when it cannot be listed.
struct ListedName {
    WideText name;
    bool folder = false;
};
bool ListFolder(const WideText& folder, std::vector<ListedName>& names) {
    const WideText pattern = LiteralPath(folder + u"\\*");
    if (pattern.empty()) {
        return false;
    }
    WIN32_FIND_DATAW found{};
    HANDLE search =
        InNativeView([&] { return FindFirstFileW(WideC(pattern), &found); }, INVALID_HANDLE_VALUE);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty drive's root has not even "." to show.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const WideText name(reinterpret_cast<const char16_t*>(found.cFileName));
        if (name != u"." && name != u"..") {
            names.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        }
    } while (FindNextFileW(search, &found));
    const bool whole = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return whole;
}

FolderEntry SurveyEntry(BootSurvey& survey, const WideText& path, size_t depth,
                        const std::optional<WideText>& location, Wanted wanted) {
    // A folder row's entries are deleted name by name; their other names are not told.
    const BootView view = SurveyRow(survey, path, location, OtherNames::kNotCounted);
    FolderEntry entry;
    entry.path = path;
    entry.key = FileKey(view, path);
    entry.folder = view.folder;
    entry.depth = depth;
    entry.readOnly = view.readOnly;
    entry.refusal = DecideBootRefusal(view, wanted);
    return entry;
}

}  // namespace

SystemFolders SystemFoldersNow() {
    SystemFolders system;
    // Under WOW64 the Windows folder is known already, asked once for the process.
    system.windows = UnderWow64() ? g_app.wow64.windowsDirectory : SystemWindowsDirectory();
    const WideText profile = EnvironmentFolder(u"USERPROFILE");
    system.users = ParentOf(profile);
    system.others.push_back(profile);
    for (const char16_t* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432",
                                 u"ProgramData", u"ALLUSERSPROFILE", u"PUBLIC"}) {
        if (WideText folder = EnvironmentFolder(name); !folder.empty()) {
            system.others.push_back(folder);
        }
    }
    return system;
}

std::vector<FolderEntry> WalkFolder(BootSurvey& survey, const WideText& folder,
                                    const std::optional<WideText>& listedLocation,
                                    const SystemFolders& system,
                                    const std::function<void(size_t checked)>& checked) {
    std::vector<FolderEntry> entries;
    if (IsSystemFolder(folder, system, SameFileSystemName)) {
        FolderEntry root;
        root.path = folder;
        root.folder = true;
        root.refusal = BootRefusal::kSystemFolder;
        entries.push_back(root);
        return entries;
    }
    entries.push_back(SurveyEntry(survey, folder, 0, listedLocation, Wanted::kFolder));
    // A folder on the way that leads into a system folder is one too.
    const std::optional<WideText> real = OrdinaryPath(entries[0].key);
    if (entries[0].refusal == BootRefusal::kNone && real &&
        IsSystemFolder(*real, system, SameFileSystemName)) {
        entries[0].refusal = BootRefusal::kSystemFolder;
    }
    checked(entries.size());
    // Folders still to list, by index; each entry's own refusal already stops its walk.
    std::vector<size_t> toList;
    if (entries[0].refusal == BootRefusal::kNone) {
        toList.push_back(0);
    }
    while (!toList.empty()) {
        const size_t parent = toList.back();
        toList.pop_back();
        std::vector<ListedName> names;
        if (!ListFolder(entries[parent].path, names)) {
            entries[parent].refusal = BootRefusal::kUnlistedFolder;
            continue;
        }
        for (const ListedName& listed : names) {
            const WideText path = entries[parent].path + u'\\' + listed.name;
            // Where the entry must be when nothing on its way was re-pointed since the folder
            // above it was surveyed.
            const WideText parentKey = entries[parent].key;
            const std::optional<WideText> expected =
                parentKey.empty() ? std::nullopt
                                  : std::optional<WideText>(parentKey + u'\\' + listed.name);
            entries.push_back(
                SurveyEntry(survey, path, entries[parent].depth + 1, expected, Wanted::kEither));
            if (entries.back().folder && entries.back().refusal == BootRefusal::kNone) {
                toList.push_back(entries.size() - 1);
            }
            checked(entries.size());
        }
    }
    return entries;
}
