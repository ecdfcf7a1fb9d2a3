// The UTF-16 open-file dialog's selection: read from its buffer and converted pick by pick; the
// selection text is the ANSI dialog's own wherever every name has an exact form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intake/selection_rules.h"
#include "lead_bytes.h"
#include "paths/exact_names.h"
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

    // The rows the picks give, and the selection text.
    struct Read {
        Text joined;
        Paths paths;
    };
    static Read Convert(const WideText& written, LeadBytePredicate isLeadByte = Lead936,
                        RealPathFunction realPath = nullptr) {
        WideText buffer = written;
        buffer.resize(static_cast<size_t>(SELECTION_BUFFER_SIZE), u'\0');
        const WideSelection selection = ReadWideSelection(buffer);
        Read read;
        read.paths = ChosenAnsiPaths(selection, SystemAnsiConverters(), TableShortPath, realPath);
        read.joined = SelectionText(selection, read.paths, SystemAnsiConverters(), isLeadByte);
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

// Names with exact forms: the rows are the directory and each name, and the text is what the
// ANSI dialog's buffer gives.
TEST_F(WideSelectionTest, ExactNamesGiveTheAnsiDialogsOwnText) {
    Read read = Convert(u"C:\\文件\0a;b.txt\0重启.log\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\\xce\xc4\xbc\xfe\\a;b.txt",
                                 "C:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.log"}));
    EXPECT_EQ(read.joined,
              "C:\\\xce\xc4\xbc\xfe\\a;b.txt;C:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.log");

    read = Convert(u"C:\\dir\\\uffe5.txt"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\dir\\\xa3\xa4.txt"}));
    EXPECT_EQ(read.joined, "C:\\dir\\\xa3\xa4.txt");

    // A folder ending with a character whose second byte is 0x5C: the joined text adds no
    // separator there, as it does not for the ANSI dialog; the rows do.
    read = Convert(u"C:\\\u4e57\0a\0b\0\0"s);
    EXPECT_EQ(read.joined,
              "C:\\\x81\x5c"
              "a;C:\\\x81\x5c"
              "b");
    EXPECT_EQ(read.paths, (Paths{"C:\\\x81\x5c\\a", "C:\\\x81\x5c\\b"}));
}

TEST_F(WideSelectionTest, PicksWithoutAnyFormAreLeftOut) {
    Read read = Convert(u"C:\\dir\0a.txt\0\u00a5.txt\0\U0001F600\0b.txt\0\0"s);
    EXPECT_EQ(read.paths, (Paths{"C:\\dir\\a.txt", "C:\\dir\\b.txt"}));
    EXPECT_EQ(read.joined, "C:\\dir\\a.txt;C:\\dir\\b.txt");

    EXPECT_EQ(Convert(u"C:\\dir\\\u0151.txt"s).paths, Paths());
    EXPECT_EQ(Convert(u"C:\\\u0151\0a\0b\0\0"s).paths, Paths());
    EXPECT_EQ(Convert(u"C:\\\u0151\0a\0b\0\0"s).joined, "");
}

// A pick that comes by its short form may lie in another spelling of the folder; each row is
// exactly its converted path.
TEST_F(WideSelectionTest, ShortFormsAreListedAsThemselves) {
    g_shortForms = {{u"C:\\my dir\\\u00a5.txt", u"C:\\MYDIR~1\\_~1.TXT"},
                    {u"C:\\my dir\\\u0151.txt", u"C:\\MYDIR~1\\_~2.TXT"}};
    Read read = Convert(u"C:\\my dir\0a.txt\0\u00a5.txt\0\u0151.txt\0\0"s);
    const Paths expected = {"C:\\my dir\\a.txt", "C:\\MYDIR~1\\_~1.TXT", "C:\\MYDIR~1\\_~2.TXT"};
    EXPECT_EQ(read.paths, expected);
    EXPECT_EQ(read.joined, "C:\\my dir\\a.txt;C:\\MYDIR~1\\_~1.TXT;C:\\MYDIR~1\\_~2.TXT");
}

// Where a redirected view put the files: System32's are in SysWOW64, but for one whose file
// cannot be told and one on another volume.
std::optional<WideText> RedirectedFile(const WideText& path) {
    const WideText folder = u"C:\\Windows\\System32\\";
    if (path == folder + u"typed.txt") {
        return std::nullopt;
    }
    if (path == folder + u"mapped.txt") {
        return u"\\\\server\\share\\mapped.txt";
    }
    if (path.rfind(folder, 0) != 0) {
        return path;
    }
    return u"C:\\Windows\\SysWOW64\\" + path.substr(folder.size());
}

// Every pick arrives where its file really is, whatever root that has, or is left out; none is
// replaced by its chosen path.
TEST_F(WideSelectionTest, PicksWhereTheirFilesReallyAre) {
    Read read = Convert(u"C:\\Windows\\System32\0a.txt\0\u6587.txt\0\0"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.paths,
              (Paths{"C:\\Windows\\SysWOW64\\a.txt", "C:\\Windows\\SysWOW64\\\xce\xc4.txt"}));
    EXPECT_EQ(read.joined, "C:\\Windows\\SysWOW64\\a.txt;C:\\Windows\\SysWOW64\\\xce\xc4.txt");

    read = Convert(u"C:\\Windows\\System32\0a.txt\0typed.txt\0mapped.txt\0\0"s, Lead936,
                   RedirectedFile);
    EXPECT_EQ(read.paths, (Paths{"C:\\Windows\\SysWOW64\\a.txt", "\\\\server\\share\\mapped.txt"}));
    EXPECT_EQ(read.joined, "C:\\Windows\\SysWOW64\\a.txt;\\\\server\\share\\mapped.txt");

    // Nothing moved: the ANSI dialog's own text, as without the function.
    read = Convert(u"C:\\Windows\0a.txt\0b.txt\0\0"s, Lead936, RedirectedFile);
    EXPECT_EQ(read.paths, (Paths{"C:\\Windows\\a.txt", "C:\\Windows\\b.txt"}));
}

}  // namespace
