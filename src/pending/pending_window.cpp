#include "pending/pending_window.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/dpi.h"
#include "app/dpi_scale.h"
#include "app/shell.h"
#include "list/deletion_list.h"
#include "paths/file_names.h"
#include "paths/boot_view.h"
#include "pending/pending_rules.h"
#include "pending/pending_value.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"

namespace {

constexpr int kFileColumnWidth = 300;
constexpr int kActionColumnWidth = 190;

// Why a cancel changed nothing, in the program's texts (code page 936).
struct CancelFailure {
    Text text;
};

// A refusal of the system's is told as a refused restart request is: access denied, or the error.
CancelFailure FailureOf(LONG status) {
    return {RequestRefusalReason(static_cast<unsigned long>(status))};
}

// One value's new units, worked out before anything is written.
struct ValueWrite {
    const WideText* name = nullptr;
    WideText before;
    WideText after;
};

LONG WriteValue(HKEY key, const WideText& name, const WideText& units) {
    if (ParsePendingOperations(units).operations.empty()) {
        const LONG status = RegDeleteValueW(key, WideC(name));
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    return RegSetValueExW(key, WideC(name), 0, REG_MULTI_SZ,
                          reinterpret_cast<const BYTE*>(units.data()),
                          static_cast<DWORD>(units.size() * sizeof(char16_t)));
}

// Works out every value's change from a fresh read; nothing is written unless each chosen
// operation is still there, in a value the window rewrites.
bool PlanRemoval(HKEY key, const std::vector<PendingOperation>& chosen,
                 std::vector<ValueWrite>& writes, CancelFailure& failure) {
    for (size_t index = 0; index < std::size(kPendingValues); ++index) {
        std::vector<PendingOperation> ofValue;
        std::copy_if(chosen.begin(), chosen.end(), std::back_inserter(ofValue),
                     [&](const PendingOperation& operation) { return operation.value == index; });
        if (ofValue.empty()) {
            continue;
        }
        const PendingValue value = ReadPendingValue(key, kPendingValues[index]);
        if (value.state == ValueState::kAbsent) {
            failure = {kCancelGone};
            return false;
        }
        if (value.state != ValueState::kRead) {
            failure = FailureOf(value.error != ERROR_SUCCESS ? value.error : ERROR_MORE_DATA);
            return false;
        }
        if (!value.writable) {
            failure = {kCancelUnrecognised};
            return false;
        }
        const Removal removal = WithoutChosenPairs(value.units, ofValue);
        if (removal.outcome != RemovalOutcome::kRemoved) {
            failure = {removal.outcome == RemovalOutcome::kGone ? kCancelGone
                                                                : kCancelUnrecognised};
            return false;
        }
        writes.push_back({&kPendingValues[index], value.units, removal.kept});
    }
    return true;
}

// Takes exactly the chosen deletions out, each value re-read just before it is written and
// written once. A write that fails puts back what was already written, so a failed cancel
// changes nothing.
bool RemoveChosen(const std::vector<PendingOperation>& chosen, CancelFailure& failure) {
    HKEY key = nullptr;
    const LONG opened = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE, key);
    if (opened != ERROR_SUCCESS) {
        failure = FailureOf(opened);
        return false;
    }
    std::vector<ValueWrite> writes;
    bool done = PlanRemoval(key, chosen, writes, failure);
    for (size_t i = 0; done && i < writes.size(); ++i) {
        const LONG status = WriteValue(key, *writes[i].name, writes[i].after);
        if (status != ERROR_SUCCESS) {
            failure = FailureOf(status);
            done = false;
            for (size_t back = 0; back < i; ++back) {
                WriteValue(key, *writes[back].name, writes[back].before);
            }
        }
    }
    RegCloseKey(key);
    return done;
}

void ShowCancelFailure(const CancelFailure& failure) {
    ShowMessage(g_app.pendingWindow, failure.text.c_str(), MB_OK | MB_ICONERROR);
}

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
    g_app.pendingRows = std::move(operations);
}

// The operations of the selected rows that are deletions.
std::vector<PendingOperation> ChosenDeletions() {
    std::vector<PendingOperation> chosen;
    HWND list = PendingList();
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                MAKELPARAM(LVNI_SELECTED, 0)))) >= 0) {
        const size_t index = static_cast<size_t>(row);
        if (index < g_app.pendingRows.size() && IsDeletion(g_app.pendingRows[index])) {
            chosen.push_back(g_app.pendingRows[index]);
        }
    }
    return chosen;
}

void CancelChosenDeletions() {
    const std::vector<PendingOperation> chosen = ChosenDeletions();
    if (chosen.empty() || !ConfirmPrompt(g_app.pendingWindow, kConfirmCancelDeletion)) {
        return;
    }
    CancelFailure failure;
    if (!RemoveChosen(chosen, failure)) {
        ShowCancelFailure(failure);
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

// Each row that says "成功" and whose file no pending deletion names any more, in any spelling
// the file system takes for the same name, says "已取消". Nothing is marked when the values
// could not be read whole: the row may still be pending.
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
        if (!DeletionPending(GetRowWideText(row, 0), operations, SameFileSystemName)) {
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
    g_app.pendingRows.clear();
    MarkCancelledRows();
}

INT_PTR CALLBACK PendingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnPendingInitDialog(window);
        case WM_COMMAND:
            OnPendingCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            EndDialog(window, 0);
            return TRUE;
        default:
            return FALSE;
    }
}
