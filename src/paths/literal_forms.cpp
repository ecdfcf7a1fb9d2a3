#include "paths/literal_forms.h"

#include <string_view>
#include <utility>

namespace {

template <typename String>
using Char = typename String::value_type;

// An ASCII text in the code units of either kind of string.
template <typename String>
String Ascii(std::string_view text) {
    return String(text.begin(), text.end());
}

template <typename Unit>
bool IsAsciiLetter(Unit unit) {
    return (unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z');
}

// The one rule of what a path begins with, for texts of either kind.
template <typename View>
PathRoot RootAt(View path, size_t at = 0) {
    if (path.size() < at + 3) {
        return PathRoot::kNone;
    }
    if (IsAsciiLetter(path[at]) && path[at + 1] == ':' && path[at + 2] == '\\') {
        return PathRoot::kDrive;
    }
    // "\\" followed by a server name: not a device ("\\.\") or verbatim ("\\?\") path.
    if (path[at] == '\\' && path[at + 1] == '\\' && path[at + 2] != '\\' && path[at + 2] != '?' &&
        path[at + 2] != '.') {
        return PathRoot::kShare;
    }
    return PathRoot::kNone;
}

// "X:\" and whatever follows.
template <typename String>
bool StartsWithDrive(const String& path, size_t at = 0) {
    return RootAt(std::basic_string_view<Char<String>>(path), at) == PathRoot::kDrive;
}

template <typename String>
bool StartsWithShare(const String& path, size_t at = 0) {
    return RootAt(std::basic_string_view<Char<String>>(path), at) == PathRoot::kShare;
}

constexpr std::string_view kVerbatimPrefix = "\\\\?\\";
constexpr std::u16string_view kRecordedPrefix = u"\\??\\";
constexpr std::string_view kUncPart = "UNC\\";

template <typename String>
String LiteralOf(const String& path) {
    if (StartsWithDrive(path)) {
        return Ascii<String>(kVerbatimPrefix) + path;
    }
    if (StartsWithShare(path)) {
        return Ascii<String>(kVerbatimPrefix) + Ascii<String>(kUncPart) + path.substr(2);
    }
    return {};
}

template <typename String>
std::optional<String> OrdinaryOf(const String& literal) {
    if (literal.compare(0, kVerbatimPrefix.size(), Ascii<String>(kVerbatimPrefix)) != 0) {
        return std::nullopt;
    }
    const size_t rest = kVerbatimPrefix.size();
    const std::basic_string_view<Char<String>> afterPrefix(literal.data() + rest,
                                                           literal.size() - rest);
    if (StartsWithIgnoringAsciiCase(afterPrefix, kUncPart)) {
        String share = Ascii<String>("\\\\") + literal.substr(rest + kUncPart.size());
        if (!StartsWithShare(share)) {
            return std::nullopt;
        }
        return share;
    }
    if (StartsWithDrive(literal, rest)) {
        return literal.substr(rest);
    }
    return std::nullopt;
}

}  // namespace

PathRoot RootOf(std::u16string_view path) {
    return RootAt(path);
}

PathRoot RootOf(std::string_view path) {
    return RootAt(path);
}

LiteralPath LiteralFormOf(const OrdinaryPath& path) {
    return {LiteralOf(path.text)};
}

std::optional<OrdinaryPath> OrdinaryFormOf(const LiteralPath& literal) {
    std::optional<WideText> ordinary = OrdinaryOf(literal.text);
    if (!ordinary) {
        return std::nullopt;
    }
    return OrdinaryPath{std::move(*ordinary)};
}

Text LiteralFormOf(const Text& path) {
    return LiteralOf(path);
}

std::optional<Text> OrdinaryFormOf(const Text& literal) {
    return OrdinaryOf(literal);
}

RecordedPath RecordedFormOf(const LiteralPath& literal) {
    const WideText verbatim = Ascii<WideText>(kVerbatimPrefix);
    if (literal.text.compare(0, verbatim.size(), verbatim) != 0) {
        return {};
    }
    return {WideText(kRecordedPrefix) + literal.text.substr(verbatim.size())};
}

LiteralPath LiteralFormOf(const RecordedPath& recorded) {
    if (recorded.text.compare(0, kRecordedPrefix.size(), kRecordedPrefix) != 0) {
        return {};
    }
    return {Ascii<WideText>(kVerbatimPrefix) + recorded.text.substr(kRecordedPrefix.size())};
}

OrdinaryPath ParentOf(const OrdinaryPath& path) {
    const size_t separator = path.text.find_last_of(u'\\');
    return {separator == WideText::npos ? WideText() : path.text.substr(0, separator)};
}

bool IsDriveRoot(const OrdinaryPath& path) {
    const WideText& text = path.text;
    return (text.size() == 2 || (text.size() == 3 && text[2] == u'\\')) && text[1] == u':';
}

std::u16string_view NameInFolder(const LiteralPath& literal, LiteralPath& folder) {
    const size_t separator = literal.text.find_last_of(u'\\');
    if (separator == WideText::npos) {
        folder = LiteralPath{};
        return {};
    }
    const bool root = separator > 0 && literal.text[separator - 1] == u':';
    folder.text = literal.text.substr(0, root ? separator + 1 : separator);
    return std::u16string_view(literal.text).substr(separator + 1);
}

LiteralPath InFolder(LiteralPath folder, std::u16string_view name) {
    if (!folder.empty() && folder.text.back() != u'\\') {
        folder.text += u'\\';
    }
    folder.text += name;
    return folder;
}

bool IsPlainFullPath(const Text& path, LeadBytePredicate isLeadByte) {
    size_t start = 0;
    if (StartsWithDrive(path)) {
        start = 3;
    } else if (StartsWithShare(path)) {
        start = 2;
    } else {
        return false;
    }
    // The parts after the root, each ended by a "\" character or by the end of the path.
    size_t partStart = start;
    size_t at = start;
    while (at <= path.size()) {
        if (at == path.size() || path[at] == '\\') {
            const std::string_view part(path.data() + partStart, at - partStart);
            if (part.empty() || part == "." || part == "..") {
                return false;
            }
            partStart = at + 1;
            ++at;
            continue;
        }
        if (path[at] == '/') {
            return false;
        }
        const bool pair = isLeadByte != nullptr &&
                          isLeadByte(static_cast<unsigned char>(path[at])) && at + 1 < path.size();
        at += pair ? 2 : 1;
    }
    return true;
}

bool IsOwnDevice(const WideText& dosDevice) {
    // A SUBST drive stands for "\??\" and a path; a volume is "\Device\...".
    const WideText substitute = u"\\??\\";
    return !dosDevice.empty() && dosDevice.compare(0, substitute.size(), substitute) != 0;
}
