// Where a file really is, from the path the platform reports for a handle of it: the ordinary
// form of that path, and whether it differs from the path that was chosen.

#include <gtest/gtest.h>

#include <optional>

#include "paths/location_rules.h"

namespace {

struct FinalPathCase {
    int line;
    WideText finalPath;
    std::optional<WideText> path;
};

TEST(LocationRules, FinalPathsLoseTheirVerbatimPrefix) {
    const FinalPathCase cases[] = {
        {__LINE__, u"\\\\?\\C:\\windows\\syswow64\\probe.txt", u"C:\\windows\\syswow64\\probe.txt"},
        {__LINE__, u"\\\\?\\c:\\", u"c:\\"},
        // A share keeps its server and share, with the two separators of its ordinary form.
        {__LINE__, u"\\\\?\\UNC\\server\\share\\a.txt", u"\\\\server\\share\\a.txt"},
        {__LINE__, u"\\\\?\\unc\\server\\share", u"\\\\server\\share"},
        // Names beyond ASCII pass unchanged, surrogate pairs included.
        {__LINE__, u"\\\\?\\D:\\\u6587\u4ef6\\\U0001F600.txt", u"D:\\\u6587\u4ef6\\\U0001F600.txt"},
        // Forms that are no ordinary path: a volume by its GUID, a device, no prefix at all, a
        // prefix with nothing after it, a share without a server.
        {__LINE__, u"\\\\?\\Volume{12345678-1234-1234-1234-123456789abc}\\a.txt", std::nullopt},
        {__LINE__, u"\\\\.\\C:\\a.txt", std::nullopt},
        {__LINE__, u"C:\\a.txt", std::nullopt},
        {__LINE__, u"\\\\?\\", std::nullopt},
        {__LINE__, u"\\\\?\\C:", std::nullopt},
        {__LINE__, u"\\\\?\\1:\\a.txt", std::nullopt},
        {__LINE__, u"\\\\?\\UNC\\", std::nullopt},
        {__LINE__, u"\\\\?\\UNC\\\\share", std::nullopt},
        {__LINE__, u"", std::nullopt},
    };
    for (const FinalPathCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(PathOfFinalPath(c.finalPath), c.path);
    }
}

struct RelocationCase {
    int line;
    WideText chosen;
    WideText finalPath;
    std::optional<WideText> relocated;
};

TEST(LocationRules, OnlyAnotherPlaceReplacesTheChosenPath) {
    const RelocationCase cases[] = {
        // The redirected system folder: the file is in SysWOW64.
        {__LINE__, u"C:\\windows\\system32\\probe.txt", u"\\\\?\\C:\\windows\\syswow64\\probe.txt",
         u"C:\\windows\\syswow64\\probe.txt"},
        // Sysnative is the native System32.
        {__LINE__, u"C:\\Windows\\Sysnative\\probe.txt", u"\\\\?\\C:\\Windows\\System32\\probe.txt",
         u"C:\\Windows\\System32\\probe.txt"},
        // An exempt folder, spelled as the user typed it or as it is stored: the chosen path.
        {__LINE__, u"C:\\windows\\system32\\drivers\\etc\\hosts",
         u"\\\\?\\C:\\windows\\system32\\drivers\\etc\\hosts", std::nullopt},
        {__LINE__, u"c:\\WINDOWS\\System32\\Drivers\\ETC\\hosts",
         u"\\\\?\\C:\\windows\\system32\\drivers\\etc\\hosts", std::nullopt},
        // Any other difference is another path: a name beyond ASCII in another case (the
        // platform's case rules are not ASCII's), a short name made long, a mapped drive that
        // is a share.
        {__LINE__, u"C:\\\u00c9t\u00e9.txt", u"\\\\?\\C:\\\u00e9t\u00e9.txt",
         u"C:\\\u00e9t\u00e9.txt"},
        {__LINE__, u"C:\\PROGRA~1\\a.txt", u"\\\\?\\C:\\Program Files\\a.txt",
         u"C:\\Program Files\\a.txt"},
        {__LINE__, u"Z:\\a.txt", u"\\\\?\\UNC\\server\\share\\a.txt", u"\\\\server\\share\\a.txt"},
        // A longer or shorter path that starts the same is another path.
        {__LINE__, u"C:\\a.txt", u"\\\\?\\C:\\a.txt.lnk", u"C:\\a.txt.lnk"},
        {__LINE__, u"C:\\a.txt.lnk", u"\\\\?\\C:\\a.txt", u"C:\\a.txt"},
        // No ordinary form: the chosen path stays.
        {__LINE__, u"C:\\a.txt", u"\\\\?\\Volume{1}\\a.txt", std::nullopt},
        {__LINE__, u"C:\\a.txt", u"", std::nullopt},
    };
    for (const RelocationCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(RelocatedPath(c.chosen, c.finalPath), c.relocated);
    }
}

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
        EXPECT_EQ(IsInSysnative(c.path, c.windowsDirectory), c.inSysnative);
    }
}

}  // namespace
