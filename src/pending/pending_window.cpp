#include "pending/pending_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/dpi.h"
#include "app/dpi_scale.h"
#include "app/shell.h"
#include "list/deletion_list.h"
#include "pending/pending_rules.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"

namespace {

const WideText kSessionManagerKey = u"System\\CurrentControlSet\\Control\\Session Manager";
// The system carries out the first value's operations, then the second's.
const WideText kPendingValues[] = {u"PendingFileRenameOperations", u"PendingFileRenameOperations2"};

constexpr int kFileColumnWidth = 300;
constexpr int kActionColumnWidth = 190;
// A value that keeps growing between the size query and the read is given up after this many
// tries.
constexpr int kReadAttempts = 4;

enum class ValueState { kAbsent, kRead, kUnreadable };

struct PendingValue {
    ValueState state = ValueState::kUnreadable;
    WideText units;
    PendingOperations parsed;
    // A REG_MULTI_SZ of whole code units whose every pair is complete: only such a value is
    // ever written back.
    bool writable = false;
};

HKEY OpenSessionManager(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideC(kSessionManagerKey), 0, access, &key) !=
        ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

PendingValue ReadPendingValue(HKEY key, const WideText& name) {
    PendingValue value;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG status = RegQueryValueExW(key, WideC(name), nullptr, &type, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) {
            value.state = ValueState::kAbsent;
            return value;
        }
        if (status != ERROR_SUCCESS) {
            return value;
        }
        std::vector<BYTE> bytes(size + 1);
        status = RegQueryValueExW(key, WideC(name), nullptr, &type, bytes.data(), &size);
        if (status == ERROR_MORE_DATA) {
            continue;  // another program added to it in between
        }
        if (status == ERROR_FILE_NOT_FOUND) {
            value.state = ValueState::kAbsent;
            return value;
        }
        if (status != ERROR_SUCCESS) {
            return value;
        }
        value.units.resize(size / sizeof(char16_t));
        std::memcpy(value.units.data(), bytes.data(), value.units.size() * sizeof(char16_t));
        value.parsed = ParsePendingOperations(value.units);
        value.writable =
            type == REG_MULTI_SZ && size % sizeof(char16_t) == 0 && value.parsed.wellFormed;
        value.state = ValueState::kRead;
        return value;
    }
    return value;
}

// Every operation of both values, in the order the system carries them out, as far as they read;
// false when a value could not be read whole.
bool ReadPendingOperations(std::vector<PendingOperation>& operations) {
    HKEY key = OpenSessionManager(KEY_QUERY_VALUE);
    if (key == nullptr) {
        return false;
    }
    bool whole = true;
    for (const WideText& name : kPendingValues) {
        const PendingValue value = ReadPendingValue(key, name);
        whole = whole && (value.state == ValueState::kAbsent || value.writable);
        operations.insert(operations.end(), value.parsed.operations.begin(),
                          value.parsed.operations.end());
    }
    RegCloseKey(key);
    return whole;
}

// Takes every deletion of these sources out of both values, each re-read just before it is
// written; a value that is not well formed is left alone.
void RemoveDeletions(const std::vector<WideText>& sources) {
    HKEY key = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (key == nullptr) {
        return;
    }
    for (const WideText& name : kPendingValues) {
        const PendingValue value = ReadPendingValue(key, name);
        if (value.state != ValueState::kRead || !value.writable) {
            continue;
        }
        const WideText kept = WithoutDeletions(value.units, sources);
        if (kept.size() == value.units.size()) {
            continue;  // none of them is there (any more)
        }
        if (ParsePendingOperations(kept).operations.empty()) {
            RegDeleteValueW(key, WideC(name));
        } else {
            RegSetValueExW(key, WideC(name), 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(kept.data()),
                           static_cast<DWORD>(kept.size() * sizeof(char16_t)));
        }
    }
    RegCloseKey(key);
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

// The recorded sources of the selected rows that are deletions.
std::vector<WideText> ChosenDeletions() {
    std::vector<WideText> sources;
    HWND list = PendingList();
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row),
                                                MAKELPARAM(LVNI_SELECTED, 0)))) >= 0) {
        const size_t index = static_cast<size_t>(row);
        if (index < g_app.pendingRows.size() && IsDeletion(g_app.pendingRows[index])) {
            sources.push_back(g_app.pendingRows[index].source);
        }
    }
    return sources;
}

void CancelChosenDeletions() {
    const std::vector<WideText> sources = ChosenDeletions();
    if (sources.empty() || !ConfirmPrompt(g_app.pendingWindow, kConfirmCancelDeletion)) {
        return;
    }
    RemoveDeletions(sources);
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

// Each row that says "成功" and whose path no pending deletion names any more says "已取消".
// Nothing is marked when the values could not be read whole: the row may still be pending.
void MarkCancelledRows() {
    std::vector<PendingOperation> operations;
    if (!ReadPendingOperations(operations)) {
        return;
    }
    std::vector<WideText> pendingPaths;
    for (const PendingOperation& operation : operations) {
        if (IsDeletion(operation)) {
            pendingPaths.push_back(ShownPath(operation.source));
        }
    }
    const WideText& accepted = UiText(kResultAccepted);
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        if (GetRowWideText(row, 1) != accepted) {
            continue;
        }
        const WideText path = GetRowWideText(row, 0);
        if (std::find(pendingPaths.begin(), pendingPaths.end(), path) == pendingPaths.end()) {
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
