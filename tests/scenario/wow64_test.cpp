// A 32-bit program on 64-bit Windows: the system folder that the program's own view redirects,
// while the boot carries out each pending deletion in the native view. Each intake tests and
// names the file as the boot will see it, and the restart run asks for exactly the row's path.

#include <string>
#include <vector>

#include "paths/native_view.h"
#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

namespace {

using Paths = std::vector<std::string>;
using namespace std::string_literals;

const std::string kSystem32 = "C:\\Windows\\System32\\";
const std::string kSysWow64 = "C:\\Windows\\SysWOW64\\";
const std::string kSysnative = "C:\\Windows\\Sysnative\\";

class Wow64Test : public ScenarioTest {
protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        standin::SetWow64(true);
        // Namesakes in both folders, a file only in each, and two names that are a folder in one
        // view and a file in the other. All paths are native ones.
        standin::AddFile(kSystem32 + "both.dll");
        standin::AddFile(kSysWow64 + "both.dll");
        standin::AddFile(kSysWow64 + "only32.dll");
        standin::AddFile(kSystem32 + "only64.dll");
        standin::AddDirectory(kSystem32 + "native-folder");
        standin::AddFile(kSysWow64 + "native-folder");
        standin::AddFile(kSystem32 + "native-file");
        standin::AddDirectory(kSysWow64 + "native-file");
        standin::AddFile(kSystem32 + "drivers\\etc\\hosts");
    }

    static void ConfirmBatch(const std::string& text) {
        standin::Click(IDD_MAIN, IDC_BATCH_ADD);
        standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, text);
        standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
        standin::AnswerBox(IDOK, kConfirmBatch);
    }

    // Restart deletion of every row, answered with OK; the restart prompt is declined.
    static void ScheduleAll() {
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, UiText(kConfirmRestart));
    }

    // Every directory and existence test ran in the native view, as did every open of a file
    // that comes right after redirection was turned off and every change of a read-only
    // attribute: redirection off just before it and back on just after it, with nothing else
    // between. Returns the number of tests, such opens and changes.
    static size_t ExpectEveryTestInTheNativeView() {
        const std::vector<standin::Call>& log = standin::Log();
        size_t tests = 0;
        for (size_t i = 0; i < log.size(); ++i) {
            const bool nativeOpen = log[i].function == "CreateFileW" && i > 0 &&
                                    log[i - 1].function == "Wow64DisableWow64FsRedirection";
            if (log[i].function != "GetFileAttributesW" &&
                log[i].function != "SetFileAttributesW" && !nativeOpen) {
                continue;
            }
            ++tests;
            if (i == 0 || i + 1 == log.size()) {
                ADD_FAILURE() << "a test at the edge of the log";
                continue;
            }
            EXPECT_EQ(log[i - 1].function, "Wow64DisableWow64FsRedirection") << log[i].args[0];
            EXPECT_EQ(log[i + 1].function, "Wow64RevertWow64FsRedirection") << log[i].args[0];
            EXPECT_EQ(log[i + 1].args, (std::vector<std::string>{"saved state"}));
        }
        EXPECT_EQ(standin::CountCalls("Wow64DisableWow64FsRedirection"), tests);
        EXPECT_EQ(standin::CountCalls("Wow64RevertWow64FsRedirection"), tests);
        return tests;
    }
};

TEST_F(Wow64Test, TypedLinesAreTestedAndScheduledAsTheBootSeesThem) {
    ConfirmBatch(kSystem32 + "only64.dll\r\n" +       // only native: listed
                 kSystem32 + "only32.dll\r\n" +       // names nothing natively
                 kSystem32 + "both.dll\r\n" +         // the native namesake
                 kSysWow64 + "only32.dll\r\n" +       // SysWOW64 by its own name
                 kSysnative + "only64.dll\r\n" +      // no Sysnative at boot
                 kSystem32 + "native-folder\r\n" +    // a folder natively
                 kSystem32 + "native-file\r\n" +      // a file natively
                 kSystem32 + "drivers\\etc\\hosts");  // the same in both views
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    const Paths listed = {kSystem32 + "only64.dll", kSystem32 + "both.dll",
                          kSysWow64 + "only32.dll", kSystem32 + "native-file",
                          kSystem32 + "drivers\\etc\\hosts"};
    EXPECT_EQ(ListedPaths(), listed);
    EXPECT_EQ(standin::ScheduledDeletions(), listed);
    EXPECT_EQ(ListedResults(), Paths(listed.size(), kResultAccepted));
    // Eight directory tests, and an existence test for each line that is no native folder, but
    // the one through Sysnative, which the boot never has; the open that keeps where each listed
    // row's file is; then the restart run's one open of each row, which asks its volume too.
    EXPECT_EQ(ExpectEveryTestInTheNativeView(), 8u + 6u + 2u * listed.size());
    EXPECT_EQ(standin::CountCalls("GetSystemWindowsDirectoryA"), 1u);
}

TEST_F(Wow64Test, DroppedPathsStayAsTheyAreAndOnlyNativeFoldersAreSkipped) {
    standin::Drop({kSystem32 + "only64.dll", kSystem32 + "native-folder", kSystem32 + "native-file",
                   kSysWow64 + "both.dll", kSystem32 + "both.dll"});
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    const Paths listed = {kSystem32 + "only64.dll", kSystem32 + "native-file",
                          kSysWow64 + "both.dll", kSystem32 + "both.dll"};
    EXPECT_EQ(ListedPaths(), listed);
    EXPECT_EQ(standin::ScheduledDeletions(), listed);
    // Five folder tests, the open that keeps where each row's file is, and one open a row at the
    // run, which asks its volume too.
    EXPECT_EQ(ExpectEveryTestInTheNativeView(), 5u + 2u * listed.size());
}

TEST_F(Wow64Test, WhenRedirectionCannotBeTurnedOffALookUpFindsNothing) {
    standin::SetRedirectionSwitchFails(true);
    ConfirmBatch(kSystem32 + "only64.dll\r\n" + kSystem32 + "only32.dll\r\nC:\\Users\\a.txt");
    standin::Drop({kSystem32 + "native-folder"});
    standin::Close(IDD_MAIN);
    standin::AddFile("C:\\Users\\a.txt");
    RunProgram();
    // No line is taken for a file the boot may not see; the drop keeps its path.
    EXPECT_EQ(ListedPaths(), (Paths{kSystem32 + "native-folder"}));
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 0u);
    EXPECT_EQ(standin::CountCalls("Wow64RevertWow64FsRedirection"), 0u);
}

TEST_F(Wow64Test, DialogPicksAreListedAndScheduledWhereTheFilesReallyAre) {
    // Two files the dialog shows in System32; the native file by Sysnative; a shown file beside
    // a typed name of nothing, which is left out (at boot it could name a native file); a file of
    // an exempt folder.
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFiles("C:\\Windows\\System32\0both.dll\0only32.dll\0\0"s);
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFiles(kSysnative + "only64.dll");
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFiles("C:\\Windows\\System32\0only32.dll\0typed.dll\0\0"s);
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFiles(kSystem32 + "drivers\\etc\\hosts");
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    const Paths listed = {kSysWow64 + "both.dll", kSysWow64 + "only32.dll",
                          kSystem32 + "only64.dll", kSystem32 + "drivers\\etc\\hosts"};
    EXPECT_EQ(ListedPaths(), listed);
    EXPECT_EQ(standin::ScheduledDeletions(), listed);
    // The picks opened in the dialog's view: the dialog showed what its own view holds. Then,
    // natively, which file the chosen path names there (not for a Sysnative path, nor for a
    // typed name the dialog's view has no file of), and, where that is another file, which file
    // the reported path names: 2 + 2 + 1 + 2 + 0 + 1. Each row's file is opened once more as it
    // is listed, to keep where it is, and once by the restart run, which asks its volume too.
    EXPECT_EQ(ExpectEveryTestInTheNativeView(), 8u + 2u * listed.size());
}

TEST_F(Wow64Test, ShortFormsAreTheNativeFilesShortNames) {
    // Under 1252 the names have no exact form, so they come by their short ones; the namesakes'
    // short names differ.
    standin::SetCodePage(1252);
    standin::AddFileW(u"C:\\Windows\\System32\\\u6587.dll", u"NATIVE~1.DLL");
    standin::AddFileW(u"C:\\Windows\\SysWOW64\\\u6587.dll", u"WOW~1.DLL");
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFilesW(u"C:\\Windows\\System32\\\u6587.dll"s);
    standin::DropW({u"C:\\Windows\\System32\\\u6587.dll"});
    ScheduleAll();
    standin::Close(IDD_MAIN);
    RunProgram();

    const Paths listed = {kSysWow64 + "WOW~1.DLL", kSystem32 + "NATIVE~1.DLL"};
    EXPECT_EQ(ListedPaths(), listed);
    // Recorded by their final paths, long names and all, as the boot compares them.
    EXPECT_EQ(standin::ScheduledDeletionsW(),
              (std::vector<std::u16string>{u"C:\\Windows\\SysWOW64\\\u6587.dll",
                                           u"C:\\Windows\\System32\\\u6587.dll"}));
    // Each short name asked for in the native view.
    const std::vector<standin::Call>& log = standin::Log();
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].function == "GetShortPathNameW") {
            ASSERT_TRUE(i > 0 && i + 1 < log.size());
            EXPECT_EQ(log[i - 1].function, "Wow64DisableWow64FsRedirection");
            EXPECT_EQ(log[i + 1].function, "Wow64RevertWow64FsRedirection");
        }
    }
}

// Runs ShownFileLocation over paths inside a program run and gives back what it said of each.
std::vector<std::u16string> gAsked;
std::vector<std::optional<std::u16string>> gShown;

int AskWhereEachIs() {
    g_app = AppState{};
    gShown.clear();
    for (const std::u16string& path : gAsked) {
        gShown.push_back(ShownFileLocation(path));
    }
    return 0;
}

TEST_F(Wow64Test, AFileTheDialogShowedIsNamedWhereItReallyIs) {
    const std::u16string longName(300, u'n');
    standin::AddFile(kSysWow64 + std::string(300, 'n') + ".dll");
    gAsked = {
        u"C:\\Windows\\System32\\both.dll",
        u"c:\\windows\\system32\\ONLY32.DLL",
        // Nothing of that name in the dialog's view (a name typed there): which file it would
        // name at boot cannot be told, so it is left out.
        u"C:\\Windows\\System32\\only64.dll",
        u"C:\\Windows\\Sysnative\\only64.dll",
        u"C:\\Windows\\System32\\drivers\\etc\\hosts",
        // Only the letter case differs from where it is: the path as chosen.
        u"C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS",
        u"C:\\Windows\\System32\\native-file",
        u"C:\\Windows\\System32\\" + longName + u".dll",
        u"",
    };
    standin::Run(AskWhereEachIs);
    EXPECT_EQ(gShown, (std::vector<std::optional<std::u16string>>{
                          u"C:\\Windows\\SysWOW64\\both.dll",
                          u"C:\\Windows\\SysWOW64\\only32.dll",
                          std::nullopt,
                          u"C:\\Windows\\System32\\only64.dll",
                          u"C:\\Windows\\System32\\drivers\\etc\\hosts",
                          u"C:\\WINDOWS\\system32\\drivers\\etc\\HOSTS",
                          u"C:\\Windows\\SysWOW64\\native-file",
                          u"C:\\Windows\\SysWOW64\\" + longName + u".dll",
                          std::nullopt,
                      }));
    // Opened for no access, folders too, in the dialog's own view and then natively; every handle
    // closed (the stand-in fails a run that leaves one open).
    const std::vector<standin::Call> opened = standin::CallsTo("CreateFileW");
    ASSERT_FALSE(opened.empty());
    for (const standin::Call& call : opened) {
        EXPECT_EQ(call.args.at(0).substr(0, 4), "\\\\?\\");
        EXPECT_EQ(call.args.at(1), "0");
        EXPECT_EQ(call.args.at(2),
                  std::to_string(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
        EXPECT_EQ(call.args.at(3), std::to_string(OPEN_EXISTING));
        EXPECT_EQ(call.args.at(4),
                  std::to_string(FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT));
    }
    ExpectEveryTestInTheNativeView();
    EXPECT_EQ(standin::CountCalls("IsWow64Process"), 1u);
}

// The same program on 32-bit Windows, or on a system without IsWow64Process: the one look-up,
// then the plain calls and nothing else.
class PlainSystemTest : public ScenarioTest {};

void DriveEveryIntake() {
    standin::AddFile("C:\\a.txt");
    standin::AddFile(kSystem32 + "only64.dll");
    standin::AddDirectory("C:\\dir");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT,
                         "C:\\a.txt\r\nC:\\dir\r\n" + kSystem32 + "only64.dll");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kConfirmBatch);
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    standin::Drop({"C:\\dir", "C:\\b.txt"});
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    standin::Close(IDD_MAIN);
}

void ExpectNoViewCalls() {
    for (const char* function : {"Wow64DisableWow64FsRedirection", "Wow64RevertWow64FsRedirection",
                                 "GetSystemWindowsDirectoryA"}) {
        EXPECT_EQ(standin::CountCalls(function), 0u) << function;
    }
    // The plain open that keeps where each of the three rows' file is; b.txt is no file.
    EXPECT_EQ(standin::CountCalls("CreateFileW"), 3u);
    size_t filesClosed = 0;
    for (const standin::Call& call : standin::CallsTo("CloseHandle")) {
        filesClosed += call.args.at(0) != "mutex" ? 1 : 0;
    }
    EXPECT_EQ(filesClosed, 2u);
    // Three lines' and two drops' folder tests, two lines' existence tests.
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 3u + 2u + 2u);
}

TEST_F(PlainSystemTest, NothingChangesButOneLookUpOfIsWow64Process) {
    DriveEveryIntake();
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", kSystem32 + "only64.dll", "C:\\b.txt"}));
    ExpectNoViewCalls();
    EXPECT_EQ(ArgsOf("IsWow64Process"),
              (std::vector<std::vector<std::string>>{{"current process"}}));
    size_t lookUps = 0;
    for (const std::vector<std::string>& args : ArgsOf("GetProcAddress")) {
        lookUps += args.at(1) == "IsWow64Process" ? 1 : 0;
    }
    EXPECT_EQ(lookUps, 1u);
}

TEST_F(PlainSystemTest, ASystemWithoutIsWow64ProcessIsNoWow64) {
    standin::HideExport("IsWow64Process");
    DriveEveryIntake();
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", kSystem32 + "only64.dll", "C:\\b.txt"}));
    ExpectNoViewCalls();
    EXPECT_EQ(standin::CountCalls("IsWow64Process"), 0u);
}

}  // namespace
