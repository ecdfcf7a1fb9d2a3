#include "paths/location_rules.h"

#include <vector>

#include "paths/path_forms.h"

namespace {

char16_t AsciiLower(char16_t unit) {
    return unit >= 0x41 && unit <= 0x5A ? static_cast<char16_t>(unit + 0x20) : unit;
}

bool SameButAsciiCase(const WideText& left, const WideText& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (AsciiLower(left[i]) != AsciiLower(right[i])) {
            return false;
        }
    }
    return true;
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

std::optional<WideText> RelocatedPath(const WideText& chosen, const WideText& finalPath) {
    std::optional<WideText> real = OrdinaryPath(finalPath);
    if (real && SameButAsciiCase(*real, chosen)) {
        return chosen;
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
