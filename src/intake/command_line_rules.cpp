#include "intake/command_line_rules.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "paths/literal_forms.h"

namespace {

// A path split into its root ("C:\", "\\server\share\") and its named parts.
struct SplitPath {
    WideText root;
    std::vector<WideText> parts;
};

bool IsDriveLetter(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') || (unit >= u'a' && unit <= u'z');
}

char16_t UpperDrive(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool HasDrive(const WideText& path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':';
}

// Applies the parts of text (after its root) to the parts already there.
void AddParts(std::vector<WideText>& parts, const WideText& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\\', start);
        if (end == WideText::npos) {
            end = text.size();
        }
        const WideText part = text.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
}

// A full path's root and parts: "C:\..." or "\\server\share\...".
SplitPath SplitFull(const WideText& path) {
    SplitPath split;
    size_t rest = 0;
    if (RootOf(path) == PathRoot::kShare) {
        // "\\server\share\", each name with one "\" after it; empty parts between them go, as
        // they do after any root, and a server alone is a root too.
        const size_t server = path.find(u'\\', 2);
        const size_t name =
            server == WideText::npos ? server : path.find_first_not_of(u'\\', server);
        const size_t share = name == WideText::npos ? name : path.find(u'\\', name);
        split.root = path.substr(0, server) + u"\\";
        if (name != WideText::npos) {
            split.root += path.substr(name, share - name) + u"\\";
        }
        rest = share == WideText::npos ? path.size() : share + 1;
    } else {
        split.root = path.substr(0, 2) + u"\\";
        rest = path.size() > 2 ? 3 : 2;
    }
    AddParts(split.parts, path.substr(std::min(rest, path.size())));
    return split;
}

WideText Joined(const SplitPath& split) {
    WideText path = split.root;
    for (size_t i = 0; i < split.parts.size(); ++i) {
        path += (i == 0 ? u"" : u"\\") + split.parts[i];
    }
    return path;
}

}  // namespace

WideText WithLiteralBackslashes(const WideText& commandLine) {
    WideText doubled;
    size_t backslashes = 0;
    for (char16_t unit : commandLine) {
        if (unit == u'"') {
            doubled.append(backslashes, u'\\');
        }
        backslashes = unit == u'\\' ? backslashes + 1 : 0;
        doubled += unit;
    }
    return doubled;
}

WideText FullArgumentPath(const WideText& argument, const WideText& currentFolder) {
    WideText path = argument;
    for (char16_t& unit : path) {
        if (unit == u'/') {
            unit = u'\\';
        }
    }
    if (path.empty()) {
        return {};
    }
    if (path.rfind(u"\\\\?\\", 0) == 0 || path.rfind(u"\\??\\", 0) == 0) {
        const std::optional<OrdinaryPath> ordinary =
            OrdinaryFormOf(LiteralPath{u"\\\\?\\" + path.substr(4)});
        return ordinary ? FullArgumentPath(ordinary->text, currentFolder) : path;
    }
    if (path.rfind(u"\\\\.\\", 0) == 0) {
        return path;
    }
    if (RootOf(path) != PathRoot::kNone) {
        return Joined(SplitFull(path));
    }
    SplitPath split = SplitFull(currentFolder);
    if (path[0] == u'\\') {
        split.parts.clear();
    } else if (HasDrive(path)) {
        if (!HasDrive(currentFolder) || UpperDrive(path[0]) != UpperDrive(currentFolder[0])) {
            split = SplitPath{path.substr(0, 2) + u"\\", {}};
        }
        path = path.substr(2);
    }
    AddParts(split.parts, path);
    return Joined(split);
}
