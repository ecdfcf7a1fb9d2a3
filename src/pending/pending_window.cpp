#include "pending/pending_window.h"

#include <string>
#include <utility>
#include <vector>

#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/prompts.h"
#include "ui/window_layout.h"

namespace {

constexpr int kFileColumnWidth = 300;
constexpr int kActionColumnWidth = 190;

// As the main window's: the list takes the room, the buttons keep to the right edge.
const std::vector<AnchoredControl> kPendingControls = {
    {IDC_PENDING_LIST, LayoutAnchor::kFills},
    {IDC_PENDING_CANCEL, LayoutAnchor::kRightColumn},
    {IDCANCEL, LayoutAnchor::kRightColumn},
};

// The window as its template made it, while it is open.
WindowLayout g_pendingLayout;

// The operation each row of the window shows, while it is open.
std::vector<PendingOperation> g_pendingRows;

HWND PendingList() {
    return GetDlgItem(g_app.pendingWindow, IDC_PENDING_LIST);
}

void SetPendingCell(HWND list, int row, int column, WideText text) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = WideData(text);
    if (column == 0) {
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    } else {
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
    }
}

// Fills the list with what the next restart will do now.
void ShowPendingNow() {
    std::vector<PendingOperation> operations;
    ReadPendingOperations(operations);
    HWND list = PendingList();
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < operations.size(); ++i) {
        const PendingOperation& operation = operations[i];
        const int row = static_cast<int>(i);
        SetPendingCell(list, row, 0, ShownPath(operation.source));
        SetPendingCell(list, row, 1,
                       IsDeletion(operation)
                           ? UiText(kPendingDeletion)
                           : UiText(kPendingMoveTo) + ShownPath(operation.destination));
    }
    g_pendingRows = std::move(operations);
}

// The operations of the selected rows that are deletions.
std::vector<PendingOperation> ChosenDeletions() {
    std::vector<PendingOperation> chosen;
    HWND list = PendingList();
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                MAKELPARAM(LVNI_SELECTED, 0)))) >= 0) {
        const size_t index = static_cast<size_t>(row);
        if (index < g_pendingRows.size() && IsDeletion(g_pendingRows[index])) {
            chosen.push_back(g_pendingRows[index]);
        }
    }
    return chosen;
}

// The question before the cancel; with a folder's contents it says how many deletions go.
bool ConfirmTakingBack(const TakenBack& takenBack) {
    if (!takenBack.withFolderContents) {
        return ConfirmPrompt(g_app.pendingWindow, kConfirmCancelDeletion);
    }
    const std::string count = std::to_string(takenBack.deletions.size());
    const WideText question = UiText(kConfirmCancelCountBefore) +
                              WideText(count.begin(), count.end()) +
                              UiText(kConfirmCancelCountAfter);
    return ConfirmWidePrompt(g_app.pendingWindow, question);
}

void CancelChosenDeletions() {
    const std::vector<PendingOperation> chosen = ChosenDeletions();
    if (chosen.empty()) {
        return;
    }
    const TakenBack takenBack = DeletionsTakenBack(chosen, g_pendingRows, SameFileSystemName);
    if (!ConfirmTakingBack(takenBack)) {
        return;
    }
    Text failure;
    if (!CancelPendingDeletions(takenBack.deletions, failure)) {
        ShowMessage(g_app.pendingWindow, failure.c_str(), MB_OK | MB_ICONERROR);
    }
    ShowPendingNow();
}

BOOL OnPendingInitDialog(HWND window) {
    g_app.pendingWindow = window;
    SetWindowTextW(window, WideC(UiText(kPendingCaption)));
    HWND list = PendingList();
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // As the main window's: the widths are given at 96 DPI and grow with the dialog's font.
    const int dpi = WindowDpi(window);
    AddListColumn(list, ScaleForDpi(kFileColumnWidth, dpi), kColumnPendingFile, 0);
    AddListColumn(list, ScaleForDpi(kActionColumnWidth, dpi), kColumnPendingAction, 1);
    g_pendingLayout = RecordLayout(window, kPendingControls);
    ShowPendingNow();
    // TRUE lets the dialog manager put the focus on the list.
    return TRUE;
}

void OnPendingCommand(int commandId) {
    switch (commandId) {
        case IDC_PENDING_CANCEL:
            CancelChosenDeletions();
            break;
        case IDCANCEL:
            EndDialog(g_app.pendingWindow, 0);
            break;
        default:
            break;
    }
}

void OnPendingSize(HWND window, UINT kind, int width, int height) {
    if (kind != SIZE_MINIMIZED) {
        LayOutControls(window, g_pendingLayout, width, height);
    }
}

// Each row that says "成功" and of which the restart deletes nothing any more, in any spelling
// the file system takes for the same name, says "已取消": for a folder's row, neither the folder
// nor anything under it. Nothing is marked when the values could not be read whole: the row may
// still be pending.
void MarkCancelledRows() {
    std::vector<PendingOperation> operations;
    if (!ReadPendingOperations(operations)) {
        return;
    }
    const WideText& accepted = UiText(kResultAccepted);
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        if (GetRowWideText(row, 1) != accepted) {
            continue;
        }
        if (!RowDeletionPending(GetRowWideText(row, 0), operations, SameFileSystemName)) {
            SetRowResult(row, kResultCancelled);
        }
    }
}

}  // namespace

void AddPendingMenuItem(HWND mainWindow) {
    HMENU menu = GetSystemMenu(mainWindow, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_PENDING, WideC(UiText(kMenuPending)));
}

void ShowPendingOperations() {
    if (g_app.pendingWindow != nullptr) {
        return;
    }
    HMODULE module = GetModuleHandleA(nullptr);
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_PENDING), g_app.mainWindow, PendingDialogProc, 0);
    g_app.pendingWindow = nullptr;
    g_pendingLayout = WindowLayout{};
    g_pendingRows.clear();
    MarkCancelledRows();
}

INT_PTR CALLBACK PendingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnPendingInitDialog(window);
        case WM_COMMAND:
            OnPendingCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            EndDialog(window, 0);
            return TRUE;
        case WM_SIZE:
            OnPendingSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            return KeepMinimumSize(g_pendingLayout, reinterpret_cast<MINMAXINFO*>(lParam));
        default:
            return FALSE;
    }
}
