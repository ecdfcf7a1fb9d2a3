#include "intake/batch_rules.h"

namespace {

// Enter in the batch edit box produces CR LF; a bare CR or LF stays inside its line.
constexpr char kLineSeparator[] = "\r\n";

bool IsSeparator(char byte) {
    return byte == '\\' || byte == '/';
}

bool IsDriveLetter(char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// Decides one line; true when its path is to be appended.
bool PassesBatchTests(const Text& path, const BatchLineSteps& steps) {
    // Nothing exists under the empty name (an empty line, or a line that did not resolve).
    if (path.empty()) {
        return false;
    }
    // Directory first, then existence, and the list is scanned only for existing files: the
    // scan reads every row back and is by far the dearest test.
    if (steps.isDirectory(path)) {
        return false;
    }
    if (!steps.exists(path)) {
        return false;
    }
    return !steps.isListed(path);
}

}  // namespace

TextArray SplitBatchLines(const Text& text, LeadBytePredicate isLeadByte) {
    return SplitText(text, kLineSeparator, std::nullopt, isLeadByte);
}

TextArray SplitConvertedBatchLines(const SubstitutedText& text, LeadBytePredicate isLeadByte) {
    TextArray lines = SplitBatchLines(text.text, isLeadByte);
    // The pieces lie one after the other, each followed by the separator, so each one's place in
    // the text follows from the lengths before it.
    const size_t separator = sizeof kLineSeparator - 1;
    size_t start = 0;
    auto substitute = text.substitutes.begin();
    for (Text& line : lines) {
        const size_t end = start + line.size();
        while (substitute != text.substitutes.end() &&
               static_cast<size_t>(*substitute) - 1 < start) {
            ++substitute;
        }
        if (substitute != text.substitutes.end() && static_cast<size_t>(*substitute) - 1 < end) {
            line.clear();
        }
        start = end + separator;
    }
    return lines;
}

bool IsRelativePath(const Text& path) {
    if (path.empty()) {
        return false;
    }
    // "\\server\share\...", and the "\\?\" and "\\.\" forms.
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        return false;
    }
    // "X:\...". "X:name" and "\name" are relative: they depend on the current directory of a
    // drive, or on the current drive.
    if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2])) {
        return false;
    }
    return true;
}

Text BatchLinePath(const Text& line, const BatchLineSteps& steps) {
    // A relative line is listed as the full path it was tested as, so the row names the same
    // file however the current directory changes before the restart.
    if (IsRelativePath(line)) {
        return steps.fullPath(line);
    }
    return line;
}

void AddBatchLines(const TextArray& lines, const BatchLineSteps& steps) {
    const int32_t count = ElementCount(lines);
    for (int32_t index = 1; index <= count; ++index) {
        const Text path = BatchLinePath(TextAt(lines, index), steps);
        if (PassesBatchTests(path, steps)) {
            steps.append(path);
        }
        steps.pump();
    }
}
