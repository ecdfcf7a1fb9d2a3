// Names are compared by one folded key, the units upper-cased through the table the file system
// uses (ntdll's RtlUpcaseUnicodeChar). Here the keys are held against CompareStringOrdinal's own
// answers, as the real system gives them: every unit and its key are one to it, every pair of
// Latin, Greek and Cyrillic letters is the same to both or to neither, and so are names in those
// scripts and in Chinese.

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"
#include "paths/exact_names.h"
#include "scenarios.h"

namespace {

bool SystemSaysSame(std::u16string_view left, std::u16string_view right) {
    return CompareStringOrdinal(reinterpret_cast<LPCWCH>(left.data()),
                                static_cast<int>(left.size()),
                                reinterpret_cast<LPCWCH>(right.data()),
                                static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

void DriveCaseFolding(HWND) {
    const CaseTable table = FileSystemCase();
    int apart = 0;
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        const char16_t one = static_cast<char16_t>(unit);
        apart += SystemSaysSame({&one, 1}, {&table[one], 1}) ? 0 : 1;
    }
    Check(apart == 0, "every unit is the same as its key to CompareStringOrdinal (" +
                          std::to_string(apart) + " are not)");

    // Latin (with its extensions), Greek and Cyrillic, every pair.
    int disagreements = 0;
    std::string first;
    for (char16_t left = 0x20; left < 0x530; ++left) {
        for (char16_t right = 0x20; right < 0x530; ++right) {
            const bool keys = SameFoldedName({&left, 1}, {&right, 1}, table);
            if (keys != SystemSaysSame({&left, 1}, {&right, 1})) {
                if (disagreements++ == 0) {
                    first = std::to_string(left) + " and " + std::to_string(right);
                }
            }
        }
    }
    Check(disagreements == 0,
          "the keys of every pair of Latin, Greek and Cyrillic letters agree "
          "with CompareStringOrdinal" +
              (first.empty() ? std::string() : ", not for " + first));

    const std::vector<std::u16string> names = {
        u"文件夹", u"文件夾", u"资料",   u"資料",   u"ｄａｔａ", u"ＤＡＴＡ", u"σοφία",
        u"ΣΟΦΊΑ",  u"ΣΟΦΙΑ",  u"σοφίας", u"ΣΟΦΊΑΣ", u"ςοφίας",   u"Москва",   u"МОСКВА",
        u"москва", u"ёлка",   u"ЁЛКА",   u"елка",   u"Straße",   u"STRASSE",  u"STRAẞE",
        u"Ärger",  u"ÄRGER",  u"ärger",  u"ı",      u"I",        u"i",        u"İ",
        u"ſ",      u"s",      u"ǅ",      u"ǆ",      u"Ǆ"};
    int namesApart = 0;
    for (const std::u16string& left : names) {
        for (const std::u16string& right : names) {
            namesApart += SameFoldedName(left, right, table) == SystemSaysSame(left, right) ? 0 : 1;
        }
    }
    Check(namesApart == 0,
          "the keys of Chinese, Greek, Cyrillic and Latin names agree with "
          "CompareStringOrdinal");
}
