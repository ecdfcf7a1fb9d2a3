#pragma once

// Filtering the lines of a batch, apart from the platform. Pure: no platform here.

#include <functional>

#include "runtime/exact_text.h"
#include "runtime/text.h"

// What the filter asks of the platform and of the list, one line at a time.
struct BatchLineSteps {
    std::function<bool(const Text& path)> isDirectory;
    std::function<bool(const Text& path)> exists;
    std::function<bool(const Text& path)> isListed;
    // The full path of a relative line, as the system resolves it now; empty when it cannot.
    std::function<Text(const Text& path)> fullPath;
    std::function<void(const Text& path)> append;
    std::function<void()> pump;
};

// The batch text's lines: split at CR LF only, a lead byte hiding the CR after it.
TextArray SplitBatchLines(const Text& text, LeadBytePredicate isLeadByte = SystemLeadByte);
// The lines of a text converted character by character: split as SplitBatchLines splits, and
// every line that holds one of the substitutes left empty, which no test passes.
TextArray SplitConvertedBatchLines(const SubstitutedText& text,
                                   LeadBytePredicate isLeadByte = SystemLeadByte);
// True for a path that depends on the current directory or drive: anything but "X:\..." and
// "\\..." (either slash counts as a separator). The empty text is not a path at all.
bool IsRelativePath(const Text& path);
// The path a line stands for: a relative line resolved to its full path, any other as typed.
Text BatchLinePath(const Text& line, const BatchLineSteps& steps);
// Tests each line in order (directory, existence, already listed), appends the ones that pass
// and pumps after every line. The count of lines is taken once, at the start.
void AddBatchLines(const TextArray& lines, const BatchLineSteps& steps);
