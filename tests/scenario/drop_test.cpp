// Files dropped on the main window.

#include "app/app_state.h"
#include "intake/drop_target.h"
#include "scenario.h"

namespace {

class DropTest : public ScenarioTest {};

TEST_F(DropTest, NewFilesAreAppendedInDropOrderFoldersAndDuplicatesSkipped) {
    standin::AddDirectory("C:\\folder");
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    standin::Drop({"C:\\b.txt", "C:\\folder", "C:\\a.txt", "C:\\b.txt"});
    standin::Drop({"C:\\a.txt", "C:\\A.TXT"});
    standin::Close(IDD_MAIN);
    RunProgram();

    // Letter case makes a different entry; the folder's contents are not looked at.
    EXPECT_EQ(ListedPaths(), (std::vector<std::string>{"C:\\b.txt", "C:\\a.txt", "C:\\A.TXT"}));
    EXPECT_EQ(ListedResults(), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(standin::CountCalls("DragFinish"), 2u);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
}

TEST_F(DropTest, AnUnreadableEntryIsSkippedAndTheRestStillArrive) {
    standin::Drop({std::nullopt, "C:\\missing-is-fine.txt", std::nullopt});
    standin::Drop({std::nullopt});
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
    EXPECT_EQ(standin::CountCalls("SetWindowLongPtrA"), 0u);
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
    // The scan for c.txt reads the rows back; a second drop arrives during it.
    standin::AfterCall("DragQueryFileA", 7, [] { standin::PostDrop({"C:\\nested.txt"}); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(),
              (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\nested.txt", "C:\\c.txt"}));
}

TEST_F(DropTest, TheListHoldsItsRedrawWhileADropAppendsAndRedrawsOnceAtTheEnd) {
    standin::AddFile("C:\\nested.txt");
    standin::Drop({"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"});
    std::vector<bool> redrawDuringDrop;
    // After the second file's read (a drop nested in its duplicate scan follows), and again
    // while the third file is read.
    standin::AfterCall("DragQueryFileA", 5, [&] {
        redrawDuringDrop.push_back(standin::Inspect(MainList()).redraw);
        standin::PostDrop({"C:\\nested.txt"});
    });
    standin::AfterCall("DragQueryFileA", 9,
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
              (std::vector<std::string>{"C:\\a.txt", "C:\\nested.txt", "C:\\b.txt", "C:\\c.txt"}));
}

}  // namespace
