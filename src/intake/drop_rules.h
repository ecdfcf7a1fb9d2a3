#pragma once

// Rules of dropped files that need no platform.

#include <cstddef>
#include <cstdint>
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

// What the platform says of a WM_DROPFILES handle before anything is read through it, each as a
// number: GlobalFlags of the handle, the pointer GlobalLock gave for it (0 for none), and the
// handle GlobalHandle gives back for that pointer.
struct DropHandleFacts {
    uintptr_t handle = 0;
    uint32_t flags = 0;
    uintptr_t locked = 0;
    uintptr_t handleOfLocked = 0;
};
// GlobalFlags' answer for a value that is no live handle, and its bit for a discarded block.
inline constexpr uint32_t kInvalidHandleFlags = 0x8000;
inline constexpr uint32_t kDiscardedFlag = 0x4000;
// True only for a live moveable global block, the kind the system hands a drop in: its handle is
// not the pointer to its bytes (that is what a fixed block's handle is, and any pointer into the
// heap looks like one), and the platform traces the bytes back to this very handle.
bool IsMoveableBlock(const DropHandleFacts& facts);
// The names of a drop the program can prove it was handed: a moveable block that holds a whole
// drop block. Nothing for any other handle, which is then neither read nor released.
std::optional<DropBlockNames> ReadDropHandle(const DropHandleFacts& facts, std::string_view block);
