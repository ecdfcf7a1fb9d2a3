#include "intake/selection_rules.h"

#include <utility>

namespace {

const ByteString kNul(1, '\0');
const ByteString kNulPair(2, '\0');
const Text kPieceSeparator = "|";
const Text kPathSeparator = ";";
const Text kDirectorySeparator = "\\";

// The OPENFILENAMEA flags the modes combine, by their platform names.
constexpr uint32_t kReadOnly = 0x1;            // OFN_READONLY
constexpr uint32_t kHideReadOnly = 0x4;        // OFN_HIDEREADONLY
constexpr uint32_t kShowHelp = 0x10;           // OFN_SHOWHELP
constexpr uint32_t kEnableHook = 0x20;         // OFN_ENABLEHOOK
constexpr uint32_t kAllowMultiSelect = 0x200;  // OFN_ALLOWMULTISELECT
constexpr uint32_t kExplorer = 0x80000;        // OFN_EXPLORER

// Modes 0 to 5; modes 6 to 11 are the same with a hook asked for.
constexpr uint32_t kModeFlags[] = {
    0, kReadOnly, kHideReadOnly, kShowHelp, kShowHelp | kReadOnly, kShowHelp | kHideReadOnly,
};
constexpr int kBaseModes = 6;

// The dialog's output up to the first pair of NULs: a single path, or the directory and the
// names separated by single NULs. Empty when the buffer has no such pair or begins with one.
ByteString SelectionPart(const ByteString& buffer) {
    const int32_t end = FindBytes(buffer, kNulPair);
    return LeftOfBytes(buffer, end - 1);
}

// True when the directory's last character is the single-byte "\". A "\" that is the second
// byte of a double-byte character does not count.
bool EndsWithSeparatorCharacter(const Text& directory, LeadBytePredicate isLeadByte) {
    if (directory.empty()) {
        return false;
    }
    size_t lastCharacter = 0;
    size_t at = 0;
    while (at < directory.size()) {
        lastCharacter = at;
        const bool pair = isLeadByte != nullptr &&
                          isLeadByte(static_cast<unsigned char>(directory[at])) &&
                          at + 1 < directory.size();
        at += pair ? 2 : 1;
    }
    return lastCharacter == directory.size() - 1 && directory[lastCharacter] == '\\';
}

}  // namespace

Text JoinSelectedPaths(const ByteString& buffer, LeadBytePredicate isLeadByte) {
    const ByteString selection = SelectionPart(buffer);
    if (FindBytes(selection, kNul) == -1) {
        return BytesToText(selection);
    }
    const TextArray pieces =
        SplitText(BytesToText(ReplaceBytes(selection, kNul, TextToBytes(kPieceSeparator))),
                  kPieceSeparator, std::nullopt, isLeadByte);
    const int32_t count = ElementCount(pieces);
    Text directory = TextAt(pieces, 1);
    // Only the last byte is looked at: a root such as C:\ keeps its one separator.
    if (CompareText(RightOfText(directory, 1), kDirectorySeparator) != 0) {
        directory = ConcatText(directory, kDirectorySeparator);
    }
    Text joined;
    for (int32_t k = 2; k <= count; ++k) {
        if (k < count) {
            joined = ConcatText(joined, directory, TextAt(pieces, k), kPathSeparator);
        } else {
            joined = ConcatText(joined, directory, TextAt(pieces, k));
        }
    }
    return joined;
}

TextArray SelectedPaths(const ByteString& buffer, LeadBytePredicate isLeadByte) {
    const ByteString selection = SelectionPart(buffer);
    if (selection.empty()) {
        return TextArray();
    }
    if (FindBytes(selection, kNul) == -1) {
        return TextArray{BytesToText(selection)};
    }
    // The NULs are the only separators the dialog writes; splitting at them byte by byte keeps
    // every name whole, whatever bytes it holds.
    TextArray parts;
    size_t start = 0;
    for (size_t nul = selection.find('\0'); nul != ByteString::npos;
         nul = selection.find('\0', start)) {
        parts.push_back(selection.substr(start, nul - start));
        start = nul + 1;
    }
    parts.push_back(selection.substr(start));

    Text directory = parts.front();
    if (!EndsWithSeparatorCharacter(directory, isLeadByte)) {
        directory = ConcatText(directory, kDirectorySeparator);
    }
    TextArray paths;
    paths.reserve(parts.size() - 1);
    for (size_t k = 1; k < parts.size(); ++k) {
        paths.push_back(ConcatText(directory, parts[k]));
    }
    return paths;
}

ByteString BuildFilterList(const Text& filter) {
    // Byte by byte: a "|" that is the second byte of a double-byte character is replaced too.
    return ConcatBytes(ReplaceBytes(TextToBytes(filter), TextToBytes(kPieceSeparator), kNul),
                       kNulPair);
}

uint32_t OpenFileFlags(int mode) {
    if (mode < 0 || mode >= 2 * kBaseModes) {
        return 0;
    }
    const uint32_t base = kExplorer | kAllowMultiSelect | kModeFlags[mode % kBaseModes];
    return mode < kBaseModes ? base : base | kEnableHook;
}

namespace {

constexpr char16_t kWideSeparator = u'\\';

// The end of a UTF-16 dialog's selection: its first pair of NULs, or npos.
size_t WideSelectionEnd(const WideText& buffer) {
    const size_t end = buffer.find(WideText(2, u'\0'));
    return end == 0 ? WideText::npos : end;
}

// The 0-based ends of every "\" character of a text, in order; a "\" that is the second byte of
// a double-byte character is not one.
std::vector<size_t> SeparatorEnds(const Text& path, LeadBytePredicate isLeadByte) {
    std::vector<size_t> ends;
    size_t at = 0;
    while (at < path.size()) {
        const bool pair = isLeadByte != nullptr &&
                          isLeadByte(static_cast<unsigned char>(path[at])) && at + 1 < path.size();
        if (!pair && path[at] == '\\') {
            ends.push_back(at + 1);
        }
        at += pair ? 2 : 1;
    }
    return ends;
}

bool GoesOnBeyond(const Text& path, const Text& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0;
}

// Paths given under the longest folder (a prefix that ends with a "\" character of the first
// path) that every path starts with and goes on beyond. Paths of one dialog's folder share at
// least the root of their volume; a path that does not share the first one's is left out.
ByteString SharedFolderBuffer(const TextArray& paths, LeadBytePredicate isLeadByte) {
    const Text& first = paths.front();
    const std::vector<size_t> ends = SeparatorEnds(first, isLeadByte);
    if (ends.empty() || ends.front() == first.size()) {
        return first + ByteString(2, '\0');
    }
    TextArray kept;
    for (const Text& path : paths) {
        if (GoesOnBeyond(path, first.substr(0, ends.front()))) {
            kept.push_back(path);
        }
    }
    Text folder = first.substr(0, ends.front());
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const Text candidate = first.substr(0, *end);
        bool shared = true;
        for (const Text& path : kept) {
            shared = shared && GoesOnBeyond(path, candidate);
        }
        if (shared) {
            folder = candidate;
            break;
        }
    }
    ByteString buffer = folder + '\0';
    for (const Text& path : kept) {
        buffer += path.substr(folder.size()) + '\0';
    }
    return buffer + '\0';
}

}  // namespace

WideSelection ReadWideSelection(const WideText& buffer) {
    WideSelection selection;
    const size_t end = WideSelectionEnd(buffer);
    if (end == WideText::npos) {
        return selection;
    }
    const WideText part = buffer.substr(0, end);
    size_t start = 0;
    for (size_t nul = part.find(u'\0'); nul != WideText::npos; nul = part.find(u'\0', start)) {
        selection.names.push_back(part.substr(start, nul - start));
        start = nul + 1;
    }
    selection.names.push_back(part.substr(start));
    if (selection.names.size() > 1) {
        selection.several = true;
        selection.directory = selection.names.front();
        selection.names.erase(selection.names.begin());
    }
    return selection;
}

std::vector<WideText> WideSelectedPaths(const WideSelection& selection) {
    if (!selection.several) {
        return selection.names;
    }
    WideText directory = selection.directory;
    if (directory.empty() || directory.back() != kWideSeparator) {
        directory += kWideSeparator;
    }
    std::vector<WideText> paths;
    paths.reserve(selection.names.size());
    for (const WideText& name : selection.names) {
        paths.push_back(directory + name);
    }
    return paths;
}

ByteString AnsiSelectionBuffer(const WideSelection& selection, const AnsiConverters& converters,
                               ShortPathFunction shortPath, LeadBytePredicate isLeadByte,
                               RealPathFunction realPath) {
    std::vector<WideText> widePaths = WideSelectedPaths(selection);
    bool moved = false;
    if (realPath != nullptr) {
        for (WideText& path : widePaths) {
            WideText real = realPath(path);
            moved = moved || real != path;
            path = std::move(real);
        }
    }
    TextArray paths;
    // The exact names, while every kept path is the directory and its name, each converted.
    const std::optional<Text> directory = ExactAnsiText(selection.directory, converters);
    bool ownForms = !moved && selection.several && directory.has_value() && !directory->empty();
    TextArray names;
    for (size_t i = 0; i < widePaths.size(); ++i) {
        const std::optional<Text> path = ExactFileName(widePaths[i], converters, shortPath);
        if (!path || path->empty()) {
            continue;
        }
        paths.push_back(*path);
        if (ownForms) {
            const std::optional<Text> name = ExactAnsiText(selection.names[i], converters);
            ownForms = name.has_value() && *path == ExactAnsiText(widePaths[i], converters);
            if (ownForms) {
                names.push_back(*name);
            }
        }
    }
    if (paths.empty()) {
        return ByteString();
    }
    if (ownForms) {
        // The bytes the ANSI dialog would have written for these names.
        ByteString buffer = *directory + '\0';
        for (const Text& name : names) {
            buffer += name + '\0';
        }
        return buffer + '\0';
    }
    if (paths.size() == 1) {
        return paths.front() + ByteString(2, '\0');
    }
    return SharedFolderBuffer(paths, isLeadByte);
}
