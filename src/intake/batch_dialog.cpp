#include "intake/batch_dialog.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "intake/batch_rules.h"
#include "intake/folder_question.h"
#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/native_view.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

// The edit control is asked for its length plus this much room.
constexpr int32_t kEditReadSlack = 2;
// The most a text can hold; a larger clipboard block is read up to here.
constexpr SIZE_T kLargestText = INT32_MAX;

BOOL OnBatchInitDialog(HWND window) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_app.batchIcon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_app.batchIcon));
    g_app.batchWindow = window;
    SetWindowTextW(window, WideC(UiText(kBatchCaption)));
    // The edit box's default limit would cut a long paste in the middle of a line, silently, and
    // the cut line would name another file; 0 lifts it to the most the control holds.
    SendMessageW(GetDlgItem(window, IDC_BATCH_EDIT), EM_SETLIMITTEXT, 0, 0);
    ShowWindow(g_app.mainWindow, SW_HIDE);
    // TRUE lets the dialog manager put the focus on the first tab stop, the edit box.
    return TRUE;
}

void OnBatchCommand(int commandId) {
    switch (commandId) {
        case IDC_BATCH_OK:
            AddBatchPaths();
            break;
        case IDC_BATCH_PASTE:
            PasteBatchText();
            break;
        default:
            // Enter and Escape arrive as IDOK and IDCANCEL; only the close box ends the dialog.
            break;
    }
}

// Closing discards the text. During a batch the main window comes back at once, and the batch
// still runs to its last line.
void OnBatchClose() {
    ShowWindow(g_app.mainWindow, SW_SHOW);
    EndDialog(g_app.batchWindow, 0);
}

Text FullPathOf(const Text& path) {
    char firstTry[MAX_PATH];
    DWORD needed = GetFullPathNameA(path.c_str(), MAX_PATH, firstTry, nullptr);
    if (needed == 0) {
        return {};
    }
    if (needed < MAX_PATH) {
        return TextFromC(firstTry);
    }
    // The first answer was the size the full path needs, terminator included.
    Text buffer = BlankText(static_cast<int32_t>(needed));
    DWORD written = GetFullPathNameA(path.c_str(), needed, buffer.data(), nullptr);
    if (written == 0 || written >= needed) {
        return {};
    }
    return TextFromC(buffer.c_str());
}

// The UTF-16 form of a line's path, converted once for all the steps that ask about it: they
// ask about one path after another, each path several times in a row. Nothing for a path
// without an exact form, which no test passes.
const std::optional<WideText>& WideOfPath(const Text& path) {
    static std::optional<Text> last;
    static std::optional<WideText> wide;
    if (last != path) {
        last = path;
        wide = WideFileName(path);
    }
    return wide;
}

void AddLinesToList(const TextArray& lines, std::vector<WideText>& folders) {
    BatchLineSteps steps;
    // Tested as the boot will see the line, the view in which the row's deletion is carried out.
    steps.isDirectory = [](const Text& path) {
        const std::optional<WideText>& wide = WideOfPath(path);
        return wide && NativePathIsDirectory(*wide);
    };
    steps.exists = [](const Text& path) {
        const std::optional<WideText>& wide = WideOfPath(path);
        return wide && NativePathFileExists(*wide);
    };
    steps.isListed = [](const Text& path) {
        const std::optional<WideText>& wide = WideOfPath(path);
        return wide && ContainsPath(*wide);
    };
    steps.fullPath = FullPathOf;
    steps.append = [](const Text& path) {
        if (const std::optional<WideText>& wide = WideOfPath(path)) {
            AppendPath(*wide);
        }
    };
    steps.folder = [&folders](const Text& path) {
        if (const std::optional<WideText>& wide = WideOfPath(path)) {
            folders.push_back(*wide);
        }
    };
    steps.pump = PumpPendingMessages;
    steps.isLeadByte = SystemLeadByte;
    AddBatchLines(lines, steps);
}

void ProcessBatch() {
    HWND edit = GetDlgItem(g_app.batchWindow, IDC_BATCH_EDIT);
    // A line that holds a character without an exact form cannot name the file the user meant.
    g_app.batchLines = SplitConvertedBatchLines(AnsiUserText(GetEditText(edit)));
    // The lines were read before the first pump: a paste during the batch changes only the edit
    // box, and a second "确定" is ignored, so these lines stay as they are to the end.
    std::vector<WideText> folders;
    HoldListRedraw();
    AddLinesToList(g_app.batchLines, folders);
    ReleaseListRedraw();
    g_app.batchLines = TextArray();
    // A batch closed meanwhile has discarded its text, folders included.
    if (IsWindowVisible(g_app.batchWindow)) {
        ListFoldersAfterQuestion(g_app.batchWindow, folders);
    }

    ShowWindow(g_app.batchWindow, SW_HIDE);
    ShowWindow(g_app.mainWindow, SW_SHOW);
    EndDialog(g_app.batchWindow, 0);
}

}  // namespace

int RunBatchAddDialog() {
    if (g_app.batchWindow != nullptr) {
        return 0;
    }
    HMODULE module = GetModuleHandleA(nullptr);
    g_app.batchIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_APP));
    InitCommonControls();
    // As the main window: the W dialog manager keeps the button texts and the caption whole.
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_BATCH_ADD), nullptr, BatchAddDialogProc, 0);
    g_app.batchWindow = nullptr;
    return 0;
}

INT_PTR CALLBACK BatchAddDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnBatchInitDialog(window);
        case WM_COMMAND:
            OnBatchCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnBatchClose();
            return TRUE;
        case WM_SIZE:
            return TRUE;
        default:
            return FALSE;
    }
}

void AddBatchPaths() {
    if (g_app.batchRunning) {
        return;
    }
    g_app.batchRunning = true;
    if (ConfirmPrompt(g_app.batchWindow, kConfirmBatch)) {
        ProcessBatch();
    }
    g_app.batchRunning = false;
}

void PasteBatchText() {
    g_app.clipboardText = GetClipboardText();
    // In UTF-16, as the user copied it: a character the code page lacks stays itself, so the
    // line that holds it is skipped on "确定" instead of naming another file with a "?".
    SetWindowTextW(GetDlgItem(g_app.batchWindow, IDC_BATCH_EDIT), WideC(g_app.clipboardText));
}

WideText GetEditText(HWND window) {
    const int32_t length = GetWindowTextLengthW(window);
    const int32_t capacity = (length > 0 ? length : 0) + kEditReadSlack;
    WideText buffer(static_cast<size_t>(capacity), u' ');
    const int copied = GetWindowTextW(window, WideData(buffer), capacity);
    // The control writes a terminator after what it copied; the spaces after it are not text,
    // nor are the spaces of a buffer it did not write at all.
    const size_t end = std::min(buffer.find(u'\0'), static_cast<size_t>(copied > 0 ? copied : 0));
    return buffer.substr(0, end);
}

namespace {

// The block's ANSI text up to its first NUL, never past its end (another program may have put a
// block without a terminator), in UTF-16.
WideText ReadAnsiBlock(HGLOBAL data) {
    const void* bytes = GlobalLock(data);
    if (bytes == nullptr) {
        return {};
    }
    SIZE_T size = GlobalSize(data);
    if (size > kLargestText) {
        size = kLargestText;
    }
    const Text text = TextFromMemory(bytes, static_cast<int32_t>(size));
    GlobalUnlock(data);
    return WideFromAnsi(text);
}

// The block's UTF-16 text up to its first NUL, within the block.
WideText ReadWideBlock(HGLOBAL data) {
    const void* bytes = GlobalLock(data);
    if (bytes == nullptr) {
        return {};
    }
    SIZE_T size = GlobalSize(data);
    if (size > kLargestText) {
        size = kLargestText;
    }
    WideText wide(size / sizeof(char16_t), u'\0');
    std::memcpy(wide.data(), bytes, wide.size() * sizeof(char16_t));
    GlobalUnlock(data);
    wide.resize(std::min(wide.size(), wide.find(u'\0')));
    return wide;
}

}  // namespace

WideText GetClipboardText() {
    if (!OpenClipboard(nullptr)) {
        return {};
    }
    WideText text;
    // Nearly every program puts UTF-16 text; the system's CF_TEXT made from it is a best fit.
    if (HGLOBAL wide = static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT))) {
        text = ReadWideBlock(wide);
    } else if (HGLOBAL ansi = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT))) {
        text = ReadAnsiBlock(ansi);
    }
    CloseClipboard();
    return text;
}
