#include "pending/spelled_names.h"

#include <vector>

#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// Every drive letter's other names, as a pending operation may be written with them.
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
            // "\\?\Volume{...}\" is recorded as "\??\Volume{...}\", which is read without its
            // "\??\".
            volume.resize(volume.find(u'\0'));
            if (volume.size() > 5 && volume.back() == u'\\') {
                aliases.push_back({volume.substr(4, volume.size() - 5), drive});
            }
        }
    }
    return aliases;
}

std::u16string_view LeafOf(const OrdinaryPath& path) {
    const size_t separator = path.text.find_last_of(u'\\');
    return std::u16string_view(path.text).substr(separator == WideText::npos ? 0 : separator + 1);
}

// The final path of what a literal path opens, in the native view: a folder on the way and, when
// asked, a final link followed. Nothing when it names nothing or no ordinary path is reported.
std::optional<OrdinaryPath> FinalOnDisk(const LiteralPath& literal, bool followFinalLink) {
    HANDLE file =
        InNativeView([&] { return followFinalLink ? OpenFollowing(literal) : OpenToAsk(literal); },
                     INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const LiteralPath final = FinalPathOf(file);
    CloseHandle(file);
    return OrdinaryFormOf(final);
}

bool OnNetworkLetter(SpelledNames& names, const OrdinaryPath& path) {
    const char16_t letter = AsciiUpper(path.text[0]);
    auto known = names.remoteLetters.find(letter);
    if (known == names.remoteLetters.end()) {
        const WideText root = {letter, u':', u'\\'};
        known =
            names.remoteLetters.emplace(letter, GetDriveTypeW(WideC(root)) == DRIVE_REMOTE).first;
    }
    return known->second;
}

// Where a folder on a local drive is: its final path, or, when it is not there, its name under
// where the folder above it is. Worked up from the folder to the first one known or there, then
// down again, each folder once.
OrdinaryPath FolderOnDisk(SpelledNames& names, const OrdinaryPath& folder) {
    std::vector<OrdinaryPath> missing;
    OrdinaryPath at = folder;
    OrdinaryPath found;
    for (;;) {
        if (const auto known = names.folders.find(at.text); known != names.folders.end()) {
            found = known->second;
            break;
        }
        // A drive's root is where its letter says.
        if (at.empty() || IsDriveRoot(at)) {
            found = at;
            break;
        }
        if (std::optional<OrdinaryPath> final = FinalOnDisk(LiteralFormOf(at), true)) {
            found = std::move(*final);
            names.folders.emplace(at.text, found);
            break;
        }
        missing.push_back(at);
        at = ParentOf(at);
    }
    for (auto below = missing.rbegin(); below != missing.rend(); ++below) {
        found.text += u'\\';
        found.text += LeafOf(*below);
        names.folders.emplace(below->text, found);
    }
    return found;
}

// A path on a local drive as the disk has it: its folder's final path and its own name, made long
// when it is an 8.3 one. The name itself is not followed: a rename moves a link, not its target.
OrdinaryPath PathOnDisk(SpelledNames& names, const OrdinaryPath& path) {
    if (IsDriveRoot(path)) {
        return path;
    }
    const std::u16string_view leaf = LeafOf(path);
    if (leaf.find(u'~') != std::u16string_view::npos) {
        if (std::optional<OrdinaryPath> final = FinalOnDisk(LiteralFormOf(path), false)) {
            return std::move(*final);
        }
    }
    OrdinaryPath onDisk = FolderOnDisk(names, ParentOf(path));
    onDisk.text += u'\\';
    onDisk.text += leaf;
    return onDisk;
}

// A device or volume path of no drive letter ("\\?\GLOBALROOT\Device\HarddiskVolume5\a",
// "\\?\Volume{...}\a"): the final path of the deepest part of it there, and the rest after that.
std::optional<OrdinaryPath> OpenedOnDisk(const WideText& literal) {
    constexpr std::u16string_view kDevicePrefix = u"\\\\?\\GLOBALROOT\\Device\\";
    const size_t named = StartsWithIgnoringAsciiCase(std::u16string_view(literal), kDevicePrefix)
                             ? kDevicePrefix.size()
                             : literal.find(u'}');
    // Where the device's or volume's own name ends: what follows is its folders.
    size_t root = named == WideText::npos ? WideText::npos : literal.find(u'\\', named);
    if (root == WideText::npos) {
        root = literal.size();
    }
    for (size_t end = literal.size(); end != WideText::npos && end > root;
         end = literal.find_last_of(u'\\', end - 1)) {
        // The name itself is not followed, the folders above it are.
        if (std::optional<OrdinaryPath> final =
                FinalOnDisk(LiteralPath{literal.substr(0, end)}, end != literal.size())) {
            final->text += literal.substr(end);
            return final;
        }
    }
    std::optional<OrdinaryPath> top =
        FinalOnDisk(LiteralPath{literal.substr(0, root) + u"\\"}, true);
    if (!top) {
        return std::nullopt;
    }
    // "C:\" or "C:\mnt\usb\", and what follows the volume's name.
    if (top->text.back() == u'\\' && root < literal.size()) {
        top->text.pop_back();
    }
    top->text += literal.substr(root);
    return top;
}

std::optional<OrdinaryPath> OnDisk(SpelledNames& names, const SpelledName& spelled) {
    switch (spelled.kind) {
        case SpellingKind::kUnknown:
            return std::nullopt;
        case SpellingKind::kToOpen:
            return OpenedOnDisk(spelled.text);
        case SpellingKind::kPath:
            break;
    }
    const OrdinaryPath path{spelled.text};
    if (RootOf(path.text) != PathRoot::kDrive || OnNetworkLetter(names, path)) {
        return path;
    }
    return PathOnDisk(names, path);
}

}  // namespace

const SpellingTable& SpellingTableOf(SpelledNames& names) {
    if (!names.tableAsked) {
        names.tableAsked = true;
        names.table.aliases = DriveAliases();
        names.table.windowsFolder =
            UnderWow64() ? g_app.wow64.windowsDirectory : SystemWindowsDirectory();
    }
    return names.table;
}

const std::optional<OrdinaryPath>& SpelledPath(SpelledNames& names, std::u16string_view recorded) {
    const WideText key(recorded);
    auto known = names.byRecorded.find(key);
    if (known == names.byRecorded.end()) {
        const SpelledName spelled = ReadSpelling(recorded, SpellingTableOf(names));
        known = names.byRecorded.emplace(key, OnDisk(names, spelled)).first;
    }
    return known->second;
}

NameOf SpelledPathsOnce(SpelledNames& names) {
    return [&names](std::u16string_view recorded) -> const std::optional<OrdinaryPath>& {
        names.once = OnDisk(names, ReadSpelling(recorded, SpellingTableOf(names)));
        return names.once;
    };
}
