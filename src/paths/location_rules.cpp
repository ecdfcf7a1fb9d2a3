#include "paths/location_rules.h"

#include <vector>

namespace {

constexpr char16_t kBackslash = 0x5C;
constexpr char16_t kQuestionMark = 0x3F;
constexpr char16_t kColon = 0x3A;

// "\\?\", the prefix of every path the platform reports for a handle.
const WideText kVerbatimPrefix = {kBackslash, kBackslash, kQuestionMark, kBackslash};
// "UNC\" after that prefix: a path on a network share.
const WideText kUncPart = {0x55, 0x4E, 0x43, kBackslash};

bool IsAsciiLetter(char16_t unit) {
    return (unit >= 0x41 && unit <= 0x5A) || (unit >= 0x61 && unit <= 0x7A);
}

char16_t AsciiLower(char16_t unit) {
    return unit >= 0x41 && unit <= 0x5A ? static_cast<char16_t>(unit + 0x20) : unit;
}

bool StartsWithFolded(const WideText& text, size_t at, const WideText& part) {
    if (text.size() - at < part.size()) {
        return false;
    }
    for (size_t i = 0; i < part.size(); ++i) {
        if (AsciiLower(text[at + i]) != AsciiLower(part[i])) {
            return false;
        }
    }
    return true;
}

bool SameButAsciiCase(const WideText& left, const WideText& right) {
    return left.size() == right.size() && StartsWithFolded(left, 0, right);
}

bool IsPathSeparator(char byte) {
    return byte == '\\' || byte == '/';
}

// The names between separators; empty names (doubled separators) are left out.
std::vector<Text> PathNames(const Text& path) {
    std::vector<Text> names;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !IsPathSeparator(path[end])) {
            ++end;
        }
        if (end > start) {
            names.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

bool SameNameButAsciiCase(const Text& left, const Text& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (AsciiLower(static_cast<unsigned char>(left[i])) !=
            AsciiLower(static_cast<unsigned char>(right[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<WideText> PathOfFinalPath(const WideText& finalPath) {
    if (finalPath.compare(0, kVerbatimPrefix.size(), kVerbatimPrefix) != 0) {
        return std::nullopt;
    }
    const size_t rest = kVerbatimPrefix.size();
    if (StartsWithFolded(finalPath, rest, kUncPart)) {
        const WideText share = finalPath.substr(rest + kUncPart.size());
        // "\\?\UNC\" with no server after it names nothing.
        if (share.empty() || share[0] == kBackslash) {
            return std::nullopt;
        }
        return WideText{kBackslash, kBackslash} + share;
    }
    // "X:\" and whatever follows.
    if (finalPath.size() >= rest + 3 && IsAsciiLetter(finalPath[rest]) &&
        finalPath[rest + 1] == kColon && finalPath[rest + 2] == kBackslash) {
        return finalPath.substr(rest);
    }
    return std::nullopt;
}

std::optional<WideText> RelocatedPath(const WideText& chosen, const WideText& finalPath) {
    std::optional<WideText> real = PathOfFinalPath(finalPath);
    if (!real || SameButAsciiCase(*real, chosen)) {
        return std::nullopt;
    }
    return real;
}

bool IsInSysnative(const Text& path, const Text& windowsDirectory) {
    std::vector<Text> folder = PathNames(windowsDirectory);
    if (folder.empty()) {
        return false;
    }
    folder.push_back("sysnative");
    const std::vector<Text> names = PathNames(path);
    if (names.size() < folder.size()) {
        return false;
    }
    for (size_t i = 0; i < folder.size(); ++i) {
        if (!SameNameButAsciiCase(names[i], folder[i])) {
            return false;
        }
    }
    return true;
}
