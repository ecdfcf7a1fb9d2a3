#pragma once

// The message pump and the boxes every window of the program uses.

#include "platform/win32.h"
#include "runtime/text.h"

// Dispatches every message already waiting in the queue; never waits. WM_QUIT stays queued.
void PumpPendingMessages();
// For long work that looks at the queue as it goes, but not at every step: under Wine each look
// costs about 100 us, as much as a file's own work. Pumps when 10 ms have passed since pumped, the
// tick count of the last look, and sets it to now.
void PumpNowAndThen(ULONGLONG& pumped);
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
// The same for a question put together from the program's texts (with a count).
bool ConfirmWidePrompt(HWND owner, const WideText& text);
