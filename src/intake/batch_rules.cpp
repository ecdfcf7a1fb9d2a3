#include "intake/batch_rules.h"

#include "paths/path_forms.h"

namespace {

// Enter in the batch edit box produces CR LF; a bare CR or LF stays inside its line.
constexpr char kLineSeparator[] = "\r\n";

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

Text UnquotedLine(const Text& line) {
    // The shell's "Copy as path" puts each path in double quotes; no file name holds one.
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
        return line.substr(1, line.size() - 2);
    }
    return line;
}

Text BatchLinePath(const Text& typed, const BatchLineSteps& steps) {
    const Text line = UnquotedLine(typed);
    if (line.empty()) {
        return {};
    }
    if (IsPlainFullPath(line, steps.isLeadByte)) {
        return line;
    }
    if (const std::optional<Text> ordinary = OrdinaryPath(line)) {
        return *ordinary;
    }
    // Made full, the path is what the row shows, so it names the same file however the current
    // directory changes before the restart. Only the result of a full path's resolution has a
    // literal form for the tests; a device path has none and names nothing.
    return steps.fullPath(line);
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
