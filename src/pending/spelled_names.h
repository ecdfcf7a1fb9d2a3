#pragma once

// The paths another program's pending operations name, as the boot will find them: each name read
// through the table of spellings, then asked of the disk where the path or a folder above it
// exists, so that 8.3 names come long and links on the way are followed as the final path says. A
// share or a network drive is never asked: its server could keep the window from answering for a
// network time-out. Each spelling, and each folder, is worked out once.

#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "pending/pending_rules.h"
#include "pending/spelling_rules.h"
#include "runtime/path_texts.h"

struct SpelledNames {
    SpellingTable table;
    bool tableAsked = false;
    // Each name as recorded, and the path it names; nothing for a name of no drive or share.
    std::unordered_map<WideText, std::optional<OrdinaryPath>> byRecorded;
    // Each folder's path on disk, by the path it was asked by.
    std::unordered_map<WideText, OrdinaryPath> folders;
    // Whether each drive letter is a network drive, by upper-case letter.
    std::map<char16_t, bool> remoteLetters;
    // The last name read without being kept.
    std::optional<OrdinaryPath> once;
};

// The system's names for its drives and its Windows folder, asked at the first use.
const SpellingTable& SpellingTableOf(SpelledNames& names);
// The ordinary path a recorded source or destination names, as the boot finds it; nothing when it
// names no drive or share the program knows.
const std::optional<OrdinaryPath>& SpelledPath(SpelledNames& names, std::u16string_view recorded);
// The same for a reader that meets each name once (tens of thousands of deletions), as the rules
// over the pending values ask it: the name is not kept, only its folders, and the answer holds
// until the next call.
NameOf SpelledPathsOnce(SpelledNames& names);
