// Scheduling every listed path for deletion at restart.

#include "scenario.h"

namespace {

using standin::Call;

const std::vector<std::string> kButtons = {"#1001", "#1003", "#1004", "#1005", "#1006"};

// Another program's rename of the file, which the run refuses to delete beside it.
void RenamePending(const std::u16string& path) {
    SetPendingOperations(u"\\??\\" + path + u'\0' + u"\\??\\C:\\moved.txt" + u'\0' + u'\0');
}

size_t Writes() {
    return standin::CountCalls("RegSetValueExW");
}

bool ButtonEnabled(int id) {
    return standin::Inspect(standin::Control(IDD_MAIN, id)).enabled;
}

class RestartTest : public ScenarioTest {};

TEST_F(RestartTest, EmptyListAsksNothingAndChangesNothing) {
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
    EXPECT_EQ(Writes(), 0u);
    EXPECT_EQ(standin::CountCalls("EnableWindow"), 0u);
}

TEST_F(RestartTest, CancelTouchesNoRowAndLeavesTheButtonsEnabled) {
    DropExisting({"C:\\a.txt"});
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDCANCEL, kRestartQuestion);
    standin::Do("buttons still enabled", [] {
        for (int id : {IDC_ADD, IDC_REMOVE, IDC_BATCH_ADD, IDC_CLEAR_LIST, IDC_RESTART_DELETE}) {
            EXPECT_TRUE(ButtonEnabled(id)) << id;
        }
    });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(Writes(), 0u);
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{""}));
}

TEST_F(RestartTest, EveryRowIsAskedInOrderAndShowsItsOwnResult) {
    DropExisting({"C:\\one.txt", "C:\\locked.txt", "C:\\three.txt"});
    RenamePending(u"C:\\locked.txt");
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    // One write holds every accepted row's deletion, in row order.
    EXPECT_EQ(standin::ScheduledDeletions(),
              (std::vector<std::string>{"C:\\one.txt", "C:\\three.txt"}));
    EXPECT_EQ(Writes(), 1u);
    EXPECT_EQ(ListedResults(),
              (std::vector<std::string>{kResultAccepted, kResultRefused, kResultAccepted}));
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted, kRefused, kAccepted}));
    // The question is owned by the main window.
    EXPECT_EQ(ArgsOf("MessageBoxW").at(0).at(0), "dialog:1000");
}

TEST_F(RestartTest, AllRefusedLocksTheButtonsPausesAndOffersNoRestart) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    // The one write is refused: every row it held says so.
    standin::AnswerRegistryWrites({ERROR_ACCESS_DENIED});
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedResults(), (std::vector<std::string>{kResultRefused, kResultRefused}));
    EXPECT_EQ(ListedWideReasons(),
              (std::vector<std::u16string>{u"需要管理员权限", u"需要管理员权限"}));
    EXPECT_EQ(standin::ScheduledDeletions(), std::vector<std::string>());
    std::vector<std::string> disabled;
    for (const Call& call : standin::CallsTo("EnableWindow")) {
        EXPECT_EQ(call.args.at(1), "0");
        disabled.push_back(call.args.at(0));
    }
    EXPECT_EQ(disabled, kButtons);
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_BATCH_ADD, IDC_CLEAR_LIST, IDC_RESTART_DELETE}) {
        EXPECT_FALSE(ButtonEnabled(id)) << id;
    }
    EXPECT_EQ(standin::CountCalls("RestartDialog"), 0u);
    std::vector<std::vector<std::string>> pauses;
    for (const Call& call : standin::CallsTo("Sleep")) {
        if (call.args.at(0) == "300") {
            pauses.push_back(call.args);
        }
    }
    EXPECT_EQ(pauses.size(), 3u);
}

TEST_F(RestartTest, OneAcceptedRowOffersTheRestartAfterThePause) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    RenamePending(u"C:\\a.txt");
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::Close(IDD_MAIN);
    RunProgram();

    // The pause (three Sleep(300)) comes after the buttons are locked and before the prompt.
    std::vector<std::string> order;
    for (const Call& call : standin::Log()) {
        if (call.function == "RegSetValueExW" || call.function == "EnableWindow" ||
            call.function == "RestartDialog" ||
            (call.function == "Sleep" && call.args.at(0) == "300")) {
            order.push_back(call.function);
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"RegSetValueExW", "EnableWindow", "EnableWindow",
                                               "EnableWindow", "EnableWindow", "EnableWindow",
                                               "Sleep", "Sleep", "Sleep", "RestartDialog"}));
    // A real restart: EWX_REBOOT, owned by the main window, no prompt of our own.
    EXPECT_EQ(ArgsOf("RestartDialog"), (std::vector<std::vector<std::string>>{
                                           {"dialog:1000", "NULL", std::to_string(EWX_REBOOT)}}));
}

// With Fast Startup on, shutting down and starting again carries out nothing, so the prompt
// says that only a restart deletes the files. Any other reading of the setting keeps the
// platform's own prompt.
TEST_F(RestartTest, TheRestartPromptWarnsOnlyWhenFastStartupIsOn) {
    const std::string power = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power";
    const std::string one("\x01\0\0\0", 4);
    const std::string warning = "已开启快速启动：只有“重启”会删除这些文件，“关机”后再开机不会。";
    const struct {
        int line;
        const char* name;  // nullptr: no Power key at all
        DWORD type;
        std::string bytes;
        std::string prompt;
    } cases[] = {
        {__LINE__, "HiberbootEnabled", REG_DWORD, one, warning},
        {__LINE__, nullptr, REG_NONE, "", "NULL"},
        {__LINE__, "HibernateEnabled", REG_DWORD, one, "NULL"},
        {__LINE__, "HiberbootEnabled", REG_DWORD, std::string(4, '\0'), "NULL"},
        // Another type is not the setting, whatever its bytes: "1" in UTF-16 is four bytes too.
        {__LINE__, "HiberbootEnabled", REG_SZ, std::string("1\0\0\0", 4), "NULL"},
        {__LINE__, "HiberbootEnabled", REG_BINARY, one, "NULL"},
        {__LINE__, "HiberbootEnabled", REG_QWORD, one + std::string(4, '\0'), "NULL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        standin::Reset();
        if (c.name != nullptr) {
            standin::SetRegistryValue(power, c.name, c.type, c.bytes);
        }
        DropExisting({"C:\\a.txt"});
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK);
        standin::Close(IDD_MAIN);
        RunProgram();
        EXPECT_EQ(ArgsOf("RestartDialog"),
                  (std::vector<std::vector<std::string>>{
                      {"dialog:1000", c.prompt, std::to_string(EWX_REBOOT)}}));
        EXPECT_TRUE(standin::Failures().empty());
    }
}

TEST_F(RestartTest, ButtonsStayLockedAndClicksDoNothingAfterARun) {
    DropExisting({"C:\\a.txt"});
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    // Drops still work and add rows that carry no result.
    DropExisting({"C:\\late.txt"});
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
    EXPECT_EQ(Writes(), 1u);
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\late.txt"}));
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{kResultAccepted, ""}));
}

TEST_F(RestartTest, CommandsArrivingDuringTheRunAreIgnored) {
    DropExisting({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
    standin::FocusRow(0);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    // A Remove and a Clear clicked as the run reads the pending operations, before the first row.
    standin::AfterCall("RegQueryValueExW", 1, [] {
        standin::PostClick(IDD_MAIN, IDC_REMOVE);
        standin::PostClick(IDD_MAIN, IDC_CLEAR_LIST);
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(standin::ScheduledDeletions(),
              (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));
    EXPECT_EQ(ListedResults(),
              (std::vector<std::string>{kResultAccepted, kResultAccepted, kResultAccepted}));
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
}

TEST_F(RestartTest, ADropDuringTheRunIsListedButNotScheduled) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::AddFile("C:\\dropped.txt");
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::AfterCall("RegQueryValueExW", 1, [] { standin::PostDrop({"C:\\dropped.txt"}); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::ScheduledDeletions(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"}));
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{kResultAccepted, kResultAccepted, ""}));
}

TEST_F(RestartTest, ALongPathIsReadBackWholeForTheDuplicateTestAndTheRequest) {
    // The first 259 bytes of the long path name another file that is listed too.
    const std::string shortPath = "C:\\" + std::string(253, 'd') + "\\x.txt";
    ASSERT_EQ(shortPath.size(), 262u);
    const std::string prefix = shortPath.substr(0, 259);
    const std::string longPath = prefix + std::string(41, 'y');
    ASSERT_EQ(longPath.size(), 300u);
    DropExisting({prefix, longPath, longPath});
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{prefix, longPath}));
    EXPECT_EQ(standin::ScheduledDeletions(), (std::vector<std::string>{prefix, longPath}));
}

}  // namespace
