#include "paths/literal_forms.h"

#include <string_view>

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

template <typename Unit>
Unit AsciiLower(Unit unit) {
    return unit >= 'A' && unit <= 'Z' ? static_cast<Unit>(unit + ('a' - 'A')) : unit;
}

// "X:\" and whatever follows.
template <typename String>
bool StartsWithDrive(const String& path, size_t at = 0) {
    return path.size() >= at + 3 && IsAsciiLetter(path[at]) && path[at + 1] == ':' &&
           path[at + 2] == '\\';
}

// "\\" followed by a server name: not a device ("\\.\") or verbatim ("\\?\") path.
template <typename String>
bool StartsWithShare(const String& path, size_t at = 0) {
    return path.size() >= at + 3 && path[at] == '\\' && path[at + 1] == '\\' &&
           path[at + 2] != '\\' && path[at + 2] != '?' && path[at + 2] != '.';
}

template <typename String>
bool StartsWithFolded(const String& text, size_t at, std::string_view part) {
    if (text.size() < at + part.size()) {
        return false;
    }
    for (size_t i = 0; i < part.size(); ++i) {
        if (AsciiLower(text[at + i]) != static_cast<Char<String>>(AsciiLower(part[i]))) {
            return false;
        }
    }
    return true;
}

constexpr std::string_view kVerbatimPrefix = "\\\\?\\";
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
    if (StartsWithFolded(literal, rest, kUncPart)) {
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

Text LiteralPath(const Text& path) {
    return LiteralOf(path);
}

WideText LiteralPath(const WideText& path) {
    return LiteralOf(path);
}

std::optional<Text> OrdinaryPath(const Text& literal) {
    return OrdinaryOf(literal);
}

std::optional<WideText> OrdinaryPath(const WideText& literal) {
    return OrdinaryOf(literal);
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
