// The stand-in platform as a test instrument: its queue, dialog manager, controls, scripted user,
// call log and the answers of its system calls. Scenario tests trust these; here they are proven.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "standin/harness.h"

using namespace std::string_literals;

namespace {

using Args = std::vector<std::string>;

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A dialog procedure that records what reaches it and ends the dialog on the command kEndCommand.
std::vector<Seen> gSeen;
constexpr int kEndCommand = 4242;
bool gHandleClose = true;

INT_PTR RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    gSeen.push_back({message, wParam, lParam});
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == kEndCommand) {
                EndDialog(dialog, static_cast<INT_PTR>(lParam));
            }
            return TRUE;
        case WM_CLOSE:
            if (gHandleClose) {
                EndDialog(dialog, 7);
            }
            return gHandleClose ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

std::vector<UINT> SeenMessages() {
    std::vector<UINT> messages;
    for (const Seen& seen : gSeen) {
        messages.push_back(seen.message);
    }
    return messages;
}

INT_PTR OpenBatchDialog(HWND owner = nullptr, LPARAM param = 0) {
    return DialogBoxParamW(GetModuleHandleA(nullptr), MAKEINTRESOURCEW(IDD_BATCH_ADD), owner,
                           RecordingProc, param);
}

// Ends the open batch dialog through the recording procedure, with the given result.
void EndBatchDialog(INT_PTR result) {
    standin::Do("end the dialog", [result] {
        PostMessageA(standin::Dialog(IDD_BATCH_ADD), WM_COMMAND, kEndCommand,
                     static_cast<LPARAM>(result));
    });
}

class StandinTest : public ::testing::Test {
protected:
    void SetUp() override {
        standin::Reset();
        gSeen.clear();
        gHandleClose = true;
    }
};

// ---------------------------------------------------------------------------------------------
// The queue

TEST_F(StandinTest, QueueKeepsOrderAndPeekRemovesOnlyWhenAsked) {
    PostMessageA(nullptr, WM_USER + 1, 1, 0);
    PostMessageA(nullptr, WM_USER + 2, 2, 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(StandinTest, WmQuitStaysForWhoeverLooksNextAndEndsGetMessage) {
    PostMessageA(nullptr, WM_QUIT, 5, 0);
    MSG msg{};
    // A pump that stops at WM_QUIT leaves it in place.
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(StandinTest, GetMessageOnAnEmptyQueueWaitsForTheScriptOrFails) {
    standin::Do("post", [] { PostMessageA(nullptr, WM_USER, 9, 0); });
    standin::RunResult result = standin::Run([] {
        MSG msg{};
        GetMessageA(&msg, nullptr, 0, 0);
        EXPECT_EQ(msg.wParam, 9u);
        GetMessageA(&msg, nullptr, 0, 0);  // nothing left to do: the scenario cannot go on
        ADD_FAILURE() << "GetMessageA returned without input";
        return 0;
    });
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(standin::Failures(), (Args{"GetMessageA waits with an empty script"}));
}

TEST_F(StandinTest, AfterCallPostsRightAfterTheCountedCallBeforeTheNextLook) {
    standin::AfterCall("Sleep", 2, [] { PostMessageA(nullptr, WM_USER, 0, 0); });
    EXPECT_EQ(standin::PendingActions(), 1u);
    standin::Run([] {
        MSG msg{};
        Sleep(0);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        Sleep(0);
        EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
        return 0;
    });
    EXPECT_EQ(standin::PendingActions(), 0u);
}

// ---------------------------------------------------------------------------------------------
// The dialog manager

TEST_F(StandinTest, ModalDialogRunsInitThenScriptedInputUntilEndDialog) {
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::Do("check the running dialog", [] {
        const standin::WindowInfo info = standin::Inspect(standin::Dialog(IDD_BATCH_ADD));
        EXPECT_TRUE(info.visible);
        EXPECT_FALSE(info.destroyed);
        EXPECT_EQ(info.className, "#32770");
    });
    EndBatchDialog(31);
    standin::RunResult result =
        standin::Run([] { return static_cast<int>(OpenBatchDialog(nullptr, 77)); });
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(result.exitCode, 31);

    ASSERT_GE(gSeen.size(), 3u);
    EXPECT_EQ(gSeen[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(gSeen[0].lParam, 77);
    // The first tab stop, the edit box, is offered the focus.
    EXPECT_EQ(reinterpret_cast<HWND>(gSeen[0].wParam),
              standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT));
    // The button's click reaches the dialog as BN_CLICKED from that button.
    EXPECT_EQ(gSeen[1].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(gSeen[1].wParam, MAKEWPARAM(IDC_BATCH_OK, BN_CLICKED));
    EXPECT_EQ(gSeen[1].lParam,
              reinterpret_cast<LPARAM>(standin::Control(IDD_BATCH_ADD, IDC_BATCH_OK)));

    const standin::WindowInfo after = standin::Inspect(standin::Dialog(IDD_BATCH_ADD));
    EXPECT_TRUE(after.destroyed);
    EXPECT_FALSE(after.visible);
    EXPECT_EQ(standin::PendingActions(), 0u);
    EXPECT_TRUE(standin::Failures().empty());
    // Internal deliveries are not program calls.
    EXPECT_EQ(standin::CountCalls("SendMessageA"), 0u);
    EXPECT_EQ(standin::CountCalls("DispatchMessageA"), 0u);
}

TEST_F(StandinTest, ModalLoopWithAnEmptyScriptFailsAndAborts) {
    standin::RunResult result = standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(standin::Failures(), (Args{"modal loop waits with an empty script"}));
    EXPECT_EQ(SeenMessages(), (std::vector<UINT>{WM_INITDIALOG}));
}

TEST_F(StandinTest, ModalLoopRefusesAScriptThatAnswersABoxInstead) {
    standin::AnswerBox(IDOK);
    standin::RunResult result = standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    EXPECT_TRUE(result.aborted);
    ASSERT_EQ(standin::Failures().size(), 1u);
    EXPECT_NE(standin::Failures()[0].find("answer a message box"), std::string::npos);
    EXPECT_EQ(standin::PendingActions(), 1u);
}

TEST_F(StandinTest, UnhandledCloseBecomesCancelAndTheOwnerIsDisabledMeanwhile) {
    gHandleClose = false;
    standin::Close(IDD_BATCH_ADD);
    standin::Do("owner disabled",
                [] { EXPECT_FALSE(standin::Inspect(standin::Dialog(IDD_MAIN)).enabled); });
    EndBatchDialog(0);
    standin::Close(IDD_MAIN);
    standin::Run([] {
        // The main template, with a procedure that opens the batch dialog owned by it.
        return static_cast<int>(DialogBoxParamW(
            nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
            [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
                if (message == WM_INITDIALOG) {
                    PostMessageA(dialog, WM_USER, 0, 0);
                } else if (message == WM_USER) {
                    OpenBatchDialog(dialog);
                    EXPECT_TRUE(standin::Inspect(dialog).enabled);
                } else if (message == WM_CLOSE) {
                    EndDialog(dialog, 0);
                }
                return TRUE;
            },
            0));
    });
    EXPECT_TRUE(standin::Failures().empty());
    std::vector<UINT> messages = SeenMessages();
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[1], static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(messages[2], static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(LOWORD(gSeen[2].wParam), IDCANCEL);
}

TEST_F(StandinTest, DisabledButtonsAndButtonsOfDisabledDialogsDoNotClick) {
    standin::Do("disable the OK button",
                [] { EnableWindow(standin::Control(IDD_BATCH_ADD, IDC_BATCH_OK), FALSE); });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::Do("disable the dialog instead", [] {
        EnableWindow(standin::Control(IDD_BATCH_ADD, IDC_BATCH_OK), TRUE);
        EnableWindow(standin::Dialog(IDD_BATCH_ADD), FALSE);
    });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::Do("enable it", [] { EnableWindow(standin::Dialog(IDD_BATCH_ADD), TRUE); });
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE);
    EndBatchDialog(0);
    standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    std::vector<WORD> commands;
    for (const Seen& seen : gSeen) {
        if (seen.message == WM_COMMAND) {
            commands.push_back(LOWORD(seen.wParam));
        }
    }
    EXPECT_EQ(commands, (std::vector<WORD>{IDC_BATCH_PASTE, kEndCommand}));
    EXPECT_EQ(standin::CallsTo("EnableWindow")[0].args, (Args{"#1102", "0"}));
}

TEST_F(StandinTest, SubclassingReplacesTheProcedureAndForwardingReachesTheDialogProcedure) {
    static WNDPROC previous = nullptr;
    static std::vector<UINT> intercepted;
    intercepted.clear();
    standin::Do("subclass and send", [] {
        HWND dialog = standin::Dialog(IDD_BATCH_ADD);
        previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            dialog, GWLP_WNDPROC,
            reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
                intercepted.push_back(m);
                return m == WM_USER ? 99 : CallWindowProcW(previous, w, m, wp, lp);
            })));
        EXPECT_EQ(previous, &DefDlgProcA);
        EXPECT_EQ(SendMessageA(dialog, WM_USER, 0, 0), 99);
        SetWindowTextW(dialog, u"caption");
        EXPECT_EQ(standin::Inspect(dialog).text, "caption");
    });
    EndBatchDialog(0);
    standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    EXPECT_EQ(intercepted, (std::vector<UINT>{WM_USER, WM_SETTEXT, WM_COMMAND, WM_DESTROY}));
    // WM_USER stopped at the subclass; the rest went on to the dialog procedure.
    EXPECT_EQ(SeenMessages(),
              (std::vector<UINT>{WM_INITDIALOG, WM_SETTEXT, WM_COMMAND, WM_DESTROY}));
}

// Outside 936 a dialog keeps its templates' Chinese texts and any W text whole; only an ANSI
// reader sees them as question marks.
TEST_F(StandinTest, WideTextsStayWholeWhateverTheCodePage) {
    standin::SetCodePage(1252);
    standin::Do("set texts", [] {
        HWND dialog = standin::Dialog(IDD_BATCH_ADD);
        HWND ok = standin::Control(IDD_BATCH_ADD, IDC_BATCH_OK);
        EXPECT_EQ(standin::Inspect(ok).wideText, u"确定");
        EXPECT_EQ(standin::Inspect(ok).text, "??");
        EXPECT_TRUE(SetWindowTextW(dialog, u"批量 caf\u00e9"));
        EXPECT_EQ(standin::Inspect(dialog).wideText, u"批量 caf\u00e9");
        EXPECT_EQ(standin::Inspect(dialog).text, "?? caf\xe9");
    });
    EndBatchDialog(0);
    standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(standin::CallsTo("SetWindowTextW").at(0).args, (Args{"dialog:1100", "批量 café"}));
    EXPECT_EQ(standin::CallsTo("DialogBoxParamW").at(0).args.at(1), std::to_string(IDD_BATCH_ADD));
}

// ---------------------------------------------------------------------------------------------
// The list view

class ListViewTest : public StandinTest {
protected:
    // The cells the dialog answers for, by row and column.
    static inline std::vector<std::vector<std::u16string>> cells;

    static INT_PTR CALLBACK AnsweringProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == LVN_GETDISPINFOW) {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            const size_t row = static_cast<size_t>(item.iItem);
            const size_t column = static_cast<size_t>(item.iSubItem);
            const std::u16string text = row < cells.size() && column < cells[row].size()
                                            ? cells[row][column].substr(0, item.cchTextMax - 1)
                                            : std::u16string();
            std::copy(text.begin(), text.end(), item.pszText);
            item.pszText[text.size()] = 0;
        }
        if (message == WM_CLOSE) {
            EndDialog(dialog, 0);
        }
        return message == WM_CLOSE;
    }

    // A list control in a dialog that stays open for the whole test.
    template <typename Body>
    void WithList(Body body) {
        standin::Do("work on the list",
                    [body] { body(standin::Control(IDD_MAIN, IDC_FILE_LIST)); });
        standin::Close(IDD_MAIN);
        standin::RunResult result = standin::Run([] {
            return static_cast<int>(
                DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr, AnsweringProc, 0));
        });
        EXPECT_FALSE(result.aborted);
        EXPECT_TRUE(standin::Failures().empty());
    }
};

// An owner-data list keeps each row's state: growing keeps it, a deletion moves the rows below
// up with theirs, and the focus goes with its row.
TEST_F(ListViewTest, FocusMovesWithItsRowAndDiesWithIt) {
    standin::Do("fill", [] {
        SendMessageA(standin::Control(IDD_MAIN, IDC_FILE_LIST), LVM_SETITEMCOUNT, 3, 0);
    });
    standin::FocusRow(1);
    WithList([](HWND list) {
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
        SendMessageA(list, LVM_SETITEMCOUNT, 4, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
        EXPECT_FALSE(SendMessageA(list, LVM_DELETEITEM, 4, 0));
        EXPECT_TRUE(SendMessageA(list, LVM_DELETEITEM, 0, 0));
        EXPECT_EQ(standin::InspectList(list).focusedRow, 0);
        EXPECT_TRUE(SendMessageA(list, LVM_DELETEITEM, 0, 0));
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_TRUE(SendMessageA(list, LVM_DELETEALLITEMS, 0, 0));
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    });
}

// The cells a paint asked for are kept whole, a long one asked again with more room; an ANSI
// reader sees them in the code page.
TEST_F(ListViewTest, ExtendedStylesFollowTheMaskAndPaintedCellsStayWhole) {
    standin::SetCodePage(1252);
    const std::u16string longPath = u"C:\\" + std::u16string(300, u'\u00e9');
    cells = {{u"C:\\caf\u00e9", u"成功"}, {longPath, u""}};
    WithList([](HWND list) {
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, 0xFFFF);
        EXPECT_EQ(standin::InspectList(list).extendedStyle,
                  static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
        SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);  // mask 0: all
        EXPECT_EQ(standin::InspectList(list).extendedStyle, static_cast<DWORD>(LVS_EX_CHECKBOXES));
        EXPECT_EQ(standin::InspectList(list).extendedStyleCalls.size(), 3u);

        for (WCHAR header : {u'X', u'Y'}) {
            WCHAR text[] = u"结果";
            text[1] = header;
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = 80;
            column.pszText = text;
            SendMessageW(list, LVM_INSERTCOLUMNW, 9, reinterpret_cast<LPARAM>(&column));
            text[0] = u'Z';
        }
        const standin::ListColumn kept = standin::InspectList(list).columns.at(0);
        EXPECT_EQ(kept.wideHeader, u"结X");
        EXPECT_EQ(kept.header, "?X");
        EXPECT_EQ(kept.width, 80);
        SendMessageA(list, LVM_SETITEMCOUNT, 2, 0);
    });
    const std::vector<standin::ListRow> rows =
        standin::InspectList(standin::Control(IDD_MAIN, IDC_FILE_LIST)).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells, (Args{"C:\\caf\xe9", "??"}));
    EXPECT_EQ(rows[0].wideCells, (std::vector<std::u16string>{u"C:\\caf\u00e9", u"成功"}));
    EXPECT_EQ(rows[1].wideCells, (std::vector<std::u16string>{longPath, u""}));
}

// ---------------------------------------------------------------------------------------------
// Boxes and the open-file dialog

TEST_F(StandinTest, MessageBoxesTakeTheirAnswersInOrderAndRefuseSurprises) {
    standin::AnswerBox(IDCANCEL, "first");
    standin::AnswerBox(IDOK);
    standin::Run([] {
        EXPECT_EQ(MessageBoxW(nullptr, u"first", u"", MB_OKCANCEL), IDCANCEL);
        EXPECT_EQ(MessageBoxW(nullptr, u"second", nullptr, MB_OK), IDOK);
        MessageBoxW(nullptr, u"third", u"c", MB_OK);
        ADD_FAILURE() << "an unexpected box returned";
        return 0;
    });
    ASSERT_EQ(standin::Failures().size(), 1u);
    EXPECT_NE(standin::Failures()[0].find("\"third\""), std::string::npos);
    EXPECT_EQ(standin::CallsTo("MessageBoxW")[1].args, (Args{"NULL", "second", "NULL", "0"}));

    standin::Reset();
    standin::AnswerBox(IDOK, "expected");
    EXPECT_TRUE(standin::Run([] { return MessageBoxW(nullptr, u"shown", u"", 0); }).aborted);
    EXPECT_NE(standin::Failures().at(0).find("expected"), std::string::npos);
}

// A W box is matched in UTF-16, or by an expected text in the selected code page; its texts are
// logged in UTF-8.
TEST_F(StandinTest, WideMessageBoxesMatchTheirTextWhateverTheCodePage) {
    standin::SetCodePage(1252);
    standin::AnswerBox(IDCANCEL, u"  确定 ?  ");
    standin::AnswerBox(IDOK, "caf\xe9");
    standin::Run([] {
        EXPECT_EQ(MessageBoxW(nullptr, u"  确定 ?  ", u"", MB_OKCANCEL), IDCANCEL);
        EXPECT_EQ(MessageBoxW(nullptr, u"caf\u00e9", nullptr, MB_OK), IDOK);
        return 0;
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(standin::CallsTo("MessageBoxW")[0].args, (Args{"NULL", "  确定 ?  ", "", "1"}));
    EXPECT_EQ(standin::CallsTo("MessageBoxW")[1].args.at(2), "NULL");

    // Question marks are not the Chinese text they replaced.
    standin::Reset();
    standin::SetCodePage(1252);
    standin::AnswerBox(IDOK, u"  确定 ?  ");
    EXPECT_TRUE(standin::Run([] { return MessageBoxW(nullptr, u"  ?? ?  ", u"", 0); }).aborted);
    EXPECT_NE(standin::Failures().at(0).find("  确定 ?  "), std::string::npos);
}

char16_t gFile[16];
char16_t gFileTitle[] = u"   ";

// A request for at most 16 characters of selection.
OPENFILENAMEW SmallRequest() {
    std::memset(gFile, 0, sizeof gFile);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.lpstrFilter = u"Text\0*.txt\0\0";
    ofn.lpstrFile = gFile;
    ofn.nMaxFile = 16;
    ofn.lpstrFileTitle = gFileTitle;
    ofn.nMaxFileTitle = 3;
    ofn.lpstrTitle = u"pick";
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    return ofn;
}

TEST_F(StandinTest, OpenFileDialogRecordsTheRequestAndAnswersAsScripted) {
    standin::ChooseFilesW(u"C:\\d\0a\0b\0\0"s);
    standin::ChooseFilesW(std::u16string(17, u'x'));
    standin::CancelFileDialog();
    standin::Run([] {
        OPENFILENAMEW ofn = SmallRequest();
        EXPECT_TRUE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(std::u16string(gFile, 10), u"C:\\d\0a\0b\0\0"s);
        EXPECT_EQ(ofn.nFileOffset, 5);

        ofn = SmallRequest();
        EXPECT_FALSE(GetOpenFileNameW(&ofn));  // 17 characters do not fit into 16
        EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));

        ofn = SmallRequest();
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(CommDlgExtendedError(), 0u);

        // A hook flag without a hook: refused before any dialog shows, so no answer is used.
        ofn = SmallRequest();
        ofn.Flags |= OFN_ENABLEHOOK;
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_NOHOOK));
        return 0;
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(standin::PendingActions(), 0u);
    const std::optional<standin::OpenFileRequestW> last = standin::LastOpenFileRequestW();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->structSize, OPENFILENAME_SIZE_VERSION_400W);
    EXPECT_EQ(last->filter, u"Text\0*.txt\0\0"s);
    EXPECT_TRUE(last->fileBufferZeroed);
    EXPECT_EQ(last->fileTitleLength, 3u);
    EXPECT_EQ(last->title, u"pick");
    EXPECT_EQ(last->initialDirectory, std::nullopt);
    EXPECT_EQ(last->flags,
              static_cast<DWORD>(OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_ENABLEHOOK));
}

TEST_F(StandinTest, OpenFileDialogWithoutAnAnswerFails) {
    standin::Close(IDD_MAIN);
    standin::RunResult result = standin::Run([] {
        char16_t file[8] = {};
        OPENFILENAMEW ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.lpstrFile = file;
        ofn.nMaxFile = 8;
        return GetOpenFileNameW(&ofn);
    });
    EXPECT_TRUE(result.aborted);
    ASSERT_EQ(standin::Failures().size(), 1u);
    EXPECT_NE(standin::Failures()[0].find("open-file dialog"), std::string::npos);
    EXPECT_EQ(standin::PendingActions(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Drops

TEST_F(StandinTest, DragQueryFileAnswersEachFormAndDragFinishEndsTheDrop) {
    static std::vector<UINT> answers;
    static std::u16string copied;
    answers.clear();
    standin::Drop({"C:\\dir\\long-name.txt", std::nullopt});
    standin::Close(IDD_MAIN);
    standin::Run([] {
        return static_cast<int>(DialogBoxParamW(
            nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
            [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                if (message == WM_INITDIALOG) {
                    DragAcceptFiles(dialog, TRUE);
                } else if (message == WM_DROPFILES) {
                    HDROP drop = reinterpret_cast<HDROP>(wParam);
                    char16_t buffer[8];
                    answers.push_back(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
                    answers.push_back(DragQueryFileW(drop, 0, nullptr, 0));
                    answers.push_back(DragQueryFileW(drop, 0, buffer, 8));
                    copied = buffer;
                    answers.push_back(DragQueryFileW(drop, 1, buffer, 8));
                    answers.push_back(DragQueryFileW(drop, 2, buffer, 8));
                    DragFinish(drop);
                    EXPECT_EQ(standin::UnfinishedDrops(), 0u);
                    DragQueryFileW(drop, 0, buffer, 8);
                    DragFinish(drop);
                } else if (message == WM_CLOSE) {
                    EndDialog(dialog, 0);
                }
                return TRUE;
            },
            0));
    });
    EXPECT_EQ(answers, (std::vector<UINT>{2, 20, 7, 0, 0}));
    EXPECT_EQ(copied, u"C:\\dir\\");
    EXPECT_EQ(standin::Failures(), (Args{"DragQueryFileW on drop:1 after DragFinish",
                                         "DragFinish called twice on drop:1"}));
}

TEST_F(StandinTest, DropsNeedAWindowThatAcceptsFiles) {
    standin::Drop({"C:\\a.txt"});
    standin::RunResult result = standin::Run([] {
        return static_cast<int>(DialogBoxParamW(
            nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0));
    });
    EXPECT_TRUE(result.aborted);
    EXPECT_NE(standin::Failures().at(0).find("does not accept dropped files"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------
// The clipboard

// Reads CF_TEXT the careful way: bounded by the block's size.
std::optional<std::string> ReadClipboard() {
    if (!OpenClipboard(nullptr)) {
        return std::nullopt;
    }
    std::optional<std::string> text;
    if (HGLOBAL data = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT))) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = std::string(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

TEST_F(StandinTest, ClipboardAnswersEachOfItsStates) {
    standin::Run([] {
        EXPECT_EQ(ReadClipboard(), std::nullopt);  // no text at all
        standin::SetClipboardText("hello");
        EXPECT_EQ(ReadClipboard(), "hello");
        standin::SetClipboardBlock("abc");  // no terminator: the size bounds it
        EXPECT_EQ(ReadClipboard(), "abc");
        standin::SetGlobalLockFails(true);
        EXPECT_EQ(ReadClipboard(), std::nullopt);
        standin::SetGlobalLockFails(false);
        standin::SetClipboardBusy(true);
        EXPECT_FALSE(OpenClipboard(nullptr));
        EXPECT_FALSE(CloseClipboard());
        return 0;
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(standin::CallsTo("GlobalSize").size(), 2u);
}

TEST_F(StandinTest, AClipboardLeftOpenIsAFailure) {
    standin::SetClipboardText("x");
    standin::Run([] {
        OpenClipboard(nullptr);
        GlobalLock(GetClipboardData(CF_TEXT));
        return 0;
    });
    EXPECT_EQ(standin::Failures(),
              (Args{"the clipboard was left open", "global block 1 was left locked"}));
}

// ---------------------------------------------------------------------------------------------
// The registry

// RegQueryValueExW as the program relies on it: the size alone, ERROR_MORE_DATA with the size
// needed and the buffer untouched, the bytes; case ignored in paths and names; each write needs
// KEY_SET_VALUE and takes the next scripted answer; a key left open is a failure.
TEST_F(StandinTest, TheRegistryAnswersWithWindowsSizesRightsAndScriptedRefusals) {
    standin::SetRegistryValue("HKLM\\Software\\Test", "Data", REG_BINARY, "abcd");
    standin::AnswerRegistryWrites({ERROR_ACCESS_DENIED});
    standin::Run([] {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software", 0, KEY_QUERY_VALUE, &key),
                  ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\test", 0, KEY_QUERY_VALUE, &key),
                  ERROR_SUCCESS);
        DWORD type = 0;
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueExW(key, u"data", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(size, 4u);
        BYTE buffer[8] = {'x', 'x', 'x', 'x'};
        size = 3;
        EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
        EXPECT_EQ(size, 4u);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "xxxx");
        size = sizeof buffer;
        EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, &type, buffer, &size), ERROR_SUCCESS);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "abcd");
        EXPECT_EQ(RegSetValueExW(key, u"Data", 0, REG_BINARY, buffer, 1), ERROR_ACCESS_DENIED);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

        // Left open.
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Test", 0, KEY_SET_VALUE, &key);
        EXPECT_EQ(RegDeleteValueW(key, u"DATA"), ERROR_ACCESS_DENIED);  // the scripted answer
        EXPECT_EQ(RegDeleteValueW(key, u"DATA"), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteValueW(key, u"DATA"), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegSetValueExW(key, u"New", 0, REG_MULTI_SZ, buffer, 2), ERROR_SUCCESS);
        return 0;
    });
    EXPECT_EQ(standin::GetRegistryValue("HKLM\\software\\test", "data"), std::nullopt);
    const std::optional<standin::RegistryValue> added =
        standin::GetRegistryValue("HKEY_LOCAL_MACHINE\\Software\\Test", "new");
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(added->type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(added->bytes, "ab");
    EXPECT_EQ(standin::Failures(),
              (Args{"registry key:2 (HKEY_LOCAL_MACHINE\\Software\\Test) was left open"}));
}

// ---------------------------------------------------------------------------------------------
// Files, modules and the small system calls

TEST_F(StandinTest, VirtualDiskComparesWithoutCaseAndResolvesRelativeNames) {
    standin::AddFile("C:\\Dir\\A.txt");
    standin::AddDirectory("D:\\Folder");
    standin::SetCurrentDirectory("C:\\Dir");
    EXPECT_EQ(GetFileAttributesW(u"c:\\dir\\a.TXT"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(u"a.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(u"..\\dir\\.\\a.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(u"C:\\Dir"), FILE_ATTRIBUTE_DIRECTORY);  // an added file's folder
    EXPECT_EQ(GetFileAttributesW(u"d:\\folder\\"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"C:\\Dir\\B.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(u" C:\\Dir\\A.txt"), INVALID_FILE_ATTRIBUTES);
    // A literal path is taken as it stands: no final dot or space dropped.
    EXPECT_EQ(GetFileAttributesW(u"C:\\Dir\\A.txt."), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(GetFileAttributesW(u"\\\\?\\C:\\Dir\\A.txt."), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(u"\\\\?\\c:\\dir\\a.txt"), FILE_ATTRIBUTE_NORMAL);

    char buffer[64];
    LPSTR name = nullptr;
    EXPECT_EQ(GetFullPathNameA("sub\\..\\x.txt", sizeof buffer, buffer, &name), 12u);
    EXPECT_STREQ(buffer, "C:\\Dir\\x.txt");
    EXPECT_STREQ(name, "x.txt");
    EXPECT_EQ(GetFullPathNameA("\\\\srv\\share\\a\\..\\b", sizeof buffer, buffer, nullptr), 13u);
    EXPECT_STREQ(buffer, "\\\\srv\\share\\b");
    // Too small: the size needed, terminator included, and nothing written.
    EXPECT_EQ(GetFullPathNameA("x.txt", 5, buffer, nullptr), 13u);
    EXPECT_STREQ(buffer, "\\\\srv\\share\\b");
}

TEST_F(StandinTest, ExportsResolveToLoggedStandInsUnlessHidden) {
    standin::SetRestartDialogResult(IDYES);
    standin::HideExport("ChangeWindowMessageFilterEx");
    using RestartDialogFn = int (*)(HWND, LPCWSTR, DWORD);
    FARPROC restart = GetProcAddress(GetModuleHandleA("shell32.dll"), MAKEINTRESOURCEA(59));
    ASSERT_NE(restart, nullptr);
    EXPECT_EQ(reinterpret_cast<RestartDialogFn>(reinterpret_cast<void (*)()>(restart))(
                  nullptr, nullptr, EWX_REBOOT),
              IDYES);
    EXPECT_EQ(standin::CallsTo("RestartDialog").at(0).args, (Args{"NULL", "NULL", "2"}));
    EXPECT_EQ(GetProcAddress(LoadLibraryA("user32.dll"), "ChangeWindowMessageFilterEx"), nullptr);
    // RestartDialog has no name of its own in shell32.
    EXPECT_EQ(GetProcAddress(GetModuleHandleA("shell32.dll"), "RestartDialog"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetModuleHandleA("nosuch.dll"), nullptr);
}

TEST_F(StandinTest, LayeredAttributesNeedTheLayeredStyle) {
    standin::Do("set opacity", [] {
        HWND dialog = standin::Dialog(IDD_BATCH_ADD);
        EXPECT_FALSE(SetLayeredWindowAttributes(dialog, 0, 10, LWA_ALPHA));
        EXPECT_EQ(standin::Inspect(dialog).alpha, 255);
        SetWindowLongA(dialog, GWL_EXSTYLE, GetWindowLongA(dialog, GWL_EXSTYLE) | WS_EX_LAYERED);
        EXPECT_TRUE(SetLayeredWindowAttributes(dialog, 0, 10, LWA_ALPHA));
        EXPECT_EQ(standin::Inspect(dialog).alpha, 10);
        // A pointer does not fit into a LONG on 64 bits.
        EXPECT_EQ(SetWindowLongA(dialog, GWLP_WNDPROC, 0), 0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    });
    EndBatchDialog(0);
    standin::Run([] { return static_cast<int>(OpenBatchDialog()); });
    EXPECT_TRUE(standin::Failures().empty());
}

TEST_F(StandinTest, WsprintfFormatsTheProgramsConversions) {
    char buffer[1100];
    EXPECT_EQ(wsprintfA(buffer, "number is %d. (0x%Xh)", -4, 0xBEEFu), 23);
    EXPECT_STREQ(buffer, "number is -4. (0xBEEFh)");
    wsprintfA(buffer, "%s|%c|%u|%05x|%-3d|%%", "ab", 'z', 4000000000u, 0x1f, 7);
    EXPECT_STREQ(buffer, "ab|z|4000000000|0001f|7  |%");
    // Windows stops at 1024 bytes, terminator included.
    EXPECT_EQ(wsprintfA(buffer, "%s", std::string(1500, 'a').c_str()), 1023);
}

TEST_F(StandinTest, ExitProcessEndsTheRunWithItsCodeAndLeftoversAreCounted) {
    standin::Click(IDD_MAIN, IDC_ADD);
    standin::AnswerBox(IDOK);
    standin::AfterCall("Sleep", 1, [] {});
    standin::RunResult result = standin::Run([]() -> int { ExitProcess(3); });
    EXPECT_TRUE(result.calledExitProcess);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_FALSE(result.aborted);
    EXPECT_EQ(standin::PendingActions(), 3u);
    EXPECT_EQ(standin::CallsTo("ExitProcess").at(0).args, (Args{"3"}));
    EXPECT_TRUE(IsDBCSLeadByte(0x81));
    standin::SetCodePage(1252);
    EXPECT_FALSE(IsDBCSLeadByte(0x81));
}

}  // namespace
