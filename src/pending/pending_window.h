#pragma once

// The restart's to-do list: a dialog, opened from the main window's system menu, that lists every
// operation the next restart will carry out and cancels chosen deletions.

#include "platform/win32.h"

// Appends a separator and the item IDM_PENDING to the main window's system menu.
void AddPendingMenuItem(HWND mainWindow);
// The system-menu command: runs the dialog modally, owned by the main window; when it closes,
// each row whose result is "成功" and whose deletion (a folder's: its own or any under it) is no
// longer pending shows "已取消". Does nothing while the dialog is already open.
void ShowPendingOperations();
INT_PTR CALLBACK PendingDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
