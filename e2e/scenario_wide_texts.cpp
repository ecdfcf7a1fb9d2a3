// The program's own texts whatever the system's code page: the caption, the buttons, the column
// headers, the three questions and the results, read back in UTF-16 and compared with the Chinese
// texts, and a screenshot of the main window named after the code page. Where the code page holds
// Chinese names (936, UTF-8), a Chinese path is dropped and batched as well and must be listed and
// scheduled by its bytes. The two fatal boxes run in scenarios of their own, because each ends
// the process.

#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "runtime/fatal.h"
#include "runtime/text.h"
#include "scenarios.h"

namespace {

const std::wstring kMainCaptionW = L"重启删除文件 -- quorvel";
const std::wstring kBatchCaptionW = L"批量添加文件";
const std::wstring kClearQuestionW = L"  确定清空列表?  ";
const std::wstring kBatchQuestionW = L"  确定 ?  ";
const std::wstring kRestartQuestionW = L"  确定重启删除列表中的文件 ?  ";
const std::wstring kAcceptedW = L"成功";
const std::wstring kRefusedW = L"失败";

struct ButtonText {
    int id;
    const wchar_t* text;
};
constexpr ButtonText kMainButtons[] = {
    {IDC_ADD, L"添加"},
    {IDC_REMOVE, L"删除"},
    {IDC_BATCH_ADD, L"批量添加"},
    {IDC_CLEAR_LIST, L"清空列表"},
    {IDC_RESTART_DELETE, L"重启删除"},
};
constexpr ButtonText kBatchButtons[] = {{IDC_BATCH_OK, L"确定"}, {IDC_BATCH_PASTE, L"粘贴"}};

const std::string kFolder = "C:\\e2e\\wide";
const std::string kDropped = kFolder + "\\dropped.txt";
const std::string kBatched = kFolder + "\\batched.txt";
// Wine refuses a path of nothing but blanks, which gives a row its "失败".
const std::string kRefusedPath = " ";
const std::wstring kChineseDropped = L"C:\\e2e\\宽\\拖放的文件.txt";
const std::wstring kChineseBatched = L"C:\\e2e\\宽\\批量的文件.txt";

void CheckButtons(HWND dialog, const ButtonText* buttons, size_t count, const std::string& where) {
    for (size_t i = 0; i < count; ++i) {
        CheckWideText(WideTextOf(GetDlgItem(dialog, buttons[i].id)), buttons[i].text,
                      where + " button " + std::to_string(buttons[i].id) + " (GetWindowTextW)");
    }
}

void CheckMainWindow(HWND mainWindow) {
    CheckWideText(WideCaptionOf(mainWindow), kMainCaptionW,
                  "main window caption as the title bar shows it (InternalGetWindowText)");
    CheckWideText(WideTextOf(mainWindow), kMainCaptionW,
                  "main window caption read with WM_GETTEXT (GetWindowTextW)");
    CheckButtons(mainWindow, kMainButtons, std::size(kMainButtons), "main window");
    HWND list = ListOf(mainWindow);
    const wchar_t* headers[] = {L"文件路径", L"结果"};
    for (int index = 0; index < 2; ++index) {
        std::wstring header;
        Check(WideColumnHeader(list, index, header), "column " + std::to_string(index) + " exists");
        CheckWideText(header, headers[index],
                      "column " + std::to_string(index) + " header (LVM_GETCOLUMNW)");
    }
}

// Presses a button that asks a question, finds the box by its text in UTF-16, checks its empty
// caption and answers it.
bool AskAndAnswer(HWND window, int buttonId, const std::wstring& question, int answer,
                  const std::string& what) {
    Click(window, buttonId);
    HWND box = WaitForMessageBoxW(question);
    const std::string asked = what + " asks \"" + PrintableWide(question) + "\"";
    if (!Check(box != nullptr, asked + " (GetWindowTextW of the box's text)")) {
        return false;
    }
    CheckWideText(WideCaptionOf(box), L"", what + ": the question has an empty caption");
    return AnswerBox(box, answer);
}

// The batch dialog: its caption and buttons, then lines confirmed with OK.
void RunBatch(HWND mainWindow, const std::string& text) {
    Click(mainWindow, IDC_BATCH_ADD);
    HWND dialog = WaitForTopWindowW("#32770", kBatchCaptionW);
    if (!Check(dialog != nullptr,
               "the batch dialog opens with its caption (InternalGetWindowText)")) {
        return;
    }
    CheckWideText(WideTextOf(dialog), kBatchCaptionW, "batch dialog caption (GetWindowTextW)");
    CheckButtons(dialog, kBatchButtons, std::size(kBatchButtons), "batch dialog");
    Check(SetTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT), text), "lines are typed into the batch");
    if (AskAndAnswer(dialog, IDC_BATCH_OK, kBatchQuestionW, IDOK, "确定")) {
        Check(WaitUntilGone(dialog), "the batch closes after OK");
        Check(WaitUntil([&] { return IsWindowVisible(mainWindow) != FALSE; }),
              "the main window is shown again");
    }
}

struct ChinesePaths {
    bool usable = false;
    std::string dropped;
    std::string batched;
};

// The Chinese paths in the system's code page, when it holds them; their files are created.
ChinesePaths PrepareChinesePaths() {
    ChinesePaths paths;
    paths.usable = AnsiOf(kChineseDropped, paths.dropped) && AnsiOf(kChineseBatched, paths.batched);
    if (!paths.usable) {
        Note("code page " + std::to_string(GetACP()) +
             " holds no Chinese names: no Chinese path is dropped or batched");
        return paths;
    }
    Note("the Chinese dropped path is " + std::to_string(paths.dropped.size()) +
         " bytes in code page " + std::to_string(GetACP()) + ": " + Printable(paths.dropped));
    if (GetACP() == CP_UTF8) {
        // "C:\e2e\" and ".txt" and one separator are ASCII; 宽 and the five characters of the name
        // take three bytes each.
        Check(paths.dropped.size() == 7 + 3 + 1 + 5 * 3 + 4,
              "under UTF-8 each Chinese character of the path is three bytes");
    }
    Check(MakeFile(paths.dropped) && MakeFile(paths.batched), "the Chinese fixture files exist");
    return paths;
}

void CheckResults(HWND list, const std::vector<std::wstring>& expected) {
    WaitUntil([&] { return WideCellText(list, RowCountOf(list) - 1, 1) != L""; });
    for (size_t row = 0; row < expected.size(); ++row) {
        CheckWideText(WideCellText(list, static_cast<int>(row), 1), expected[row],
                      "row " + std::to_string(row) + " result (LVM_GETITEMTEXTW)");
    }
}

// The open-file dialog's title in UTF-16, as its W record gives it; Cancel adds nothing.
void CheckOpenFileDialogTitle(HWND mainWindow) {
    const std::wstring title = L"请选择要重启删除的文件";
    Click(mainWindow, IDC_ADD);
    HWND dialog = WaitForTopWindowW("#32770", title);
    if (!Check(dialog != nullptr, "Add opens the open-file dialog, found by its UTF-16 title")) {
        CloseStrayWindows(mainWindow);
        return;
    }
    CheckWideText(WideTextOf(dialog), title, "the open-file dialog's title (GetWindowTextW)");
    Check(AnswerBox(dialog, IDCANCEL), "Cancel closes the open-file dialog");
    Check(RowCountOf(ListOf(mainWindow)) == 0, "Cancel adds no row");
}

void DeclineRestartPrompt(HWND mainWindow) {
    HWND prompt = nullptr;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (window != mainWindow) {
                prompt = window;
                return true;
            }
        }
        return false;
    });
    if (Check(prompt != nullptr, "Wine's restart prompt appears")) {
        Check(AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL),
              "the restart is declined");
    }
}

}  // namespace

void DriveWideTexts(HWND mainWindow) {
    Note("the ANSI code page is " + std::to_string(GetACP()));
    WaitUntil([&] { return AlphaOf(mainWindow) == 255; });
    CheckMainWindow(mainWindow);
    CheckOpenFileDialogTitle(mainWindow);
    HWND list = ListOf(mainWindow);

    Check(MakeFile(kDropped) && MakeFile(kBatched), "fixture files are created");
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    const ChinesePaths chinese = PrepareChinesePaths();
    std::vector<std::string> drop = {kDropped, kRefusedPath};
    std::string batch = kBatched;
    std::vector<std::string> expectedPaths = {kDropped, kRefusedPath, kBatched};
    std::vector<std::wstring> expectedResults = {kAcceptedW, kRefusedW, kAcceptedW};
    if (chinese.usable) {
        drop.push_back(chinese.dropped);
        batch += "\r\n" + chinese.batched;
        expectedPaths = {kDropped, kRefusedPath, chinese.dropped, kBatched, chinese.batched};
        expectedResults = {kAcceptedW, kRefusedW, kAcceptedW, kAcceptedW, kAcceptedW};
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, drop)), "files are dropped");
    AskAndAnswer(mainWindow, IDC_CLEAR_LIST, kClearQuestionW, IDCANCEL, "Clear");
    RunBatch(mainWindow, batch);
    CheckPaths(list, expectedPaths, "the dropped and batched paths are listed by their bytes");
    if (chinese.usable) {
        CheckWideText(WideCellText(list, 2, 0), kChineseDropped,
                      "the dropped Chinese path reads back in UTF-16 (LVM_GETITEMTEXTW)");
        CheckWideText(WideCellText(list, 4, 0), kChineseBatched,
                      "the batched Chinese path reads back in UTF-16 (LVM_GETITEMTEXTW)");
    }

    if (AskAndAnswer(mainWindow, IDC_RESTART_DELETE, kRestartQuestionW, IDOK, "Restart deletion")) {
        CheckResults(list, expectedResults);
        DeclineRestartPrompt(mainWindow);
        std::vector<std::string> scheduled;
        for (const std::string& path : expectedPaths) {
            if (path != kRefusedPath) {
                scheduled.push_back("\\??\\" + path);
            }
        }
        const std::vector<std::string> pending = PendingDeletions();
        std::string listed;
        for (const std::string& entry : pending) {
            listed += " [" + Printable(entry) + "]";
        }
        Check(pending == scheduled,
              "every accepted row is pending deletion by its bytes:" + listed);
    }
    const std::string shot = "main-window-cp" + std::to_string(GetACP()) + ".bmp";
    Check(SaveScreenshot(mainWindow, shot), "a screenshot of the main window is saved: " + shot);
}

// --- The fatal boxes -------------------------------------------------------------------------

namespace {

struct FatalBox {
    const char* name;
    void (*fail)();
    // The text as the box must show it: all of it, or (with prefix) its beginning and end.
    const wchar_t* text;
    const wchar_t* ending;
};

void RunOutOfMemory() {
    InstallOutOfMemoryHandler();
    // More than any heap can give: the allocation fails and the new handler takes over.
    volatile size_t size = static_cast<size_t>(-1) / 2;
    char* block = new char[size];
    std::printf("FAIL: an allocation of %zu bytes succeeded\n", static_cast<size_t>(size));
    delete[] block;
}

void RunIndexError() {
    // The first element of an empty array: internal error 1.
    const TextArray empty;
    std::printf("FAIL: read %zu bytes outside the array\n", TextAt(empty, 1).size());
}

constexpr FatalBox kFatalBoxes[] = {
    {"fatal-out-of-memory", RunOutOfMemory, L"内存不足", nullptr},
    {"fatal-internal-error", RunIndexError, L"program internal error number is 1. (0x", L"h)"},
};

const FatalBox* g_box = nullptr;

bool Matches(const std::wstring& shown, const FatalBox& box) {
    if (box.ending == nullptr) {
        return shown == box.text;
    }
    const std::wstring start = box.text;
    const std::wstring end = box.ending;
    return shown.size() > start.size() + end.size() && shown.compare(0, start.size(), start) == 0 &&
           shown.compare(shown.size() - end.size(), end.size(), end) == 0;
}

// Ends the whole process at once with a failure code: the program's own exit after the box
// would report 0 whatever the checks found.
[[noreturn]] void FailAndEnd(UINT code) {
    std::printf("fatal box scenario: FAILED (%d checks passed, %d failed)\n", PassCount(),
                FailureCount());
    std::fflush(stdout);
    ExitProcess(code);
}

DWORD WINAPI WatchFatalBox(void*) {
    HWND box = nullptr;
    std::wstring shown;
    WaitUntil([&] {
        for (HWND window : TopWindowsOfClass("#32770")) {
            shown = WideMessageBoxText(window);
            if (!shown.empty()) {
                box = window;
                return true;
            }
        }
        return false;
    });
    if (!Check(box != nullptr, "the fatal box appears")) {
        FailAndEnd(3);
    }
    bool ok = Check(Matches(shown, *g_box),
                    "the box shows \"" + PrintableWide(shown) + "\" (GetWindowTextW)");
    ok = CheckWideText(WideCaptionOf(box), L"error", "the box's caption") && ok;
    ok = Check(GetWindow(box, GW_OWNER) == nullptr, "the box has no owner") && ok;
    ok = Check(GetDlgItem(box, IDCANCEL) == nullptr || GetDlgItem(box, IDOK) != nullptr,
               "the box has an OK button") &&
         ok;
    if (!ok) {
        FailAndEnd(1);
    }
    std::printf("fatal box scenario: the box is answered; the process must now end with 0\n");
    std::fflush(stdout);
    AnswerBox(box, IDOK);
    // The program's clean-up and ExitProcess(0) follow the box; anything else is a failure.
    Sleep(kWaitMilliseconds);
    Check(false, "the process ends after the box");
    FailAndEnd(4);
}

}  // namespace

void ListFatalBoxScenarios(const char* indent) {
    for (const FatalBox& box : kFatalBoxes) {
        std::printf("%s%s\n", indent, box.name);
    }
}

int RunFatalBoxScenario(const char* name) {
    for (const FatalBox& box : kFatalBoxes) {
        if (std::string(name) == box.name) {
            std::printf("scenario %s (ANSI code page %u)\n", name, GetACP());
            std::fflush(stdout);
            g_box = &box;
            CreateThread(nullptr, 0, WatchFatalBox, nullptr, 0, nullptr);
            box.fail();
            // Only reached when the failure did not end the process.
            FailAndEnd(5);
        }
    }
    return -1;
}
