// The deletion list at its limits: the record a new row is inserted with, and paths around the
// first read-back's buffer in every code page and both ways a list view hands out a cut text.

#include "runtime/wide_text.h"
#include "scenario.h"

namespace {

class DeletionListTest : public ScenarioTest {};

TEST_F(DeletionListTest, ANewRowIsInsertedAtTheEndWithItsWholeRecordSet) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::Close(IDD_MAIN);
    RunProgram();

    const std::vector<standin::ListRow> rows = standin::InspectList(MainList()).rows;
    ASSERT_EQ(rows.size(), 2u);
    for (int index = 0; index < 2; ++index) {
        SCOPED_TRACE(testing::Message() << "row " << index);
        const LVITEMA& item = rows[static_cast<size_t>(index)].inserted;
        EXPECT_EQ(item.mask, 0x21Fu);
        EXPECT_EQ(item.mask, static_cast<UINT>(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE |
                                               LVIF_INDENT | LVIF_COLUMNS));
        EXPECT_EQ(item.iItem, index);
        EXPECT_EQ(item.iSubItem, 0);
        EXPECT_EQ(item.state, 0x1000u);
        EXPECT_EQ(item.stateMask, 0xFFFFF008u);
        EXPECT_EQ(item.iImage, 0);
        EXPECT_EQ(item.lParam, 0);
        EXPECT_EQ(item.iIndent, 0);
        EXPECT_EQ(item.cColumns, 0u);
        // The rest of the long record stays zero.
        EXPECT_EQ(item.cchTextMax, 0);
        EXPECT_EQ(item.iGroupId, 0);
        EXPECT_EQ(item.puColumns, nullptr);
        EXPECT_EQ(item.piColFmt, nullptr);
        EXPECT_EQ(item.iGroup, 0);
    }
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"}));
}

// A path of `length` bytes: "C:\", `shift` single-byte characters, then characters of the code
// page's longest kind as far as they go, and single-byte ones to make up the length. The shift
// moves the character boundaries, so a cut at the first buffer falls short by each possible
// number of bytes.
struct ReadBackCase {
    unsigned codePage;
    bool unterminated;
    size_t length;
    size_t shift;
};

std::string WideCharacter(unsigned codePage) {
    switch (codePage) {
        case 936:
            return "\xCE\xC4";
        case 65001:
            return "\xF0\x9F\x98\x80";
        default:
            return "\xE9";
    }
}

// The path and the lengths of its prefixes that end after a whole character.
struct LimitPath {
    std::string path;
    std::vector<size_t> boundaries;
};

LimitPath MakeLimitPath(const ReadBackCase& c) {
    const std::string character = WideCharacter(c.codePage);
    LimitPath made;
    made.path = "C:\\" + std::string(c.shift, 'p');
    for (size_t at = 1; at <= made.path.size(); ++at) {
        made.boundaries.push_back(at);
    }
    while (made.path.size() + character.size() <= c.length) {
        made.path += character;
        made.boundaries.push_back(made.path.size());
    }
    while (made.path.size() < c.length) {
        made.path += 'z';
        made.boundaries.push_back(made.path.size());
    }
    return made;
}

std::string CaseName(const testing::TestParamInfo<ReadBackCase>& info) {
    const ReadBackCase& c = info.param;
    return "cp" + std::to_string(c.codePage) + (c.unterminated ? "Unterminated" : "Terminated") +
           std::to_string(c.length) + "Bytes" + "Shift" + std::to_string(c.shift);
}

std::vector<ReadBackCase> ReadBackCases() {
    std::vector<ReadBackCase> cases;
    for (unsigned codePage : {1252u, 936u, 65001u}) {
        for (bool unterminated : {false, true}) {
            for (size_t length : {258u, 259u, 260u, 300u}) {
                for (size_t shift = 0; shift < WideCharacter(codePage).size(); ++shift) {
                    cases.push_back({codePage, unterminated, length, shift});
                }
            }
        }
    }
    return cases;
}

class ReadBackLimitTest : public ScenarioTest, public testing::WithParamInterface<ReadBackCase> {};

// The path is dropped, then every prefix of it that a list view could hand out for it from the
// first buffer (all existing files), then the path again: each prefix is a new entry, the path
// is listed once, and the restart run asks for each row's own whole path.
TEST_P(ReadBackLimitTest, TheDuplicateTestAndTheRestartRunSeeEveryWholePath) {
    const ReadBackCase& c = GetParam();
    standin::SetCodePage(c.codePage);
    standin::SetListReadsUnterminated(c.unterminated);
    const LimitPath made = MakeLimitPath(c);
    ASSERT_EQ(made.path.size(), c.length);

    std::vector<std::string> expected = {made.path};
    for (size_t length : made.boundaries) {
        if (length >= 250 && length < made.path.size() && length <= 261) {
            expected.push_back(made.path.substr(0, length));
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
