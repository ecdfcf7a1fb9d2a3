#pragma once

// Filtering the lines of a batch, apart from the platform. Pure: no platform here.

#include <functional>

#include "runtime/text.h"

struct BatchLineSteps {
    std::function<bool(const Text& path)> isDirectory;
    std::function<bool(const Text& path)> exists;
    std::function<bool(const Text& path)> isListed;
    // The full path of a relative line, as the system resolves it now.
    std::function<Text(const Text& path)> fullPath;
    std::function<void(const Text& path)> append;
    std::function<void()> pump;
};

// The batch text's lines: split at CR LF only.
TextArray SplitBatchLines(const Text& text);
// True for a path that depends on the current directory or drive.
bool IsRelativePath(const Text& path);
// Tests each line in order (directory, existence, already listed), appends the ones that pass
// and pumps after every line.
void AddBatchLines(const TextArray& lines, const BatchLineSteps& steps);
