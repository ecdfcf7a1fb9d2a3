// The batch line filter over a text and fake predicates: how the text is cut into lines, which
// lines are resolved, the order of the three tests, and what is appended.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "intake/batch_rules.h"
#include "lead_bytes.h"

namespace {

TEST(SplitBatchLines, OnlyCrLfSeparatesLines) {
    struct Case {
        int line;
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {__LINE__, "", {}},
        {__LINE__, "C:\\a.txt", {"C:\\a.txt"}},
        {__LINE__, "C:\\a.txt\r\nC:\\b.txt", {"C:\\a.txt", "C:\\b.txt"}},
        // A line break after the last line gives no empty last line.
        {__LINE__, "C:\\a.txt\r\n", {"C:\\a.txt"}},
        // Empty lines in the middle and at the start are kept (and later skipped).
        {__LINE__, "\r\nC:\\a.txt\r\n\r\nC:\\b.txt", {"", "C:\\a.txt", "", "C:\\b.txt"}},
        {__LINE__, "C:\\a.txt\nC:\\b.txt", {"C:\\a.txt\nC:\\b.txt"}},
        {__LINE__, "C:\\a.txt\rC:\\b.txt", {"C:\\a.txt\rC:\\b.txt"}},
        // Spaces and quotes are part of the line.
        {__LINE__, " C:\\a.txt \r\n\"C:\\b.txt\"", {" C:\\a.txt ", "\"C:\\b.txt\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(SplitBatchLines(c.text, Lead936), c.lines);
        EXPECT_EQ(SplitBatchLines(c.text, Lead1252), c.lines);
    }
}

TEST(SplitBatchLines, LeadByteBeforeTheBreakDependsOnTheCodePage) {
    // "café" with é as the one byte 0xE9: under 936 that byte starts a double-byte character and
    // takes the CR with it, so the break is not seen; a single-byte code page sees two lines.
    const std::string text = "C:\\caf\xE9\r\nC:\\b.txt";
    EXPECT_EQ(SplitBatchLines(text, Lead936), TextArray{text});
    EXPECT_EQ(SplitBatchLines(text, Lead1252), (TextArray{"C:\\caf\xE9", "C:\\b.txt"}));

    // A whole GBK character before the break ("C:\文") leaves the break visible.
    const std::string chinese = "C:\\\xCE\xC4\r\nC:\\b.txt";
    EXPECT_EQ(SplitBatchLines(chinese, Lead936), (TextArray{"C:\\\xCE\xC4", "C:\\b.txt"}));

    // A lead byte as the very last byte stays in the last line.
    EXPECT_EQ(SplitBatchLines("C:\\a\r\nC:\\\xCE", Lead936), (TextArray{"C:\\a", "C:\\\xCE"}));
}

// A text converted character by character: a line holding a substitute is emptied, whatever
// else it holds; a "?" the user typed is no substitute.
TEST(SplitConvertedBatchLines, LinesWithASubstituteAreEmptied) {
    struct Case {
        int line;
        SubstitutedText text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {__LINE__, {"C:\\a?\r\nC:\\b?\r\n", {}}, {"C:\\a?", "C:\\b?"}},
        {__LINE__, {"C:\\a?\r\nC:\\b?\r\n", {9}}, {"C:\\a?", ""}},
        {__LINE__, {"?\r\nC:\\b", {1}}, {"", "C:\\b"}},
        // Two substitutes in one line, and empty lines between.
        {__LINE__, {"x??\r\n\r\n\r\ny\r\n?", {2, 3, 13}}, {"", "", "", "y", ""}},
        {__LINE__, {"\xce\xc4?\r\n\xce\xc4", {3}}, {"", "\xce\xc4"}},
        {__LINE__, {"", {}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(SplitConvertedBatchLines(c.text, Lead936), c.lines);
    }
}

// A disk, a list and a current directory behind the filter, recording every question asked.
struct FakeMachine {
    std::set<std::string> directories;
    std::set<std::string> files;  // directories are not in here; exists() looks at both
    std::string currentDirectory = "C:\\work";
    bool resolutionFails = false;
    std::vector<std::string> list;
    std::vector<std::string> calls;

    BatchLineSteps Steps() {
        BatchLineSteps steps;
        steps.isDirectory = [this](const Text& path) {
            calls.push_back("dir " + path);
            return directories.count(path) != 0;
        };
        steps.exists = [this](const Text& path) {
            calls.push_back("exists " + path);
            return files.count(path) != 0 || directories.count(path) != 0;
        };
        steps.isListed = [this](const Text& path) {
            calls.push_back("listed " + path);
            return std::find(list.begin(), list.end(), path) != list.end();
        };
        steps.fullPath = [this](const Text& path) -> Text {
            calls.push_back("full " + path);
            if (resolutionFails) {
                return {};
            }
            return currentDirectory + "\\" + path;
        };
        steps.append = [this](const Text& path) {
            calls.push_back("append " + path);
            list.push_back(path);
        };
        steps.pump = [this] { calls.push_back("pump"); };
        return steps;
    }
};

// A line that is already the full path it means is taken as typed, and so literally by every
// test: the names the system's own resolution would change (a final dot or space, a device name)
// keep their meaning. A literal line is shown in its ordinary form; anything else is made full.
TEST(BatchLinePath, PlainFullPathsAsTypedOthersMadeFullQuotesRemoved) {
    struct Case {
        int line;
        std::string text;
        std::string path;  // "*" for the line made full
    };
    const Case cases[] = {
        {__LINE__, "C:\\t\\a.txt", "C:\\t\\a.txt"},
        {__LINE__, "z:\\t\\gone.", "z:\\t\\gone."},
        {__LINE__, "C:\\t\\bar ", "C:\\t\\bar "},
        {__LINE__, "C:\\t\\nul", "C:\\t\\nul"},
        {__LINE__, "C:\\t\\aux.txt", "C:\\t\\aux.txt"},
        {__LINE__, "\\\\server\\share\\a.txt", "\\\\server\\share\\a.txt"},
        {__LINE__, "\\\\?\\C:\\t\\foo.", "C:\\t\\foo."},
        {__LINE__, "\\\\?\\unc\\server\\share\\a", "\\\\server\\share\\a"},
        // Anything the system would resolve first: other separators, "." and ".." parts, empty
        // parts, a relative or drive-relative line, a device or volume path, a leading space.
        {__LINE__, "C:/t/a.txt", "*"},
        {__LINE__, "C:\\t\\.\\a.txt", "*"},
        {__LINE__, "C:\\t\\..\\a.txt", "*"},
        {__LINE__, "C:\\t\\\\a.txt", "*"},
        {__LINE__, "C:\\t\\", "*"},
        {__LINE__, "C:a.txt", "*"},
        {__LINE__, "\\a.txt", "*"},
        {__LINE__, "a.txt", "*"},
        {__LINE__, "1:\\a.txt", "*"},
        {__LINE__, "\\\\.\\C:\\a.txt", "*"},
        {__LINE__, "\\\\?\\Volume{1}\\a.txt", "*"},
        {__LINE__, " C:\\a.txt", "*"},
        {__LINE__, "", ""},
        // The shell's "Copy as path": the quotes around a line go, and nothing else changes.
        {__LINE__, "\"C:\\t\\q.txt\"", "C:\\t\\q.txt"},
        {__LINE__, "\"C:\\t\\foo.\"", "C:\\t\\foo."},
        {__LINE__, "\"a.txt\"", "C:\\work\\a.txt"},
        {__LINE__, "\"\"", ""},
        {__LINE__, "\"", "*"},
        {__LINE__, "\"C:\\t\\q.txt", "*"},
        {__LINE__, "C:\\t\\q.txt\"", "C:\\t\\q.txt\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": " << c.text);
        FakeMachine machine;
        const Text expected = c.path == "*" ? machine.currentDirectory + "\\" + c.text : c.path;
        EXPECT_EQ(BatchLinePath(c.text, machine.Steps()), expected);
    }
}

// A line is taken as it stands when that names a file; otherwise in the forms a user copies:
// without the spaces and tabs around it, then with a leading "\??\" or "\\?\" made ordinary. The
// row is that file's full ordinary path; a line that names nothing in any form adds nothing.
TEST(AddBatchLines, LineFormsTriedInOrderUntilOneNamesAFile) {
    struct Case {
        int line;
        std::string text;
        std::set<std::string> files;
        std::string listed;  // empty: nothing appended
        std::set<std::string> directories = {};
    };
    const std::set<std::string> plain = {"C:\\d\\a.txt", "C:\\work\\r.txt"};
    const Case cases[] = {
        {__LINE__, "C:\\d\\a.txt ", plain, "C:\\d\\a.txt"},
        {__LINE__, "  C:\\d\\a.txt", plain, "C:\\d\\a.txt"},
        {__LINE__, "\tC:\\d\\a.txt \t ", plain, "C:\\d\\a.txt"},
        {__LINE__, "\\??\\C:\\d\\a.txt", plain, "C:\\d\\a.txt"},
        {__LINE__, " \\??\\C:\\d\\a.txt ", plain, "C:\\d\\a.txt"},
        {__LINE__, " \"\\??\\C:\\d\\a.txt\"", plain, "C:\\d\\a.txt"},
        {__LINE__, "\\??\\UNC\\srv\\s\\a.txt", {"\\\\srv\\s\\a.txt"}, "\\\\srv\\s\\a.txt"},
        {__LINE__, " \\\\?\\C:\\d\\a.txt", plain, "C:\\d\\a.txt"},
        // A relative line without its spaces is made full.
        {__LINE__, " r.txt ", plain, "C:\\work\\r.txt"},
        // The literal form wins where it names a file: the name with its final space is listed.
        {__LINE__, "C:\\d\\a.txt ", {"C:\\d\\a.txt ", "C:\\d\\a.txt"}, "C:\\d\\a.txt "},
        // A form that names a directory is passed over like one that names nothing.
        {__LINE__, "C:\\d\\a.txt ", plain, "C:\\d\\a.txt", {"C:\\d\\a.txt "}},
        // Spaces inside a line are its own; a "\??\" not at the start is no prefix.
        {__LINE__, "C:\\d\\a .txt", plain, ""},
        {__LINE__, "x\\??\\C:\\d\\a.txt", plain, ""},
        {__LINE__, "\\??\\Volume{1}\\a.txt", plain, ""},
        {__LINE__, " \t ", plain, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": [" << c.text << "]");
        FakeMachine machine;
        machine.files = c.files;
        machine.directories = c.directories;
        AddBatchLines({c.text}, machine.Steps());
        EXPECT_EQ(machine.list,
                  c.listed.empty() ? std::vector<std::string>{} : std::vector{c.listed});
    }
}

TEST(AddBatchLines, TestsDirectoryThenExistenceThenListAndPumpsAfterEveryLine) {
    FakeMachine machine;
    machine.directories = {"C:\\dir"};
    machine.files = {"C:\\listed.txt", "C:\\new.txt"};
    machine.list = {"C:\\listed.txt"};

    AddBatchLines({"C:\\dir", "C:\\missing.txt", "C:\\listed.txt", "C:\\new.txt"}, machine.Steps());

    const std::vector<std::string> expected = {
        // A directory is never asked about further: it exists, and is not a file.
        "dir C:\\dir", "pump",
        // Only existing files reach the list scan.
        "dir C:\\missing.txt", "exists C:\\missing.txt", "pump", "dir C:\\listed.txt",
        "exists C:\\listed.txt", "listed C:\\listed.txt", "pump", "dir C:\\new.txt",
        "exists C:\\new.txt", "listed C:\\new.txt", "append C:\\new.txt", "pump"};
    EXPECT_EQ(machine.calls, expected);
    EXPECT_EQ(machine.list, (std::vector<std::string>{"C:\\listed.txt", "C:\\new.txt"}));
}

TEST(AddBatchLines, AppendsInLineOrderAndOnceForARepeatedLine) {
    FakeMachine machine;
    machine.files = {"C:\\b.txt", "C:\\a.txt", "C:\\A.TXT", "D:\\c.txt"};
    machine.list = {"D:\\c.txt"};

    AddBatchLines({"C:\\b.txt", "C:\\a.txt", "C:\\b.txt", "C:\\A.TXT", "D:\\c.txt", "C:\\a.txt"},
                  machine.Steps());

    // The second C:\b.txt meets the row the first one appended; the list's own rule decides
    // duplicates, so a line that differs only in case is new to it.
    EXPECT_EQ(machine.list,
              (std::vector<std::string>{"D:\\c.txt", "C:\\b.txt", "C:\\a.txt", "C:\\A.TXT"}));
    EXPECT_EQ(std::count(machine.calls.begin(), machine.calls.end(), "pump"), 6);
}

TEST(AddBatchLines, EmptyLinesAskNothingButStillPump) {
    FakeMachine machine;
    machine.files = {"C:\\a.txt"};

    AddBatchLines(SplitBatchLines("\r\nC:\\a.txt\r\n\r\n", Lead936), machine.Steps());

    const std::vector<std::string> expected = {
        "pump", "dir C:\\a.txt", "exists C:\\a.txt", "listed C:\\a.txt", "append C:\\a.txt",
        "pump", "pump"};
    EXPECT_EQ(machine.calls, expected);
}

TEST(AddBatchLines, RelativeLineIsTestedAndListedAsItsFullPath) {
    FakeMachine machine;
    machine.files = {"C:\\work\\a.txt", "C:\\b.txt"};

    AddBatchLines({"a.txt", "C:\\b.txt"}, machine.Steps());

    const std::vector<std::string> expected = {
        "full a.txt", "dir C:\\work\\a.txt", "exists C:\\work\\a.txt", "listed C:\\work\\a.txt",
        "append C:\\work\\a.txt", "pump",
        // An absolute line is not resolved: it is tested and listed exactly as typed.
        "dir C:\\b.txt", "exists C:\\b.txt", "listed C:\\b.txt", "append C:\\b.txt", "pump"};
    EXPECT_EQ(machine.calls, expected);
}

TEST(AddBatchLines, RelativeAndAbsoluteNamesOfOneFileAddItOnce) {
    FakeMachine machine;
    machine.files = {"C:\\work\\a.txt"};

    AddBatchLines({"C:\\work\\a.txt", "a.txt"}, machine.Steps());

    EXPECT_EQ(machine.list, (std::vector<std::string>{"C:\\work\\a.txt"}));
}

TEST(AddBatchLines, LineThatCannotBeResolvedIsSkipped) {
    FakeMachine machine;
    machine.resolutionFails = true;
    machine.files = {"a.txt"};

    AddBatchLines({"a.txt"}, machine.Steps());

    EXPECT_EQ(machine.calls, (std::vector<std::string>{"full a.txt", "pump"}));
    EXPECT_TRUE(machine.list.empty());
}

}  // namespace
