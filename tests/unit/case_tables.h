#pragma once

// Upper-case tables for the pure rules' tests, in place of the file system's: ASCII letters only,
// and one that also folds Latin-1 and gives the dotless i and the long s "I" and "S", as some
// tables do.

#include <vector>

#include "paths/folded_names.h"

inline CaseTable AsciiCase() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> units(0x10000);
        for (size_t unit = 0; unit < units.size(); ++unit) {
            units[unit] = AsciiUpper(static_cast<char16_t>(unit));
        }
        return units;
    }();
    return table.data();
}

inline CaseTable LatinCase() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> units(0x10000);
        for (size_t unit = 0; unit < units.size(); ++unit) {
            const auto c = static_cast<char16_t>(unit);
            const bool latin1 = c >= 0xE0 && c <= 0xFE && c != 0xF7;
            units[unit] = latin1 ? static_cast<char16_t>(c - 0x20) : AsciiUpper(c);
        }
        units[0x131] = u'I';
        units[0x17F] = u'S';
        return units;
    }();
    return table.data();
}
