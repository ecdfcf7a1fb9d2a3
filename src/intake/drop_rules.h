#pragma once

// Rules of dropped files that need no platform.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/text.h"

// Everything after the last "." of the whole path (directories included); empty when the path
// ends with the dot. A path without any dot gives the whole path.
Text DroppedPathExtension(const Text& path);

// The DROPFILES header a drop block begins with (pFiles, the drop point, fNC, fWide): 20 bytes
// on every build.
inline constexpr size_t kDropHeaderSize = 20;

// The names of a drop block as the shell's readers take them: from the header's pFiles offset,
// names one after the other, each ended by a NUL (a UTF-16 one, two bytes, when fWide is not 0),
// and an empty name after the last.
struct DropBlockNames {
    bool wide = false;
    // Each name's bytes within the block, in order, without its NUL.
    std::vector<std::string_view> names;
};
// Nothing when the block is shorter than the header, pFiles points into the header or past the
// block, or a name or the list does not end inside the block.
std::optional<DropBlockNames> ReadDropBlock(std::string_view block);
