#include "intake/drop_rules.h"

#include <cstdint>

#include "runtime/little_endian.h"

namespace {

// Where the header keeps pFiles and fWide, each 32 bits, little-endian.
constexpr size_t kNamesOffsetAt = 0;
constexpr size_t kWideFlagAt = 16;

bool IsNulAt(std::string_view block, size_t at, size_t unit) {
    return block[at] == '\0' && (unit == 1 || block[at + 1] == '\0');
}

}  // namespace

Text DroppedPathExtension(const Text& path) {
    const int32_t dot = FindLastInText(path, ".");
    // No dot at all: RightOfText with more than the length gives the whole path.
    return RightOfText(path, TextLength(path) - dot);
}

std::optional<DropBlockNames> ReadDropBlock(std::string_view block) {
    if (block.size() < kDropHeaderSize) {
        return std::nullopt;
    }
    const size_t first = LittleEndianAt(block, kNamesOffsetAt, 4);
    if (first < kDropHeaderSize || first > block.size()) {
        return std::nullopt;
    }
    DropBlockNames read;
    read.wide = LittleEndianAt(block, kWideFlagAt, 4) != 0;
    const size_t unit = read.wide ? 2 : 1;
    size_t start = first;
    // Every unit looked at lies wholly inside the block; a name whose NUL does not is no name.
    while (start + unit <= block.size()) {
        size_t end = start;
        while (end + unit <= block.size() && !IsNulAt(block, end, unit)) {
            end += unit;
        }
        if (end + unit > block.size()) {
            return std::nullopt;
        }
        if (end == start) {
            return read;
        }
        read.names.push_back(block.substr(start, end - start));
        start = end + unit;
    }
    return std::nullopt;
}

bool IsMoveableBlock(const DropHandleFacts& facts) {
    if (facts.handle == 0 || facts.flags == kInvalidHandleFlags ||
        (facts.flags & kDiscardedFlag) != 0 || facts.locked == 0) {
        return false;
    }
    return facts.locked != facts.handle && facts.handleOfLocked == facts.handle;
}

std::optional<DropBlockNames> ReadDropHandle(const DropHandleFacts& facts, std::string_view block) {
    if (!IsMoveableBlock(facts)) {
        return std::nullopt;
    }
    return ReadDropBlock(block);
}
