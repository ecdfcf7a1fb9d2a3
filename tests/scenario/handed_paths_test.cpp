// Paths a start hands the window, its own command line or another start's (WM_COPYDATA): listed
// as a drop, after the fade-in, a path of nothing told and never listed; only listed during a run;
// a block that is not whole refused.

#include <string>
#include <vector>

#include "intake/hand_over.h"
#include "scenario.h"

namespace {

const std::u16string kFolderQuestion = u"  确定将文件夹及其中的全部内容加入列表 ?  ";
const std::u16string kMissingBox = u"以下路径不存在，未加入列表：\r\nC:\\gone.txt";

std::vector<std::u16string> g_commandLine;

int RunWithCommandLine() {
    return RunProcess(g_commandLine, nullptr);
}

// What another start sends: the block of these paths, or these bytes.
LRESULT Hand(const std::string& block) {
    COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(block.size()),
                        const_cast<char*>(block.data())};
    return SendMessageW(standin::Dialog(IDD_MAIN), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class HandedPathsTest : public ScenarioTest {};

TEST_F(HandedPathsTest, TheCommandLineIsListedAsADropOnceTheWindowHasFadedIn) {
    standin::AddFile("C:\\a b.txt");
    standin::AddFile("C:\\dir\\inside.txt");
    g_commandLine = {u"C:\\gone.txt", u"C:\\dir", u"C:\\a b.txt", u"C:\\a b.txt"};
    standin::AnswerBox(IDOK, kFolderQuestion);
    standin::AnswerBox(IDOK, kMissingBox);
    standin::Close(IDD_MAIN);
    const standin::RunResult result = standin::Run(RunWithCommandLine);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a b.txt", "C:\\dir\\"}));
    // Nothing is asked of the files before the window is opaque.
    const size_t opaque = PositionOf([](const standin::Call& call) {
        return call.function == "SetLayeredWindowAttributes" && call.args.at(2) == "255";
    });
    const size_t firstLook =
        PositionOf([](const standin::Call& call) { return call.function == "GetFileAttributesW"; });
    EXPECT_LT(opaque, firstLook);
}

TEST_F(HandedPathsTest, PathsHandedDuringARunAreListedButNotScheduled) {
    DropExisting({"C:\\a.txt"});
    standin::AddFile("C:\\handed.txt");
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::AfterCall("RegQueryValueExW", 1,
                       [] { EXPECT_EQ(Hand(*HandOverBlock({u"C:\\handed.txt"})), TRUE); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::ScheduledDeletions(), (std::vector<std::string>{"C:\\a.txt"}));
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\handed.txt"}));
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{kResultAccepted, ""}));
}

TEST_F(HandedPathsTest, ABlockThatIsNotWholeIsRefusedAndListsNothing) {
    standin::AddFile("C:\\a.txt");
    standin::Do("hand a cut block, then a whole one", [] {
        const std::string block = *HandOverBlock({u"C:\\a.txt"});
        EXPECT_EQ(Hand(block.substr(0, block.size() - 1)), FALSE);
        EXPECT_EQ(Hand(block), TRUE);
    });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt"}));
}

}  // namespace
