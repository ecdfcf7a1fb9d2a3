// What other programs hand the tool, at its worst: drop entries that cannot be read, clipboards
// that cannot be opened or hold no text or an unterminated block, open-file selections that do
// not fit the buffer, MoveFileExW refusing every path, some of them, or the last one, and paths
// around the list's first read-back buffer in every code page. No crash, nothing listed that was
// not handed over, nothing lost that was, and what could not be listed named in a box.

#include <algorithm>

#include "fault_scenario.h"
#include "intake/selection_rules.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

using namespace std::string_literals;

namespace {

class BadInputTest : public FaultTest {};

TEST_F(BadInputTest, DropEntriesThatCannotBeReadAreSkippedAndTheRestArrive) {
    struct Case {
        int line;
        std::vector<std::optional<std::string>> drop;
        std::vector<std::string> listed;
    };
    const std::optional<std::string> unreadable;
    const Case cases[] = {
        {__LINE__, {unreadable}, {}},
        {__LINE__, {}, {}},
        {__LINE__, {unreadable, "C:\\a.txt", unreadable}, {"C:\\a.txt"}},
        {__LINE__, {"C:\\a.txt", "C:\\b.txt", unreadable}, {"C:\\a.txt", "C:\\b.txt"}},
        {__LINE__, {unreadable, unreadable, "C:\\b.txt"}, {"C:\\b.txt"}},
        {__LINE__,
         {unreadable, "C:\\dir", "C:\\a.txt", unreadable, "C:\\a.txt", "C:\\b.txt"},
         {"C:\\a.txt", "C:\\b.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        standin::AddDirectory("C:\\dir");
        DropPaths(record, c.drop);
        const size_t folders =
            std::count(c.drop.begin(), c.drop.end(), std::optional<std::string>("C:\\dir"));
        const size_t unreadables = std::count(c.drop.begin(), c.drop.end(), unreadable);
        if (folders != 0) {
            standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
        }
        // Then one box that names every entry that could not be listed.
        if (unreadables != 0) {
            std::u16string named = UiText(kUnlistedPathsHeading);
            for (size_t i = 0; i < unreadables; ++i) {
                named += u"\r\n\xD800";
            }
            standin::AnswerBox(IDOK, named);
        }
        // A second drop after the bad one still arrives.
        DropPaths(record, {"C:\\later.txt"});
        standin::Close(IDD_MAIN);
        RunProgram();

        std::vector<std::string> listed = c.listed;
        listed.push_back("C:\\later.txt");
        ExpectListed(listed);
        EXPECT_EQ(standin::CountCalls("DragFinish"), 2u);
        EXPECT_EQ(standin::UnfinishedDrops(), 0u);
        // Only the question about a folder, and the box that names what was left out.
        EXPECT_EQ(standin::CountCalls("MessageBoxW"), folders + (unreadables != 0 ? 1u : 0u));
        EndRun();
    }
    CountBadInput("drop entries that cannot be read", std::size(cases));
}

// Pastes what the clipboard gives into the batch dialog, checks the edit box, and confirms.
void PasteAndConfirm(RunRecord& record, const std::string& expectedEditText) {
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "C:\\typed.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("check the edit box", [expectedEditText] {
        EXPECT_EQ(standin::Inspect(standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT)).text,
                  expectedEditText);
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, UiText(kConfirmBatch));
    LookAtList(record);
    standin::Close(IDD_MAIN);
}

TEST_F(BadInputTest, ClipboardThatCannotBeOpenedOrHoldsNoUsableTextPastesOnlyWhatItHolds) {
    struct Case {
        int line;
        std::string what;
        std::function<void()> setClipboard;
        std::string text;  // what the paste may take from it
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {__LINE__,
         "held open by another program",
         [] {
             standin::SetClipboardText("C:\\a.txt");
             standin::SetClipboardBusy(true);
         },
         "",
         {}},
        {__LINE__, "no text, only other formats", [] { standin::ClearClipboard(); }, "", {}},
        {__LINE__,
         "an unterminated block",
         [] { standin::SetClipboardBlock("C:\\a.txt\r\nC:\\b.txt"); },
         "C:\\a.txt\r\nC:\\b.txt",
         {"C:\\a.txt", "C:\\b.txt"}},
        // The lone lead byte has no character: the box shows the code page's default one.
        {__LINE__,
         "an unterminated block ending in a lead byte",
         [] { standin::SetClipboardBlock("C:\\a.txt\r\nC:\\\xCE"); },
         "C:\\a.txt\r\nC:\\?",
         {"C:\\a.txt"}},
        {__LINE__,
         "a NUL inside the block",
         [] { standin::SetClipboardBlock("C:\\a.txt\0C:\\b.txt"s); },
         "C:\\a.txt",
         {"C:\\a.txt"}},
        {__LINE__, "a block of one NUL", [] { standin::SetClipboardBlock("\0"s); }, "", {}},
        {__LINE__, "an empty block", [] { standin::SetClipboardBlock(""); }, "", {}},
        {__LINE__,
         "a block that cannot be locked",
         [] {
             standin::SetClipboardText("C:\\a.txt");
             standin::SetGlobalLockFails(true);
         },
         "",
         {}},
        {__LINE__,
         "an unterminated block of one byte",
         [] { standin::SetClipboardBlock("x"); },
         "x",
         {}},
        {__LINE__,
         "an unterminated UTF-16 block",
         [] { standin::SetClipboardWideBlock(u"C:\\a.txt\r\nC:\\b.txt"); },
         "C:\\a.txt\r\nC:\\b.txt",
         {"C:\\a.txt", "C:\\b.txt"}},
        {__LINE__,
         "a NUL inside a UTF-16 block",
         [] { standin::SetClipboardWideBlock(u"C:\\a.txt\0C:\\b.txt"s); },
         "C:\\a.txt",
         {"C:\\a.txt"}},
        {__LINE__,
         "a UTF-16 block ending in a lone surrogate",
         [] { standin::SetClipboardWideBlock(u"C:\\a.txt\r\nC:\\b.txt\xd800"); },
         "C:\\a.txt\r\nC:\\b.txt?",
         {"C:\\a.txt"}},
        {__LINE__, "an empty UTF-16 block", [] { standin::SetClipboardWideBlock(u""); }, "", {}},
        {__LINE__,
         "a UTF-16 block that cannot be locked, with ANSI text beside it",
         [] {
             standin::SetClipboardWideText(u"C:\\a.txt");
             standin::SetGlobalLockFails(true);
         },
         "",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": " << c.what);
        standin::AddFile("C:\\a.txt");
        standin::AddFile("C:\\b.txt");
        standin::AddFile("C:\\typed.txt");
        c.setClipboard();
        NoteBatchText(record, c.text);
        PasteAndConfirm(record, c.text);
        RunProgram();
        ExpectListed(c.listed);
        // The stand-in fails the run if the clipboard was left open or its block locked.
        EXPECT_EQ(standin::CountCalls("OpenClipboard"), 1u);
        EndRun();
    }
    CountBadInput("clipboard contents", std::size(cases));
}

TEST_F(BadInputTest, ASelectionTooLargeForTheBufferAddsNothingAndSaysSo) {
    const std::string directory = "C:\\sel";
    // Names of up to 200 bytes, each followed by its NUL, until the selection has the size.
    const auto selectionOfSize = [&directory](size_t size) {
        std::vector<std::string> names;
        size_t length = directory.size() + 2;
        while (length < size) {
            const size_t room = size - length;
            const std::string number = std::to_string(names.size());
            const size_t nameLength = room > 201 + 20 ? 200 : room - 1;
            names.push_back(number + std::string(nameLength - number.size(), 'n'));
            length += nameLength + 1;
        }
        return SelectionBytes(directory, names);
    };
    const size_t limit = SELECTION_BUFFER_SIZE;
    const struct {
        int line;
        std::string bytes;
    } cases[] = {
        {__LINE__, selectionOfSize(limit + 1)},   {__LINE__, selectionOfSize(limit + 2)},
        {__LINE__, selectionOfSize(limit + 500)}, {__LINE__, selectionOfSize(2 * limit)},
        {__LINE__, std::string(limit + 1, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "case at line " << c.line << ": " << c.bytes.size() << " bytes");
        ASSERT_GT(c.bytes.size(), limit);
        ASSERT_LE(c.bytes.size(), 2 * limit + 1);
        DropPaths(record, {"C:\\kept.txt"});
        standin::Click(IDD_MAIN, IDC_ADD);
        standin::ChooseFiles(c.bytes);
        // Refused by the dialog, and said so.
        standin::AnswerBox(IDOK, u"选中的文件过多，未添加任何文件");
        standin::Do("check the last selection", [] { EXPECT_TRUE(g_app.lastSelection.empty()); });
        standin::Close(IDD_MAIN);
        RunProgram();
        ExpectListed({"C:\\kept.txt"});
        EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
        EndRun();
    }
    CountBadInput("open-file selections larger than the buffer", std::size(cases));
}

TEST_F(BadInputTest, ASelectionThatFillsTheBufferWithoutItsEndingAddsNothing) {
    // The dialog filled every byte, so the buffer holds no pair of NULs: no selection at all.
    const struct {
        int line;
        std::string bytes;
    } cases[] = {
        {__LINE__, std::string(SELECTION_BUFFER_SIZE, 'x')},
        {__LINE__, "C:\\" + std::string(SELECTION_BUFFER_SIZE - 4, 'y') + '\0'},
        {__LINE__, "C:\\d\0"s + std::string(SELECTION_BUFFER_SIZE - 6, 'z') + '\0'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        ASSERT_EQ(c.bytes.size(), static_cast<size_t>(SELECTION_BUFFER_SIZE));
        standin::Click(IDD_MAIN, IDC_ADD);
        standin::ChooseFiles(c.bytes);
        standin::Close(IDD_MAIN);
        RunProgram();
        ExpectListed({});
        EndRun();
    }
    CountBadInput("open-file selections without their closing NULs", std::size(cases));
}

// Rows refused for another program's renames, or all of them for a refused write of the pending
// value: the rows say so, and the restart is offered only when one was recorded.
TEST_F(BadInputTest, RefusedRowsShowInTheRowsAndDecideTheRestartPrompt) {
    const std::vector<std::string> files = {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt", "C:\\d.txt"};
    struct Case {
        int line;
        std::string what;
        std::vector<std::string> renamed;
        bool writeRefused;
        bool offersRestart;
    };
    const Case cases[] = {
        {__LINE__, "the write", {}, true, false},
        {__LINE__, "every path", files, false, false},
        {__LINE__, "some paths", {"C:\\a.txt", "C:\\c.txt"}, false, true},
        {__LINE__, "the last path", {"C:\\d.txt"}, false, true},
        {__LINE__, "all but the last path", {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}, false, true},
        {__LINE__, "the first path", {"C:\\a.txt"}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ": refusing " << c.what);
        std::vector<std::optional<std::string>> drop(files.begin(), files.end());
        DropPaths(record, drop);
        RenamePending(record, c.renamed);
        if (c.writeRefused) {
            RefuseTheWrite(record);
        }
        LookBeforeRestart(record);
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, UiText(kConfirmRestart));
        standin::Close(IDD_MAIN);
        RunProgram();

        ExpectListed(files);
        std::vector<std::string> results;
        std::vector<std::string> recorded;
        for (const std::string& file : files) {
            const bool refused =
                c.writeRefused || std::count(c.renamed.begin(), c.renamed.end(), file) != 0;
            results.push_back(refused ? kResultRefused : kResultAccepted);
            if (!refused) {
                recorded.push_back(file);
            }
        }
        EXPECT_EQ(RowResults(), results);
        EXPECT_EQ(standin::ScheduledDeletions(), recorded);
        EXPECT_EQ(standin::CountCalls("RestartDialog"), c.offersRestart ? 1u : 0u);
        // Refusals are shown in the rows only.
        EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
        EndRun();
    }
    CountBadInput("refused rows and a refused write", std::size(cases));
}

// `start` followed by the code page's widest characters and single bytes up to `length` bytes.
std::string WidePath(const std::string& start, const std::string& character, size_t length) {
    std::string path = start;
    while (path.size() + character.size() <= length) {
        path += character;
    }
    return path + std::string(length - path.size(), 'z');
}

// Every intake hands over paths a character or so either side of 260 bytes, with prefixes of each
// other; the list is read back in UTF-16, whose first read has room for 259 code units.
TEST_F(BadInputTest, PathsAtTheReadBackLimitsArriveOnceAndAreRequestedWhole) {
    const struct {
        unsigned codePage;
        std::string character;
    } pages[] = {{1252, "\xE9"}, {936, "\xCE\xC4"}, {65001, "\xF0\x9F\x98\x80"}};
    int cases = 0;
    for (const auto& page : pages) {
        SCOPED_TRACE(testing::Message() << "code page " << page.codePage);
        standin::SetCodePage(page.codePage);
        const std::string dropped = WidePath("C:\\d", page.character, 260);
        const std::string droppedPrefix = dropped.substr(0, 260 - page.character.size());
        const std::string directory = WidePath("C:\\", page.character, 200);
        const std::string chosen = WidePath("", page.character, 59);
        const std::string chosenLonger = chosen + page.character + "z";
        const std::string batched = WidePath("C:\\b", page.character, 300);
        // Its longest prefix of whole characters within 259 bytes.
        const size_t wide = page.character.size();
        const std::string batchedPrefix = batched.substr(0, 4 + (259 - 4) / wide * wide);
        for (const std::string& file : {dropped, droppedPrefix, batched, batchedPrefix}) {
            standin::AddFile(file);
        }
        const std::string batchText =
            batchedPrefix + "\r\n" + batched + "\r\n" + dropped + "\r\n" + batched + "\r\n";
        NoteBatchText(record, batchText);

        DropPaths(record, {dropped, droppedPrefix, dropped});
        standin::Click(IDD_MAIN, IDC_ADD);
        ChooseInDialog(record, directory, {chosenLonger, chosen, chosenLonger});
        standin::Click(IDD_MAIN, IDC_BATCH_ADD);
        standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, batchText);
        standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
        standin::AnswerBox(IDOK, UiText(kConfirmBatch));
        LookBeforeRestart(record);
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, UiText(kConfirmRestart));
        standin::Close(IDD_MAIN);
        RunProgram();

        const std::string chosenPath = directory + "\\" + chosen;
        const std::string chosenLongerPath = directory + "\\" + chosenLonger;
        ASSERT_EQ(chosenPath.size(), 260u);
        ExpectListed(
            {dropped, droppedPrefix, chosenLongerPath, chosenPath, batchedPrefix, batched});
        EXPECT_EQ(standin::ScheduledDeletions(), RowPaths());
        EndRun();
        ++cases;
    }
    CountBadInput("paths at the list's read-back limits", cases);
}

}  // namespace
