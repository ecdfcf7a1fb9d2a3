// What the restart run's write holds to: the system's lock on the pending values, waited for with
// the window answering; the cap on the values, checked before anything changes on disk and again
// under the lock; read-only attributes changed through handles and put back for every row not
// recorded; and a close during the run, which records nothing.

#include <cstring>
#include <string>
#include <vector>

#include "scenario.h"

using namespace std::string_literals;

namespace {

using Paths = std::vector<std::string>;

const std::string kSessionManager = "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const std::u16string kWaiting = u"等待其他程序写完待处理的操作";
const std::u16string kOverCap = u"重启删除列表将超过 64 MB";
const std::u16string kFolderQuestion = u"  确定将文件夹及其中的全部内容加入列表 ?  ";
constexpr size_t kCap = size_t{64} * 1024 * 1024;

// The first value's code units as they stand.
std::u16string PendingUnits() {
    const std::optional<standin::RegistryValue> value =
        standin::GetRegistryValue(kSessionManager, "PendingFileRenameOperations");
    std::u16string units;
    if (value) {
        units.assign(value->bytes.size() / 2, u'\0');
        std::memcpy(units.data(), value->bytes.data(), units.size() * 2);
    }
    return units;
}

// Another program's deletions of one long name, repeated, with the list's end: size bytes in all.
std::u16string OtherProgramsValue(size_t bytes) {
    const std::u16string pair = u"\\??\\C:\\other\\" + std::u16string(5000, u'x') + u"\0\0"s;
    std::u16string units;
    while ((units.size() + pair.size() + 1) * 2 <= bytes) {
        units += pair;
    }
    units += std::u16string(bytes / 2 - units.size(), u'\0');
    return units;
}

// A logged call's position, by function and first argument.
size_t PositionOfCall(const std::string& function, const std::string& firstArgument = "") {
    return PositionOf([&](const standin::Call& call) {
        return call.function == function &&
               (firstArgument.empty() || (!call.args.empty() && call.args[0] == firstArgument));
    });
}

class RecordTest : public ScenarioTest {
protected:
    static void ScheduleAll() {
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, kRestartQuestion);
    }
};

// Another program holds the lock: the rows say so and nothing is written while it does; the
// window answers meanwhile (a drop is listed); once it has added its rename and let go, the
// value holds that rename and then the run's deletions. An abandoned lock is held as any other.
TEST_F(RecordTest, TheRunWritesOnlyUnderTheSystemsLockAndAnswersWhileItWaits) {
    for (const standin::PendingLockState state :
         {standin::PendingLockState::kHeldByOther, standin::PendingLockState::kAbandoned}) {
        SCOPED_TRACE(static_cast<int>(state));
        standin::Reset();
        const std::u16string rename = u"\\??\\C:\\setup.new\0!\\??\\C:\\setup.dll\0"s;
        standin::SetPendingRenameMutex(state);
        standin::AddFile("C:\\late.txt");
        DropExisting({"C:\\a.txt", "C:\\b.txt"});
        ScheduleAll();
        std::vector<std::u16string> whileWaiting;
        size_t writesWhileWaiting = 0;
        if (state == standin::PendingLockState::kHeldByOther) {
            standin::Drop({"C:\\late.txt"});
            standin::Do("the other program adds its rename and lets go", [&] {
                whileWaiting = ListedWideResults();
                writesWhileWaiting = standin::CountCalls("RegSetValueExW");
                SetPendingOperations(rename + u'\0');
                standin::SetPendingRenameMutex(standin::PendingLockState::kFree);
            });
        }
        standin::Close(IDD_MAIN);
        RunProgram();

        EXPECT_EQ(ListedWideResults().at(0), kAccepted);
        EXPECT_EQ(ListedWideResults().at(1), kAccepted);
        EXPECT_FALSE(standin::ProgramHoldsPendingRenameMutex());
        const size_t write = PositionOfCall("RegSetValueExW");
        EXPECT_LT(PositionOfCall("WaitForSingleObject"), write);
        EXPECT_LT(write, PositionOfCall("ReleaseMutex"));
        if (state == standin::PendingLockState::kHeldByOther) {
            EXPECT_EQ(whileWaiting, (std::vector<std::u16string>{kWaiting, kWaiting, u""}));
            EXPECT_EQ(writesWhileWaiting, 0u);
            // Dropped during the wait: listed, not scheduled.
            EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", "C:\\b.txt", "C:\\late.txt"}));
            EXPECT_EQ(PendingUnits(), rename + u"\\??\\C:\\a.txt\0\0\\??\\C:\\b.txt\0\0\0"s);
        } else {
            EXPECT_EQ(standin::CountCalls("MsgWaitForMultipleObjectsEx"), 0u);
            EXPECT_EQ(standin::ScheduledDeletions(), (Paths{"C:\\a.txt", "C:\\b.txt"}));
        }
    }
}

// The to-do list opened while the run waits for the lock only shows: the cancel would wait for
// the same lock on the same thread.
TEST_F(RecordTest, TheToDoListTakesNothingBackDuringARun) {
    standin::SetPendingRenameMutex(standin::PendingLockState::kHeldByOther);
    DropExisting({"C:\\a.txt"});
    ScheduleAll();
    bool cancelEnabled = true;
    standin::ChooseSystemMenuItem(IDD_MAIN, IDM_PENDING);
    standin::Do("look at the cancel button", [&] {
        cancelEnabled = standin::Inspect(standin::Control(IDD_PENDING, IDC_PENDING_CANCEL)).enabled;
    });
    standin::Close(IDD_PENDING);
    standin::Do("the other program lets go",
                [] { standin::SetPendingRenameMutex(standin::PendingLockState::kFree); });
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_FALSE(cancelEnabled);
    EXPECT_EQ(standin::ScheduledDeletions(), (Paths{"C:\\a.txt"}));
}

// The values near the cap: a folder whose deletions would pass it is refused whole, before its
// walk has grown past it and before anything on disk changed; the rows before and after it
// that fit are recorded.
TEST_F(RecordTest, AFolderThatWouldPassTheCapIsRefusedAndNothingOfItChanges) {
    const std::u16string other = OtherProgramsValue(kCap - 4000);
    SetPendingOperations(other);
    for (int i = 0; i < 100; ++i) {
        standin::AddFile("C:\\big\\file" + std::to_string(i) + ".txt");
    }
    standin::SetReadOnly("C:\\big\\file7.txt", true);
    DropExisting({"C:\\before.txt"});
    standin::Drop({"C:\\big"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    DropExisting({"C:\\after.txt"});
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted, kRefused, kAccepted}));
    EXPECT_EQ(ListedWideReasons().at(1), kOverCap);
    std::u16string expected = other;
    expected.resize(expected.find(u"\0\0\0"s) + 2);
    expected += u"\\??\\C:\\before.txt\0\0\\??\\C:\\after.txt\0\0"s;
    expected += std::u16string(other.size() - (other.find(u"\0\0\0"s) + 2), u'\0');
    EXPECT_EQ(PendingUnits(), expected);
    EXPECT_TRUE(standin::IsReadOnly("C:\\big\\file7.txt"));
    EXPECT_EQ(standin::CountCalls("SetFileInformationByHandle"), 0u);
}

// The cap is checked again under the lock, against the value as it stands then: another program
// grew it while the run waited, so the last row no longer fits. It is refused, and the read-only
// attribute the run cleared before the wait is back; the row before it is recorded, its own
// attribute cleared through a handle checked to be its file.
TEST_F(RecordTest, UnderTheLockTheLastRowsThatNoLongerFitAreRefusedAndPutBack) {
    DropExisting({"C:\\first.txt", "C:\\last.txt"});
    standin::SetReadOnly("C:\\first.txt", true);
    standin::SetReadOnly("C:\\last.txt", true);
    standin::SetPendingRenameMutex(standin::PendingLockState::kHeldByOther);
    ScheduleAll();
    bool clearedWhileWaiting = false;
    standin::Do("another program grows the value and lets go", [&] {
        clearedWhileWaiting =
            !standin::IsReadOnly("C:\\first.txt") && !standin::IsReadOnly("C:\\last.txt");
        // Room for the first row's deletion only: "\??\C:\first.txt" and two terminators.
        SetPendingOperations(OtherProgramsValue(kCap - 40));
        standin::SetPendingRenameMutex(standin::PendingLockState::kFree);
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_TRUE(clearedWhileWaiting);
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted, kRefused}));
    EXPECT_EQ(ListedWideReasons().at(1), kOverCap);
    const std::u16string units = PendingUnits();
    EXPECT_EQ(units.size() * 2, kCap - 4);
    EXPECT_NE(units.find(u"\\??\\C:\\first.txt\0\0"s), std::u16string::npos);
    EXPECT_EQ(units.find(u"last.txt"), std::u16string::npos);
    EXPECT_FALSE(standin::IsReadOnly("C:\\first.txt"));
    EXPECT_TRUE(standin::IsReadOnly("C:\\last.txt"));
    EXPECT_EQ(standin::CountCalls("SetFileAttributesW"), 0u);
    // Each change made through a handle opened for the attributes, its file asked which it is.
    const std::vector<standin::Call>& log = standin::Log();
    const size_t change = PositionOfCall("SetFileInformationByHandle");
    ASSERT_LT(change, log.size());
    EXPECT_EQ(log[change - 2].function, "GetFileInformationByHandle");
}

// A write the system refuses puts every cleared attribute back.
TEST_F(RecordTest, ARefusedWritePutsTheAttributesBack) {
    DropExisting({"C:\\locked.txt"});
    standin::SetReadOnly("C:\\locked.txt", true);
    standin::AnswerRegistryWrites({ERROR_ACCESS_DENIED});
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kRefused}));
    EXPECT_TRUE(standin::IsReadOnly("C:\\locked.txt"));
    EXPECT_EQ(standin::CountCalls("SetFileInformationByHandle"), 2u);
}

// The window closed during the run: during a folder's walk, or while the run waits for the lock.
// Nothing is recorded, what was cleared is back, no restart is offered, and the program ends
// with 0.
TEST_F(RecordTest, AClosedWindowStopsTheRunBeforeItsWrite) {
    for (const bool duringTheWait : {false, true}) {
        SCOPED_TRACE(duringTheWait ? "during the wait" : "during the walk");
        standin::Reset();
        for (int i = 0; i < 50; ++i) {
            standin::AddFile("C:\\tree\\file" + std::to_string(i) + ".txt");
        }
        DropExisting({"C:\\ro.txt"});
        standin::SetReadOnly("C:\\ro.txt", true);
        standin::Drop({"C:\\tree"});
        standin::AnswerBox(IDOK, kFolderQuestion);
        ScheduleAll();
        if (duringTheWait) {
            standin::SetPendingRenameMutex(standin::PendingLockState::kHeldByOther);
            standin::Close(IDD_MAIN);
        } else {
            // The walk looks at the queue every 10 ms of this clock.
            standin::SetTickStep(5);
            standin::AfterCall("GetFileInformationByHandleEx", 4,
                               [] { standin::PostClose(IDD_MAIN); });
        }
        const standin::RunResult result = RunProgram();
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(standin::CountCalls("RegSetValueExW"), 0u);
        EXPECT_TRUE(standin::IsReadOnly("C:\\ro.txt"));
        EXPECT_EQ(standin::CountCalls("RestartDialog"), 0u);
        EXPECT_FALSE(standin::ProgramHoldsPendingRenameMutex());
    }
}

// A value read back while another program keeps changing it: read again, with the lock let go,
// for a few seconds. Once it reads whole the row says 成功; while it never does, the row says
// 未确认 and why, offers no restart, keeps its attribute cleared (the deletion may well be there)
// and keeps the path recorded for it, so that the to-do list's close marks it when its deletion
// is gone.
TEST_F(RecordTest, AWriteThatCannotBeReadBackIsUnconfirmedUntilItReadsWhole) {
    for (const bool settles : {true, false}) {
        SCOPED_TRACE(settles ? "settles" : "keeps changing");
        standin::Reset();
        DropExisting({"C:\\a.txt"});
        standin::SetReadOnly("C:\\a.txt", true);
        ScheduleAll();
        // Read whole again after the read under the lock (four tries) and two more; or never.
        standin::AnswerRegistryReadsAfterNextWrite(ERROR_MORE_DATA, settles ? 6 : SIZE_MAX);
        std::vector<std::u16string> results;
        std::vector<std::u16string> reasons;
        if (!settles) {
            standin::Do("look at the row, and the other program takes the deletion back", [&] {
                results = ListedWideResults();
                reasons = ListedWideReasons();
                standin::AnswerRegistryReadsAfterNextWrite(ERROR_SUCCESS, 0);
                SetPendingOperations(u"\0"s);
            });
            standin::ChooseSystemMenuItem(IDD_MAIN, IDM_PENDING);
            standin::Close(IDD_PENDING);
        }
        standin::Close(IDD_MAIN);
        RunProgram();

        EXPECT_FALSE(standin::IsReadOnly("C:\\a.txt"));
        if (settles) {
            EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kAccepted}));
            EXPECT_EQ(standin::CountCalls("RestartDialog"), 1u);
        } else {
            EXPECT_EQ(results, (std::vector<std::u16string>{u"未确认"}));
            EXPECT_EQ(reasons,
                      (std::vector<std::u16string>{u"已写入但未能确认，重启时仍可能被删除"}));
            EXPECT_EQ(standin::CountCalls("RestartDialog"), 0u);
            EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{u"已取消"}));
        }
    }
}

// A read-only attribute that cannot be cleared refuses its row, since some boots leave such a
// file; a row that shared an entry with it is admitted again, and that entry is cleared once and
// recorded once, by it.
TEST_F(RecordTest, AnAttributeThatCannotBeClearedRefusesItsRowAndTheOthersAreAdmittedAgain) {
    standin::AddFile("C:\\tree\\x.txt");
    standin::AddFile("C:\\tree\\y.txt");
    standin::SetReadOnly("C:\\tree\\x.txt", true);
    standin::SetReadOnly("C:\\tree\\y.txt", true);
    standin::SetAttributesFixed("C:\\tree\\y.txt", true);
    standin::Drop({"C:\\tree"});
    standin::AnswerBox(IDOK, kFolderQuestion);
    standin::Drop({"C:\\tree\\x.txt"});
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedWideResults(), (std::vector<std::u16string>{kRefused, kAccepted}));
    EXPECT_EQ(ListedWideReasons().at(0), u"无法清除只读属性");
    EXPECT_EQ(PendingUnits(), u"\\??\\C:\\tree\\x.txt\0\0\0"s);
    EXPECT_FALSE(standin::IsReadOnly("C:\\tree\\x.txt"));
    EXPECT_TRUE(standin::IsReadOnly("C:\\tree\\y.txt"));
    // x.txt cleared once, y.txt tried once.
    EXPECT_EQ(standin::CountCalls("SetFileInformationByHandle"), 2u);
}

}  // namespace
