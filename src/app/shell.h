#pragma once

// The process entry, the main window and the small window helpers every command uses.

#include "platform/win32.h"
#include "runtime/text.h"

// Sets up the state and runs the program; the process exit code (always 0).
int RunProcess();
// Runs the main window as a modal dialog until it is closed. Returns 0.
int StartApplication();
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Dispatches every message already waiting in the queue; never waits. WM_QUIT stays queued.
void PumpPendingMessages();
// A message box of the program's own texts (code page 936 literals), shown in UTF-16 so that it
// reads the same on every code page; the box's result minus one (IDOK gives 0). A null caption
// shows " ".
int ShowMessage(HWND owner, const char* text, UINT type, const char* caption = nullptr);
// The same for a text that holds more than the program's own (a path), with the caption " ".
int ShowWideMessage(HWND owner, const WideText& text, UINT type);
// Once the main window has been asked to close: asks every box and dialog in front of it (owned by
// it, or by one of those) to close too, so that the modal loops under them end and the program
// with them. Nothing before that.
void CloseWindowsInFront();
// An OK/Cancel question with the question icon and an empty caption: true for OK.
bool ConfirmPrompt(HWND owner, const char* text);
