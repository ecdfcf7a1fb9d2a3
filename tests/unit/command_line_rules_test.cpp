// The paths a start's command line names: backslashes before quotes, and paths made full.

#include <gtest/gtest.h>

#include <string>

#include "intake/command_line_rules.h"

namespace {

TEST(CommandLine, BackslashesBeforeAQuoteAreDoubledSoThatTheyStayBackslashes) {
    EXPECT_EQ(WithLiteralBackslashes(u"p.exe \"C:\\a b\\\" \"D:\\c\""),
              u"p.exe \"C:\\a b\\\\\" \"D:\\c\"");
    EXPECT_EQ(WithLiteralBackslashes(u"p.exe \"\\\\srv\\s\\\\\" x\\y"),
              u"p.exe \"\\\\srv\\s\\\\\\\\\" x\\y");
    EXPECT_EQ(WithLiteralBackslashes(u"p.exe C:\\a\\b.txt"), u"p.exe C:\\a\\b.txt");
}

TEST(CommandLine, AnArgumentIsMadeFullAgainstTheStartingFolder) {
    struct Case {
        int line;
        std::u16string argument;
        std::u16string folder;
        std::u16string full;
    };
    const Case cases[] = {
        // Full paths as given, literal names kept; a final backslash goes, but not a root's.
        {__LINE__, u"C:\\a b\\foo. ", u"D:\\w", u"C:\\a b\\foo. "},
        {__LINE__, u"C:\\a b\\", u"D:\\w", u"C:\\a b"},
        {__LINE__, u"D:\\", u"C:\\w", u"D:\\"},
        {__LINE__, u"\\\\srv\\share\\x\\..\\..\\y", u"C:\\w", u"\\\\srv\\share\\y"},
        // A server alone: one "\" after it, however it was given.
        {__LINE__, u"\\\\srv", u"C:\\w", u"\\\\srv\\"},
        {__LINE__, u"\\\\srv\\", u"C:\\w", u"\\\\srv\\"},
        {__LINE__, u"\\\\srv\\\\share\\\\x", u"C:\\w", u"\\\\srv\\share\\x"},
        // Relative to the folder, "." and ".." resolved, never above the root.
        {__LINE__, u"sub/x.txt", u"C:\\w", u"C:\\w\\sub\\x.txt"},
        {__LINE__, u".\\..\\..\\..\\x.txt", u"C:\\w\\v", u"C:\\x.txt"},
        {__LINE__, u"x.txt", u"\\\\srv\\share\\w", u"\\\\srv\\share\\w\\x.txt"},
        {__LINE__, u"x.txt", u"C:\\", u"C:\\x.txt"},
        // Rooted: the folder's drive or share.
        {__LINE__, u"\\x.txt", u"C:\\w", u"C:\\x.txt"},
        {__LINE__, u"\\x.txt", u"\\\\srv\\share\\w", u"\\\\srv\\share\\x.txt"},
        // A drive without a root: the folder when it is on that drive, else the drive's root.
        {__LINE__, u"c:x.txt", u"C:\\w", u"C:\\w\\x.txt"},
        {__LINE__, u"E:x.txt", u"C:\\w", u"E:\\x.txt"},
        // The literal forms in their ordinary one; a device path as given.
        {__LINE__, u"\\\\?\\C:\\a\\b.", u"D:\\w", u"C:\\a\\b."},
        {__LINE__, u"\\??\\UNC\\srv\\share\\x", u"D:\\w", u"\\\\srv\\share\\x"},
        {__LINE__, u"\\\\.\\PhysicalDrive0", u"D:\\w", u"\\\\.\\PhysicalDrive0"},
        {__LINE__, u"", u"D:\\w", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FullArgumentPath(c.argument, c.folder), c.full) << "line " << c.line;
    }
}

}  // namespace
