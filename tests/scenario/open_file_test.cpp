// The Add button: files chosen in the open-file dialog.

#include <optional>
#include <string>
#include <vector>

#include "intake/open_file.h"
#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

using namespace std::string_literals;

namespace {

using Paths = std::vector<std::string>;

// What the dialog writes for several files of one folder: the folder, each name, then one more
// NUL.
std::string SeveralFiles(const std::string& directory, const Paths& names) {
    std::string written = directory + '\0';
    for (const std::string& name : names) {
        written += name + '\0';
    }
    return written + '\0';
}

// What the dialog writes for a single file: the path, ended by the buffer's own zeros.
std::string OneFile(const std::string& path) {
    return path;
}

void ChooseAfterAdd(const std::string& written) {
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFiles(written);
}

// Checks, when the window next waits, what the last Add left in the program's state.
void ExpectLastSelection(const std::string& joined) {
    standin::Do("look at the last selection", [joined] {
        EXPECT_EQ(g_app.lastSelection, joined);
        EXPECT_TRUE(g_app.selectionPieces.empty());
        EXPECT_FALSE(g_app.addRunning);
    });
}

class OpenFileTest : public ScenarioTest {};

TEST_F(OpenFileTest, ChosenFilesAreAppendedInDialogOrderAfterTheRowsThere) {
    DropExisting({"C:\\first.txt"});
    ChooseAfterAdd(OneFile("C:\\dir\\one.txt"));
    ExpectLastSelection("C:\\dir\\one.txt");
    ChooseAfterAdd(SeveralFiles("C:\\dir", {"c.txt", "a.txt", "b.txt"}));
    ExpectLastSelection("C:\\dir\\c.txt;C:\\dir\\a.txt;C:\\dir\\b.txt");
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\first.txt", "C:\\dir\\one.txt", "C:\\dir\\c.txt",
                                    "C:\\dir\\a.txt", "C:\\dir\\b.txt"}));
    EXPECT_EQ(ListedResults(), (Paths{"", "", "", "", ""}));
    EXPECT_EQ(standin::CountCalls("GetOpenFileNameW"), 2u);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
}

TEST_F(OpenFileTest, FilesOfARootFolderGetOneSeparator) {
    ChooseAfterAdd(SeveralFiles("C:\\", {"a.txt", "b.txt"}));
    ExpectLastSelection("C:\\a.txt;C:\\b.txt");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", "C:\\b.txt"}));
}

TEST_F(OpenFileTest, CancelChangesNothingButForgetsTheLastSelection) {
    DropExisting({"C:\\kept.txt"});
    ChooseAfterAdd(OneFile("C:\\dir\\a.txt"));
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::CancelFileDialog();
    ExpectLastSelection("");
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\kept.txt", "C:\\dir\\a.txt"}));
    // Cancel is no failure to report.
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
}

// The dialog the Add button opens: multi-select, owned by the main window, with the program's
// title, no file types, the platform's own starting folder and the two large buffers.
TEST_F(OpenFileTest, TheAddButtonAsksForAMultiSelectDialog) {
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::CancelFileDialog();
    standin::Close(IDD_MAIN);
    RunProgram();

    const std::optional<standin::OpenFileRequestW> request = standin::LastOpenFileRequestW();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400W));
    EXPECT_EQ(request->owner, standin::Dialog(IDD_MAIN));
    EXPECT_EQ(request->instance, nullptr);
    EXPECT_EQ(request->filter, u"\0\0"s);
    EXPECT_FALSE(request->hasCustomFilter);
    EXPECT_EQ(request->maxCustomFilter, 0u);
    EXPECT_EQ(request->filterIndex, 0u);
    EXPECT_EQ(request->maxFile, 98192u);
    EXPECT_TRUE(request->fileBufferZeroed);
    EXPECT_EQ(request->fileTitleLength, std::optional<size_t>(98192));
    EXPECT_EQ(request->maxFileTitle, 98192u);
    EXPECT_EQ(request->initialDirectory, std::nullopt);
    EXPECT_EQ(request->title, std::optional<std::u16string>(u"请选择要重启删除的文件"));
    // A chosen shortcut is listed itself, not the file it points to; the hook, not the dialog,
    // answers a name of no file, and grows the buffer with the selection kept in lCustData.
    EXPECT_EQ(request->flags,
              static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_NODEREFERENCELINKS |
                                 OFN_ENABLEHOOK | OFN_ENABLESIZING));
    EXPECT_EQ(request->defaultExtension, std::nullopt);
    EXPECT_NE(request->customData, 0);
    EXPECT_TRUE(request->hasHook);
    EXPECT_EQ(request->templateName, std::nullopt);
}

// The wrapper's other arguments, as another caller would use them.
TEST_F(OpenFileTest, TheWrapperPassesFilterFolderTitleAndMode) {
    standin::Do("open the dialog with every argument", [] {
        TextArray paths;
        const Text joined = SelectFilesDialog(g_app.mainWindow, "Pick", "Text|*.txt|All|*.*",
                                              "D:\\start", 2, &paths);
        const std::optional<standin::OpenFileRequestW> request = standin::LastOpenFileRequestW();
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->filter, u"Text\0*.txt\0All\0*.*\0\0"s);
        EXPECT_EQ(request->initialDirectory, std::optional<std::u16string>(u"D:\\start"));
        EXPECT_EQ(request->title, std::optional<std::u16string>(u"Pick"));
        EXPECT_EQ(request->flags,
                  static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY |
                                     OFN_NODEREFERENCELINKS | OFN_ENABLEHOOK | OFN_ENABLESIZING));
        EXPECT_EQ(joined, "D:\\x\\a;b.txt;D:\\x\\c.txt");
        EXPECT_EQ(paths, (TextArray{"D:\\x\\a;b.txt", "D:\\x\\c.txt"}));
    });
    standin::ChooseFiles(SeveralFiles("D:\\x", {"a;b.txt", "c.txt"}));
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_TRUE(ListedPaths().empty());
}

// ";" is legal in names, and a name may end with a double-byte character whose second byte has
// the value of a lead byte. Each chosen file must still be listed, and later scheduled, as the
// one path it is.
TEST_F(OpenFileTest, NamesWithSemicolonsOrADoubleByteEndingArriveWhole) {
    const Paths chosen = {"C:\\dir\\a;b.txt", "C:\\dir\\c\xb1\xed", "C:\\dir\\d.txt"};
    for (const std::string& path : chosen) {
        standin::AddFile(path);
    }
    ChooseAfterAdd(SeveralFiles("C:\\dir", {"a;b.txt", "c\xb1\xed", "d.txt"}));
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), chosen);
    EXPECT_EQ(standin::ScheduledDeletions(), chosen);
}

// The dialog refuses a selection longer than its 98192-byte buffer; one that fills the buffer
// exactly is taken whole.
// A selection the dialog could not hand over (names typed, of which the hook is not told) is
// refused with a box; one that just fits is taken.
TEST_F(OpenFileTest, ASelectionThatDoesNotFitSaysSoOneThatJustFitsIsTaken) {
    const std::string a(32728, 'a');
    const std::string b(32728, 'b');
    const std::string c(32727, 'c');
    const std::string fits = SeveralFiles("C:\\d", {a, b, c});
    ASSERT_EQ(fits.size(), 98192u);
    const std::string tooLong = SeveralFiles("C:\\d", {a, b, c + 'c'});

    ChooseAfterAdd(tooLong);
    standin::AnswerBox(IDOK, u"选中的文件过多，未添加任何文件");
    ExpectLastSelection("");
    ChooseAfterAdd(fits);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\d\\" + a, "C:\\d\\" + b, "C:\\d\\" + c}));
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
}

// A path already listed keeps its row; letter case makes a different path.
TEST_F(OpenFileTest, PathsAlreadyListedAreNotAddedAgain) {
    DropExisting({"C:\\dir\\b.txt", "C:\\DIR\\c.txt"});
    ChooseAfterAdd(SeveralFiles("C:\\dir", {"a.txt", "b.txt", "c.txt"}));
    ChooseAfterAdd(OneFile("C:\\dir\\a.txt"));
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(),
              (Paths{"C:\\dir\\b.txt", "C:\\DIR\\c.txt", "C:\\dir\\a.txt", "C:\\dir\\c.txt"}));
}

// The duplicate scan pumps messages, so a second click on Add can arrive while the first Add is
// still adding. It is ignored, the first Add finishes over its own pieces, and Add works again
// afterwards.
TEST_F(OpenFileTest, ASecondAddWhileTheFirstIsAddingIsIgnored) {
    DropExisting({"C:\\x.txt", "C:\\y.txt"});
    const TextArray chosen = {"C:\\dir\\a.txt", "C:\\dir\\b.txt", "C:\\dir\\c.txt"};
    ChooseAfterAdd(SeveralFiles("C:\\dir", {"a.txt", "b.txt", "c.txt"}));
    // The first pump after the dialog is the duplicate scan of the first chosen path.
    standin::AfterCall("GetOpenFileNameW", 1, [chosen] {
        EXPECT_TRUE(g_app.addRunning);
        EXPECT_EQ(g_app.selectionPieces, chosen);
        standin::PostClick(IDD_MAIN, IDC_ADD);
        // Once the click has been dispatched, the running Add's pieces are still its own.
        standin::AfterCall("DispatchMessageA", standin::CountCalls("DispatchMessageA") + 1,
                           [chosen] {
                               EXPECT_TRUE(g_app.addRunning);
                               EXPECT_EQ(g_app.selectionPieces, chosen);
                           });
    });
    ChooseAfterAdd(OneFile("C:\\z.txt"));
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\x.txt", "C:\\y.txt", "C:\\dir\\a.txt", "C:\\dir\\b.txt",
                                    "C:\\dir\\c.txt", "C:\\z.txt"}));

    // The injected click was dispatched by the first Add's scan, before its last row.
    std::vector<size_t> dialogs;
    std::vector<size_t> pumpedClicks;
    size_t lastAppendOfFirstAdd = 0;
    const std::vector<standin::Call>& log = standin::Log();
    for (size_t i = 0; i < log.size(); ++i) {
        const standin::Call& call = log[i];
        if (call.function == "GetOpenFileNameW") {
            dialogs.push_back(i);
        }
        if (call.function == "DispatchMessageA" && call.args.at(0) == "#1001" &&
            call.args.at(1) == std::to_string(BM_CLICK)) {
            pumpedClicks.push_back(i);
        }
        if (dialogs.size() == 1 && call.function == "SendMessageA" &&
            call.args.at(1) == std::to_string(LVM_SETITEMCOUNT)) {
            lastAppendOfFirstAdd = i;
        }
    }
    ASSERT_EQ(dialogs.size(), 2u);
    ASSERT_EQ(pumpedClicks.size(), 1u);
    EXPECT_GT(pumpedClicks[0], dialogs[0]);
    EXPECT_LT(pumpedClicks[0], lastAppendOfFirstAdd);
}

}  // namespace
