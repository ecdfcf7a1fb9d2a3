// What the next restart will do: the pairs of a PendingFileRenameOperations value, each side as
// an ordinary path, chosen deletions taken out with every other code unit kept, what a folder's
// deletion takes back with it, and whether a main-list row is still pending.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "case_tables.h"
#include "paths/folder_rows.h"
#include "pending/pending_rules.h"
#include "pending/spelling_rules.h"

namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

using Pairs = std::vector<std::pair<WideText, WideText>>;

Pairs PairsOf(std::u16string_view value, const PendingOperations& parsed) {
    Pairs pairs;
    for (const PendingOperation& operation : parsed.operations) {
        pairs.emplace_back(SourceOf(value, operation), DestinationOf(value, operation));
    }
    return pairs;
}

// Pairs of the values as a reader gives them: the value each is in, in the order given, each
// with the equal pairs before it in its value counted.
struct Pair {
    WideText source;
    WideText destination;
    uint32_t value = 0;
};
// Adds a pair to a value's units; the operation that reads it there.
PendingOperation AddPair(WideText& units, const WideText& source, const WideText& destination) {
    PendingOperation operation;
    operation.at = static_cast<uint32_t>(units.size());
    operation.sourceLength = static_cast<uint32_t>(source.size());
    operation.destinationLength = static_cast<uint32_t>(destination.size());
    units += source + u'\0' + destination + u'\0';
    return operation;
}

// Each recorded name as the table of spellings alone reads it, with no disk behind it.
NameOf NamesInTable() {
    auto names = std::make_shared<std::map<WideText, std::optional<OrdinaryPath>>>();
    return [names](std::u16string_view recorded) -> const std::optional<OrdinaryPath>& {
        auto known = names->find(WideText(recorded));
        if (known == names->end()) {
            const SpelledName spelled = ReadSpelling(recorded, SpellingTable{});
            std::optional<OrdinaryPath> path;
            if (spelled.kind == SpellingKind::kPath) {
                path = OrdinaryPath{spelled.text};
            }
            known = names->emplace(WideText(recorded), std::move(path)).first;
        }
        return known->second;
    };
}

PendingValues ValuesOf(const std::vector<Pair>& pairs) {
    PendingValues values;
    for (const Pair& pair : pairs) {
        PendingOperation operation =
            AddPair(values.units[pair.value], pair.source, pair.destination);
        operation.value = pair.value;
        values.operations.push_back(operation);
    }
    CountEqualPairs(values);
    return values;
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
        EXPECT_EQ(PairsOf(c.value, parsed), c.pairs);
        EXPECT_EQ(parsed.wellFormed, c.wellFormed);
    }
}

// A chosen row: the pair and how many equal pairs come before it.
struct Chosen {
    WideText source;
    WideText destination;
    uint32_t equalBefore = 0;
};

struct RemovalCase {
    int line;
    WideText value;
    std::vector<Chosen> chosen;
    RemovalOutcome outcome;
    WideText kept;
};

// The chosen rows as the window carries them: copies of their pairs.
Removal RemoveChosen(std::u16string_view value, const std::vector<Chosen>& chosen) {
    std::vector<ChosenPair> pairs;
    for (const Chosen& row : chosen) {
        pairs.push_back({0, row.source + u'\0' + row.destination, row.equalBefore});
    }
    return WithoutChosenPairs(value, pairs);
}

// Another program's operations around two deletions of one file: the first deletes the "a" that
// is there now, the rename makes a new "a", the second deletes that one.
const WideText kRecorded =
    u"\\??\\C:\\a\0\0"
    u"\\??\\C:\\b\0!\\??\\C:\\a\0"
    u"\\??\\C:\\a\0\0"
    u"*1\\??\\C:\\star\0\0"
    u"\0"s;
const WideText kFirstA = u"\\??\\C:\\a\0\0"s;
const WideText kRename = u"\\??\\C:\\b\0!\\??\\C:\\a\0"s;
const WideText kStar = u"*1\\??\\C:\\star\0\0"s;

TEST(PendingRules, RemovalTakesOutExactlyTheChosenPairs) {
    const RemovalCase cases[] = {
        // The second deletion of "a" goes; the first, an equal pair, stays where it was.
        {__LINE__,
         kRecorded,
         {Chosen{u"\\??\\C:\\a", u"", 1}},
         RemovalOutcome::kRemoved,
         kFirstA + kRename + kStar + u"\0"s},
        {__LINE__,
         kRecorded,
         {Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kRemoved,
         kRename + u"\\??\\C:\\a\0\0"s + kStar + u"\0"s},
        {__LINE__,
         kRecorded,
         {Chosen{u"*1\\??\\C:\\star", u"", 0}, Chosen{u"\\??\\C:\\a", u"", 1}},
         RemovalOutcome::kRemoved,
         kFirstA + kRename + u"\0"s},
        // Changed since it was read: another program took the first "a" out, so the second is
        // now the only one, and gone as the row knew it; nothing is removed.
        {__LINE__,
         kRename + u"\\??\\C:\\a\0\0\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 1}},
         RemovalOutcome::kGone,
         kRename + u"\\??\\C:\\a\0\0\0"s},
        // Changed by a pair added in front: the chosen one is found again by its count.
        {__LINE__,
         u"\\??\\C:\\new\0\0"s + kRecorded,
         {Chosen{u"\\??\\C:\\a", u"", 1}},
         RemovalOutcome::kRemoved,
         u"\\??\\C:\\new\0\0"s + kFirstA + kRename + kStar + u"\0"s},
        // One chosen pair gone: none removed, not even the ones still there.
        {__LINE__,
         kRecorded,
         {Chosen{u"*1\\??\\C:\\star", u"", 0}, Chosen{u"\\??\\C:\\missing", u"", 0}},
         RemovalOutcome::kGone,
         kRecorded},
        // Exact strings only: another case, or the same path without its "*1", is another pair.
        {__LINE__, kRecorded, {Chosen{u"\\??\\c:\\A", u"", 0}}, RemovalOutcome::kGone, kRecorded},
        {__LINE__,
         kRecorded,
         {Chosen{u"\\??\\C:\\star", u"", 0}},
         RemovalOutcome::kGone,
         kRecorded},
        // A rename is never removed, even when chosen.
        {__LINE__,
         kRecorded,
         {Chosen{u"\\??\\C:\\b", u"!\\??\\C:\\a", 0}},
         RemovalOutcome::kRemoved,
         kRecorded},
        // What ends the list stays as it was: nothing, or several terminators.
        {__LINE__,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kRemoved,
         u"\\??\\C:\\b\0\0"s},
        {__LINE__,
         u"\\??\\C:\\a\0\0\0\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kRemoved,
         u"\0\0"s},
        // Many equal pairs: exactly the chosen occurrences go, the others keep their places; one
        // chosen twice goes once.
        {__LINE__,
         kFirstA + kRename + kFirstA + kStar + kFirstA + kStar + kFirstA + u"\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 3}, Chosen{u"*1\\??\\C:\\star", u"", 1},
          Chosen{u"\\??\\C:\\a", u"", 0}, Chosen{u"\\??\\C:\\a", u"", 2},
          Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kRemoved,
         kRename + kFirstA + kStar + u"\0"s},
        // One occurrence more than the value holds is gone.
        {__LINE__,
         kFirstA + kRename + kFirstA + u"\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 0}, Chosen{u"\\??\\C:\\a", u"", 2}},
         RemovalOutcome::kGone,
         kFirstA + kRename + kFirstA + u"\0"s},
        // A value that is not well formed is never changed.
        {__LINE__,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0"s,
         {Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kUnrecognised,
         u"\\??\\C:\\a\0\0\\??\\C:\\b\0"s},
        {__LINE__,
         u"\\??\\C:\\a\0\0\0junk"s,
         {Chosen{u"\\??\\C:\\a", u"", 0}},
         RemovalOutcome::kUnrecognised,
         u"\\??\\C:\\a\0\0\0junk"s},
    };
    for (const RemovalCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const Removal removal = RemoveChosen(c.value, c.chosen);
        EXPECT_EQ(removal.outcome, c.outcome);
        EXPECT_EQ(removal.kept, c.kept);
    }
}

// Deletions join the value as the system adds them: after its last whole pair, everything before
// unit for unit and what follows the list (its terminator, and more) kept; the read-back check
// counts each deletion as often as it was added.
TEST(PendingRules, DeletionsAreAppendedAfterTheLastPairAndFoundAgainByCount) {
    struct AppendCase {
        int line;
        std::u16string value;
        std::vector<RecordedPath> sources;
        std::u16string expected;
    };
    const std::u16string rename = u"\\??\\C:\\a\0!\\??\\C:\\b\0"s;
    const std::vector<AppendCase> cases = {
        {__LINE__, u""s, {{u"\\??\\C:\\d.txt."}}, u"\\??\\C:\\d.txt.\0\0\0"s},
        {__LINE__,
         rename + u"\0"s,
         {{u"\\??\\C:\\x"}, {u"\\??\\UNC\\srv\\s\\e"}},
         rename + u"\\??\\C:\\x\0\0\\??\\UNC\\srv\\s\\e\0\0\0"s},
        // Extra terminators after the list stay where they were, after it.
        {__LINE__, rename + u"\0\0\0"s, {{u"\\??\\C:\\x"}}, rename + u"\\??\\C:\\x\0\0\0\0\0"s},
        // A value without its closing terminator is given one.
        {__LINE__, rename, {{u"\\??\\C:\\x"}}, rename + u"\\??\\C:\\x\0\0\0"s},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const WideText appended = WithDeletionsAppended(c.value, c.sources);
        EXPECT_EQ(appended, c.expected);
        const PendingOperations parsed = ParsePendingOperations(appended);
        EXPECT_TRUE(parsed.wellFormed);
        const std::u16string_view added =
            std::u16string_view(appended).substr(ListEnd(ParsePendingOperations(c.value)));
        EXPECT_TRUE(HoldsDeletions(appended, parsed, added));
    }
    const WideText once = rename + u"\\??\\C:\\x\0\0\0"s;
    const PendingOperations parsedOnce = ParsePendingOperations(once);
    EXPECT_FALSE(HoldsDeletions(once, parsedOnce, u"\\??\\C:\\x\0\0\\??\\C:\\x\0\0"sv));
    // A rename of the file is not its deletion.
    EXPECT_FALSE(HoldsDeletions(once, parsedOnce, u"\\??\\C:\\a\0\0"sv));
    EXPECT_TRUE(HoldsDeletions(once, parsedOnce, u""));
}

// A folder's tree as the restart run records it (files, then folders deepest first), with
// neighbours: the same file deleted twice and once in the other value, a name that begins like
// the folder's, a rename inside it, and a deletion in the "*1" form and another spelling.
const std::vector<Pair> kTree = {
    {u"\\??\\C:\\old\\app\\a.txt", u"", 0},                            // 0
    {u"\\??\\C:\\old\\app\\sub\\b.txt", u"", 0},                       // 1
    {u"\\??\\C:\\old\\app\\sub", u"", 0},                              // 2
    {u"\\??\\C:\\old\\app", u"", 0},                                   // 3
    {u"\\??\\C:\\old\\apple.txt", u"", 0},                             // 4
    {u"\\??\\C:\\old\\app\\n.dll", u"!\\??\\C:\\old\\app\\o.dll", 0},  // 5
    {u"\\??\\C:\\old\\app\\a.txt", u"", 0},                            // 6: a second one
    {u"*1\\??\\c:\\OLD\\APP\\c.txt", u"", 1},                          // 7
    {u"\\??\\C:\\old\\app\\a.txt", u"", 1},                            // 8
};

struct TakenBackCase {
    int line;
    std::vector<size_t> chosen;  // rows of kTree
    std::vector<size_t> takenBack;
    bool withFolderContents;
};

TEST(PendingRules, AFolderDeletionTakesBackEveryDeletionUnderItOnce) {
    const TakenBackCase cases[] = {
        // The folder: its tree in both values, every spelling, equal pairs apart; not the
        // neighbour "apple.txt" nor the rename.
        {__LINE__, {3}, {3, 0, 1, 2, 6, 7, 8}, true},
        {__LINE__, {2}, {2, 1}, true},
        // Chosen as well as under a chosen folder: once.
        {__LINE__, {1, 3}, {1, 3, 0, 2, 6, 7, 8}, true},
        // Everything under it chosen too: nothing added, and still a folder's contents.
        {__LINE__, {1, 2}, {1, 2}, true},
        // A file's deletions in both values: a path is not under itself, nothing is added.
        {__LINE__, {0, 8}, {0, 8}, false},
        // A rename is never taken back, nor does anything go with it.
        {__LINE__, {5}, {}, false},
    };
    for (const TakenBackCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        const TakenBack takenBack =
            DeletionsTakenBack(c.chosen, ValuesOf(kTree), NamesInTable(), AsciiCase());
        EXPECT_EQ(takenBack.deletions, c.takenBack);
        EXPECT_EQ(takenBack.withFolderContents, c.withFolderContents);
    }
}

// Whether the restart still deletes each of rows, given as the main list shows them (a folder's
// with its final "\\"), each recorded as the run records it.
std::vector<bool> StillPending(const std::vector<WideText>& rows, const std::vector<Pair>& pairs,
                               CaseTable table) {
    std::vector<RecordedRow> recorded;
    for (const WideText& row : rows) {
        recorded.push_back({RecordedPath{u"\\??\\" + FolderOfRow(row)}, IsFolderRow(row)});
    }
    return RowsStillPending(recorded, ValuesOf(pairs), NamesInTable(), table);
}

TEST(PendingRules, AFolderRowIsPendingWhileItOrAnythingUnderItIs) {
    const std::vector<Pair> operations = {
        {u"\\??\\C:\\old\\app\\sub\\b.txt", u"", 0},
        {u"\\??\\C:\\old\\apple.txt", u"", 0},
        {u"\\??\\C:\\keep\\n.dll", u"!\\??\\C:\\keep\\o.dll", 0},
        {u"*1\\??\\E:\\empty", u"", 1},
    };
    const struct {
        int line;
        WideText row;
        bool pending;
    } cases[] = {
        // Folder rows: something under them, in any spelling, or the folder itself.
        {__LINE__, u"C:\\old\\app\\", true},
        {__LINE__, u"c:\\OLD\\APP\\SUB\\", true},
        {__LINE__, u"E:\\empty\\", true},
        // A name that only begins the same; a folder with only a rename in it.
        {__LINE__, u"C:\\old\\ap\\", false},
        {__LINE__, u"C:\\keep\\", false},
        // File rows: only their own deletion, never one under the same name.
        {__LINE__, u"C:\\old\\app\\sub\\B.TXT", true},
        {__LINE__, u"E:\\empty", true},
        {__LINE__, u"C:\\old\\app", false},
    };
    std::vector<WideText> rows;
    std::vector<bool> pending;
    for (const auto& c : cases) {
        rows.push_back(c.row);
        pending.push_back(c.pending);
    }
    // Asked all at once, as the list's rows are.
    EXPECT_EQ(StillPending(rows, operations, AsciiCase()), pending);
    // Another spelling of the same folder is the same folder; a deletion of a name the program
    // cannot place may be of any row, so every row is still pending.
    std::vector<Pair> spelled = operations;
    spelled[0].source = u"\\GLOBAL??\\C:\\old\\app\\sub\\b.txt";
    EXPECT_EQ(StillPending(rows, spelled, AsciiCase()), pending);
    spelled.push_back({u"\\Device\\Unknown7\\a.txt", u"", 0});
    EXPECT_EQ(StillPending(rows, spelled, AsciiCase()), std::vector<bool>(rows.size(), true));
}

// Rows and deletions are found again through an index of the paths; every spelling the
// comparison takes for the same name must still meet there, letters beyond ASCII included.
TEST(PendingRules, EverySpellingOfANameFindsItsPendingDeletion) {
    const std::vector<Pair> operations = {
        {u"\\??\\C:\\\u00c4rger\\list.txt", u"", 0},
        {u"\\??\\C:\\ITEMS\\a.txt", u"", 0},
        {u"*1\\??\\D:\\Sub\\x\u00e9.dat", u"", 1},
    };
    const struct {
        int line;
        WideText row;
        bool pending;
    } cases[] = {
        {__LINE__, u"c:\\\u00e4RGER\\LIST.TXT", true},
        {__LINE__, u"C:\\\u00e4rger\\", true},
        {__LINE__, u"C:\\\u0131tem\u017f\\", true},
        {__LINE__, u"C:\\\u0131tem\u017f\\A.txt", true},
        {__LINE__, u"d:\\\u017fUB\\X\u00c9.DAT", true},
        // Digits and marks are never another spelling.
        {__LINE__, u"C:\\ITEMS\\a.txt1", false},
        {__LINE__, u"C:\\ITEMS\\a_txt", false},
        {__LINE__, u"D:\\Sub\\xe.dat", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(StillPending({c.row}, operations, LatinCase()), std::vector<bool>{c.pending});
    }
    // Taking back a folder in another spelling takes back what is under it.
    std::vector<Pair> withFolder = operations;
    withFolder.push_back({u"\\??\\c:\\\u0131tem\u017f", u"", 0});
    const TakenBack takenBack =
        DeletionsTakenBack({3}, ValuesOf(withFolder), NamesInTable(), LatinCase());
    EXPECT_EQ(takenBack.deletions, (std::vector<size_t>{3, 1}));
}

}  // namespace
