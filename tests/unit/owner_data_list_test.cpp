// Typing in an owner-data list: which row the program names for the typed text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/owner_data_list.h"

namespace {

TEST(TypedFind, FirstRowFromTheStartThatBeginsSoWithoutCase) {
    const std::vector<std::u16string> rows = {u"C:\\a.txt", u"Z:\\b.txt", u"c:\\c.txt"};
    const struct {
        const char* what;
        int start;
        UINT flags;
        const char16_t* typed;
        int found;
    } cases[] = {
        {"a prefix from the first row", 0, LVFI_PARTIAL | LVFI_WRAP, u"z", 1},
        {"the start row itself counts", 2, LVFI_PARTIAL | LVFI_WRAP, u"C", 2},
        {"past the end, round to the first", 3, LVFI_PARTIAL | LVFI_WRAP, u"c", 0},
        {"round past the end from a later row", 2, LVFI_PARTIAL | LVFI_WRAP, u"z:\\", 1},
        {"without wrap, not round", 2, LVFI_PARTIAL, u"z", -1},
        {"without wrap, from past the end", 3, LVFI_PARTIAL, u"c", -1},
        {"a start before the first row is the first", -1, LVFI_PARTIAL, u"c", 0},
        {"longer than every path", 0, LVFI_PARTIAL | LVFI_WRAP, u"c:\\a.txt.bak", -1},
        {"a whole text, without case", 0, LVFI_STRING | LVFI_WRAP, u"Z:\\B.TXT", 1},
        {"a whole text is not a prefix", 0, LVFI_STRING | LVFI_WRAP, u"Z:\\", -1},
        {"a find by anything but text", 0, LVFI_WRAP, u"z", -1},
    };
    for (const auto& c : cases) {
        NMLVFINDITEMW find{};
        find.iStart = c.start;
        find.lvfi.flags = c.flags;
        find.lvfi.psz = c.typed;
        EXPECT_EQ(FindTypedRow(find, rows.size(), [&](size_t row) { return rows[row]; }), c.found)
            << c.what;
    }
    NMLVFINDITEMW find{};
    find.lvfi.flags = LVFI_PARTIAL | LVFI_WRAP;
    find.lvfi.psz = u"c";
    EXPECT_EQ(FindTypedRow(find, 0, [&](size_t row) { return rows[row]; }), -1) << "no rows";
}

}  // namespace
