// What the next restart will do: the pairs of a PendingFileRenameOperations value, each side as
// an ordinary path, and chosen deletions taken out with every other code unit kept.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "pending/pending_rules.h"

namespace {

using namespace std::string_literals;

using Pairs = std::vector<std::pair<WideText, WideText>>;

Pairs PairsOf(const PendingOperations& parsed) {
    Pairs pairs;
    for (const PendingOperation& operation : parsed.operations) {
        pairs.emplace_back(operation.source, operation.destination);
    }
    return pairs;
}

struct ParseCase {
    int line;
    WideText value;
    Pairs pairs;
    bool wellFormed;
};

TEST(PendingRules, ValuesReadAsPairsAsFarAsTheyAreWhole) {
    const ParseCase cases[] = {
        {__LINE__, u""s, {}, true},
        {__LINE__, u"\0"s, {}, true},
        // A deletion, a replacing rename and a deletion in the "*1" form, then the terminator.
        {__LINE__,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0!\\??\\C:\\c\0*1\\??\\C:\\d\0\0\0"s,
         {{u"\\??\\C:\\a", u""}, {u"\\??\\C:\\b", u"!\\??\\C:\\c"}, {u"*1\\??\\C:\\d", u""}},
         true},
        // The list may end with the value, or with more than one terminator.
        {__LINE__, u"\\??\\C:\\a\0\0"s, {{u"\\??\\C:\\a", u""}}, true},
        {__LINE__, u"\\??\\C:\\a\0\0\0\0\0"s, {{u"\\??\\C:\\a", u""}}, true},
        // Incomplete pairs are not shown: a source without a destination, strings without
        // their terminators.
        {__LINE__, u"\\??\\C:\\a\0"s, {}, false},
        {__LINE__, u"\\??\\C:\\a"s, {}, false},
        {__LINE__, u"\\??\\C:\\a\0\0\\??\\C:\\b\0\\??\\C:\\c"s, {{u"\\??\\C:\\a", u""}}, false},
        // Whatever follows the end of the list is not read, and makes the value unwritable.
        {__LINE__, u"\\??\\C:\\a\0\0\0\\??\\C:\\b\0\0\0"s, {{u"\\??\\C:\\a", u""}}, false},
        {__LINE__, u"\0x"s, {}, false},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const PendingOperations parsed = ParsePendingOperations(c.value);
        EXPECT_EQ(PairsOf(parsed), c.pairs);
        EXPECT_EQ(parsed.wellFormed, c.wellFormed);
    }
}

struct ShownCase {
    int line;
    WideText recorded;
    WideText shown;
};

TEST(PendingRules, EachSideIsShownAsAnOrdinaryPath) {
    const ShownCase cases[] = {
        {__LINE__, u"\\??\\C:\\dir\\a.txt", u"C:\\dir\\a.txt"},
        // Markers: "*" and digits before a source, "!" (replace) before a destination.
        {__LINE__, u"*1\\??\\C:\\a.txt", u"C:\\a.txt"},
        {__LINE__, u"*12\\??\\C:\\a.txt", u"C:\\a.txt"},
        {__LINE__, u"!\\??\\C:\\b.txt", u"C:\\b.txt"},
        // Shares, however the link's name is spelled.
        {__LINE__, u"\\??\\UNC\\server\\share\\a.txt", u"\\\\server\\share\\a.txt"},
        {__LINE__, u"!\\??\\unc\\server\\share\\a.txt", u"\\\\server\\share\\a.txt"},
        // A name the Win32 calls would trim keeps its final dot and space.
        {__LINE__, u"\\??\\C:\\name. ", u"C:\\name. "},
        {__LINE__, u"\\??\\D:\\\u6587\u4ef6\\\U0001F600.txt", u"D:\\\u6587\u4ef6\\\U0001F600.txt"},
        // Anything else is shown as recorded: "*" without digits, no prefix.
        {__LINE__, u"*\\??\\C:\\a.txt", u"*\\??\\C:\\a.txt"},
        {__LINE__, u"C:\\a.txt", u"C:\\a.txt"},
        {__LINE__, u"", u""},
    };
    for (const ShownCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(ShownPath(c.recorded), c.shown);
    }
}

struct RemovalCase {
    int line;
    WideText value;
    std::vector<WideText> sources;
    WideText kept;
};

// Another program's rename, deletion and "*1" deletion, then two of the program's deletions.
const WideText kRecorded =
    u"\\??\\C:\\from\0!\\??\\C:\\to\0"
    u"\\??\\C:\\other\0\0"
    u"*1\\??\\C:\\star\0\0"
    u"\\??\\C:\\keep\0\0"
    u"\\??\\C:\\gone\0\0"
    u"\0"s;

TEST(PendingRules, RemovalTakesOutExactlyTheChosenDeletions) {
    const RemovalCase cases[] = {
        {__LINE__,
         kRecorded,
         {u"\\??\\C:\\keep"},
         u"\\??\\C:\\from\0!\\??\\C:\\to\0\\??\\C:\\other\0\0*1\\??\\C:\\star\0\0"
         u"\\??\\C:\\gone\0\0\0"s},
        {__LINE__,
         kRecorded,
         {u"*1\\??\\C:\\star", u"\\??\\C:\\gone"},
         u"\\??\\C:\\from\0!\\??\\C:\\to\0\\??\\C:\\other\0\0\\??\\C:\\keep\0\0\0"s},
        // Nothing there to remove: the same units.
        {__LINE__, kRecorded, {u"\\??\\C:\\missing"}, kRecorded},
        // Exact strings only: another case, or the same path without its "*1", is another source.
        {__LINE__, kRecorded, {u"\\??\\c:\\KEEP", u"\\??\\C:\\star"}, kRecorded},
        // A rename is never removed, even when its source is chosen.
        {__LINE__, kRecorded, {u"\\??\\C:\\from"}, kRecorded},
        // Every deletion of a chosen source goes, or the file would still be deleted.
        {__LINE__,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0\0\\??\\C:\\a\0\0\0"s,
         {u"\\??\\C:\\a"},
         u"\\??\\C:\\b\0\0\0"s},
        // What ends the list stays as it was: nothing, or several terminators.
        {__LINE__, u"\\??\\C:\\a\0\0\\??\\C:\\b\0\0"s, {u"\\??\\C:\\a"}, u"\\??\\C:\\b\0\0"s},
        {__LINE__, u"\\??\\C:\\a\0\0\0\0"s, {u"\\??\\C:\\a"}, u"\0\0"s},
        // A value that is not well formed is never changed.
        {__LINE__,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0"s,
         {u"\\??\\C:\\a"},
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0"s},
        {__LINE__, u"\\??\\C:\\a\0\0\0junk"s, {u"\\??\\C:\\a"}, u"\\??\\C:\\a\0\0\0junk"s},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(WithoutDeletions(c.value, c.sources), c.kept);
    }
}

}  // namespace
