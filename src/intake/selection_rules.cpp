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

TextArray ChosenAnsiPaths(const WideSelection& selection, const AnsiConverters& converters,
                          ShortPathFunction shortPath, RealPathFunction realPath) {
    TextArray paths;
    for (const WideText& chosen : WideSelectedPaths(selection)) {
        const std::optional<WideText> real =
            realPath != nullptr ? realPath(chosen) : std::optional<WideText>(chosen);
        if (!real) {
            continue;
        }
        const std::optional<Text> path = ExactFileName(*real, converters, shortPath);
        if (path && !path->empty()) {
            paths.push_back(*path);
        }
    }
    return paths;
}

Text SelectionText(const WideSelection& selection, const TextArray& paths,
                   const AnsiConverters& converters, LeadBytePredicate isLeadByte) {
    // The bytes the ANSI dialog would have written, while every path is its directory and name.
    const std::vector<WideText> widePaths = WideSelectedPaths(selection);
    const std::optional<Text> directory = ExactAnsiText(selection.directory, converters);
    bool ownForms = paths.size() == widePaths.size() && directory.has_value();
    ByteString buffer = ownForms && selection.several ? *directory + '\0' : ByteString();
    for (size_t i = 0; ownForms && i < paths.size(); ++i) {
        const std::optional<Text> name = ExactAnsiText(selection.names[i], converters);
        ownForms = name.has_value() && paths[i] == ExactAnsiText(widePaths[i], converters);
        buffer += ownForms ? *name + '\0' : ByteString();
    }
    if (ownForms) {
        return JoinSelectedPaths(buffer + '\0', isLeadByte);
    }
    Text joined;
    for (const Text& path : paths) {
        joined = joined.empty() ? path : ConcatText(joined, kPathSeparator, path);
    }
    return joined;
}
