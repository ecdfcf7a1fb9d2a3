#pragma once

// The last restart's results: a dialog, opened from the main window's system menu, that says
// what the system's log tells of the last restart and lists every operation a boot logged as
// failed, with why, the last boot's first.

#include <vector>

#include "pending/pending_rules.h"
#include "platform/win32.h"

// Appends the item IDM_BOOT_LOG to the main window's system menu.
void AddBootLogMenuItem(HWND mainWindow);
// The system-menu command: runs the dialog modally, owned by the main window, over the log as it
// is now, each path shown as the to-do list shows it. Does nothing while the dialog is already
// open.
void ShowLastRestart();
INT_PTR CALLBACK BootLogDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
