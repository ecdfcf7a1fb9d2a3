// Names outside the ANSI code page, through every intake and the restart run. Windows keeps
// names in UTF-16; an ANSI program is handed them converted, and the conversion is silent: under
// 936 a "¥.txt" (U+00A5) arrives as "￥.txt" (U+FFE5), another file, and a name without any form
// arrives with "?" and names nothing. Every row must name the file the user chose: by its exact
// form, else by its short form, else not at all. Each scenario ends with a restart run, and the
// requests are compared with the chosen files by identity (the file a request's path names),
// not by text.

#include <string>
#include <vector>

#include "runtime/wide_text.h"
#include "scenario.h"
#include "state/app_state.h"

using namespace std::string_literals;

namespace {

using Paths = std::vector<std::string>;
using Files = std::vector<std::u16string>;

const std::u16string kYen = u"C:\\n\\\u00a5.txt";           // best fit under 936: kFullwidthYen
const std::u16string kFullwidthYen = u"C:\\n\\\uffe5.txt";  // best fit under 1252: kYen
const std::u16string kDoubleAcute = u"C:\\n\\\u0151.txt";   // best fit under 1252: kPlainO
const std::u16string kPlainO = u"C:\\n\\o.txt";
const std::u16string kEmoji = u"C:\\n\\\U0001F600.txt";
const std::u16string kChinese = u"C:\\n\\\u6587\u4ef6.txt";

// The files the scenarios choose from. The yen sign and the emoji have short names; the o with
// double acute has none (a volume without 8.3 names, or one made before they were turned on).
void MakeFiles() {
    standin::AddFileW(kYen, u"_~1.TXT");
    standin::AddFileW(kFullwidthYen);
    standin::AddFileW(kDoubleAcute);
    standin::AddFileW(kPlainO);
    standin::AddFileW(kEmoji, u"__~2.TXT");
    standin::AddFileW(kChinese);
}

class NamesTest : public ScenarioTest {
protected:
    static void RestartRun() {
        standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
        standin::AnswerBox(IDOK, UiText(kConfirmRestart));
        standin::Close(IDD_MAIN);
    }

    // The files the accepted requests name, in order; a request that names nothing shows as
    // "<nothing>".
    static Files ScheduledFiles() {
        Files files;
        for (const std::u16string& path : standin::ScheduledDeletionsW()) {
            files.push_back(standin::FileNamedByW(path).value_or(u"<nothing>"));
        }
        return files;
    }

    // The files the rows name, in order.
    static Files ListedFiles() {
        Files files;
        for (const std::string& path : ListedPaths()) {
            files.push_back(standin::FileNamedBy(path).value_or(u"<nothing>"));
        }
        return files;
    }
};

// Dropped files of the three kinds under 936: an exact name is listed as before, a name that best
// fit would change and a name without any form come by their short names, and a name without a
// short name is not listed, and named in a box after the drop. The restart run asks for exactly
// those files.
TEST_F(NamesTest, DroppedNamesUnder936ThenTheRestartRun) {
    MakeFiles();
    standin::AddDirectoryW(u"C:\\n\\\U0001F4C1", u"__~3");
    standin::DropW({kChinese, kYen, kDoubleAcute, kEmoji, kYen, u"C:\\n\\\U0001F4C1"});
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    standin::AnswerBox(IDOK, UiText(kUnlistedPathsHeading) + u"\r\n" + kDoubleAcute);
    RestartRun();
    RunProgram();

    EXPECT_EQ(ListedPaths(),
              (Paths{"C:\\n\\\xce\xc4\xbc\xfe.txt", "C:\\n\\_~1.TXT", "C:\\n\\__~2.TXT"}));
    EXPECT_EQ(ListedResults(), (Paths{kResultAccepted, kResultAccepted, kResultAccepted}));
    EXPECT_EQ(ScheduledFiles(), (Files{kChinese, kYen, kEmoji}));
    // The folder was tested by its short name and skipped; nothing asked about the best fit.
    for (const standin::Call& call : standin::CallsTo("GetFileAttributesW")) {
        EXPECT_EQ(call.args.at(0).find("\uffe5"), std::string::npos) << call.args.at(0);
    }
    EXPECT_GT(standin::CountCalls("GetFileAttributesW"), 0u);
    EXPECT_EQ(standin::UnfinishedDrops(), 0u);
}

// Under 1252 the yen sign is exact and the fullwidth one is not; "ő.txt" would arrive as
// "o.txt", another file that exists.
TEST_F(NamesTest, DroppedNamesUnder1252ThenTheRestartRun) {
    standin::SetCodePage(1252);
    MakeFiles();
    standin::AddFileW(kDoubleAcute, u"_~4.TXT");
    standin::DropW({kYen, kFullwidthYen, kDoubleAcute, kPlainO, kChinese});
    standin::AnswerBox(
        IDOK, UiText(kUnlistedPathsHeading) + u"\r\n" + kFullwidthYen + u"\r\n" + kChinese);
    RestartRun();
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\n\\\xa5.txt", "C:\\n\\_~4.TXT", "C:\\n\\o.txt"}));
    EXPECT_EQ(ScheduledFiles(), (Files{kYen, kDoubleAcute, kPlainO}));
}

// Under UTF-8 as the system's code page every character has its form.
TEST_F(NamesTest, DroppedNamesUnderUtf8AreAllExact) {
    standin::SetCodePage(CP_UTF8);
    MakeFiles();
    standin::DropW({kYen, kEmoji, kDoubleAcute});
    RestartRun();
    RunProgram();
    EXPECT_EQ(ListedPaths(),
              (Paths{"C:\\n\\\xc2\xa5.txt", "C:\\n\\\xf0\x9f\x98\x80.txt", "C:\\n\\\xc5\x91.txt"}));
    EXPECT_EQ(ScheduledFiles(), (Files{kYen, kEmoji, kDoubleAcute}));
    EXPECT_EQ(standin::CountCalls("GetShortPathNameW"), 0u);
}

// The open-file dialog: names with an exact form give the rows and the last selection of the
// ANSI dialog; the others come by their short forms or are left out.
TEST_F(NamesTest, NamesChosenInTheDialogThenTheRestartRun) {
    MakeFiles();
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFilesW(u"C:\\n\0\u6587\u4ef6.txt\0\u00a5.txt\0\u0151.txt\0\U0001F600.txt\0\0"s);
    standin::Do("look at the last selection", [] {
        EXPECT_EQ(g_app.lastSelection,
                  "C:\\n\\\xce\xc4\xbc\xfe.txt;C:\\n\\_~1.TXT;C:\\n\\__~2.TXT");
    });
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFilesW(u"C:\\n\\\uffe5.txt"s);
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFilesW(u"C:\\n\\\u0151.txt"s);
    standin::Do("look at the last selection", [] { EXPECT_EQ(g_app.lastSelection, ""); });
    RestartRun();
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\n\\\xce\xc4\xbc\xfe.txt", "C:\\n\\_~1.TXT",
                                    "C:\\n\\__~2.TXT", "C:\\n\\\xa3\xa4.txt"}));
    EXPECT_EQ(ScheduledFiles(), (Files{kChinese, kYen, kEmoji, kFullwidthYen}));
}

// A file chosen twice, once by each of its names' forms, is one file; the byte-exact duplicate
// rule sees the same converted text both times.
TEST_F(NamesTest, TheSameFileDroppedAndChosenIsListedOnce) {
    MakeFiles();
    standin::DropW({kYen});
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::ChooseFilesW(u"C:\\n\\\u00a5.txt"s);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ListedPaths(), (Paths{"C:\\n\\_~1.TXT"}));
}

// "粘贴" puts the UTF-16 text into the box as it was copied; on "确定" a line with a character
// without an exact form is skipped, never tested by its best fit, so it names no file.
TEST_F(NamesTest, PastedNamesArriveAsCopiedAndThoseWithoutAFormAreSkipped) {
    MakeFiles();
    const std::u16string copied =
        u"C:\\n\\\u00a5.txt\r\nC:\\n\\\u6587\u4ef6.txt\r\n"
        u"C:\\n\\\U0001F600.txt\r\nC:\\n\\\uffe5.txt";
    standin::SetClipboardWideText(copied);
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("look at the box", [copied] {
        EXPECT_EQ(standin::Inspect(standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT)).wideText,
                  copied);
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, UiText(kConfirmBatch));
    RestartRun();
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\n\\\xce\xc4\xbc\xfe.txt", "C:\\n\\\xa3\xa4.txt"}));
    EXPECT_EQ(ScheduledFiles(), (Files{kChinese, kFullwidthYen}));
    EXPECT_EQ(ArgsOf("GetClipboardData"), (std::vector<std::vector<std::string>>{{"13"}}));
}

// Text typed into the box is read in UTF-16: a line with a character that has no exact form is
// skipped without a question to the platform, whatever its best fit would name.
TEST_F(NamesTest, TypedLinesWithACharacterWithoutAFormAreSkippedThenTheRestartRun) {
    standin::SetCodePage(1252);
    MakeFiles();
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditTextW(IDD_BATCH_ADD, IDC_BATCH_EDIT,
                          u"C:\\n\\\u0151.txt\r\nC:\\n\\\u00a5.txt\r\nC:\\n\\\uffe5.txt\r\n"
                          u"C:\\n\\o.txt");
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, UiText(kConfirmBatch));
    RestartRun();
    RunProgram();

    EXPECT_EQ(ListedPaths(), (Paths{"C:\\n\\\xa5.txt", "C:\\n\\o.txt"}));
    EXPECT_EQ(ScheduledFiles(), (Files{kYen, kPlainO}));
    // Asked twice each by the batch, opened as each is listed and again by the restart run, in
    // UTF-16 (logged as UTF-8); the lines without a form never.
    const std::string yen = "\\\\?\\C:\\n\\\u00a5.txt";
    const std::string plain = "\\\\?\\C:\\n\\o.txt";
    EXPECT_EQ(ArgsOf("GetFileAttributesW"),
              (std::vector<std::vector<std::string>>{{yen}, {yen}, {plain}, {plain}}));
    std::vector<std::string> opened;
    for (const std::vector<std::string>& args : ArgsOf("CreateFileW")) {
        // The drive's own device is opened too, once, to ask its bus.
        if (args.at(0) != "\\\\.\\C:") {
            opened.push_back(args.at(0));
        }
    }
    // Listed, then surveyed: once each, the volume asked of the same handle.
    EXPECT_EQ(opened, (std::vector<std::string>{yen, plain, yen, plain}));
}

// Without UTF-16 text on the clipboard the ANSI text is read as before.
TEST_F(NamesTest, AClipboardWithoutUtf16TextIsReadAsAnsi) {
    standin::SetClipboardText("C:\\n\\\xce\xc4\xbc\xfe.txt");
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    standin::Do("look at the box", [] {
        EXPECT_EQ(standin::Inspect(standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT)).text,
                  "C:\\n\\\xce\xc4\xbc\xfe.txt");
    });
    standin::Close(IDD_BATCH_ADD);
    standin::Close(IDD_MAIN);
    RunProgram();
    EXPECT_EQ(ArgsOf("GetClipboardData"), (std::vector<std::vector<std::string>>{{"13"}, {"1"}}));
}

}  // namespace
