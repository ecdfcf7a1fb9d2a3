#include "pending/spelling_rules.h"

#include "paths/literal_forms.h"

namespace {

// The object manager's own names for the DOS devices: the caller's map, and the global one the
// boot has.
constexpr std::u16string_view kDosDevices[] = {u"\\??\\", u"\\DosDevices\\", u"\\GLOBAL??\\"};
// Inside the DOS devices: the object namespace's root again, and the link of every share.
constexpr std::u16string_view kGlobalRoot = u"GLOBALROOT\\";
constexpr std::u16string_view kUnc = u"UNC\\";
// Every share by its server, and every other device, in the object namespace.
constexpr std::u16string_view kMup = u"\\Device\\Mup\\";
constexpr std::u16string_view kDevice = u"\\Device\\";
// The link to the Windows folder the boot has before any drive letter.
constexpr std::u16string_view kSystemRoot = u"\\SystemRoot";
constexpr std::u16string_view kVolume = u"Volume{";
constexpr std::u16string_view kVerbatim = u"\\\\?\\";

bool StartsWith(std::u16string_view text, std::u16string_view front) {
    return StartsWithIgnoringAsciiCase(text, front);
}

bool IsAsciiDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

bool IsAsciiLetter(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

// True when name stands at the front of path as a whole part: "\" or nothing follows it.
bool NamesFront(std::u16string_view path, std::u16string_view name) {
    return !name.empty() && StartsWith(path, name) &&
           (path.size() == name.size() || path[name.size()] == u'\\');
}

SpelledName Path(WideText text) {
    return {SpellingKind::kPath, std::move(text)};
}

SpelledName Unknown() {
    return {SpellingKind::kUnknown, {}};
}

// A path that begins with a volume's other name, with its drive letter there instead: "C:\" for
// the volume itself.
std::optional<WideText> WithDriveLetter(std::u16string_view path,
                                        const std::vector<VolumeAlias>& aliases) {
    for (const VolumeAlias& alias : aliases) {
        if (NamesFront(path, alias.name)) {
            const std::u16string_view rest = path.substr(alias.name.size());
            return alias.drive + (rest.empty() ? WideText(u"\\") : WideText(rest));
        }
    }
    return std::nullopt;
}

SpelledName InObjectRoot(std::u16string_view path, const SpellingTable& table);

// A name inside the DOS devices ("C:\a", "UNC\server\share\a", "Volume{...}\a", "GLOBALROOT\...").
SpelledName InDosDevices(std::u16string_view rest, const SpellingTable& table) {
    if (StartsWith(rest, kGlobalRoot)) {
        return InObjectRoot(rest.substr(kGlobalRoot.size() - 1), table);
    }
    if (StartsWith(rest, kUnc)) {
        WideText share = u"\\\\" + WideText(rest.substr(kUnc.size()));
        return RootOf(share) == PathRoot::kShare ? Path(std::move(share)) : Unknown();
    }
    if (rest.size() >= 2 && IsAsciiLetter(rest[0]) && rest[1] == u':' &&
        (rest.size() == 2 || rest[2] == u'\\')) {
        return Path(rest.size() == 2 ? WideText(rest) + u"\\" : WideText(rest));
    }
    if (std::optional<WideText> lettered = WithDriveLetter(rest, table.aliases)) {
        return Path(std::move(*lettered));
    }
    // A volume without a drive letter, mounted in a folder or nowhere.
    const std::u16string_view volume = rest.substr(0, rest.find(u'\\'));
    if (StartsWith(volume, kVolume) && volume.back() == u'}') {
        return {SpellingKind::kToOpen, WideText(kVerbatim) + WideText(rest) +
                                           (rest.size() == volume.size() ? u"\\" : u"")};
    }
    return Unknown();
}

// A name from the object namespace's root ("\Device\...", "\??\...", "\SystemRoot\...").
SpelledName InObjectRoot(std::u16string_view path, const SpellingTable& table) {
    for (std::u16string_view dosDevices : kDosDevices) {
        if (StartsWith(path, dosDevices)) {
            return InDosDevices(path.substr(dosDevices.size()), table);
        }
    }
    if (StartsWith(path, kMup)) {
        WideText share = u"\\\\" + WideText(path.substr(kMup.size()));
        return RootOf(share) == PathRoot::kShare ? Path(std::move(share)) : Unknown();
    }
    if (StartsWith(path, kDevice)) {
        if (std::optional<WideText> lettered = WithDriveLetter(path, table.aliases)) {
            return Path(std::move(*lettered));
        }
        return {SpellingKind::kToOpen, WideText(kVerbatim) + u"GLOBALROOT" + WideText(path)};
    }
    if (NamesFront(path, kSystemRoot) && RootOf(table.windowsFolder) == PathRoot::kDrive) {
        return Path(table.windowsFolder + WideText(path.substr(kSystemRoot.size())));
    }
    return Unknown();
}

}  // namespace

std::u16string_view WithoutMarkers(std::u16string_view recorded) {
    std::u16string_view path = recorded;
    if (path.size() >= 2 && path[0] == u'*' && IsAsciiDigit(path[1])) {
        size_t digits = 1;
        while (digits < path.size() && IsAsciiDigit(path[digits])) {
            ++digits;
        }
        path.remove_prefix(digits);
    }
    while (!path.empty() && (path[0] == u'!' || path[0] == u'@')) {
        path.remove_prefix(1);
    }
    return path;
}

SpelledName ReadSpelling(std::u16string_view recorded, const SpellingTable& table) {
    const std::u16string_view path = WithoutMarkers(recorded);
    // Some writers record an ordinary path; it is compared as the path it is.
    if (RootOf(path) != PathRoot::kNone) {
        return Path(WideText(path));
    }
    if (!path.empty() && path[0] == u'\\') {
        return InObjectRoot(path, table);
    }
    return Unknown();
}

WideText ShownName(std::u16string_view recorded, const SpellingTable& table) {
    SpelledName spelled = ReadSpelling(recorded, table);
    return spelled.kind == SpellingKind::kPath ? std::move(spelled.text)
                                               : WideText(WithoutMarkers(recorded));
}
