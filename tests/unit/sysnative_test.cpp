// The Sysnative alias, which 32-bit processes have and the boot does not.

#include <gtest/gtest.h>

#include "paths/sysnative.h"

namespace {

struct SysnativeCase {
    int line;
    const char* path;
    const char* windowsDirectory;
    bool inSysnative;
};

TEST(LocationRules, SysnativeIsFoundInAnySpellingOfItsPath) {
    const SysnativeCase cases[] = {
        {__LINE__, "C:\\Windows\\Sysnative\\a.dll", "C:\\Windows", true},
        {__LINE__, "c:\\WINDOWS\\sysNATIVE\\drivers\\a.sys", "C:\\Windows", true},
        {__LINE__, "C:\\Windows\\Sysnative", "C:\\Windows", true},
        {__LINE__, "C:/Windows//Sysnative/a.dll", "C:\\Windows\\", true},
        {__LINE__, "D:\\WinNT\\Sysnative\\a.dll", "D:\\WinNT", true},
        // Another folder, one whose name only starts the same, the folder above, another drive.
        {__LINE__, "C:\\Windows\\System32\\a.dll", "C:\\Windows", false},
        {__LINE__, "C:\\Windows\\Sysnative2\\a.dll", "C:\\Windows", false},
        {__LINE__, "C:\\Windows\\Sysnativ", "C:\\Windows", false},
        {__LINE__, "C:\\Windows", "C:\\Windows", false},
        {__LINE__, "D:\\Windows\\Sysnative\\a.dll", "C:\\Windows", false},
        {__LINE__, "C:\\Sysnative\\a.dll", "C:\\Windows", false},
        // A name beyond ASCII is not folded: \xc9 is not \xe9.
        {__LINE__, "C:\\W\xe9\\Sysnative\\a.dll", "C:\\W\xc9", false},
        // No Windows folder known: nothing is taken for Sysnative.
        {__LINE__, "C:\\Windows\\Sysnative\\a.dll", "", false},
        {__LINE__, "", "C:\\Windows", false},
    };
    for (const SysnativeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const std::string path = c.path;
        const std::string windows = c.windowsDirectory;
        EXPECT_EQ(IsInSysnative(WideText(path.begin(), path.end()),
                                WideText(windows.begin(), windows.end())),
                  c.inSysnative);
    }
}

}  // namespace
