// The forms of a path: the literal one every file call gets, the ordinary one the rows show, the
// typed lines taken as they stand, and which drives the boot reaches.

#include <gtest/gtest.h>

#include <optional>

#include "lead_bytes.h"
#include "paths/literal_forms.h"

namespace {

// Ordinary paths and their literal forms, both ways; the rule is the same for ANSI and UTF-16.
TEST(PathForms, LiteralAndOrdinaryFormsAreInverse) {
    struct Case {
        int line;
        std::string ordinary;
        std::string literal;
    };
    const Case cases[] = {
        {__LINE__, "C:\\t\\a.txt", "\\\\?\\C:\\t\\a.txt"},
        // Names the system's own resolution would change keep their meaning.
        {__LINE__, "C:\\t\\foo.", "\\\\?\\C:\\t\\foo."},
        {__LINE__, "z:\\t\\bar ", "\\\\?\\z:\\t\\bar "},
        {__LINE__, "C:\\t\\nul", "\\\\?\\C:\\t\\nul"},
        {__LINE__, "C:\\", "\\\\?\\C:\\"},
        {__LINE__, "\\\\server\\share\\a.txt", "\\\\?\\UNC\\server\\share\\a.txt"},
        {__LINE__, "C:\\\xce\xc4\\\x81\x5c.txt", "\\\\?\\C:\\\xce\xc4\\\x81\x5c.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(LiteralFormOf(c.ordinary), c.literal);
        EXPECT_EQ(OrdinaryFormOf(c.literal), c.ordinary);
        const OrdinaryPath wide{WideText(c.ordinary.begin(), c.ordinary.end())};
        const LiteralPath wideLiteral{WideText(c.literal.begin(), c.literal.end())};
        EXPECT_EQ(LiteralFormOf(wide), wideLiteral);
        EXPECT_EQ(OrdinaryFormOf(wideLiteral), wide);
        // Recorded as the boot reads it, and back.
        const RecordedPath recorded = RecordedFormOf(wideLiteral);
        EXPECT_EQ(recorded.text, u"\\??\\" + wideLiteral.text.substr(4));
        EXPECT_EQ(LiteralFormOf(recorded), wideLiteral);
    }
    // Names beyond ASCII pass unchanged, surrogate pairs included; "UNC" in any case.
    EXPECT_EQ(OrdinaryFormOf(LiteralPath{u"\\\\?\\D:\\\u6587\\\U0001F600.txt"}),
              OrdinaryPath{u"D:\\\u6587\\\U0001F600.txt"});
    EXPECT_EQ(OrdinaryFormOf(LiteralPath{u"\\\\?\\unc\\server\\share"}),
              OrdinaryPath{u"\\\\server\\share"});
    // Only the literal form has a recorded one.
    EXPECT_TRUE(RecordedFormOf(LiteralPath{u"C:\\a"}).empty());
    EXPECT_TRUE(LiteralFormOf(RecordedPath{u"C:\\a"}).empty());
}

TEST(PathForms, OnlyFullPathsHaveALiteralFormOnlyLiteralOnesAnOrdinaryForm) {
    for (const char* path : {"", "a.txt", "C:a.txt", "\\a.txt", "1:\\a.txt", "C:/a.txt",
                             "\\\\.\\C:\\a.txt", "\\\\?\\C:\\a.txt", "\\\\\\a.txt"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(LiteralFormOf(Text(path)), "");
    }
    for (const char* literal :
         {"", "C:\\a.txt", "\\\\?\\", "\\\\?\\C:", "\\\\?\\1:\\a.txt", "\\\\?\\Volume{1}\\a.txt",
          "\\\\?\\UNC\\", "\\\\?\\UNC\\\\share", "\\\\.\\C:\\a.txt"}) {
        SCOPED_TRACE(literal);
        EXPECT_EQ(OrdinaryFormOf(Text(literal)), std::nullopt);
    }
}

// A typed line taken literally must already be the full path it means: nothing the system's
// resolution would change (separators, "." and "..", empty parts) is taken as typed.
// One rule of what a full path begins with serves every caller (the survey's drives, the
// command line, handed paths): a device or verbatim path is neither a drive nor a share.
TEST(PathForms, ADriveOrAShareAndNeitherForDeviceAndVerbatimPaths) {
    const struct {
        int line;
        const char16_t* path;
        PathRoot root;
    } cases[] = {
        {__LINE__, u"C:\\a", PathRoot::kDrive},
        {__LINE__, u"z:\\", PathRoot::kDrive},
        {__LINE__, u"\\\\server\\share", PathRoot::kShare},
        {__LINE__, u"\\\\s", PathRoot::kShare},
        {__LINE__, u"\\\\?\\C:\\a", PathRoot::kNone},
        {__LINE__, u"\\\\.\\C:", PathRoot::kNone},
        {__LINE__, u"\\\\\\a", PathRoot::kNone},
        {__LINE__, u"\\??\\C:\\a", PathRoot::kNone},
        {__LINE__, u"C:a", PathRoot::kNone},
        {__LINE__, u"C:", PathRoot::kNone},
        {__LINE__, u"1:\\a", PathRoot::kNone},
        {__LINE__, u"\\a", PathRoot::kNone},
        {__LINE__, u"", PathRoot::kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const std::u16string_view wide = c.path;
        EXPECT_EQ(RootOf(wide), c.root);
        EXPECT_EQ(RootOf(std::string(wide.begin(), wide.end())), c.root);
    }
}

TEST(PathForms, PlainFullPathsAreThoseResolutionWouldLeaveAlone) {
    struct Case {
        int line;
        std::string path;
        bool plain;
    };
    const Case cases[] = {
        {__LINE__, "C:\\t\\a.txt", true},
        {__LINE__, "C:\\t\\foo.", true},
        {__LINE__, "C:\\t\\bar ", true},
        {__LINE__, "C:\\t\\...a", true},
        {__LINE__, "\\\\server\\share\\a.txt", true},
        // A "\" that is the second byte of a character is no separator: no ".." part here.
        {__LINE__, "C:\\\x81\\..\\a", true},
        {__LINE__, "C:\\", false},
        {__LINE__, "C:\\t\\", false},
        {__LINE__, "C:\\t\\\\a", false},
        {__LINE__, "C:\\t\\.\\a", false},
        {__LINE__, "C:\\t\\..\\a", false},
        {__LINE__, "C:\\t\\..", false},
        {__LINE__, "C:/t", false},
        {__LINE__, "C:\\t/a", false},
        {__LINE__, "\\\\?\\C:\\a", false},
        {__LINE__, "\\\\.\\C:\\a", false},
        {__LINE__, "C:a", false},
        {__LINE__, "a.txt", false},
        {__LINE__, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": " << c.path);
        EXPECT_EQ(IsPlainFullPath(c.path, Lead936), c.plain);
    }
}

TEST(PathForms, ASubstDriveIsNoDeviceOfItsOwn) {
    EXPECT_TRUE(IsOwnDevice(u"\\Device\\HarddiskVolume1"));
    EXPECT_FALSE(IsOwnDevice(u"\\??\\C:\\folder"));
    EXPECT_FALSE(IsOwnDevice(u""));
}

}  // namespace
