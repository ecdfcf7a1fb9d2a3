#include "intake/batch_dialog.h"

#include <cstdint>

#include "app/app_state.h"
#include "app/shell.h"
#include "intake/batch_rules.h"
#include "list/deletion_list.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"

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

void AddLinesToList(const TextArray& lines) {
    BatchLineSteps steps;
    steps.isDirectory = [](const Text& path) { return PathIsDirectoryA(path.c_str()) != FALSE; };
    steps.exists = [](const Text& path) { return PathFileExistsA(path.c_str()) != FALSE; };
    steps.isListed = ContainsPath;
    steps.fullPath = FullPathOf;
    steps.append = [](const Text& path) { AppendPath(path); };
    steps.pump = PumpPendingMessages;
    AddBatchLines(lines, steps);
}

void ProcessBatch() {
    HWND edit = GetDlgItem(g_app.batchWindow, IDC_BATCH_EDIT);
    g_app.batchLines = SplitBatchLines(GetEditText(edit));
    // The lines were read before the first pump: a paste during the batch changes only the edit
    // box, and a second "确定" is ignored, so these lines stay as they are to the end.
    HoldListRedraw();
    AddLinesToList(g_app.batchLines);
    ReleaseListRedraw();
    g_app.batchLines = TextArray();

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
    SetWindowTextA(GetDlgItem(g_app.batchWindow, IDC_BATCH_EDIT), g_app.clipboardText.c_str());
}

Text GetEditText(HWND window) {
    const int32_t length = GetWindowTextLengthA(window);
    const int32_t capacity = length + kEditReadSlack;
    Text buffer = BlankText(capacity);
    GetWindowTextA(window, buffer.data(), capacity);
    // The control writes a terminator after what it copied; the spaces after it are not text.
    return TextFromC(buffer.c_str());
}

Text GetClipboardText() {
    if (!OpenClipboard(nullptr)) {
        return {};
    }
    Text text;
    HGLOBAL data = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
    if (data != nullptr) {
        const void* bytes = GlobalLock(data);
        if (bytes != nullptr) {
            // Another program may have put a block without a terminator: never read past it.
            SIZE_T size = GlobalSize(data);
            if (size > kLargestText) {
                size = kLargestText;
            }
            text = TextFromMemory(bytes, static_cast<int32_t>(size));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}
