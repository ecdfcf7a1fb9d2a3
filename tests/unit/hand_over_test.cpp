// The block a second start hands its paths over in: what is read, and which blocks are refused.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "intake/hand_over.h"

namespace {

using namespace std::string_literals;

std::string Count(uint32_t count) {
    return std::string{static_cast<char>(count & 0xFF), static_cast<char>((count >> 8) & 0xFF),
                       static_cast<char>((count >> 16) & 0xFF), static_cast<char>(count >> 24)};
}

// UTF-16 units, low byte first, each path with its NUL.
std::string Paths(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(HandOver, OnlyAWholeBoundedListOfFullPathsIsRead) {
    struct Case {
        int line;
        uint64_t tag;
        std::string block;
        std::optional<std::vector<std::u16string>> paths;
    };
    const std::string two = Paths(u"C:\\a b.txt\0\\\\srv\\share\\\u4e2d\0"s);
    const Case cases[] = {
        {__LINE__, kHandOverTag, Count(2) + two, {{u"C:\\a b.txt", u"\\\\srv\\share\\\u4e2d"}}},
        // No paths: the window only comes to the front.
        {__LINE__, kHandOverTag, Count(0), {{}}},
        // Truncated: no count, fewer paths than counted, the last NUL cut, half a unit.
        {__LINE__, kHandOverTag, Count(0).substr(0, 3), std::nullopt},
        {__LINE__, kHandOverTag, Count(3) + two, std::nullopt},
        {__LINE__, kHandOverTag, Count(2) + two.substr(0, two.size() - 2), std::nullopt},
        {__LINE__, kHandOverTag, Count(2) + two.substr(0, two.size() - 1), std::nullopt},
        // Oversized: more paths than counted, bytes after the last, a count or a block past the
        // bounds, a path longer than the system's longest.
        {__LINE__, kHandOverTag, Count(1) + two, std::nullopt},
        {__LINE__, kHandOverTag, Count(2) + two + "\0\0"s, std::nullopt},
        {__LINE__, kHandOverTag, Count(kMostHandedPaths + 1), std::nullopt},
        {__LINE__, kHandOverTag, Count(0) + std::string(kLargestHandOver, '\0'), std::nullopt},
        {__LINE__, kHandOverTag,
         Count(1) + Paths(u"C:\\" + std::u16string(kLongestHandedPath, u'x') + u'\0'),
         std::nullopt},
        // No path list: another program's tag, a relative or empty path, a control character.
        {__LINE__, kHandOverTag + 1, Count(2) + two, std::nullopt},
        {__LINE__, kHandOverTag, Count(1) + Paths(u"a.txt\0"s), std::nullopt},
        {__LINE__, kHandOverTag, Count(1) + Paths(u"\0"s), std::nullopt},
        {__LINE__, kHandOverTag, Count(1) + Paths(u"C:\\a\nb\0"s), std::nullopt},
        // A device or verbatim path names no drive and no share as it stands.
        {__LINE__, kHandOverTag, Count(1) + Paths(u"\\\\?\\C:\\a\0"s), std::nullopt},
        {__LINE__, kHandOverTag, Count(1) + Paths(u"\\\\.\\C:\0"s), std::nullopt},
    };
    for (const Case& c : cases) {
        const auto read = ReadHandOverBlock(c.tag, c.block);
        ASSERT_EQ(read.has_value(), c.paths.has_value()) << "line " << c.line;
        if (read) {
            EXPECT_EQ(*read, *c.paths) << "line " << c.line;
        }
    }
}

TEST(HandOver, TheBlockOfAStartsPathsReadsBackAsThemAndNothingUnhandableIsSent) {
    const std::vector<std::u16string> paths = {u"C:\\a b\\", u"d:\\\u4e2d.txt",
                                               u"\\\\srv\\share\\x"};
    const auto block = HandOverBlock(paths);
    ASSERT_TRUE(block);
    EXPECT_EQ(ReadHandOverBlock(kHandOverTag, *block), paths);
    EXPECT_FALSE(HandOverBlock({u"C:\\a", u"relative"}));
    EXPECT_FALSE(HandOverBlock(std::vector<std::u16string>(kMostHandedPaths + 1, u"C:\\a")));
}

}  // namespace
