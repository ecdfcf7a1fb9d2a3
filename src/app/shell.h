#pragma once

// The process entry and the main window.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Hands a start's paths to the window another start has open; true when that window took them.
using HandOverCall = bool (*)(const std::vector<WideText>& paths);

// Sets up the state and runs the program; the process exit code (always 0).
int RunProcess();
// The same for a start handed paths (its command line), which are listed as a drop once the
// window has faded in. While another start's window is open they go to that window through
// handOver instead, when there is one and the window takes them, and the process ends.
int RunProcess(const std::vector<WideText>& paths, HandOverCall handOver);
// Runs the main window as a modal dialog until it is closed. Returns 0.
int StartApplication();
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
