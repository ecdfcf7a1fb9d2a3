#include "intake/hand_over.h"

#include <utility>

#include "paths/literal_forms.h"
#include "runtime/little_endian.h"

namespace {

constexpr size_t kCountSize = 4;

}  // namespace

bool HandablePath(const WideText& path) {
    if (path.size() < 3 || path.size() > kLongestHandedPath) {
        return false;
    }
    if (RootOf(path) == PathRoot::kNone) {
        return false;
    }
    for (char16_t unit : path) {
        if (unit < 0x20) {
            return false;
        }
    }
    return true;
}

std::optional<ByteString> HandOverBlock(const std::vector<WideText>& paths) {
    if (paths.size() > kMostHandedPaths) {
        return std::nullopt;
    }
    ByteString block;
    AppendLittleEndian(block, static_cast<uint32_t>(paths.size()), kCountSize);
    for (const WideText& path : paths) {
        if (!HandablePath(path)) {
            return std::nullopt;
        }
        for (char16_t unit : path) {
            AppendLittleEndian(block, unit, 2);
        }
        AppendLittleEndian(block, 0, 2);
        if (block.size() > kLargestHandOver) {
            return std::nullopt;
        }
    }
    return block;
}

std::optional<std::vector<WideText>> ReadHandOverBlock(uint64_t tag, std::string_view block) {
    if (tag != kHandOverTag || block.size() < kCountSize || block.size() > kLargestHandOver ||
        (block.size() - kCountSize) % 2 != 0) {
        return std::nullopt;
    }
    const size_t count = LittleEndianAt(block, 0, kCountSize);
    if (count > kMostHandedPaths) {
        return std::nullopt;
    }
    std::vector<WideText> paths;
    WideText path;
    for (size_t at = kCountSize; at < block.size(); at += 2) {
        const char16_t unit = static_cast<char16_t>(LittleEndianAt(block, at, 2));
        if (unit != u'\0') {
            path += unit;
            continue;
        }
        if (paths.size() == count || !HandablePath(path)) {
            return std::nullopt;
        }
        paths.push_back(std::move(path));
        path.clear();
    }
    // A path without its NUL, or fewer paths than the count: a block cut short.
    if (!path.empty() || paths.size() != count) {
        return std::nullopt;
    }
    return paths;
}
