#include "pending/pending_window.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/folder_rows.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "pending/spelled_names.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/prompts.h"
#include "ui/owner_data_list.h"
#include "ui/window_layout.h"

namespace {

constexpr int kFileColumnWidth = 300;
constexpr int kActionColumnWidth = 190;

// As the main window's: the list takes the room, the buttons keep to the right edge.
const std::vector<AnchoredControl> kPendingControls = {
    {IDC_PENDING_LIST, LayoutAnchor::kFills},
    {IDC_PENDING_CANCEL, LayoutAnchor::kRightColumn},
    {IDCANCEL, LayoutAnchor::kRightColumn},
    {IDC_PENDING_STATUS, LayoutAnchor::kRightColumn},
};

// The window as its template made it, while it is open.
WindowLayout g_pendingLayout;

// The values as the window read them last, and the operation each of its rows shows, while it is
// open; and the system's names for its drives, which its rows are shown with.
PendingValues g_pending;
SpellingTable g_spellings;

HWND PendingList() {
    return GetDlgItem(g_app.pendingWindow, IDC_PENDING_LIST);
}

// Fills the list with what the next restart will do now. The list holds no texts of its own: it
// asks for each cell it shows (LVN_GETDISPINFOW), so ten thousand operations open at once.
void ShowPendingNow() {
    ReadPendingValues(g_pending);
    CountEqualPairs(g_pending);
    HWND list = PendingList();
    // As rows deleted and inserted again: no row stays chosen.
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(g_pending.operations.size()), 0);
}

// A cell's text: the file, or what the restart does to it.
WideText PendingCellText(size_t row, int column) {
    const PendingOperation& operation = g_pending.operations[row];
    const std::u16string_view units = UnitsOf(g_pending, operation);
    if (column == 0) {
        return ShownName(SourceOf(units, operation), g_spellings);
    }
    return IsDeletion(operation)
               ? UiText(kPendingDeletion)
               : UiText(kPendingMoveTo) + ShownName(DestinationOf(units, operation), g_spellings);
}

// The selected rows that are deletions, by their operations' indices.
std::vector<size_t> ChosenDeletions() {
    std::vector<size_t> chosen;
    HWND list = PendingList();
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                MAKELPARAM(LVNI_SELECTED, 0)))) >= 0) {
        const size_t index = static_cast<size_t>(row);
        if (index < g_pending.operations.size() && IsDeletion(g_pending.operations[index])) {
            chosen.push_back(index);
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

// The line under the buttons, and the cancel button, while a cancel waits for another program.
void ShowCancelWaiting(bool waiting) {
    SetWindowTextW(GetDlgItem(g_app.pendingWindow, IDC_PENDING_STATUS),
                   WideC(waiting ? UiText(kWaitingForLock) : WideText()));
}

void CancelChosenDeletions() {
    // A restart run, or another cancel, holds or waits for the values' lock further down this
    // thread's stack: nothing is taken back under it.
    if (g_app.pendingValuesBusy) {
        return;
    }
    const std::vector<size_t> chosen = ChosenDeletions();
    if (chosen.empty()) {
        return;
    }
    SpelledNames names;
    const NameOf nameOf = SpelledPathsOnce(names);
    const TakenBack takenBack = DeletionsTakenBack(chosen, g_pending, nameOf, FileSystemCase());
    if (!ConfirmTakingBack(takenBack)) {
        return;
    }
    // Copies of the pairs: the list may be read again while the cancel waits.
    const std::vector<ChosenPair> pairs = ChosenPairsOf(g_pending, takenBack.deletions);
    g_app.pendingValuesBusy = true;
    HWND cancel = GetDlgItem(g_app.pendingWindow, IDC_PENDING_CANCEL);
    EnableWindow(cancel, FALSE);
    Text failure;
    const CancelEnd end = CancelPendingDeletions(
        pairs, [] { ShowCancelWaiting(true); },
        [] { return g_app.closeRequested || g_app.pendingClosing; }, failure);
    g_app.pendingValuesBusy = false;
    // A cancel stopped by a close has nothing to say, and its window nothing to show.
    if (end == CancelEnd::kStopped || g_app.pendingClosing) {
        return;
    }
    ShowCancelWaiting(false);
    EnableWindow(cancel, TRUE);
    if (end == CancelEnd::kFailed) {
        ShowMessage(g_app.pendingWindow, failure.c_str(), MB_OK | MB_ICONERROR);
    }
    ShowPendingNow();
}

void ClosePendingWindow() {
    g_app.pendingClosing = true;
    EndDialog(g_app.pendingWindow, 0);
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
    // Opened from inside a restart run's pump, the window only shows: the run holds or waits for
    // the values' lock further down this thread's stack.
    EnableWindow(GetDlgItem(window, IDC_PENDING_CANCEL), g_app.pendingValuesBusy ? FALSE : TRUE);
    SpelledNames names;
    g_spellings = SpellingTableOf(names);
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
            ClosePendingWindow();
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

// Each row that says "成功" or "未确认" and of which the restart deletes nothing any more says
// "已取消": for a folder's row, neither the folder nor anything under it. Rows are compared by the
// path recorded for them, which a row listed through a link does not show, with every deletion's
// path in whatever spelling it is recorded. Nothing is marked when the values could not be read
// whole, or a deletion names no drive the program knows: the row may still be pending.
void MarkCancelledRows() {
    PendingValues values;
    if (!ReadPendingValues(values)) {
        return;
    }
    const WideText& accepted = UiText(kResultAccepted);
    const WideText& unconfirmed = UiText(kResultUnconfirmed);
    std::vector<int> rows;
    std::vector<RecordedRow> recorded;
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        std::optional<RecordedPath> path = RowRecordedPath(row);
        const WideText result = GetRowWideText(row, 1);
        if (path && (result == accepted || result == unconfirmed)) {
            rows.push_back(row);
            recorded.push_back({std::move(*path), IsFolderRow(GetRowWideText(row, 0))});
        }
    }
    SpelledNames names;
    const NameOf nameOf = SpelledPathsOnce(names);
    const std::vector<bool> pending = RowsStillPending(recorded, values, nameOf, FileSystemCase());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!pending[i]) {
            SetRowResult(rows[i], kResultCancelled);
        }
    }
}

// The list asks for the cells it shows, and for the row the user types the start of.
BOOL OnPendingNotify(HWND window, NMHDR* header) {
    if (header == nullptr || header->idFrom != IDC_PENDING_LIST) {
        return FALSE;
    }
    switch (header->code) {
        case LVN_GETDISPINFOW:
            AnswerCellText(*reinterpret_cast<NMLVDISPINFOW*>(header), g_pending.operations.size(),
                           PendingCellText);
            return FALSE;
        case LVN_ODFINDITEMW:
            SetWindowLongPtrW(
                window, DWLP_MSGRESULT,
                FindTypedRow(*reinterpret_cast<NMLVFINDITEMW*>(header), g_pending.operations.size(),
                             [](size_t row) { return PendingCellText(row, 0); }));
            return TRUE;
        default:
            return FALSE;
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
    g_app.pendingClosing = false;
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_PENDING), g_app.mainWindow, PendingDialogProc, 0);
    g_app.pendingWindow = nullptr;
    g_app.pendingClosing = false;
    g_pendingLayout = WindowLayout{};
    g_pending = PendingValues{};
    g_spellings = SpellingTable{};
    MarkCancelledRows();
}

INT_PTR CALLBACK PendingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnPendingInitDialog(window);
        case WM_COMMAND:
            OnPendingCommand(LOWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            return OnPendingNotify(window, reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            ClosePendingWindow();
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
