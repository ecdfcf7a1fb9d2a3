// The UTF-16 open-file dialog's selection: read from its buffer, converted path by path, and
// handed to the selection rules in the ANSI dialog's own format, so that they read the same rows
// as from the ANSI dialog wherever a name has an exact form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "paths/file_names.h"
#include "intake/selection_rules.h"
#include "lead_bytes.h"
#include "standin/harness.h"

using namespace std::string_literals;

namespace {

using Paths = std::vector<std::string>;

// Short forms by a table, as a volume with 8.3 names answers.
std::vector<std::pair<WideText, WideText>> g_shortForms;

bool TableShortPath(const WideText& path, WideText& shortPath) {
    for (const auto& [longForm, shortForm] : g_shortForms) {
        if (longForm == path) {
            shortPath = shortForm;
            return true;
        }
    }
    return false;
}

class WideSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        standin::Reset();
        g_shortForms.clear();
    }

    // The ANSI buffer and what the selection rules read from it.
    struct Read {
        ByteString buffer;
        Text joined;
        Paths paths;
    };
    static Read Convert(const WideText& written, LeadBytePredicate isLeadByte = Lead936,
                        RealPathFunction realPath = nullptr) {
        WideText buffer = written;
        buffer.resize(static_cast<size_t>(SELECTION_BUFFER_SIZE), u'\0');
        Read read;
        read.buffer = AnsiSelectionBuffer(ReadWideSelection(buffer), SystemAnsiConverters(),
                                          TableShortPath, isLeadByte, realPath);
        read.joined = JoinSelectedPaths(read.buffer, isLeadByte);
        read.paths = SelectedPaths(read.buffer, isLeadByte);
        return read;
    }
};

TEST_F(WideSelectionTest, TheUtf16BufferIsReadLikeTheAnsiOne) {
    WideSelection one = ReadWideSelection(u"C:\\dir\\a.txt\0\0"s);
    EXPECT_FALSE(one.several);
    EXPECT_EQ(one.names, (std::vector<WideText>{u"C:\\dir\\a.txt"}));
    EXPECT_EQ(WideSelectedPaths(one), (std::vector<WideText>{u"C:\\dir\\a.txt"}));

    WideSelection several = ReadWideSelection(u"C:\\\0a\0b\0\0"s);
    EXPECT_TRUE(several.several);
    EXPECT_EQ(several.directory, u"C:\\");
    EXPECT_EQ(WideSelectedPaths(several), (std::vector<WideText>{u"C:\\a", u"C:\\b"}));
    EXPECT_EQ(WideSelectedPaths(ReadWideSelection(u"D:\\x\0a\0\0"s)),
              (std::vector<WideText>{u"D:\\x\\a"}));

    // Nothing: no pair of NULs, or a pair at the start.
    EXPECT_TRUE(ReadWideSelection(u"C:\\a.txt"s).names.empty());
    EXPECT_TRUE(ReadWideSelection(u"\0\0C:\\a.txt"s).names.empty());
    EXPECT_TRUE(ReadWideSelection(u"").names.empty());
}

// Names with exact forms give byte for byte what the ANSI dialog writes, so the rows and the
// joined text are those of the ANSI dialog.
TEST_F(WideSelectionTest, ExactNamesGiveTheAnsiDialogsOwnBuffer) {
    Read read = Convert(u"C:\\文件\0a;b.txt\0重启.log\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\\xce\xc4\xbc\xfe\0a;b.txt\0\xd6\xd8\xc6\xf4.log\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\\xce\xc4\xbc\xfe\\a;b.txt",
                                 "C:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.log"}));

    read = Convert(u"C:\\dir\\\uffe5.txt"s);
    EXPECT_EQ(read.buffer, "C:\\dir\\\xa3\xa4.txt\0\0"s);
    EXPECT_EQ(read.joined, "C:\\dir\\\xa3\xa4.txt");

    // A folder ending with a character whose second byte is 0x5C: the joined text adds no
    // separator there, as it does not for the ANSI dialog; the rows do.
    read = Convert(u"C:\\\u4e57\0a\0b\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\\x81\x5c\0a\0b\0\0"s);
    EXPECT_EQ(read.joined,
              "C:\\\x81\x5c"
              "a;C:\\\x81\x5c"
              "b");
    EXPECT_EQ(read.paths, (Paths{"C:\\\x81\x5c\\a", "C:\\\x81\x5c\\b"}));
}

TEST_F(WideSelectionTest, PathsWithoutAnyFormAreLeftOut) {
    Read read = Convert(u"C:\\dir\0a.txt\0\u00a5.txt\0\U0001F600\0b.txt\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\dir\0a.txt\0b.txt\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\dir\\a.txt", "C:\\dir\\b.txt"}));

    EXPECT_EQ(Convert(u"C:\\dir\\\u0151.txt"s).buffer, "");
    EXPECT_EQ(Convert(u"C:\\\u0151\0a\0b\0\0"s).paths, Paths());
    EXPECT_EQ(Convert(u"C:\\\u0151\0a\0b\0\0"s).joined, "");
}

// A path that comes by its short form may lie in another spelling of the folder: the selection
// is then given under the folder all the paths share, and the rules read exactly the converted
// paths.
TEST_F(WideSelectionTest, ShortFormsAreGivenUnderTheFolderThePathsShare) {
    g_shortForms = {{u"C:\\my dir\\\u00a5.txt", u"C:\\MYDIR~1\\_~1.TXT"},
                    {u"C:\\my dir\\\u0151.txt", u"C:\\MYDIR~1\\_~2.TXT"}};
    Read read = Convert(u"C:\\my dir\0a.txt\0\u00a5.txt\0\u0151.txt\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\\0my dir\\a.txt\0MYDIR~1\\_~1.TXT\0MYDIR~1\\_~2.TXT\0\0"s);
    const Paths expected = {"C:\\my dir\\a.txt", "C:\\MYDIR~1\\_~1.TXT", "C:\\MYDIR~1\\_~2.TXT"};
    EXPECT_EQ(read.paths, expected);
    EXPECT_EQ(read.joined, "C:\\my dir\\a.txt;C:\\MYDIR~1\\_~1.TXT;C:\\MYDIR~1\\_~2.TXT");

    // All in the same spelling: the longest shared folder.
    g_shortForms = {{u"C:\\d\\e\\\u00a5.txt", u"C:\\d\\e\\_~1.TXT"}};
    read = Convert(u"C:\\d\\e\0\u00a5.txt\0x\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\d\\e\\\0_~1.TXT\0x\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\d\\e\\_~1.TXT", "C:\\d\\e\\x"}));

    // One path left: the single-path form.
    read = Convert(u"C:\\d\\e\0\u00a5.txt\0\U0001F600\0\0"s);
    EXPECT_EQ(read.buffer, "C:\\d\\e\\_~1.TXT\0\0"s);
}

// The shared folder ends at a separator character: a 0x5C that is the second byte of a
// double-byte character is none.
TEST_F(WideSelectionTest, TheSharedFolderEndsAtASeparatorCharacter) {
    // The folder's short spelling differs from its long one after that character.
    g_shortForms = {{u"C:\\\u4e57a\\\u00a5", u"C:\\\u4e57b\\_~1"}};
    const Read read = Convert(u"C:\\\u4e57a\0\u00a5\0x\0\0"s);
    EXPECT_EQ(read.buffer,
              "C:\\\0\x81\x5c"
              "b\\_~1\0\x81\x5c"
              "a\\x\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\\x81\x5c"
                                 "b\\_~1",
                                 "C:\\\x81\x5c"
                                 "a\\x"}));

    g_shortForms = {{u"C:\\\u4e57\\\u00a5", u"C:\\\u4e57\\_~1"}};
    const Read root = Convert(u"C:\\\u4e57\0\u00a5\0a\0\0"s);
    EXPECT_EQ(root.paths, (Paths{"C:\\\x81\x5c\\_~1", "C:\\\x81\x5c\\a"}));
}

// Where a redirected view put the files: System32's are in SysWOW64, apart from one that names
// nothing there.
WideText RedirectedFile(const WideText& path) {
    const WideText folder = u"C:\\Windows\\System32\\";
    if (path.rfind(folder, 0) != 0 || path == folder + u"typed.txt") {
        return path;
    }
    return u"C:\\Windows\\SysWOW64\\" + path.substr(folder.size());
}

// A moved path is no longer the directory and its name: the selection is given as the paths,
// under the folder they share, and read back as exactly those paths.
TEST_F(WideSelectionTest, PathsWhereTheirFilesReallyAre) {
    Read read = Convert(u"C:\\Windows\\System32\0a.txt\0\u6587.txt\0\0"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.buffer, "C:\\Windows\\SysWOW64\\\0a.txt\0\xce\xc4.txt\0\0"s);
    EXPECT_EQ(read.paths,
              (Paths{"C:\\Windows\\SysWOW64\\a.txt", "C:\\Windows\\SysWOW64\\\xce\xc4.txt"}));

    read = Convert(u"C:\\Windows\\System32\0a.txt\0typed.txt\0\0"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.paths,
              (Paths{"C:\\Windows\\SysWOW64\\a.txt", "C:\\Windows\\System32\\typed.txt"}));
    EXPECT_EQ(read.joined, "C:\\Windows\\SysWOW64\\a.txt;C:\\Windows\\System32\\typed.txt");

    read = Convert(u"C:\\Windows\\System32\\a.txt"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.buffer, "C:\\Windows\\SysWOW64\\a.txt\0\0"s);

    // Nothing moved: the ANSI dialog's own buffer, as without the function.
    read = Convert(u"C:\\Windows\0a.txt\0b.txt\0\0"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.buffer, "C:\\Windows\0a.txt\0b.txt\0\0"s);
}

}  // namespace
