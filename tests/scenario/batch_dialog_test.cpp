// The batch-add dialog as the user meets it: opening from the main window, the question, the
// lines that make it into the list, the paste button and the clipboard, closing, and commands
// that arrive while a batch is still being processed.

#include <string>
#include <vector>

#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

namespace {

using Args = std::vector<std::string>;
using Paths = std::vector<std::string>;

class BatchDialogTest : public ScenarioTest {
protected:
    static HWND BatchEdit() { return standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT); }
    static std::string BatchEditText() { return standin::Inspect(BatchEdit()).text; }
    static bool MainVisible() { return standin::Inspect(standin::Dialog(IDD_MAIN)).visible; }

    // Opens the dialog, types the text and confirms it with OK.
    static void ConfirmBatch(const std::string& text) {
        standin::Click(IDD_MAIN, IDC_BATCH_ADD);
        standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, text);
        standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
        standin::AnswerBox(IDOK, kBatchQuestion);
    }

    // The calls of the functions named since the first batch dialog opened, in log order, each
    // as "function arg arg ...". The first DialogBoxParamW is the main window's.
    static std::vector<std::string> CallsSinceBatchOpened(
        const std::vector<std::string>& functions) {
        std::vector<std::string> calls;
        size_t dialogsOpened = 0;
        for (const standin::Call& call : standin::Log()) {
            if (call.function == "DialogBoxParamW") {
                ++dialogsOpened;
            }
            if (dialogsOpened < 2) {
                continue;
            }
            for (const std::string& function : functions) {
                if (call.function == function) {
                    std::string entry = call.function;
                    for (const std::string& arg : call.args) {
                        entry += " " + arg;
                    }
                    calls.push_back(entry);
                }
            }
        }
        return calls;
    }
};

TEST_F(BatchDialogTest, OpensOverAHiddenMainWindowAndAddsExistingNewFilesInLineOrder) {
    standin::AddDirectory("C:\\dir");
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    DropExisting({"C:\\old.txt"});
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Do("check the opened dialog", [] {
        const standin::WindowInfo batch = standin::Inspect(standin::Dialog(IDD_BATCH_ADD));
        EXPECT_EQ(batch.text, kBatchCaption);
        EXPECT_EQ(batch.wideText, u"批量添加文件");
        EXPECT_TRUE(batch.visible);
        EXPECT_NE(batch.smallIcon, nullptr);
        EXPECT_EQ(batch.smallIcon, batch.bigIcon);
        EXPECT_EQ(g_app.batchWindow, standin::Dialog(IDD_BATCH_ADD));
        EXPECT_FALSE(MainVisible());
        EXPECT_EQ(BatchEditText(), "");
    });
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT,
                         "C:\\b.txt\r\nC:\\dir\r\nC:\\missing.txt\r\nC:\\old.txt\r\n"
                         "C:\\a.txt\r\nC:\\b.txt\r\nC:\\A.TXT\r\n");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kBatchQuestion);
    // The folder is left out when the question that follows is declined.
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    standin::Do("check the state after the batch", [] {
        EXPECT_TRUE(MainVisible());
        EXPECT_EQ(g_app.batchWindow, nullptr);
        EXPECT_TRUE(g_app.batchLines.empty());
        EXPECT_FALSE(g_app.batchRunning);
    });
    standin::Close(IDD_MAIN);
    RunProgram();

    // Missing file and listed paths are dropped silently, the folder after its question was
    // declined; letter case makes a new path.
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\old.txt", "C:\\b.txt", "C:\\a.txt", "C:\\A.TXT"}));
    EXPECT_EQ(ListedResults(), (Paths{"", "", "", ""}));
    // Both questions are owned by the batch dialog, OK/Cancel with the question icon, no caption.
    const std::string question = std::to_string(MB_OKCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(ArgsOf("MessageBoxW"),
              (std::vector<Args>{
                  {"dialog:1100", kBatchQuestionUtf8, "", question},
                  {"dialog:1100", "  确定将文件夹及其中的全部内容加入列表 ?  ", "", question}}));
    // The dialog has no owner, and at the end it is hidden before the main window comes back.
    EXPECT_EQ(ArgsOf("DialogBoxParamW").at(1).at(2), "NULL");
    EXPECT_EQ(CallsSinceBatchOpened({"ShowWindow", "EndDialog"}),
              (std::vector<std::string>{"ShowWindow dialog:1000 0", "ShowWindow dialog:1100 0",
                                        "ShowWindow dialog:1000 5", "EndDialog dialog:1100 0",
                                        "EndDialog dialog:1000 0"}));
    EXPECT_TRUE(standin::Inspect(standin::Dialog(IDD_BATCH_ADD)).destroyed);
}

TEST_F(BatchDialogTest, LinesAreCutOnlyAtCrLfAndUsedAsTyped) {
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    standin::AddFile("\\\\?\\C:\\c.txt ");
    // A bare LF or CR joins two names into one line that names nothing; a trailing space is
    // part of the name where that names a file with the space; a tab after a name that names
    // nothing so is taken off; empty lines are skipped without asking the platform.
    ConfirmBatch(
        "C:\\a.txt\nC:\\b.txt\r\n\r\nC:\\b.txt\rC:\\a.txt\r\nC:\\c.txt \r\nC:\\a.txt\t\r\n\r\n");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\c.txt ", "C:\\a.txt"}));
    // Two questions (a folder, then anything at all) for each form tried: one for each of the
    // first three lines, two for the line with the tab.
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 10u);
}

TEST_F(BatchDialogTest, EmptyBoxStillAsksAndThenJustCloses) {
    ConfirmBatch("");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_TRUE(ListedPaths().empty());
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
    EXPECT_TRUE(standin::Inspect(standin::Dialog(IDD_BATCH_ADD)).destroyed);
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 0u);
}

TEST_F(BatchDialogTest, CancelLeavesTheDialogOpenWithItsTextAndOkThenAdds) {
    standin::AddFile("C:\\a.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\a.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDCANCEL, kBatchQuestion);
    standin::Do("check after Cancel", [] {
        EXPECT_FALSE(standin::Inspect(standin::Dialog(IDD_BATCH_ADD)).destroyed);
        EXPECT_EQ(BatchEditText(), "C:\\a.txt");
        EXPECT_FALSE(MainVisible());
        EXPECT_TRUE(ListedPaths().empty());
        EXPECT_FALSE(g_app.batchRunning);
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kBatchQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt"}));
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 2u);
}

TEST_F(BatchDialogTest, EnterAndEscapeDoNothing) {
    standin::AddFile("C:\\a.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\a.txt");
    standin::PressEnter(IDD_BATCH_ADD);
    standin::PressEscape(IDD_BATCH_ADD);
    standin::Do("check the dialog is still open", [] {
        EXPECT_FALSE(standin::Inspect(standin::Dialog(IDD_BATCH_ADD)).destroyed);
        EXPECT_EQ(BatchEditText(), "C:\\a.txt");
    });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_TRUE(ListedPaths().empty());
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
}

TEST_F(BatchDialogTest, CloseBoxDiscardsTheTextShowsTheMainWindowAndReopensEmpty) {
    standin::AddFile("C:\\a.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\a.txt");
    standin::Close(IDD_BATCH_ADD);
    standin::Do("check after the close box", [] {
        EXPECT_TRUE(MainVisible());
        EXPECT_TRUE(standin::Inspect(standin::Dialog(IDD_BATCH_ADD)).destroyed);
        EXPECT_EQ(g_app.batchWindow, nullptr);
    });
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Do("check the reopened dialog", [] {
        EXPECT_EQ(BatchEditText(), "");
        EXPECT_FALSE(MainVisible());
    });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_TRUE(ListedPaths().empty());
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 0u);
    // The main window comes back before the dialog ends; the dialog is not hidden first.
    EXPECT_EQ(CallsSinceBatchOpened({"ShowWindow", "EndDialog"}),
              (std::vector<std::string>{"ShowWindow dialog:1000 0", "ShowWindow dialog:1000 5",
                                        "EndDialog dialog:1100 0", "ShowWindow dialog:1000 0",
                                        "ShowWindow dialog:1000 5", "EndDialog dialog:1100 0",
                                        "EndDialog dialog:1000 0"}));
    // Every opening loads the icon and sets up the common controls again.
    EXPECT_EQ(standin::CountCalls("DialogBoxParamW"), 3u);
    EXPECT_EQ(standin::CountCalls("InitCommonControls"), 3u);
}

TEST_F(BatchDialogTest, PasteReplacesTheWholeTextWithTheClipboardsAndThoseLinesAreAdded) {
    standin::AddFile("C:\\a.txt");
    standin::AddFile("C:\\b.txt");
    standin::SetClipboardText("C:\\a.txt\r\nC:\\b.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "typed before\r\nC:\\typed.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("check the pasted text", [] {
        EXPECT_EQ(BatchEditText(), "C:\\a.txt\r\nC:\\b.txt");
        EXPECT_EQ(g_app.clipboardText, u"C:\\a.txt\r\nC:\\b.txt");
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, kBatchQuestion);
    // The clipboard text outlives the dialog, but a new dialog starts empty.
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Do("check the reopened dialog", [] {
        EXPECT_EQ(BatchEditText(), "");
        EXPECT_EQ(g_app.clipboardText, u"C:\\a.txt\r\nC:\\b.txt");
    });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\a.txt", "C:\\b.txt"}));
    EXPECT_EQ(standin::CountCalls("OpenClipboard"), standin::CountCalls("CloseClipboard"));
    EXPECT_EQ(standin::CountCalls("GlobalLock"), standin::CountCalls("GlobalUnlock"));
}

// Each way the clipboard can fail to give text: the paste empties the edit box.
struct EmptyClipboardCase {
    const char* name;
    void (*prepare)();
    size_t closeCalls;   // CloseClipboard only after a successful OpenClipboard
    size_t unlockCalls;  // GlobalUnlock only after a successful GlobalLock
};

class EmptyClipboardTest : public BatchDialogTest,
                           public ::testing::WithParamInterface<EmptyClipboardCase> {};

TEST_P(EmptyClipboardTest, PasteEmptiesTheEditBox) {
    standin::SetClipboardText("C:\\stale.txt");
    GetParam().prepare();
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\typed.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("check the emptied edit box", [] {
        EXPECT_EQ(BatchEditText(), "");
        EXPECT_EQ(g_app.clipboardText, u"");
    });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(standin::CountCalls("CloseClipboard"), GetParam().closeCalls);
    EXPECT_EQ(standin::CountCalls("GlobalUnlock"), GetParam().unlockCalls);
}

INSTANTIATE_TEST_SUITE_P(
    Clipboard, EmptyClipboardTest,
    ::testing::Values(EmptyClipboardCase{"NoText", [] { standin::ClearClipboard(); }, 1, 0},
                      EmptyClipboardCase{"EmptyText", [] { standin::SetClipboardText(""); }, 1, 1},
                      EmptyClipboardCase{"Busy", [] { standin::SetClipboardBusy(true); }, 0, 0},
                      EmptyClipboardCase{"LockFails", [] { standin::SetGlobalLockFails(true); }, 1,
                                         0}),
    [](const ::testing::TestParamInfo<EmptyClipboardCase>& info) { return info.param.name; });

TEST_F(BatchDialogTest, ClipboardBlockIsReadWithinItsSizeAndUpToItsFirstNul) {
    standin::SetClipboardBlock("C:\\unterminated.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("check the unterminated block", [] {
        EXPECT_EQ(BatchEditText(), "C:\\unterminated.txt");
        standin::SetClipboardBlock(std::string("C:\\a.txt\0C:\\hidden.txt", 23));
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("check the block with a NUL inside",
                [] { EXPECT_EQ(BatchEditText(), "C:\\a.txt"); });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();
}

TEST_F(BatchDialogTest, RelativeLineIsListedAsTheFullPathItWasTestedAs) {
    standin::SetCurrentDirectory("C:\\work");
    standin::AddFile("C:\\work\\a.txt");
    standin::AddFile("C:\\b.txt");
    standin::AddFile("\\\\server\\share\\c.txt");
    // The relative names of a listed file and of a file named twice are duplicates; an absolute
    // line keeps its own spelling even where the disk ignores letter case.
    ConfirmBatch(
        "a.txt\r\nC:\\work\\a.txt\r\n..\\b.txt\r\nC:\\B.TXT\r\n"
        "\\\\server\\share\\c.txt\r\nmissing.txt\r\n");
    // Moving elsewhere before the restart deletion must not change which file it asks for.
    standin::Do("change the current directory", [] { standin::SetCurrentDirectory("D:\\other"); });
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, kRestartQuestion);
    standin::Close(IDD_MAIN);
    RunProgram();

    const Paths expected = {"C:\\work\\a.txt", "C:\\b.txt", "C:\\B.TXT",
                            "\\\\server\\share\\c.txt"};
    EXPECT_EQ(ListedPaths(), expected);
    // Each as the file it names, once: C:\B.TXT is the file C:\b.txt, already recorded. The
    // share is beyond the boot's reach and is not recorded.
    EXPECT_EQ(standin::ScheduledDeletions(), (Paths{"C:\\work\\a.txt", "C:\\b.txt"}));
    EXPECT_EQ(ListedResults(),
              (Paths{kResultAccepted, kResultAccepted, kResultAccepted, kResultRefused}));
    // Absolute lines are never resolved.
    EXPECT_EQ(standin::CountCalls("GetFullPathNameA"), 3u);
}

TEST_F(BatchDialogTest, RelativeLineWithAFullPathBeyondMaxPathIsListedWhole) {
    const std::string directory = "C:\\" + std::string(300, 'd');
    standin::SetCurrentDirectory(directory);
    standin::AddFile(directory + "\\a.txt");
    ConfirmBatch("a.txt");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{directory + "\\a.txt"}));
}

// The edit box holds UTF-16, so a non-ASCII letter reaches the lines as a whole character of the
// code page, never as a lead byte that would hide the line break after it.
TEST_F(BatchDialogTest, ANonAsciiLetterKeepsTheLineBreakAfterItUnderEitherCodePage) {
    for (const auto& [codePage, cafe] : {std::pair<unsigned, std::string>{936, "C:\\caf\xa8\xa6"},
                                         std::pair<unsigned, std::string>{1252, "C:\\caf\xe9"}}) {
        SCOPED_TRACE(codePage);
        standin::Reset();
        standin::SetCodePage(codePage);
        standin::AddFileW(u"C:\\café");
        standin::AddFile("C:\\b.txt");
        standin::Click(IDD_MAIN, IDC_BATCH_ADD);
        standin::SetEditTextW(IDD_BATCH_ADD, IDC_BATCH_EDIT, u"C:\\café\r\nC:\\b.txt");
        standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
        standin::AnswerBox(IDOK, UiText(kConfirmBatch));
        standin::Close(IDD_MAIN);
        RunProgram();
        EXPECT_EQ(ListedPaths(), (Paths{cafe, "C:\\b.txt"}));
        EXPECT_TRUE(standin::Failures().empty());
    }
}

// ---------------------------------------------------------------------------------------------
// Commands that arrive through the pump while a batch is being processed. Each line is asked two
// questions (GetFileAttributesW): a folder, then anything at all; the 2k-th call is line k's last.

TEST_F(BatchDialogTest, SecondOkDuringABatchIsIgnored) {
    for (const char* path : {"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}) {
        standin::AddFile(path);
    }
    standin::AfterCall("GetFileAttributesW", 2,
                       [] { standin::PostClick(IDD_BATCH_ADD, IDC_BATCH_OK); });
    ConfirmBatch("C:\\1.txt\r\nC:\\2.txt\r\nC:\\3.txt");
    standin::Close(IDD_MAIN);
    RunProgram();
    // No second question: an unexpected box would have failed the run.
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}));
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 6u);
}

TEST_F(BatchDialogTest, PasteDuringABatchChangesTheBoxButNotTheLinesBeingAdded) {
    for (const char* path : {"C:\\1.txt", "C:\\2.txt", "C:\\3.txt", "C:\\pasted.txt"}) {
        standin::AddFile(path);
    }
    standin::AfterCall("GetFileAttributesW", 2, [] {
        standin::SetClipboardText("C:\\pasted.txt");
        standin::PostClick(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    });
    standin::AfterCall("GetFileAttributesW", 4, [] {
        EXPECT_EQ(BatchEditText(), "C:\\pasted.txt");
        EXPECT_EQ(g_app.clipboardText, u"C:\\pasted.txt");
        EXPECT_EQ(g_app.batchLines, (TextArray{"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}));
    });
    ConfirmBatch("C:\\1.txt\r\nC:\\2.txt\r\nC:\\3.txt");
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}));
    EXPECT_EQ(standin::CountCalls("GetFileAttributesW"), 6u);
}

TEST_F(BatchDialogTest, CloseDuringABatchShowsTheMainWindowAtOnceAndTheBatchStillFinishes) {
    for (const char* path : {"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}) {
        standin::AddFile(path);
    }
    bool mainVisibleMidBatch = false;
    standin::AfterCall("GetFileAttributesW", 2, [] { standin::PostClose(IDD_BATCH_ADD); });
    standin::AfterCall("GetFileAttributesW", 4,
                       [&mainVisibleMidBatch] { mainVisibleMidBatch = MainVisible(); });
    ConfirmBatch("C:\\1.txt\r\nC:\\2.txt\r\nC:\\3.txt");
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_TRUE(mainVisibleMidBatch);
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}));
    EXPECT_EQ(CallsSinceBatchOpened({"ShowWindow", "EndDialog"}),
              (std::vector<std::string>{"ShowWindow dialog:1000 0", "ShowWindow dialog:1000 5",
                                        "EndDialog dialog:1100 0", "ShowWindow dialog:1100 0",
                                        "ShowWindow dialog:1000 5", "EndDialog dialog:1100 0",
                                        "EndDialog dialog:1000 0"}));
}

TEST_F(BatchDialogTest, BatchButtonIsIgnoredWhileTheClosedDialogStillFinishesItsBatch) {
    for (const char* path : {"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}) {
        standin::AddFile(path);
    }
    standin::AfterCall("GetFileAttributesW", 2, [] { standin::PostClose(IDD_BATCH_ADD); });
    standin::AfterCall("GetFileAttributesW", 4,
                       [] { standin::PostClick(IDD_MAIN, IDC_BATCH_ADD); });
    ConfirmBatch("C:\\1.txt\r\nC:\\2.txt\r\nC:\\3.txt");
    // Once the batch has ended the button opens a dialog again.
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\1.txt", "C:\\2.txt", "C:\\3.txt"}));
    // The main window, the batch dialog, and the dialog opened after the batch.
    EXPECT_EQ(standin::CountCalls("DialogBoxParamW"), 3u);
}

}  // namespace
