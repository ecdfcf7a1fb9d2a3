#pragma once

// The batch-add dialog: paths typed or pasted one per line, added after a question.

#include "platform/win32.h"
#include "runtime/text.h"

// The command behind the batch button: runs the dialog modally. Returns 0. Does nothing while a
// batch dialog still exists (the main window can be back early, after a close during a batch).
int RunBatchAddDialog();
INT_PTR CALLBACK BatchAddDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The "确定" button: asks, then adds every line that names an existing file not yet listed, and
// ends the dialog. Ignored while an earlier batch is still being processed.
void AddBatchPaths();
// The "粘贴" button: the clipboard's text replaces the edit box's content, as it is.
void PasteBatchText();
// The window's whole text, in UTF-16.
WideText GetEditText(HWND window);
// The clipboard's text in UTF-16, read within its block: its UTF-16 text when it has one, else
// its ANSI text converted. Empty when there is none or the clipboard is busy.
WideText GetClipboardText();
