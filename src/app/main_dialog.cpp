#include <vector>

#include "app/context_menu.h"
#include "app/fade.h"
#include "app/one_window.h"
#include "app/send_to.h"
#include "app/shell.h"
#include "intake/batch_dialog.h"
#include "intake/drop_target.h"
#include "intake/handed_paths.h"
#include "intake/open_file.h"
#include "list/deletion_list.h"
#include "pending/boot_log.h"
#include "pending/boot_log_window.h"
#include "pending/pending_window.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/restart_deletion.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/prompts.h"
#include "ui/window_layout.h"

namespace {

// At 96 DPI. The dialog grows with its font at a higher DPI, and the columns with it, so that they
// keep their share of the list.
constexpr int kPathColumnWidth = 300;
constexpr int kResultColumnWidth = 80;
constexpr int kReasonColumnWidth = 160;

// The list takes the room of a larger window; the buttons keep their column at the right.
const std::vector<AnchoredControl> kMainControls = {
    {IDC_FILE_LIST, LayoutAnchor::kFills},        {IDC_ADD, LayoutAnchor::kRightColumn},
    {IDC_REMOVE, LayoutAnchor::kRightColumn},     {IDC_BATCH_ADD, LayoutAnchor::kRightColumn},
    {IDC_CLEAR_LIST, LayoutAnchor::kRightColumn}, {IDC_RESTART_DELETE, LayoutAnchor::kRightColumn},
};

WindowLayout g_mainLayout;

BOOL OnMainInitDialog(HWND window) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_app.mainIcon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_app.mainIcon));
    g_app.mainWindow = window;
    SetWindowTextW(window, WideC(UiText(kMainCaption)));
    g_app.listControl = GetDlgItem(window, IDC_FILE_LIST);
    SetListExtendedStyles();
    const int dpi = WindowDpi(window);
    AddColumn(ScaleForDpi(kPathColumnWidth, dpi), kColumnPath, 0);
    AddColumn(ScaleForDpi(kResultColumnWidth, dpi), kColumnResult, 1);
    AddColumn(ScaleForDpi(kReasonColumnWidth, dpi), kColumnReason, 2);
    g_mainLayout = RecordLayout(window, kMainControls);
    AddPendingMenuItem(window);
    AddBootLogMenuItem(window);
    AddSendToMenuItem(window);
    // Before any path is listed: a row whose file the last restart failed to delete says so.
    KeepLastRestartFailures();
    AddContextMenuItem(window);
    // Drops are accepted from the moment the window can be seen, so before the fade-in; so are
    // other starts' paths, which wait with the command line's until it has faded in.
    RegisterDropTarget(window, OnFileDropped);
    MarkProgramWindow(window);
    FadeInWindow(window);
    StartListingHandedPaths(window);
    return TRUE;
}

void RemoveFocusedRow() {
    RemoveRow(FocusedRow());
}

void ClearListAfterQuestion() {
    if (RowCount() != 0 && ConfirmPrompt(g_app.mainWindow, kConfirmClear)) {
        ClearRows();
    }
}

void RunMainCommand(int commandId) {
    switch (commandId) {
        case IDC_ADD:
            AddSelectedFiles();
            break;
        case IDC_REMOVE:
            RemoveFocusedRow();
            break;
        case IDC_BATCH_ADD:
            RunBatchAddDialog();
            break;
        case IDC_CLEAR_LIST:
            ClearListAfterQuestion();
            break;
        case IDC_RESTART_DELETE:
            ScheduleRestartDeletion();
            break;
        default:
            break;
    }
}

bool IsCommandButton(int commandId) {
    return commandId == IDC_ADD || commandId == IDC_REMOVE || commandId == IDC_BATCH_ADD ||
           commandId == IDC_CLEAR_LIST || commandId == IDC_RESTART_DELETE;
}

void OnMainCommand(int commandId) {
    // A restart run addresses rows by index; nothing may change the list under it. Enter and
    // Escape arrive as IDOK and IDCANCEL; they must not close the window.
    if (g_app.restartRunning || !IsCommandButton(commandId)) {
        return;
    }
    // A command that arrives while an intake appends with the list's redraw held shows the user
    // the rows it works on, and the results a restart run writes, as they change.
    const int holds = LiftListRedrawHolds();
    RunMainCommand(commandId);
    RestoreListRedrawHolds(holds);
}

// Only the program's own system commands are handled here; every other one goes on to the system.
BOOL OnMainSysCommand(HWND window, UINT command) {
    if (command == IDM_SEND_TO) {
        ToggleSendTo(window);
        return TRUE;
    }
    if (command == IDM_BOOT_LOG) {
        ShowLastRestart();
        return TRUE;
    }
    if (command == IDM_CONTEXT_MENU) {
        ToggleContextMenu(window);
        return TRUE;
    }
    if (command != IDM_PENDING) {
        return FALSE;
    }
    // As a button's command: rows marked when the dialog closes are shown during an intake too.
    const int holds = LiftListRedrawHolds();
    ShowPendingOperations();
    RestoreListRedrawHolds(holds);
    return TRUE;
}

// The list asks for each cell it shows; a double-click on a refused folder's row shows what in
// it the restart would not delete.
BOOL OnMainNotify(HWND window, NMHDR* header) {
    if (header == nullptr || header->idFrom != IDC_FILE_LIST) {
        return FALSE;
    }
    switch (header->code) {
        case LVN_GETDISPINFOW:
            AnswerListCell(*reinterpret_cast<NMLVDISPINFOW*>(header));
            return TRUE;
        case LVN_ODFINDITEMW:
            SetWindowLongPtrW(window, DWLP_MSGRESULT,
                              FindListedRow(*reinterpret_cast<NMLVFINDITEMW*>(header)));
            return TRUE;
        case NM_DBLCLK:
            ShowRowRefusals(FocusedRow());
            return TRUE;
        default:
            return FALSE;
    }
}

void OnMainSize(HWND window, UINT kind, int width, int height) {
    if (kind != SIZE_MINIMIZED) {
        LayOutControls(window, g_mainLayout, width, height);
    }
}

void OnMainClose(HWND window) {
    // A close that arrives while a box or the open-file dialog is open (from the taskbar, say, or
    // at log-off) closes them first, innermost first; the window itself ends when the command
    // that opened them returns.
    g_app.closeRequested = true;
    CloseWindowsInFront();
    FadeOutWindow(window);
    EndDialog(window, 0);
}

}  // namespace

int StartApplication() {
    HMODULE module = GetModuleHandleA(nullptr);
    g_app.mainIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_APP));
    InitCommonControls();
    // The W dialog manager keeps the template's UTF-16 texts (the buttons) and makes the window a
    // UTF-16 one, which keeps the caption whole; the ANSI one passes both through the system's
    // code page, which outside 936 lacks the Chinese texts.
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0);
    return 0;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnMainInitDialog(window);
        case WM_COMMAND:
            OnMainCommand(LOWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            // The system keeps the low four bits of a system command for itself.
            return OnMainSysCommand(window, static_cast<UINT>(wParam & 0xFFF0));
        case WM_INITMENUPOPUP:
            // The window menu opens: its Send To and right-click menu items say what choosing
            // them would do now.
            if (HIWORD(lParam) != 0) {
                ShowSendToMenuItem(reinterpret_cast<HMENU>(wParam));
                ShowContextMenuItem(reinterpret_cast<HMENU>(wParam));
            }
            return FALSE;
        case WM_COPYDATA:
            SetWindowLongPtrW(window, DWLP_MSGRESULT,
                              TakeHandedPaths(window, reinterpret_cast<COPYDATASTRUCT*>(lParam)));
            return TRUE;
        case kListHandedPaths:
            ListHandedPaths(window);
            return TRUE;
        case WM_NOTIFY:
            return OnMainNotify(window, reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            OnMainClose(window);
            return TRUE;
        case WM_SIZE:
            OnMainSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            return KeepMinimumSize(g_mainLayout, reinterpret_cast<MINMAXINFO*>(lParam));
        default:
            return FALSE;
    }
}
