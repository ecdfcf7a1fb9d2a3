#pragma once

// Dropped files: a window registered here accepts files dropped on it and hands each one, in
// drop order, to its callback. The main window's callback adds them to the deletion list.

#include "platform/win32.h"

// Makes a window accept dropped files; a second call for the same window changes nothing.
void RegisterDropTarget(HWND window, WNDPROC callback);
// 1-based position of the window's entry, or 0.
int FindDropTarget(HWND window);
// The procedure installed on a registered window: takes WM_DROPFILES, passes on everything else.
LRESULT CALLBACK DropTargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One WM_DROPFILES. A handle that is NULL, no memory block, or no drop block whose names end
// inside it adds nothing; the same handle arriving again while it is read is ignored.
void HandleDroppedFiles(HDROP drop, HWND window);

// The main window's callback, called through CallWindowProcA with (file count, 1-based index,
// path, extension or NULL) in the four window-procedure slots. Appends files not yet listed.
LRESULT CALLBACK OnFileDropped(HWND count, UINT index, WPARAM path, LPARAM extension);
