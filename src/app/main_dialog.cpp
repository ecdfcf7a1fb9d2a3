#include "app/app_state.h"
#include "app/fade.h"
#include "app/shell.h"
#include "intake/batch_dialog.h"
#include "intake/drop_target.h"
#include "intake/open_file.h"
#include "list/deletion_list.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/restart_deletion.h"
#include "runtime/wide_text.h"

namespace {

constexpr int kPathColumnWidth = 300;
constexpr int kResultColumnWidth = 80;

struct ButtonText {
    int id;
    const char* text;
};
constexpr ButtonText kButtonTexts[] = {
    {IDC_ADD, kAddButton},
    {IDC_REMOVE, kRemoveButton},
    {IDC_BATCH_ADD, kBatchAddButton},
    {IDC_CLEAR_LIST, kClearListButton},
    {IDC_RESTART_DELETE, kRestartDeleteButton},
};

// The ANSI dialog manager created the buttons with the template's texts passed through the
// system's code page, which lacks the Chinese ones outside 936; the UTF-16 texts replace them.
void SetButtonTexts(HWND window) {
    for (const ButtonText& button : kButtonTexts) {
        SetWindowTextW(GetDlgItem(window, button.id), WideC(UiText(button.text)));
    }
}

BOOL OnMainInitDialog(HWND window) {
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_app.mainIcon));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_app.mainIcon));
    g_app.mainWindow = window;
    // In UTF-16, and before the drop target's ANSI window procedure is installed: from then on a
    // text set on the window passes through the system's code page.
    SetWindowTextW(window, WideC(UiText(kMainCaption)));
    SetButtonTexts(window);
    g_app.listControl = GetDlgItem(window, IDC_FILE_LIST);
    SetListExtendedStyles();
    AddColumn(kPathColumnWidth, kColumnPath, 0);
    AddColumn(kResultColumnWidth, kColumnResult, 1);
    // Drops are accepted from the moment the window can be seen, so before the fade-in.
    RegisterDropTarget(window, OnFileDropped);
    FadeInWindow(window);
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

void OnMainCommand(int commandId) {
    // A restart run addresses rows by index; nothing may change the list under it.
    if (g_app.restartRunning) {
        return;
    }
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
            // Enter and Escape arrive as IDOK and IDCANCEL; they must not close the window.
            break;
    }
}

void OnMainClose(HWND window) {
    FadeOutWindow(window);
    EndDialog(window, 0);
}

}  // namespace

int StartApplication() {
    HMODULE module = GetModuleHandleA(nullptr);
    g_app.mainIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_APP));
    InitCommonControls();
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    return 0;
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return OnMainInitDialog(window);
        case WM_COMMAND:
            OnMainCommand(LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            OnMainClose(window);
            return TRUE;
        case WM_SIZE:
            return TRUE;
        default:
            return FALSE;
    }
}
