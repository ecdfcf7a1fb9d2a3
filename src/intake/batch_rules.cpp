#include "intake/batch_rules.h"

#include <algorithm>
#include <string_view>

#include "paths/literal_forms.h"

namespace {

// Enter in the batch edit box produces CR LF; a bare CR or LF stays inside its line.
constexpr char kLineSeparator[] = "\r\n";

// The NT form of a path, as the pending value holds it; "\\?\" is its Win32 spelling.
constexpr char kNtPrefix[] = "\\??\\";
constexpr char kVerbatimPrefix[] = "\\\\?\\";

// What a line's forms name: the path of the first that names a file, else of the first that
// names a folder; each empty when none does.
struct LineTarget {
    Text file;
    Text folder;
};

// Directory first, then existence, each form in turn.
LineTarget TargetOf(const Text& line, const BatchLineSteps& steps) {
    LineTarget target;
    TextArray tried;
    for (const Text& form : BatchLineForms(line)) {
        const Text path = BatchLinePath(form, steps);
        // Nothing exists under the empty name (an empty line, or a form that did not resolve).
        if (path.empty() || std::find(tried.begin(), tried.end(), path) != tried.end()) {
            continue;
        }
        tried.push_back(path);
        if (steps.isDirectory(path)) {
            if (target.folder.empty()) {
                target.folder = path;
            }
        } else if (steps.exists(path)) {
            target.file = path;
            return target;
        }
    }
    return target;
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

TextArray BatchLineForms(const Text& line) {
    TextArray forms{line};
    const size_t first = line.find_first_not_of(" \t");
    const Text trimmed =
        first == Text::npos ? Text() : line.substr(first, line.find_last_not_of(" \t") - first + 1);
    if (trimmed != line) {
        forms.push_back(trimmed);
    }
    const Text unquoted = UnquotedLine(trimmed);
    for (const char* prefix : {kNtPrefix, kVerbatimPrefix}) {
        const std::string_view start(prefix);
        if (unquoted.compare(0, start.size(), start) != 0) {
            continue;
        }
        const std::optional<Text> ordinary =
            OrdinaryFormOf(Text(kVerbatimPrefix) + unquoted.substr(start.size()));
        if (ordinary && std::find(forms.begin(), forms.end(), *ordinary) == forms.end()) {
            forms.push_back(*ordinary);
        }
    }
    return forms;
}

Text BatchLinePath(const Text& typed, const BatchLineSteps& steps) {
    const Text line = UnquotedLine(typed);
    if (line.empty()) {
        return {};
    }
    if (IsPlainFullPath(line, steps.isLeadByte)) {
        return line;
    }
    if (const std::optional<Text> ordinary = OrdinaryFormOf(line)) {
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
        // The list is scanned only for a line that names a file: the scan reads every row back
        // and is by far the dearest test.
        const LineTarget target = TargetOf(TextAt(lines, index), steps);
        if (!target.file.empty()) {
            if (!steps.isListed(target.file)) {
                steps.append(target.file);
            }
        } else if (!target.folder.empty() && steps.folder) {
            steps.folder(target.folder);
        }
        steps.pump();
    }
}
