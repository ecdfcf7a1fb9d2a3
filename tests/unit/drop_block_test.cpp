// Reading a drop block as the shell's readers take it, and which blocks are no drop block.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "intake/drop_rules.h"

namespace {

// A DROPFILES header: pFiles, the drop point, fNC, fWide, each 32 bits little-endian.
std::string Header(uint32_t namesAt, uint32_t wide) {
    std::string header(kDropHeaderSize, '\0');
    for (int i = 0; i < 4; ++i) {
        header[static_cast<size_t>(i)] = static_cast<char>(namesAt >> (8 * i));
        header[16 + static_cast<size_t>(i)] = static_cast<char>(wide >> (8 * i));
    }
    header[4] = 20;  // the drop point and fNC are never looked at
    header[12] = 1;
    return header;
}

// UTF-16 names as the block holds them: two bytes a unit, low byte first.
std::string Units(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(DropBlock, NamesAreReadOnlyWhenTheyAndTheListEndInsideTheBlock) {
    using namespace std::string_literals;
    struct Case {
        int line;
        std::string block;
        // The names' bytes, or nothing for no drop block.
        std::optional<std::vector<std::string>> names;
        bool wide = false;
    };
    const Case cases[] = {
        {__LINE__, Header(20, 0) + "C:\\a.txt\0C:\\b\0\0"s, {{"C:\\a.txt", "C:\\b"}}},
        {__LINE__,
         Header(20, 1) + Units(u"C:\\\u4e2d\0C:\\b\0\0"s),
         {{Units(u"C:\\\u4e2d"), Units(u"C:\\b")}},
         true},
        // Any fWide other than 0 means UTF-16; a name may hold a 0 byte that is no NUL unit.
        {__LINE__, Header(20, 0x100) + Units(u"\u0100\0\0"s), {{Units(u"\u0100")}}, true},
        // Names may start anywhere after the header, and bytes after the list do not matter.
        {__LINE__, Header(24, 0) + "pad!a\0\0junk"s, {{"a"}}},
        {__LINE__, Header(20, 0) + "\0"s, {{}}},
        {__LINE__, Header(20, 1) + "\0\0"s, {{}}, true},
        // Too short for the header, pFiles inside the header or past the block.
        {__LINE__, Header(20, 0).substr(0, 19), std::nullopt},
        {__LINE__, Header(19, 0) + "a\0\0"s, std::nullopt},
        {__LINE__, Header(0, 0) + "a\0\0"s, std::nullopt},
        {__LINE__, Header(24, 0) + "a\0\0"s, std::nullopt},
        {__LINE__, Header(0xFFFFFFFF, 0) + "a\0\0"s, std::nullopt},
        // pFiles at the very end: not even the list's end is inside.
        {__LINE__, Header(20, 0), std::nullopt},
        // A name without its NUL, or a list without its empty name.
        {__LINE__, Header(20, 0) + "C:\\a.txt"s, std::nullopt},
        {__LINE__, Header(20, 0) + "C:\\a.txt\0"s, std::nullopt},
        {__LINE__, Header(20, 1) + Units(u"a\0"s), std::nullopt},
        // UTF-16 units are whole: a lone last byte, or two 0 bytes of different units, end nothing.
        {__LINE__, Header(20, 1) + Units(u"a\0"s) + "\0"s, std::nullopt},
        {__LINE__, Header(21, 1) + "x" + Units(u"\u0100") + "\0"s, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<DropBlockNames> read = ReadDropBlock(c.block);
        ASSERT_EQ(read.has_value(), c.names.has_value());
        if (!read) {
            continue;
        }
        EXPECT_EQ(read->wide, c.wide);
        EXPECT_EQ(std::vector<std::string>(read->names.begin(), read->names.end()), *c.names);
    }
}

}  // namespace
