#pragma once

// The batch-add dialog: paths typed or pasted one per line, added after a question.

#include "platform/win32.h"
#include "runtime/text.h"

// The command behind the batch button: runs the dialog modally. Returns 0.
int RunBatchAddDialog();
INT_PTR CALLBACK BatchAddDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The "确定" button: asks, then adds every line that names an existing file not yet listed.
void AddBatchPaths();
// The "粘贴" button: the clipboard's text replaces the edit box's content.
void PasteBatchText();
Text GetEditText(HWND window);
Text GetClipboardText();
