#pragma once

// The starts of a right-click verb that the helper gathered (intake/gathering_rules.h), as the
// program reads them: from the file mapping the helper made and keeps until the program has read
// it. The helper runs without elevation and may be any program of the user, so the block is
// copied once, within its bounds, and decided on that copy only; its texts are then taken as a
// command line's arguments are, and only ever listed.

#include <optional>
#include <vector>

#include "runtime/text.h"

// Each gathered start's arguments as written; nothing when there is no such block or it is not
// whole. Either way the helper is told that the block was read, and ends.
std::optional<std::vector<WideText>> ReadGatheredStarts(const WideText& token);
