// The program's own texts on systems whose ANSI code page is not 936: a Western one (1252) and
// UTF-8 (65001). Every caption, button, column header, question and result must read as its
// Chinese text, while paths keep the bytes of the system's code page.

#include "scenario.h"
#include "state/app_state.h"

namespace {

using namespace std::string_literals;

using Paths = std::vector<std::string>;

struct Expected {
    int dialog;
    int control;  // 0: the dialog itself
    std::u16string text;
};

const Expected kMainTexts[] = {
    {IDD_MAIN, 0, u"重启删除文件 -- quorvel"}, {IDD_MAIN, IDC_ADD, u"添加"},
    {IDD_MAIN, IDC_REMOVE, u"删除"},           {IDD_MAIN, IDC_BATCH_ADD, u"批量添加"},
    {IDD_MAIN, IDC_CLEAR_LIST, u"清空列表"},   {IDD_MAIN, IDC_RESTART_DELETE, u"重启删除"},
};
const Expected kBatchTexts[] = {
    {IDD_BATCH_ADD, 0, u"批量添加文件"},
    {IDD_BATCH_ADD, IDC_BATCH_OK, u"确定"},
    {IDD_BATCH_ADD, IDC_BATCH_PASTE, u"粘贴"},
};

HWND WindowOf(const Expected& expected) {
    return expected.control == 0 ? standin::Dialog(expected.dialog)
                                 : standin::Control(expected.dialog, expected.control);
}

template <size_t N>
void CheckTexts(const Expected (&texts)[N]) {
    for (const Expected& expected : texts) {
        EXPECT_EQ(standin::Inspect(WindowOf(expected)).wideText, expected.text)
            << "dialog " << expected.dialog << " control " << expected.control;
    }
}

class CodePageTest : public ScenarioTest, public testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        standin::SetCodePage(GetParam());
    }
};

// Clear asked and cancelled, a batch, the restart run with one path refused (another program's
// rename moves it): every text the user meets on the way.
TEST_P(CodePageTest, EveryTextOfTheProgramReadsAsItsChineseText) {
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    SetPendingOperations(u"\\??\\C:\\b.txt\0\\??\\C:\\c.txt\0\0"s);
    standin::Do("the main window", [] {
        CheckTexts(kMainTexts);
        const standin::ListInfo list = standin::InspectList(MainList());
        ASSERT_EQ(list.columns.size(), 3u);
        EXPECT_EQ(list.columns[0].wideHeader, u"文件路径");
        EXPECT_EQ(list.columns[1].wideHeader, u"结果");
        EXPECT_EQ(list.columns[2].wideHeader, u"原因");
    });
    DropExisting({"C:\\a.txt"});
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);
    standin::AnswerBox(IDCANCEL, kClearQuestion);
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Do("the batch dialog", [] { CheckTexts(kBatchTexts); });
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\b.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kBatchQuestion);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", "C:\\b.txt"}));
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted, kRefused}));
    EXPECT_EQ(ListedWideReasons(), (std::vector<std::u16string>{u"", u"与待处理的重命名冲突"}));
}

// The A functions read the code page's form of the same texts: question marks where the code
// page lacks the Chinese characters, their UTF-8 bytes under UTF-8.
TEST_P(CodePageTest, AnsiReadersGetTheTextsInTheCodePage) {
    standin::Do("look at a button as the A functions read it", [] {
        const std::string text = standin::Inspect(standin::Control(IDD_MAIN, IDC_ADD)).text;
        EXPECT_EQ(text, GetParam() == CP_UTF8 ? "\xe6\xb7\xbb\xe5\x8a\xa0" : "??");
    });
    standin::Close(IDD_MAIN);
    RunProgram();
}

INSTANTIATE_TEST_SUITE_P(Systems, CodePageTest, testing::Values(1252u, unsigned{CP_UTF8}),
                         [](const testing::TestParamInfo<unsigned>& info) {
                             return "CodePage" + std::to_string(info.param);
                         });

class Utf8PathTest : public ScenarioTest {};

// Under UTF-8 a Chinese path is three bytes a character; dropped and batched, it is listed and
// scheduled with exactly those bytes, and its result reads in Chinese.
TEST_F(Utf8PathTest, ChinesePathsAreListedAndScheduledByTheirBytes) {
    standin::SetCodePage(CP_UTF8);
    const std::string dropped = "C:\\文件\\删除我.txt";
    const std::string batched = "C:\\文件\\批量.txt";
    standin::AddFile(batched);
    DropExisting({dropped});
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, batched + "\r\n" + dropped + "\r\n");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kBatchQuestion);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{dropped, batched}));
    EXPECT_EQ(standin::ScheduledDeletions(), (Paths{dropped, batched}));
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted, kAccepted}));
}

}  // namespace
