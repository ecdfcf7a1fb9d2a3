#pragma once

// Dropped files: a window registered here accepts files dropped on it and hands each one, in
// drop order, to its callback. The main window's callback adds them to the deletion list.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Makes a window accept dropped files; a second call for the same window changes nothing.
void RegisterDropTarget(HWND window, WNDPROC callback);
// 1-based position of the window's entry, or 0.
int FindDropTarget(HWND window);
// The procedure installed on a registered window: takes WM_DROPFILES, passes on everything else.
LRESULT CALLBACK DropTargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One WM_DROPFILES. Only a moveable global block that holds a whole drop block is read, its names
// copied out, and released (DragFinish) before its files are listed; any other handle (NULL, a
// pointer, a broken block, a drop already released) adds nothing and is left as it was.
void HandleDroppedFiles(HDROP drop, HWND window);

// The main window's callback, called as a window procedure with (file count, 1-based index,
// path, extension or NULL) in its four slots. Appends files not yet listed.
LRESULT CALLBACK OnFileDropped(HWND count, UINT index, WPARAM path, LPARAM extension);

// The paths of a drop or a start that were not listed, in order: those that name nothing, and
// those that cannot be listed as themselves (no exact form in the program's code page, and no
// short name).
struct PathsLeftOut {
    std::vector<WideText> missing;
    std::vector<WideText> unlistable;
};

// Paths a start handed the window (its command line): listed as a drop of them is, the same rules
// and callback, except that a drop names only files that exist and a command line may not, so
// only the paths that name something in the native view are listed. Returns the others.
PathsLeftOut ListHandedPathsAsDrop(const std::vector<WideText>& paths, HWND window);
// One box owned by window that names the paths left out, under a heading for each kind, the first
// 20 of each and how many more; nothing when there are none.
void TellPathsLeftOut(HWND window, const PathsLeftOut& leftOut);
