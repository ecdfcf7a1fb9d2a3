#pragma once

// What the next restart will do: the pairs of a PendingFileRenameOperations value (REG_MULTI_SZ,
// UTF-16), how each side is shown, and the removal of chosen deletions. Pure: no platform here.
//
// The value is a list of strings, taken two at a time: a source and a destination. An empty
// destination makes the pair a deletion. An empty string where a source would stand ends the list.

#include <cstddef>
#include <string_view>
#include <vector>

#include "runtime/text.h"

struct PendingOperation {
    WideText source;       // exactly as recorded: "\??\C:\a.txt", "*1\??\C:\a.txt"
    WideText destination;  // empty for a deletion; "!" before it means "replace"
    size_t offset = 0;     // where the pair starts in the value, in code units
    size_t length = 0;     // the pair's code units, both terminators included
};

struct PendingOperations {
    std::vector<PendingOperation> operations;  // in the value's order, as far as it reads
    // Every pair complete, and after the list nothing but terminators (or nothing at all).
    bool wellFormed = false;
};

PendingOperations ParsePendingOperations(std::u16string_view value);

bool IsDeletion(const PendingOperation& operation);

// A source or destination as an ordinary path: without a leading "*" and digits, a leading "!",
// and the "\??\" prefix; "\??\UNC\server\..." as "\\server\...". Any other form is shown as it is.
WideText ShownPath(std::u16string_view recorded);

// The value without every deletion whose source is exactly one of sources; each other code unit
// stays as it was, in its place: the other pairs, the terminators, whatever follows the list. A
// renaming pair is never removed, and a value that is not well formed is given back unchanged.
WideText WithoutDeletions(std::u16string_view value, const std::vector<WideText>& sources);
