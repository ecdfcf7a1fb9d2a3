#include "paths/sysnative.h"

#include <vector>

namespace {

template <typename Unit>
bool IsPathSeparator(Unit unit) {
    return unit == '\\' || unit == '/';
}

// The names between separators; empty names (doubled separators) are left out.
template <typename String>
std::vector<String> PathNames(const String& path) {
    std::vector<String> names;
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

// Names beyond ASCII are compared as they are: the platform's case rules are not ASCII's.
template <typename String>
bool SameNameButAsciiCase(const String& left, const String& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (AsciiUpper(left[i]) != AsciiUpper(right[i])) {
            return false;
        }
    }
    return true;
}

template <typename String>
bool InSysnative(const String& path, const String& windowsDirectory) {
    std::vector<String> folder = PathNames(windowsDirectory);
    if (folder.empty()) {
        return false;
    }
    const char sysnative[] = "sysnative";
    folder.push_back(String(sysnative, sysnative + sizeof sysnative - 1));
    const std::vector<String> names = PathNames(path);
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

}  // namespace

bool IsInSysnative(const WideText& path, const WideText& windowsDirectory) {
    return InSysnative(path, windowsDirectory);
}
