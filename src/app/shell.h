#pragma once

// The process entry and the main window.

#include "platform/win32.h"

// Sets up the state and runs the program; the process exit code (always 0).
int RunProcess();
// Runs the main window as a modal dialog until it is closed. Returns 0.
int StartApplication();
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
