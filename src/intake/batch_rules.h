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
    // The full path of a line, as the system resolves it now; empty when it cannot.
    std::function<Text(const Text& path)> fullPath;
    std::function<void(const Text& path)> append;
    // Receives a line that names a folder and no file, in the form its row would show; a batch
    // without it skips such lines.
    std::function<void(const Text& path)> folder;
    std::function<void()> pump;
    // The code page's lead bytes, for telling which "\" bytes separate a typed path's parts.
    LeadBytePredicate isLeadByte = nullptr;
};

// The batch text's lines: split at CR LF only, a lead byte hiding the CR after it.
TextArray SplitBatchLines(const Text& text, LeadBytePredicate isLeadByte = SystemLeadByte);
// The lines of a text converted character by character: split as SplitBatchLines splits, and
// every line that holds one of the substitutes left empty, which no test passes.
TextArray SplitConvertedBatchLines(const SubstitutedText& text,
                                   LeadBytePredicate isLeadByte = SystemLeadByte);
// A line without the double quotes around it, when it starts and ends with one: the form the
// shell's "Copy as path" gives. Any other line as it is.
Text UnquotedLine(const Text& line);
// The path a line stands for, as its row shows it, unquoted: a line that already is a plain
// full path (IsPlainFullPath) as typed, which every test then takes literally; a literal line
// ("\\?\C:\...") in its ordinary form; any other line made full by the system, as it resolves
// it now. Empty when there is no such path.
Text BatchLinePath(const Text& line, const BatchLineSteps& steps);
// The forms a line is tried in, each once, in this order: the line as it is; without the spaces
// and tabs around it; that without a leading "\??\" or "\\?\" (the form the pending value and
// registry tools show), made ordinary. Each form then stands for the path BatchLinePath gives.
TextArray BatchLineForms(const Text& line);
// Tests each line in order and appends the ones that pass, pumping after every line: the first
// of its forms that names a file (not a directory, then existing) is the line's path, which is
// appended unless it is already listed. A line none of whose forms names a file, but one a
// folder, goes to folder instead. The count of lines is taken once, at the start.
void AddBatchLines(const TextArray& lines, const BatchLineSteps& steps);
