// The deletion list at its limits: the order and focus as rows are appended, the cells it answers
// the list with, and paths around the painted cell's room in every code page, surrogate pairs cut
// at its end included.

#include <algorithm>

#include "list/deletion_list.h"
#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

namespace {

class DeletionListTest : public ScenarioTest {};

// Rows are appended in order, and appending keeps the row the user chose: the focus stays on it.
TEST_F(DeletionListTest, NewRowsAreAppendedInOrderAndKeepTheFocusedRow) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::FocusRow(1);
    DropExisting({"C:\\c.txt", "C:\\d.txt"});
    int focused = -1;
    standin::Do("read the focus", [&focused] { focused = FocusedRow(); });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\c.txt", "C:\\d.txt"}));
    EXPECT_EQ(focused, 1);
}

// The list asks for each cell with the room it paints with, and an outside reader with any room:
// the answer is the cell's start, cut to one unit less than the room (between the halves of a
// surrogate pair too) and ended, nothing written past it; no such row or column answers empty.
TEST_F(DeletionListTest, ACellIsAnsweredCutToTheRoomGivenAndNeverPastIt) {
    const std::string path = "C:\\" + std::string(256, 'p') + "\xF0\x9F\x98\x80z";
    standin::SetCodePage(65001);
    DropExisting({path});
    std::vector<std::u16string> answers;
    std::vector<bool> untouched;
    standin::Do("ask for cells", [&] {
        const auto ask = [&](int row, int column, int room) {
            std::u16string buffer(300, u'#');
            NMLVDISPINFOW info{};
            info.item.mask = LVIF_TEXT;
            info.item.iItem = row;
            info.item.iSubItem = column;
            info.item.pszText = reinterpret_cast<LPWSTR>(buffer.data());
            info.item.cchTextMax = room;
            AnswerListCell(info);
            const size_t end = buffer.find(u'\0');
            answers.push_back(end == std::u16string::npos ? u"unended" : buffer.substr(0, end));
            untouched.push_back(buffer.find_first_not_of(u'#', end + 1) == std::u16string::npos);
        };
        ask(0, 0, 262);
        ask(0, 0, 261);
        ask(0, 0, 1);
        ask(0, 1, 260);
        ask(1, 0, 260);
        ask(0, 3, 260);
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    const std::u16string start = u"C:\\" + std::u16string(256, u'p');
    EXPECT_EQ(answers, (std::vector<std::u16string>{start + u"\xD83D\xDE00", start + u"\xD83D", u"",
                                                    u"", u"", u""}));
    EXPECT_EQ(untouched, std::vector<bool>(6, true));
}

// Each row keeps where its file was when it was listed, in a record of its own that goes with
// it: a removed row's record, never a neighbour's, and every record at a clear.
TEST_F(DeletionListTest, EachRowKeepsItsListedLocationUntilItIsRemovedOrCleared) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::Drop({"C:\\missing.txt"});
    std::vector<std::optional<LiteralPath>> beforeRemoval;
    std::vector<std::optional<LiteralPath>> afterRemoval;
    size_t recordsAfterRemoval = 0;
    standin::Do("read the kept locations", [&] {
        for (int row = 0; row < 4; ++row) {
            beforeRemoval.push_back(RowListedLocation(row));
        }
    });
    standin::FocusRow(0);
    standin::Click(IDD_MAIN, IDC_REMOVE);
    standin::Do("read them again", [&] {
        afterRemoval = {RowListedLocation(0), RowListedLocation(1)};
        recordsAfterRemoval = g_app.listedRows.size();
    });
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);
    standin::AnswerBox(IDOK, kConfirmClear);
    standin::Do("after the clear", [] { EXPECT_TRUE(g_app.listedRows.empty()); });
    standin::Close(IDD_MAIN);
    RunProgram();

    using Location = std::optional<LiteralPath>;
    EXPECT_EQ(beforeRemoval, (std::vector<Location>{LiteralPath{u"\\\\?\\C:\\a.txt"},
                                                    LiteralPath{u"\\\\?\\C:\\b.txt"}, std::nullopt,
                                                    std::nullopt}));
    EXPECT_EQ(afterRemoval,
              (std::vector<Location>{LiteralPath{u"\\\\?\\C:\\b.txt"}, std::nullopt}));
    EXPECT_EQ(recordsAfterRemoval, 2u);
}

// The duplicate test asks an index of the listed paths, not the rows; after every kind of change,
// nested ones included, the index holds exactly the rows' texts.
TEST_F(DeletionListTest, TheIndexOfListedPathsAgreesWithTheRowsAfterEveryChange) {
    std::vector<std::string> mismatches;
    const auto compare = [&mismatches](const char* step) {
        standin::Do(step, [&mismatches, step] {
            std::vector<std::u16string> rows;
            for (int row = 0; row < RowCount(); ++row) {
                rows.push_back(GetRowWideText(row, 0));
            }
            std::vector<std::u16string> indexed(g_app.listedPaths.begin(), g_app.listedPaths.end());
            std::sort(rows.begin(), rows.end());
            std::sort(indexed.begin(), indexed.end());
            if (rows != indexed) {
                mismatches.push_back(step);
            }
        });
    };
    // Names that differ in letter case only, or by a final dot, are different rows.
    DropExisting({"C:\\a.txt", "C:\\A.txt", "C:\\b.txt", "C:\\b.txt."});
    compare("after the first drop");
    DropExisting({"C:\\a.txt", "C:\\c.txt", "C:\\b.txt"});
    compare("after a drop of listed paths");
    standin::FocusRow(1);
    standin::Click(IDD_MAIN, IDC_REMOVE);
    compare("after a removal");
    // The removed path is new again; a remove arrives inside this drop's test of d.txt, a clear
    // inside that of e.txt.
    standin::AddFile("C:\\d.txt");
    standin::AddFile("C:\\e.txt");
    standin::Drop({"C:\\A.txt", "C:\\d.txt", "C:\\e.txt"});
    standin::AfterCall("GetFileAttributesW", 9, [] { standin::PostClick(IDD_MAIN, IDC_REMOVE); });
    standin::AfterCall("GetFileAttributesW", 10,
                       [] { standin::PostClick(IDD_MAIN, IDC_CLEAR_LIST); });
    standin::AnswerBox(IDOK, UiText(kConfirmClear));
    compare("after a drop with nested commands");
    DropExisting({"C:\\e.txt", "C:\\a.txt"});
    compare("after a drop on the cleared list");
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(mismatches, std::vector<std::string>());
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\e.txt", "C:\\a.txt"}));
}

// A path of `units` UTF-16 code units: "C:\", `shift` single-unit characters, then characters of
// the code page's given kind as far as they go, and single-unit ones to make up the length. The
// list is read in UTF-16 with room for 259 units; the shift moves the character boundaries, so
// the first read ends after a whole character or between the halves of a surrogate pair.
struct ReadBackCase {
    unsigned codePage;
    size_t units;
    size_t shift;
};

struct Character {
    std::string ansi;
    size_t units;
};

Character WideCharacter(unsigned codePage) {
    switch (codePage) {
        case 936:
            return {"\xCE\xC4", 1};
        case 65001:
            return {"\xF0\x9F\x98\x80", 2};
        default:
            return {"\xE9", 1};
    }
}

// The path and the lengths (in bytes) of its prefixes that end after a whole character, with
// their lengths in code units.
struct LimitPath {
    std::string path;
    std::vector<std::pair<size_t, size_t>> boundaries;
};

LimitPath MakeLimitPath(const ReadBackCase& c) {
    const Character character = WideCharacter(c.codePage);
    LimitPath made;
    made.path = "C:\\" + std::string(c.shift, 'p');
    size_t units = made.path.size();
    for (size_t at = 1; at <= made.path.size(); ++at) {
        made.boundaries.emplace_back(at, at);
    }
    for (; units + character.units <= c.units; units += character.units) {
        made.path += character.ansi;
        made.boundaries.emplace_back(made.path.size(), units + character.units);
    }
    for (; units < c.units; ++units) {
        made.path += 'z';
        made.boundaries.emplace_back(made.path.size(), units + 1);
    }
    return made;
}

std::string CaseName(const testing::TestParamInfo<ReadBackCase>& info) {
    const ReadBackCase& c = info.param;
    return "cp" + std::to_string(c.codePage) + "Units" + std::to_string(c.units) + "Shift" +
           std::to_string(c.shift);
}

std::vector<ReadBackCase> ReadBackCases() {
    std::vector<ReadBackCase> cases;
    for (unsigned codePage : {1252u, 936u, 65001u}) {
        for (size_t units : {258u, 259u, 260u, 261u, 300u}) {
            for (size_t shift = 0; shift < WideCharacter(codePage).units; ++shift) {
                cases.push_back({codePage, units, shift});
            }
        }
    }
    return cases;
}

class ReadBackLimitTest : public ScenarioTest, public testing::WithParamInterface<ReadBackCase> {};

// The path is dropped, then every whole-character prefix of it around the first read's room
// (all existing files), then the path again: each prefix is a new entry, the path is listed
// once, and the restart run asks for each row's own whole path.
TEST_P(ReadBackLimitTest, TheDuplicateTestAndTheRestartRunSeeEveryWholePath) {
    const ReadBackCase& c = GetParam();
    standin::SetCodePage(c.codePage);
    const LimitPath made = MakeLimitPath(c);

    std::vector<std::string> expected = {made.path};
    for (const auto& [bytes, units] : made.boundaries) {
        if (units >= 250 && units < c.units && units <= 261) {
            expected.push_back(made.path.substr(0, bytes));
        }
    }
    ASSERT_GE(expected.size(), 3u);
    DropExisting({made.path});
    std::vector<std::string> second(expected.begin() + 1, expected.end());
    second.push_back(made.path);
    DropExisting(second);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, UiText(kConfirmRestart));
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), expected);
    EXPECT_EQ(standin::ScheduledDeletions(), expected);
    EXPECT_EQ(ListedWideResults(), std::vector<std::u16string>(expected.size(), kAccepted));
}

INSTANTIATE_TEST_SUITE_P(Paths, ReadBackLimitTest, testing::ValuesIn(ReadBackCases()), CaseName);

}  // namespace
