// The main window as the user meets it: start-up, the list commands, closing.

#include <algorithm>

#include "app/fade.h"
#include "scenario.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

using standin::Call;

// The alpha of every SetLayeredWindowAttributes call, in order.
std::vector<int> OpacitySequence() {
    std::vector<int> alphas;
    for (const Call& call : standin::CallsTo("SetLayeredWindowAttributes")) {
        alphas.push_back(std::stoi(call.args.at(2)));
    }
    return alphas;
}

// Position of the first log entry of a function at or after start, or the log size.
size_t IndexOf(const std::string& function, size_t start = 0) {
    const std::vector<Call>& log = standin::Log();
    for (size_t i = start; i < log.size(); ++i) {
        if (log[i].function == function) {
            return i;
        }
    }
    return log.size();
}

class MainWindowTest : public ScenarioTest {};

TEST_F(MainWindowTest, StartUpSetsIconsCaptionColumnsAndStylesThenFadesIn) {
    standin::Do("check the opened window", [] {
        HWND main = standin::Dialog(IDD_MAIN);
        standin::WindowInfo info = standin::Inspect(main);
        EXPECT_EQ(info.text, kMainCaption);
        EXPECT_EQ(info.wideText, u"重启删除文件 -- quorvel");
        EXPECT_TRUE(info.visible);
        EXPECT_EQ(info.alpha, 255);
        EXPECT_NE(info.smallIcon, nullptr);
        EXPECT_EQ(info.smallIcon, info.bigIcon);
        // Layered for the fade, and still accepting dropped files.
        EXPECT_EQ(info.exStyle & (WS_EX_LAYERED | WS_EX_ACCEPTFILES),
                  static_cast<DWORD>(WS_EX_LAYERED | WS_EX_ACCEPTFILES));

        standin::ListInfo list = standin::InspectList(standin::Control(IDD_MAIN, IDC_FILE_LIST));
        ASSERT_EQ(list.columns.size(), 3u);
        EXPECT_EQ(list.columns[0].header, kColumnPath);
        EXPECT_EQ(list.columns[0].width, 300);
        EXPECT_EQ(list.columns[1].header, kColumnResult);
        EXPECT_EQ(list.columns[1].width, 80);
        EXPECT_EQ(list.columns[0].wideHeader, u"文件路径");
        EXPECT_EQ(list.columns[1].wideHeader, u"结果");
        EXPECT_EQ(list.columns[2].wideHeader, u"原因");
        EXPECT_EQ(list.columns[2].width, 160);
        EXPECT_EQ(list.extendedStyleCalls, (std::vector<std::pair<DWORD, DWORD>>{
                                               {LVS_EX_GRIDLINES, LVS_EX_GRIDLINES},
                                               {LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT}}));
        EXPECT_TRUE(list.rows.empty());
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    // Small icon first, then the big one.
    std::vector<std::string> iconKinds;
    for (const Call& call : standin::CallsTo("SendMessageA")) {
        if (call.args.at(1) == std::to_string(WM_SETICON)) {
            iconKinds.push_back(call.args.at(2));
        }
    }
    EXPECT_EQ(iconKinds, (std::vector<std::string>{"0", "1"}));
    ASSERT_EQ(ArgsOf("LoadIconA").size(), 1u);
    EXPECT_EQ(ArgsOf("LoadIconA")[0].at(1), std::to_string(IDI_APP));
    EXPECT_LT(IndexOf("InitCommonControls"), IndexOf("DialogBoxParamW"));

    // A UTF-16 dialog, its caption set in UTF-16; the buttons keep the template's texts.
    EXPECT_EQ(ArgsOf("DialogBoxParamW"), (std::vector<std::vector<std::string>>{
                                             {"program", std::to_string(IDD_MAIN), "NULL", "0"}}));
    EXPECT_EQ(ArgsOf("SetWindowTextW"),
              (std::vector<std::vector<std::string>>{{"dialog:1000", "重启删除文件 -- quorvel"}}));
}

// Libraries load from the system folder only, from the first call on: the search is limited
// before anything else is asked of the platform, and a system without the call still starts.
TEST_F(MainWindowTest, TheLibrarySearchIsLimitedToTheSystemFolderFirstWhereTheSystemCan) {
    standin::Close(IDD_MAIN);
    RunProgram();
    const std::vector<Call>& log = standin::Log();
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0].function, "GetModuleHandleA");
    EXPECT_EQ(log[1].args, (std::vector<std::string>{"kernel32.dll", "SetDefaultDllDirectories"}));
    EXPECT_EQ(log[2].function, "SetDefaultDllDirectories");
    EXPECT_EQ(log[2].args,
              (std::vector<std::string>{std::to_string(LOAD_LIBRARY_SEARCH_SYSTEM32)}));
    EXPECT_TRUE(standin::Failures().empty());

    standin::Reset();
    standin::HideExport("SetDefaultDllDirectories");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("SetDefaultDllDirectories"), 0u);
    EXPECT_EQ(standin::CountCalls("DialogBoxParamW"), 1u);
}

TEST_F(MainWindowTest, FadeInShowsTheWindowTransparentThenRaisesItStepByStep) {
    standin::Close(IDD_MAIN);
    RunProgram();

    std::vector<int> alphas = OpacitySequence();
    // 256 settings on the way in (0, then 1..255), 255 on the way out (254..0).
    ASSERT_EQ(alphas.size(), 256u + 255u);
    for (int i = 0; i <= 255; ++i) {
        ASSERT_EQ(alphas[static_cast<size_t>(i)], i);
    }
    for (int i = 0; i < 255; ++i) {
        ASSERT_EQ(alphas[256 + static_cast<size_t>(i)], 254 - i);
    }

    // The window is shown after the first, transparent, setting and before the second.
    const size_t firstOpacity = IndexOf("SetLayeredWindowAttributes");
    const size_t show = IndexOf("ShowWindow");
    EXPECT_LT(firstOpacity, show);
    EXPECT_LT(show, IndexOf("SetLayeredWindowAttributes", firstOpacity + 1));

    // Every step is followed by Sleep(0) and a look at the queue.
    const std::vector<Call>& log = standin::Log();
    size_t steps = 0;
    for (size_t i = IndexOf("SetLayeredWindowAttributes", firstOpacity + 1); i < log.size(); ++i) {
        if (log[i].function != "SetLayeredWindowAttributes") {
            continue;
        }
        ++steps;
        ASSERT_LT(i + 2, log.size());
        EXPECT_EQ(log[i + 1].function, "Sleep");
        EXPECT_EQ(log[i + 1].args, (std::vector<std::string>{"0"}));
        EXPECT_EQ(log[i + 2].function, "PeekMessageA");
    }
    EXPECT_EQ(steps, 255u + 255u);
}

TEST_F(MainWindowTest, CloseFadesOutAndEndsTheDialogWhileTheWindowIsStillShown) {
    standin::Close(IDD_MAIN);
    RunProgram();

    const size_t endDialog = IndexOf("EndDialog");
    ASSERT_LT(endDialog, standin::Log().size());
    EXPECT_EQ(standin::Log()[endDialog].args, (std::vector<std::string>{"dialog:1000", "0"}));
    // The last opacity before EndDialog is 0, and nothing hid the window in between.
    std::vector<int> alphas = OpacitySequence();
    EXPECT_EQ(alphas.back(), 0);
    for (size_t i = IndexOf("SetLayeredWindowAttributes"); i < endDialog; ++i) {
        if (standin::Log()[i].function == "ShowWindow") {
            EXPECT_EQ(standin::Log()[i].args.at(1), std::to_string(SW_SHOW));
        }
    }
}

TEST_F(MainWindowTest, FadesTakeTheirTargetAndDelayAsGiven) {
    standin::Do("fade with explicit targets", [] {
        standin::ClearLog();
        FadeOutWindow(g_app.mainWindow, 100, 7);
        std::vector<int> alphas = OpacitySequence();
        ASSERT_EQ(alphas.size(), 100u);
        EXPECT_EQ(alphas.front(), 99);
        EXPECT_EQ(alphas.back(), 0);
        EXPECT_EQ(standin::CountCalls("Sleep"), 100u);
        EXPECT_EQ(standin::CallsTo("Sleep").back().args, (std::vector<std::string>{"7"}));

        // A target of 0: shown fully transparent, no step, no delay.
        standin::ClearLog();
        FadeInWindow(g_app.mainWindow, 0, 5);
        EXPECT_EQ(OpacitySequence(), (std::vector<int>{0}));
        EXPECT_EQ(standin::CountCalls("Sleep"), 0u);
        EXPECT_EQ(standin::Inspect(g_app.mainWindow).alpha, 0);

        standin::ClearLog();
        FadeOutWindow(g_app.mainWindow, 0);
        EXPECT_TRUE(OpacitySequence().empty());
        EXPECT_EQ(standin::CountCalls("SetWindowLongA"), 1u);
    });
    standin::Close(IDD_MAIN);
    RunProgram();
}

TEST_F(MainWindowTest, EnterAndEscapeDoNothing) {
    DropExisting({"C:\\a.txt"});
    standin::PressEnter(IDD_MAIN);
    standin::PressEscape(IDD_MAIN);
    standin::Do("the window is still open", [] {
        EXPECT_FALSE(standin::Inspect(standin::Dialog(IDD_MAIN)).destroyed);
        EXPECT_EQ(standin::CountCalls("EndDialog"), 0u);
        EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
    });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt"}));
}

TEST_F(MainWindowTest, RemoveTakesTheFocusedRowAndNothingWithoutFocus) {
    DropExisting({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
    standin::Click(IDD_MAIN, IDC_REMOVE);  // no row has the focus yet
    standin::Do("a refused removal paints nothing",
                [] { EXPECT_EQ(standin::CountCalls("UpdateWindow"), 0u); });
    standin::FocusRow(1);
    standin::Click(IDD_MAIN, IDC_REMOVE);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\c.txt"}));
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
    // The list is painted at once, after the row is gone.
    EXPECT_EQ(ArgsOf("UpdateWindow"), (std::vector<std::vector<std::string>>{{"#1002"}}));
    const Call& before = standin::Log().at(IndexOf("UpdateWindow") - 1);
    EXPECT_EQ(before.function, "SendMessageA");
    EXPECT_EQ(before.args.at(1), std::to_string(LVM_DELETEITEM));
}

TEST_F(MainWindowTest, ClearAsksOnlyWhenThereAreRowsAndKeepsThemOnCancel) {
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);  // empty list: no question
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);
    standin::AnswerBox(IDCANCEL, kClearQuestion);
    standin::Do("rows kept", [] {
        EXPECT_EQ(ListedPaths().size(), 2u);
        EXPECT_EQ(standin::CountCalls("UpdateWindow"), 0u);
    });
    standin::Click(IDD_MAIN, IDC_CLEAR_LIST);
    standin::AnswerBox(IDOK, kClearQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_TRUE(ListedPaths().empty());
    // Painted at once, right after the rows are gone.
    EXPECT_EQ(ArgsOf("UpdateWindow"), (std::vector<std::vector<std::string>>{{"#1002"}}));
    const Call& before = standin::Log().at(IndexOf("UpdateWindow") - 1);
    EXPECT_EQ(before.function, "SendMessageA");
    EXPECT_EQ(before.args.at(1), std::to_string(LVM_DELETEALLITEMS));
    // Owned by the main window, empty caption, OK/Cancel with the question icon.
    ASSERT_EQ(ArgsOf("MessageBoxW").size(), 2u);
    EXPECT_EQ(ArgsOf("MessageBoxW")[0],
              (std::vector<std::string>{"dialog:1000", kClearQuestionUtf8, "",
                                        std::to_string(MB_OKCANCEL | MB_ICONQUESTION)}));
}

TEST_F(MainWindowTest, PumpLeavesWmQuitInTheQueue) {
    standin::Do("pump with a quit message queued", [] {
        PostMessageA(g_app.mainWindow, WM_NULL, 0, 0);
        PostMessageA(nullptr, WM_QUIT, 3, 0);
        PumpPendingMessages();
        MSG message{};
        ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(message.wParam, 3u);
    });
    standin::Close(IDD_MAIN);
    RunProgram();
}

TEST_F(MainWindowTest, ShowMessageReturnsTheAnswerMinusOneWithASpaceCaptionByDefault) {
    standin::Do("ask directly", [] {
        EXPECT_EQ(ShowMessage(nullptr, "hello", MB_OK), 0);
        EXPECT_EQ(ShowMessage(nullptr, "again", MB_OKCANCEL, "title"), 1);
        EXPECT_FALSE(ConfirmPrompt(nullptr, "sure?"));
    });
    standin::AnswerBox(IDOK, "hello");
    standin::AnswerBox(IDCANCEL, "again");
    standin::AnswerBox(IDCANCEL, "sure?");
    standin::Close(IDD_MAIN);
    RunProgram();
    std::vector<std::vector<std::string>> boxes = ArgsOf("MessageBoxW");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], (std::vector<std::string>{"NULL", "hello", " ", "0"}));
    EXPECT_EQ(boxes[1].at(2), "title");
    EXPECT_EQ(boxes[2].at(2), "");
}

}  // namespace
