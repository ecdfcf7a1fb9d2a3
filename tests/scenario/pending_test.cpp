// The restart's to-do list over the stand-in's registry: what it shows of both pending values,
// cancelling chosen deletions, a folder's deletion taken back with its contents, and a write the
// registry refuses, with and without the put-back succeeding.

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scenario.h"

namespace {

using namespace std::string_literals;

const std::string kSessionManager = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const std::string kFirstValue = "PendingFileRenameOperations";
const std::string kSecondValue = "PendingFileRenameOperations2";

const std::u16string kCancelQuestion = u"  确定取消选中文件的重启删除 ?  ";
const std::u16string kDeletion = u"删除";
const std::u16string kCancelled = u"已取消";

// The pairs of a value as the system records them; a value's list ends with one more NUL.
std::u16string Deletion(const std::u16string& path) {
    return u"\\??\\" + path + u'\0' + u'\0';
}
std::u16string Rename(const std::u16string& from, const std::u16string& to) {
    return u"\\??\\" + from + u'\0' + u"!\\??\\" + to + u'\0';
}
const std::u16string kEnd(1, u'\0');

void Seed(const std::string& name, const std::u16string& units) {
    standin::SetRegistryValue(
        kSessionManager, name, REG_MULTI_SZ,
        std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2));
}

// A value's code units exactly as stored, or nullopt when it is gone (or no REG_MULTI_SZ).
std::optional<std::u16string> Stored(const std::string& name) {
    const std::optional<standin::RegistryValue> value =
        standin::GetRegistryValue(kSessionManager, name);
    if (!value || value->type != REG_MULTI_SZ || value->bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::u16string units(value->bytes.size() / 2, u'\0');
    std::memcpy(units.data(), value->bytes.data(), value->bytes.size());
    return units;
}

using Rows = std::vector<std::pair<std::u16string, std::u16string>>;

class PendingTest : public ScenarioTest {
protected:
    static void OpenToDoList() { standin::ChooseSystemMenuItem(IDD_MAIN, IDM_PENDING); }

    // Chooses rows of the to-do list, presses "取消删除" and confirms.
    static void CancelRows(const std::vector<int>& rows) {
        standin::SelectRows(IDD_PENDING, IDC_PENDING_LIST, rows);
        standin::Click(IDD_PENDING, IDC_PENDING_CANCEL);
        standin::AnswerBox(IDOK, kCancelQuestion);
    }

    // The to-do list's rows as it last showed them: file, and what the restart does to it.
    static Rows ShownRows() {
        Rows rows;
        for (const standin::ListRow& row :
             standin::InspectList(standin::Control(IDD_PENDING, IDC_PENDING_LIST)).rows) {
            rows.emplace_back(row.wideCells.at(0), row.wideCells.at(1));
        }
        return rows;
    }
};

// Another program's operations, in both values and in every recorded form: listed in the order
// the system carries them out, each side an ordinary path; looking changes nothing.
TEST_F(PendingTest, TheListShowsEveryOperationOfBothValuesInTheOrderTheyRun) {
    Seed(kFirstValue, Rename(u"C:\\app\\new.dll", u"C:\\app\\app.dll") +
                          Deletion(u"C:\\tmp\\a.txt") + u"*1" + Deletion(u"C:\\tmp\\b.txt") + kEnd);
    Seed(kSecondValue, Deletion(u"UNC\\srv\\share\\c.txt") + kEnd);
    OpenToDoList();
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ShownRows(), (Rows{{u"C:\\app\\new.dll", u"移到 C:\\app\\app.dll"},
                                 {u"C:\\tmp\\a.txt", kDeletion},
                                 {u"C:\\tmp\\b.txt", kDeletion},
                                 {u"\\\\srv\\share\\c.txt", kDeletion}}));
    EXPECT_EQ(standin::CountCalls("RegSetValueExW") + standin::CountCalls("RegDeleteValueW"), 0u);
}

// Chosen: a rename (never changed), the second of two equal deletions, and the only operation of
// the second value. Exactly the chosen deletions go; every other code unit stays, and a value
// left with nothing is deleted.
TEST_F(PendingTest, CancellingTakesOutExactlyTheChosenDeletions) {
    const std::u16string rename = Rename(u"C:\\app\\new.dll", u"C:\\app\\app.dll");
    const std::u16string twice = Deletion(u"C:\\tmp\\x.txt");
    const std::u16string other = Deletion(u"C:\\tmp\\y.txt");
    Seed(kFirstValue, rename + twice + other + twice + kEnd);
    Seed(kSecondValue, Deletion(u"C:\\tmp\\z.txt") + kEnd);
    OpenToDoList();
    CancelRows({0, 3, 4});
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(Stored(kFirstValue), rename + twice + other + kEnd);
    EXPECT_EQ(standin::GetRegistryValue(kSessionManager, kSecondValue), std::nullopt);
    // The list was read again after the change.
    EXPECT_EQ(ShownRows(), (Rows{{u"C:\\app\\new.dll", u"移到 C:\\app\\app.dll"},
                                 {u"C:\\tmp\\x.txt", kDeletion},
                                 {u"C:\\tmp\\y.txt", kDeletion}}));
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
}

// A cancel that waits for another program's lock says so and takes no second cancel; the list
// closed meanwhile ends the wait, and nothing is taken back, then or when the lock is let go.
TEST_F(PendingTest, ClosingTheListWhileACancelWaitsTakesNothingBack) {
    const std::u16string value = Deletion(u"C:\\tmp\\a.txt") + Deletion(u"C:\\tmp\\b.txt") + kEnd;
    Seed(kFirstValue, value);
    standin::SetPendingRenameMutex(standin::PendingLockState::kHeldByOther);
    OpenToDoList();
    CancelRows({0});
    std::u16string status;
    bool cancelEnabled = true;
    standin::Do("look at the list while the cancel waits", [&] {
        status = standin::Inspect(standin::Control(IDD_PENDING, IDC_PENDING_STATUS)).wideText;
        cancelEnabled = standin::Inspect(standin::Control(IDD_PENDING, IDC_PENDING_CANCEL)).enabled;
    });
    // The same row again, by the command itself: no second question.
    standin::Do("cancel again", [] {
        PostMessageA(standin::Dialog(IDD_PENDING), WM_COMMAND, IDC_PENDING_CANCEL, 0);
    });
    standin::Close(IDD_PENDING);
    standin::Do("the other program lets go",
                [] { standin::SetPendingRenameMutex(standin::PendingLockState::kFree); });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(status, u"等待其他程序写完待处理的操作");
    EXPECT_FALSE(cancelEnabled);
    EXPECT_EQ(Stored(kFirstValue), value);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
    EXPECT_FALSE(standin::ProgramHoldsPendingRenameMutex());
}

// The whole way: two rows scheduled after another program's rename, one of them cancelled in the
// list; that row says so when the list closes, the other is still pending.
TEST_F(PendingTest, ARowCancelledInTheListSaysSoAndTheOtherStaysPending) {
    const std::u16string rename = Rename(u"D:\\setup\\new.sys", u"D:\\setup\\old.sys");
    Seed(kFirstValue, rename + kEnd);
    DropExisting({"C:\\a.txt", "C:\\b.txt"});
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    OpenToDoList();
    CancelRows({1});
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(Stored(kFirstValue), rename + Deletion(u"C:\\b.txt") + kEnd);
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kCancelled, kAccepted}));
}

// A folder recorded as the restart run records one: its files, its subfolder, then itself. Its
// row chosen with one file's: everything under it goes too, in both values and any spelling,
// each once, and the question counts them; a name that begins the same and a rename inside the
// folder stay. One write per value.
TEST_F(PendingTest, TakingBackAFolderTakesBackWhatIsPendingUnderIt) {
    const std::u16string neighbour = Deletion(u"C:\\old\\app2.txt");
    const std::u16string rename = Rename(u"C:\\old\\app\\new.dll", u"C:\\old\\app\\app.dll");
    Seed(kFirstValue, Deletion(u"C:\\old\\app\\a.txt") + Deletion(u"C:\\old\\app\\sub\\b.txt") +
                          neighbour + rename + Deletion(u"C:\\old\\app\\sub") +
                          Deletion(u"C:\\old\\app") + kEnd);
    Seed(kSecondValue, u"*1" + Deletion(u"c:\\OLD\\APP\\c.txt") + kEnd);
    OpenToDoList();
    standin::SelectRows(IDD_PENDING, IDC_PENDING_LIST, {1, 5});
    standin::Click(IDD_PENDING, IDC_PENDING_CANCEL);
    standin::AnswerBox(IDOK, u"  确定取消 5 项重启删除 (含文件夹中的内容) ?  "s);
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(Stored(kFirstValue), neighbour + rename + kEnd);
    EXPECT_EQ(standin::GetRegistryValue(kSessionManager, kSecondValue), std::nullopt);
    EXPECT_EQ(ShownRows(), (Rows{{u"C:\\old\\app2.txt", kDeletion},
                                 {u"C:\\old\\app\\new.dll", u"移到 C:\\old\\app\\app.dll"}}));
    EXPECT_EQ(standin::CountCalls("RegSetValueExW"), 1u);
    EXPECT_EQ(standin::CountCalls("RegDeleteValueW"), 1u);
}

// The second value's write is refused: the first value, already written, is put back, so both
// hold exactly what they held; the box owned by the list says why, and the list shows it all.
TEST_F(PendingTest, ARefusedWriteIsPutBackAndTold) {
    const std::u16string first = Deletion(u"C:\\tmp\\a.txt") + Deletion(u"C:\\tmp\\b.txt") + kEnd;
    const std::u16string second = Deletion(u"C:\\tmp\\c.txt") + kEnd;
    Seed(kFirstValue, first);
    Seed(kSecondValue, second);
    standin::AnswerRegistryWrites({ERROR_SUCCESS, ERROR_ACCESS_DENIED});
    OpenToDoList();
    CancelRows({0, 2});
    standin::AnswerBox(IDOK, u"需要管理员权限"s);
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(Stored(kFirstValue), first);
    EXPECT_EQ(Stored(kSecondValue), second);
    EXPECT_EQ(ShownRows(), (Rows{{u"C:\\tmp\\a.txt", kDeletion},
                                 {u"C:\\tmp\\b.txt", kDeletion},
                                 {u"C:\\tmp\\c.txt", kDeletion}}));
    const std::vector<std::vector<std::string>> boxes = ArgsOf("MessageBoxW");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].at(0), "dialog:" + std::to_string(IDD_PENDING));
    EXPECT_EQ(boxes[1].at(3), std::to_string(MB_OK | MB_ICONERROR));
    // The first value written, the second refused, the first written back.
    EXPECT_EQ(standin::CountCalls("RegSetValueExW"), 2u);
    EXPECT_EQ(standin::CountCalls("RegDeleteValueW"), 1u);
}

// The put-back is refused too. The box tells the second write's error; the first value keeps
// the cancel that could not be taken back, and nothing else of either value changes; the list
// shows what the values now hold.
TEST_F(PendingTest, WhenThePutBackIsRefusedTooTheListShowsWhatStayed) {
    const std::u16string kept = Deletion(u"C:\\tmp\\b.txt");
    const std::u16string second = Deletion(u"C:\\tmp\\c.txt") + kEnd;
    Seed(kFirstValue, Deletion(u"C:\\tmp\\a.txt") + kept + kEnd);
    Seed(kSecondValue, second);
    standin::AnswerRegistryWrites({ERROR_SUCCESS, 1450, 1450});
    OpenToDoList();
    CancelRows({0, 2});
    standin::AnswerBox(IDOK, u"系统拒绝 (错误 1450)"s);
    standin::Close(IDD_PENDING);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(Stored(kFirstValue), kept + kEnd);
    EXPECT_EQ(Stored(kSecondValue), second);
    EXPECT_EQ(ShownRows(), (Rows{{u"C:\\tmp\\b.txt", kDeletion}, {u"C:\\tmp\\c.txt", kDeletion}}));
    EXPECT_EQ(standin::CountCalls("RegSetValueExW"), 2u);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 2u);
}

}  // namespace
