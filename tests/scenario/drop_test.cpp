// Files dropped on the main window.

#include <functional>

#include "intake/drop_target.h"
#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

namespace {

using standin::Call;

class DropTest : public ScenarioTest {};

bool IsListMessage(const Call& call, UINT message) {
    return (call.function == "SendMessageA" || call.function == "SendMessageW") &&
           call.args.at(0) == "#1002" && call.args.at(1) == std::to_string(message);
}

// For each logged call that `matches`, whether the list's redraw was on then, as the WM_SETREDRAW
// messages sent to it before that call tell.
std::vector<bool> RedrawAt(const std::function<bool(const Call&)>& matches) {
    std::vector<bool> seen;
    bool redraw = true;
    for (const Call& call : standin::Log()) {
        if (IsListMessage(call, WM_SETREDRAW)) {
            redraw = call.args.at(2) != "0";
        } else if (matches(call)) {
            seen.push_back(redraw);
        }
    }
    return seen;
}

// A row appended: the owner-data list is told its new count.
bool IsAppend(const Call& call) {
    return IsListMessage(call, LVM_SETITEMCOUNT);
}

// A drop's folders are asked about once, after its files are listed: declined, they are left
// out; agreed to, each not yet listed is one row, its path and a backslash.
TEST_F(DropTest, FilesInDropOrderThenTheFoldersAfterOneQuestion) {
    standin::AddDirectory("C:\\folder");
    standin::AddDirectory("C:\\other");
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    standin::Drop({"C:\\b.txt", "C:\\folder", "C:\\a.txt", "C:\\b.txt"});
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    standin::Drop({"C:\\a.txt", "C:\\folder", "C:\\A.TXT", "C:\\other", "C:\\folder"});
    standin::AnswerBox(IDOK, UiText(kConfirmFolders));
    // Only listed folders: no question.
    standin::Drop({"C:\\folder", "C:\\other\\"});
    standin::Close(IDD_MAIN);
    RunProgram();

    // Letter case makes a different entry.
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\b.txt", "C:\\a.txt", "C:\\A.TXT",
                                                       "C:\\folder\\", "C:\\other\\"}));
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{"", "", "", "", ""}));
    EXPECT_EQ(standin::CountCalls("DragFinish"), 3u);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 2u);
}

// Any program of the user can post WM_DROPFILES with any handle. Only a moveable block holding a
// whole drop block reaches the shell's readers and is released; a broken block, a pointer in place
// of a handle, and the drop posted again (while it is listed, once it is released) are neither
// read nor freed.
TEST_F(DropTest, OnlyWholeDropBlocksAreReadAndReleasedEachOnce) {
    std::string pastItsEnd(20, '\0');
    pastItsEnd[0] = 40;
    std::string unended = pastItsEnd;
    unended[0] = 20;
    unended += "C:\\a.txt";
    standin::Do("post a NULL handle, one of no block and two broken blocks", [=] {
        standin::PostDropHandle(nullptr);
        standin::PostDropHandle(reinterpret_cast<HDROP>(static_cast<uintptr_t>(0x1234)));
        standin::PostDropBlock(pastItsEnd);
        standin::PostDropBlock(unended);
    });
    standin::Do("post the bytes of a whole drop in place of its handle",
                [] { standin::PostDropPointer({"C:\\c.txt"}); });
    standin::Drop({"C:\\a.txt", "C:\\b.txt"});
    // While its names are copied out (the third block whose size is asked), and again once it is
    // released, the same handle arrives: both times the duplicate scans' pump takes it after the
    // release.
    standin::AfterCall("GlobalSize", 3, [] { standin::PostDropHandle(standin::LastDrop()); });
    standin::AfterCall("DragFinish", 1, [] { standin::PostDropHandle(standin::LastDrop()); });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt"}));
    // The names come from the pass that checks the block: DragQueryFileW walks every name before
    // the one it is asked for. One release for the one whole drop.
    EXPECT_EQ(standin::CountCalls("DragQueryFileW"), 0u);
    EXPECT_EQ(ArgsOf("DragFinish"), (std::vector<std::vector<std::string>>{{"drop:4"}}));
    EXPECT_EQ(standin::UnfinishedDrops(), 3u);
}

// The names are read from the block itself, as the shell's readers take them: an ANSI block's
// from the code page, a wide block's unit by unit wherever pFiles puts them (here at an odd
// offset).
TEST_F(DropTest, AnAnsiBlockAndAWideBlockAtAnOddOffsetGiveTheirNames) {
    std::string ansi(20, '\0');
    ansi[0] = 20;
    ansi +=
        "C:\\\xCE\xC4"
        "a.txt";
    ansi += '\0';
    ansi += "C:\\b.txt";
    ansi += std::string(2, '\0');
    std::string wide(21, '\0');
    wide[0] = 21;
    wide[16] = 1;
    const std::u16string names = u"C:\\\u6587c.txt" + std::u16string(2, u'\0');
    wide.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(char16_t));
    standin::Do("post an ANSI block", [=] { standin::PostDropBlock(ansi); });
    standin::Do("post a wide block", [=] { standin::PostDropBlock(wide); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(WideColumn(0),
              (std::vector<std::u16string>{u"C:\\\u6587a.txt", u"C:\\b.txt", u"C:\\\u6587c.txt"}));
    EXPECT_EQ(standin::CountCalls("DragFinish"), 2u);
}

// An entry that cannot be read as a name is not listed, and the box after the drop names it.
TEST_F(DropTest, AnUnreadableEntryIsSkippedAndTheRestStillArrive) {
    const std::u16string unreadable = u"\r\n\xD800";
    standin::Drop({std::nullopt, "C:\\missing-is-fine.txt", std::nullopt});
    standin::AnswerBox(IDOK, UiText(kUnlistedPathsHeading) + unreadable + unreadable);
    standin::Drop({std::nullopt});
    standin::AnswerBox(IDOK, UiText(kUnlistedPathsHeading) + unreadable);
    standin::Close(IDD_MAIN);
    RunProgram();
    // No existence test for drops: only directories and listed paths are skipped.
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\missing-is-fine.txt"}));
    EXPECT_EQ(standin::CountCalls("DragFinish"), 2u);
}

TEST_F(DropTest, APathLongerThanMaxPathArrivesWhole) {
    const std::string longPath = "C:\\" + std::string(320, 'n') + ".txt";
    standin::Drop({longPath});
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{longPath}));
}

// Records what a drop callback receives.
std::vector<std::vector<std::string>> g_received;

LRESULT CALLBACK RecordingCallback(HWND count, UINT index, WPARAM path, LPARAM extension) {
    const char* extensionText = reinterpret_cast<const char*>(extension);
    g_received.push_back({std::to_string(reinterpret_cast<uintptr_t>(count)), std::to_string(index),
                          reinterpret_cast<const char*>(path),
                          extensionText == nullptr ? "NULL" : extensionText});
    return 0;
}

TEST_F(DropTest, TheCallbackGetsCountIndexPathAndExtensionForEachReadableFile) {
    g_received.clear();
    standin::Do("drop on a window with a recording callback", [] {
        g_app.dropRegistry[0].callback = RecordingCallback;
        standin::PostDrop(
            {"C:\\docs\\report.txt", std::nullopt, "C:\\v1.2\\readme", "C:\\docs\\name."});
    });
    standin::AnswerBox(IDOK, UiText(kUnlistedPathsHeading) + u"\r\n\xD800");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(g_received,
              (std::vector<std::vector<std::string>>{{"4", "1", "C:\\docs\\report.txt", "txt"},
                                                     {"4", "3", "C:\\v1.2\\readme", "2\\readme"},
                                                     {"4", "4", "C:\\docs\\name.", "NULL"}}));
}

TEST_F(DropTest, RegisteringTwiceChangesNothingAndOtherMessagesPassUnchanged) {
    standin::Do("register the main window again", [] {
        RegisterDropTarget(g_app.mainWindow, nullptr);
        EXPECT_EQ(g_app.dropRegistry.size(), 1u);
        EXPECT_EQ(g_app.dropRegistry[0].callback, &OnFileDropped);
        EXPECT_EQ(FindDropTarget(g_app.mainWindow), 1);
        EXPECT_EQ(FindDropTarget(nullptr), 0);
    });
    DropExisting({"C:\\a.txt"});
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("DragAcceptFiles"), 1u);
    EXPECT_EQ(standin::CountCalls("SetWindowLongPtrW"), 1u);
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt"}));
}

TEST_F(DropTest, DropsFromAnUnelevatedShellAreLetThroughWhereTheSystemCan) {
    standin::Close(IDD_MAIN);
    RunProgram();
    std::vector<std::string> allowed;
    for (const auto& args : ArgsOf("ChangeWindowMessageFilterEx")) {
        EXPECT_EQ(args.at(0), "dialog:1000");
        EXPECT_EQ(args.at(2), std::to_string(MSGFLT_ALLOW));
        allowed.push_back(args.at(1));
    }
    EXPECT_EQ(allowed, (std::vector<std::string>{std::to_string(WM_DROPFILES),
                                                 std::to_string(WM_COPYDATA), "73"}));
}

TEST_F(DropTest, WithoutTheMessageFilterCallTheProgramStillTakesDrops) {
    standin::HideExport("ChangeWindowMessageFilterEx");
    DropExisting({"C:\\a.txt"});
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("ChangeWindowMessageFilterEx"), 0u);
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\a.txt"}));
}

TEST_F(DropTest, ADropDuringTheDuplicateScanRunsToItsEndFirst) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::AddFile("C:\\c.txt");
    standin::AddFile("C:\\nested.txt");
    standin::Drop({"C:\\c.txt"});
    // Posted as c.txt's drop is released; c.txt's duplicate test takes it.
    standin::AfterCall("DragFinish", 2, [] { standin::PostDrop({"C:\\nested.txt"}); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\nested.txt", "C:\\c.txt"}));
}

TEST_F(DropTest, TheListHoldsItsRedrawWhileADropAppendsAndRedrawsOnceAtTheEnd) {
    standin::AddFile("C:\\nested.txt");
    standin::Drop({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
    std::vector<bool> redrawDuringDrop;
    // Taken by the first file's duplicate test (with a drop of its own), and by the nested drop's
    // own file's test.
    standin::AfterCall("DragFinish", 1, [&] {
        redrawDuringDrop.push_back(standin::Inspect(MainList()).redraw);
        standin::PostDrop({"C:\\nested.txt"});
    });
    standin::AfterCall("DragFinish", 2,
                       [&] { redrawDuringDrop.push_back(standin::Inspect(MainList()).redraw); });
    standin::Do("the list redraws again", [] {
        EXPECT_TRUE(standin::Inspect(MainList()).redraw);
        // Held once for the outer drop, released once after the nested one has ended too.
        EXPECT_EQ(standin::CountCalls("InvalidateRect"), 1u);
    });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(redrawDuringDrop, (std::vector<bool>{false, false}));
    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{"C:\\nested.txt", "C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));
}

TEST_F(DropTest, ADropIsTakenFromTheFirstFrameOfTheFadeIn) {
    // Posted as the window appears, fully transparent; the fade's first pump takes it.
    standin::AfterCall("ShowWindow", 1, [] { standin::PostDrop({"C:\\early.txt"}); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\early.txt"}));
    EXPECT_EQ(standin::CountCalls("DragFinish"), 1u);
    // The row was there before the opacity rose to 2 of 255.
    const auto isOpacity = [](const Call& call) {
        return call.function == "SetLayeredWindowAttributes";
    };
    EXPECT_LT(PositionOf(IsAppend), PositionOf(isOpacity, 3));
    EXPECT_EQ(standin::Log().at(PositionOf(isOpacity, 2)).args.at(2), "1");
}

TEST_F(DropTest, ARestartRunStartedDuringADropsScanWritesEachResultWithTheListRedrawn) {
    DropExisting({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
    standin::AddFile("C:\\d.txt");
    standin::Drop({"C:\\d.txt"});
    // Clicked while d.txt is tested, taken by the first pump of its duplicate scan.
    standin::AfterCall("GetFileAttributesW", 4,
                       [] { standin::PostClick(IDD_MAIN, IDC_RESTART_DELETE); });
    standin::AnswerBox(IDOK, UiText(kConfirmRestart));
    std::vector<bool> redrawAtRequest;
    standin::AfterCall("RegSetValueExW", 1, [&redrawAtRequest] {
        redrawAtRequest.push_back(standin::Inspect(MainList()).redraw);
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(standin::ScheduledDeletions(),
              (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));
    EXPECT_EQ(ListedWideResults(),
              (std::vector<std::u16string>{kAccepted, kAccepted, kAccepted, u""}));
    EXPECT_EQ(redrawAtRequest, (std::vector<bool>{true}));
    const auto isResult = [](const Call& call) { return IsListMessage(call, LVM_REDRAWITEMS); };
    // Each row drawn again with its result.
    EXPECT_EQ(RedrawAt(isResult), std::vector<bool>(3, true));
    // The list was invalidated after the drop held it and before the first request, and the
    // drop appended d.txt under its hold again.
    const auto isHold = [](const Call& call) {
        return IsListMessage(call, WM_SETREDRAW) && call.args.at(2) == "0";
    };
    const auto isInvalidation = [](const Call& call) {
        return call.function == "InvalidateRect" && call.args.at(0) == "#1002";
    };
    const auto isRequest = [](const Call& call) { return call.function == "RegSetValueExW"; };
    const size_t secondHold = PositionOf(isHold, 2);
    EXPECT_LT(secondHold, PositionOf(isInvalidation, 2));
    EXPECT_LT(PositionOf(isInvalidation, 2), PositionOf(isRequest));
    EXPECT_EQ(RedrawAt(IsAppend), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(standin::Inspect(MainList()).redraw);
    EXPECT_EQ(standin::CountCalls("InvalidateRect"), 3u);
}

TEST_F(DropTest, RemoveAndClearDuringADropRepaintTheListWithItsRedrawOn) {
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::FocusRow(0);
    standin::AddFile("C:\\c.txt");
    standin::AddFile("C:\\d.txt");
    standin::Drop({"C:\\c.txt", "C:\\d.txt"});
    // Remove while c.txt is tested, Clear while d.txt is.
    standin::AfterCall("GetFileAttributesW", 3, [] { standin::PostClick(IDD_MAIN, IDC_REMOVE); });
    standin::AfterCall("GetFileAttributesW", 4,
                       [] { standin::PostClick(IDD_MAIN, IDC_CLEAR_LIST); });
    standin::AnswerBox(IDOK, UiText(kConfirmClear));
    standin::Do("after the drop",
                [] { EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\d.txt"})); });
    standin::Close(IDD_MAIN);
    RunProgram();

    const auto isRepaint = [](const Call& call) {
        return call.function == "UpdateWindow" && call.args.at(0) == "#1002";
    };
    EXPECT_EQ(RedrawAt(isRepaint), (std::vector<bool>{true, true}));
    EXPECT_EQ(RedrawAt(IsAppend), (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(standin::Inspect(MainList()).redraw);
}

}  // namespace
