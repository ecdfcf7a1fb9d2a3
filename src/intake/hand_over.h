#pragma once

// The block in which a second start of the program hands its paths to the window already open
// (WM_COPYDATA). The i686 and x86_64 programs share one window, so the block holds no pointer or
// pointer-sized field: a count and the paths, each in UTF-16 with its NUL, little-endian. Any
// program of the user can send the window such a message, so a block is read only when it is
// whole and within bounds, and what it holds can only be listed. Pure: no platform here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/text.h"

// COPYDATASTRUCT::dwData of a hand-over; any other value is some other program's message.
inline constexpr uint32_t kHandOverTag = 0x52444C48;
// Bounds no real start comes near: a command line holds at most 32767 units, and a path made full
// is at most as long as the longest path the system takes.
inline constexpr size_t kMostHandedPaths = 32768;
inline constexpr size_t kLongestHandedPath = 32767;
inline constexpr size_t kLargestHandOver = 16u << 20;

// The block for these paths; nothing when they are more or longer than a block may hold, or one
// is not a path a block may carry (HandablePath).
std::optional<ByteString> HandOverBlock(const std::vector<WideText>& paths);
// The paths of a block the program can take: the tag is ours, the block holds the count and
// exactly that many paths and ends with the last one's NUL, and each is a handable path. Nothing
// for any other block: truncated, oversized, with bytes after the paths, or no path list.
std::optional<std::vector<WideText>> ReadHandOverBlock(uint64_t tag, std::string_view block);
// A full path as a start makes its arguments ("C:\..." or "\\server\..."), no longer than the
// system's longest, without control characters.
bool HandablePath(const WideText& path);
