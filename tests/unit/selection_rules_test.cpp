// The open-file dialog's rules: reading its output buffer as one joined text and as the chosen
// paths, building its filter list, and the flags of each mode.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "intake/selection_rules.h"
#include "lead_bytes.h"

using namespace std::string_literals;

namespace {

// The buffer as a confirmed dialog leaves it: what it wrote, then the zeros it started with.
ByteString DialogBuffer(const std::string& written) {
    ByteString buffer = written;
    buffer.resize(static_cast<size_t>(SELECTION_BUFFER_SIZE), '\0');
    return buffer;
}

struct SelectionCase {
    int line;
    std::string written;
    LeadBytePredicate isLeadByte;
    std::string joined;
    std::vector<std::string> paths;
};

// Each case reads the same buffer both ways: the joined text is the one the program keeps as its
// last selection, the paths are what reaches the list.
void ExpectSelection(const SelectionCase& c) {
    SCOPED_TRACE(testing::Message() << "case at line " << c.line);
    const ByteString buffer = DialogBuffer(c.written);
    EXPECT_EQ(JoinSelectedPaths(buffer, c.isLeadByte), c.joined);
    EXPECT_EQ(SelectedPaths(buffer, c.isLeadByte), c.paths);
}

TEST(SelectionBuffer, SingleAndSeveralFiles) {
    const SelectionCase cases[] = {
        {__LINE__, "C:\\dir\\a.txt", Lead936, "C:\\dir\\a.txt", {"C:\\dir\\a.txt"}},
        {__LINE__,
         "C:\\dir\0a.txt\0b.txt\0c.txt\0"s,
         Lead936,
         "C:\\dir\\a.txt;C:\\dir\\b.txt;C:\\dir\\c.txt",
         {"C:\\dir\\a.txt", "C:\\dir\\b.txt", "C:\\dir\\c.txt"}},
        {__LINE__, "C:\\dir\0a.txt\0"s, Lead936, "C:\\dir\\a.txt", {"C:\\dir\\a.txt"}},
        // A root directory already ends with its separator.
        {__LINE__,
         "C:\\\0a.txt\0b.txt\0"s,
         Lead936,
         "C:\\a.txt;C:\\b.txt",
         {"C:\\a.txt", "C:\\b.txt"}},
        // Names with spaces, dots and double-byte characters pass unchanged.
        {__LINE__,
         "D:\\\xce\xc4\xbc\xfe\0 a b .txt\0\xd6\xd8\xc6\xf4.log\0"s,
         Lead936,
         "D:\\\xce\xc4\xbc\xfe\\ a b .txt;D:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.log",
         {"D:\\\xce\xc4\xbc\xfe\\ a b .txt", "D:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.log"}},
    };
    for (const SelectionCase& c : cases) {
        ExpectSelection(c);
    }
}

TEST(SelectionBuffer, NothingChosen) {
    const SelectionCase cases[] = {
        {__LINE__, "", Lead936, "", {}},
        // Two NULs at the very start: an empty selection, whatever follows.
        {__LINE__, "\0\0C:\\a.txt"s, Lead936, "", {}},
    };
    for (const SelectionCase& c : cases) {
        ExpectSelection(c);
    }
    // A buffer that the dialog filled to its last byte has no pair of NULs.
    const ByteString full(static_cast<size_t>(SELECTION_BUFFER_SIZE), 'a');
    EXPECT_EQ(JoinSelectedPaths(full, Lead936), "");
    EXPECT_EQ(SelectedPaths(full, Lead936), TextArray());
    const ByteString singleNuls = "C:\\dir\0a\0b"s;
    EXPECT_EQ(JoinSelectedPaths(singleNuls, Lead936), "");
    EXPECT_EQ(SelectedPaths(singleNuls, Lead936), TextArray());
}

// A ";" inside a name is ambiguous in the joined text, but the paths keep the name whole.
TEST(SelectionBuffer, SemicolonInANameStaysInItsPath) {
    const SelectionCase cases[] = {
        {__LINE__,
         "C:\\dir\0a;b.txt\0c.txt\0"s,
         Lead936,
         "C:\\dir\\a;b.txt;C:\\dir\\c.txt",
         {"C:\\dir\\a;b.txt", "C:\\dir\\c.txt"}},
        {__LINE__, "C:\\x;y\\a.txt", Lead936, "C:\\x;y\\a.txt", {"C:\\x;y\\a.txt"}},
    };
    for (const SelectionCase& c : cases) {
        ExpectSelection(c);
    }
}

// The joined text splits at "|" with the double-byte rule; the paths split at the NULs alone.
TEST(SelectionBuffer, DoubleByteNames) {
    const SelectionCase cases[] = {
        // A 0x7C that is the second byte of a character does not cut the name.
        {__LINE__,
         "C:\\d\0\xb0|A\0b\0"s,
         Lead936,
         "C:\\d\\\xb0|A;C:\\d\\b",
         {"C:\\d\\\xb0|A", "C:\\d\\b"}},
        // A name that ends with a lead byte swallows the separator after it in the joined text;
        // its path stays apart from the next one.
        {__LINE__, "C:\\d\0a\xb0\0b\0"s, Lead936, "C:\\d\\a\xb0|b", {"C:\\d\\a\xb0", "C:\\d\\b"}},
        {__LINE__,
         "C:\\d\0caf\xe9\0b\0"s,
         Lead1252,
         "C:\\d\\caf\xe9;C:\\d\\b",
         {"C:\\d\\caf\xe9", "C:\\d\\b"}},
        // The last of the names ending that way is not lost either.
        {__LINE__,
         "C:\\d\0a\0b\xb0\0"s,
         Lead936,
         "C:\\d\\a;C:\\d\\b\xb0",
         {"C:\\d\\a", "C:\\d\\b\xb0"}},
        // A directory that ends with a lead byte runs into its only name: the joined text has
        // no name left, the path is still there.
        {__LINE__, "C:\\d\xb0\0a\0"s, Lead936, "", {"C:\\d\xb0\\a"}},
    };
    for (const SelectionCase& c : cases) {
        ExpectSelection(c);
    }
}

// A directory whose last byte is 0x5C as the second byte of a character: the joined text looks
// at that byte only and adds no separator; the paths add one, because the directory does not end
// with the separator character.
TEST(SelectionBuffer, DirectoryEndingInATrailByteOfSeparatorValue) {
    const SelectionCase cases[] = {
        {__LINE__,
         "C:\\\x81\\\0a.txt\0b\0"s,
         Lead936,
         "C:\\\x81\\a.txt;C:\\\x81\\b",
         {"C:\\\x81\\\\a.txt", "C:\\\x81\\\\b"}},
        // After a complete character the "\" is a separator of its own.
        {__LINE__,
         "C:\\\x81\x40\\\0a\0b\0"s,
         Lead936,
         "C:\\\x81\x40\\a;C:\\\x81\x40\\b",
         {"C:\\\x81\x40\\a", "C:\\\x81\x40\\b"}},
        // In a single-byte code page the same bytes end with a separator.
        {__LINE__,
         "C:\\\x81\\\0a.txt\0b\0"s,
         Lead1252,
         "C:\\\x81\\a.txt;C:\\\x81\\b",
         {"C:\\\x81\\a.txt", "C:\\\x81\\b"}},
    };
    for (const SelectionCase& c : cases) {
        ExpectSelection(c);
    }
}

// Where no name holds ";" or ends with a lead byte, the two readings agree: the paths are the
// joined text split at ";". Checked over many generated selections.
TEST(SelectionBuffer, PathsAreTheJoinedTextSplitWhereThatIsUnambiguous) {
    const std::vector<std::string> directories = {"C:\\", "C:\\dir", "\\\\server\\share\\x",
                                                  "D:\\\xce\xc4\xbc\xfe", "E:\\a b"};
    const std::vector<std::string> names = {"a.txt",  "b",           " x ",   "\xd6\xd8.log",
                                            "\xb0|c", "long name.d", "a.b.c", "\xce\xc4"};
    uint32_t state = 12345;
    auto next = [&state](size_t bound) {
        state = state * 1103515245u + 12345u;
        return static_cast<size_t>((state >> 16) % bound);
    };
    for (int round = 0; round < 500; ++round) {
        const std::string& directory = directories[next(directories.size())];
        std::string written = directory;
        const size_t count = 1 + next(6);
        for (size_t k = 0; k < count; ++k) {
            written += '\0';
            written += names[next(names.size())];
        }
        written += '\0';
        const ByteString buffer = DialogBuffer(written);
        SCOPED_TRACE(testing::Message() << "round " << round);
        EXPECT_EQ(SelectedPaths(buffer, Lead936),
                  SplitText(JoinSelectedPaths(buffer, Lead936), ";", std::nullopt, Lead936));
        EXPECT_EQ(ElementCount(SelectedPaths(buffer, Lead936)), static_cast<int32_t>(count));
    }
}

TEST(FilterList, EveryPartEndsWithANulAndTheListWithAnother) {
    EXPECT_EQ(BuildFilterList("Text|*.txt|All|*.*"), "Text\0*.txt\0All\0*.*\0\0"s);
    EXPECT_EQ(BuildFilterList("Text|*.txt|All|*.*|"), "Text\0*.txt\0All\0*.*\0\0\0"s);
    EXPECT_EQ(BuildFilterList("All"), "All\0\0"s);
    EXPECT_EQ(BuildFilterList("||"), "\0\0\0\0"s);
    // An empty filter text gives an empty list: just the two NULs.
    EXPECT_EQ(BuildFilterList(""), "\0\0"s);
    // Byte by byte: a 0x7C after a lead byte is replaced as well.
    EXPECT_EQ(BuildFilterList("\xb0|x|*.x"), "\xb0\0x\0*.x\0\0"s);
}

TEST(OpenFileFlags, ModesChooseTheDialogFlags) {
    struct ModeCase {
        int mode;
        uint32_t flags;
    };
    const ModeCase cases[] = {
        {0, 0x80200},  {1, 0x80201},  {2, 0x80204}, {3, 0x80210}, {4, 0x80211},
        {5, 0x80214},  {6, 0x80220},  {7, 0x80221}, {8, 0x80224}, {9, 0x80230},
        {10, 0x80231}, {11, 0x80234}, {12, 0},      {-1, 0},      {100, 0},
    };
    for (const ModeCase& c : cases) {
        EXPECT_EQ(OpenFileFlags(c.mode), c.flags) << "mode " << c.mode;
    }
}

}  // namespace
