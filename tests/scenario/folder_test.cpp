// Folder rows through a whole restart run over the stand-in: the order of the deletions, no path
// recorded twice, a rename recorded during the run refusing the folder, the progress a long walk
// shows. Refused folders and their box are shown under Wine.

#include <cstring>
#include <string>
#include <vector>

#include <set>

#include "scenario.h"

namespace {

using namespace std::string_literals;
using Paths = std::vector<std::string>;

const std::u16string kFolderQuestion = u"  确定将文件夹及其中的全部内容加入列表 ?  ";

void MakeTree() {
    for (const char* file : {"C:\\app\\a.txt", "C:\\app\\sub\\b.txt", "C:\\app\\sub\\deep\\c.txt",
                             "C:\\app2\\keep.txt", "C:\\other.txt"}) {
        standin::AddFile(file);
    }
    standin::AddDirectory("C:\\app\\empty");
}

class FolderTest : public ScenarioTest {
protected:
    static void ScheduleAll() {
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, kRestartQuestion);
    }
};

// A file of the tree listed on its own, the folder, and a folder nested in it: every entry is
// asked for once, each before the folder that holds it, the folder itself last.
TEST_F(FolderTest, EveryEntryOnceBeforeItsFolderAndNothingBesideIt) {
    MakeTree();
    standin::Drop({"C:\\app\\sub\\b.txt", "C:\\app", "C:\\other.txt"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    standin::Drop({"C:\\app\\sub"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(),
              (Paths{"C:\\app\\sub\\b.txt", "C:\\other.txt", "C:\\app\\", "C:\\app\\sub\\"}));
    EXPECT_EQ(ListedResults(), Paths(4, kResultAccepted));

    const Paths expected = {
        "C:\\app\\sub\\b.txt", "C:\\other.txt", "C:\\app\\a.txt", "C:\\app\\sub\\deep\\c.txt",
        "C:\\app\\sub\\deep",  "C:\\app\\sub",  "C:\\app\\empty", "C:\\app"};
    // The walk's own order among files and among folders of one depth may be the listing's; the
    // rule is what this checks.
    Paths scheduled = standin::ScheduledDeletions();
    EXPECT_EQ(scheduled.size(), expected.size());
    EXPECT_EQ(std::set<std::string>(scheduled.begin(), scheduled.end()),
              std::set<std::string>(expected.begin(), expected.end()));
    for (size_t folder = 0; folder < scheduled.size(); ++folder) {
        for (size_t later = folder + 1; later < scheduled.size(); ++later) {
            EXPECT_NE(scheduled[later].rfind(scheduled[folder] + "\\", 0), 0u)
                << scheduled[later] << " after " << scheduled[folder];
        }
    }
    EXPECT_EQ(scheduled.back(), "C:\\app");
    // Every request and every listing in the boot's view; the searches all closed.
    // Each folder listed through its handle; every handle closed (the stand-in checks that).
    EXPECT_EQ(standin::CountCalls("FindFirstFileW"), 0u);
}

// Another program records a rename inside the folder while the run walks it: the pending value
// is read again before the write, the folder is refused for it and nothing of it recorded, and
// the file row before it and the rename are kept.
TEST_F(FolderTest, ARenameRecordedDuringTheRunRefusesTheFolderItTouches) {
    MakeTree();
    const std::u16string rename = u"\\??\\C:\\app\\sub\\b.txt\0\\??\\C:\\b2.txt\0"s;
    standin::Drop({"C:\\other.txt", "C:\\app"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    ScheduleAll();
    // After the walk's last folder has been listed (the file row's attributes and names, the
    // folder's attributes, then two calls for each of the four folders' listings).
    standin::AfterCall("GetFileInformationByHandleEx", 11,
                       [&rename] { SetPendingOperations(rename + u'\0'); });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedResults(), (Paths{kResultAccepted, kResultRefused}));
    EXPECT_EQ(ListedWideReasons(),
              (std::vector<std::u16string>{u"", u"与待处理的重命名冲突 (共 1 项)"}));
    // The folder was walked whole before the rename came.
    EXPECT_EQ(standin::CountCalls("GetFileInformationByHandleEx"), 11u);
    const std::optional<standin::RegistryValue> value = standin::GetRegistryValue(
        "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations");
    ASSERT_TRUE(value.has_value());
    const std::u16string expected = rename + u"\\??\\C:\\other.txt\0\0\0"s;
    EXPECT_EQ(value->bytes,
              std::string(reinterpret_cast<const char*>(expected.data()), expected.size() * 2));
}

// A walk that takes a while shows how far it has come in "结果" until the result replaces it.
TEST_F(FolderTest, ALongWalkShowsItsProgressUntilTheResult) {
    MakeTree();
    standin::SetTickStep(100);
    standin::Drop({"C:\\app"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    ScheduleAll();
    std::u16string during;
    // Read at the pump after the last folder's first listing call, in the middle of the walk.
    standin::AfterCall("GetFileInformationByHandleEx", 8, [&during] {
        during = standin::InspectList(MainList()).rows[0].wideCells[1];
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(during.rfind(u"正在检查 ", 0), 0u);
    EXPECT_EQ(during.substr(during.size() - 2), u" 项");
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted}));
}

}  // namespace
