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

// Which WM_DROPFILES handles are read and released: only a live moveable block holding a whole
// drop block. Anything else is left as it was, never freed.
TEST(DropHandle, OnlyALiveMoveableBlockWithAWholeDropBlockIsRead) {
    using namespace std::string_literals;
    const std::string whole = Header(20, 0) + "C:\\a.txt\0\0"s;
    const std::string broken = Header(20, 0) + "C:\\a.txt"s;
    constexpr uintptr_t kHandle = 0x10004;
    constexpr uintptr_t kBytes = 0x20000;
    struct Case {
        int line;
        DropHandleFacts facts;
        std::string block;
        bool read;
    };
    const Case cases[] = {
        // A moveable block, locked once by the check, that the heap traces back to the handle.
        {__LINE__, {kHandle, 0, kBytes, kHandle}, whole, true},
        // ... holding no whole drop block.
        {__LINE__, {kHandle, 0, kBytes, kHandle}, broken, false},
        // A fixed block, or any pointer into the heap: locking gives the pointer itself, whether
        // or not the heap knows a moveable block that owns it.
        {__LINE__, {kBytes, 0, kBytes, kBytes}, whole, false},
        {__LINE__, {kBytes, 0, kBytes, kHandle}, whole, false},
        // A released drop posted again: no live handle any more.
        {__LINE__, {kHandle, kInvalidHandleFlags, 0, 0}, whole, false},
        {__LINE__, {kHandle, kInvalidHandleFlags, kBytes, kHandle}, whole, false},
        // Discarded, unlockable, NULL, or bytes the heap gives to another handle.
        {__LINE__, {kHandle, kDiscardedFlag, kBytes, kHandle}, whole, false},
        {__LINE__, {kHandle, 0, 0, 0}, whole, false},
        {__LINE__, {0, 0, kBytes, 0}, whole, false},
        {__LINE__, {kHandle, 0, kBytes, kHandle + 8}, whole, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ReadDropHandle(c.facts, c.block).has_value(), c.read);
        EXPECT_EQ(IsMoveableBlock(c.facts), c.facts.handle == kHandle && c.facts.flags == 0 &&
                                                c.facts.locked == kBytes &&
                                                c.facts.handleOfLocked == kHandle);
    }
}

}  // namespace
