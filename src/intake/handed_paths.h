#pragma once

// Paths handed to the main window by a start of the program: its own command line, or another
// start's, which hands them over and ends (WM_COPYDATA). The window treats them as a drop: they
// are listed, never scheduled; a path that names nothing is not listed, and a box says which.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Posted to the main window to list the handed paths waiting.
inline constexpr UINT kListHandedPaths = WM_APP + 1;

// Keeps a start's paths to be listed once the window has faded in.
void KeepHandedPaths(std::vector<WideText> paths);
// The window has faded in: the paths waiting are listed, and those handed later.
void StartListingHandedPaths(HWND window);
// WM_COPYDATA: takes a whole hand-over block, brings the window to the front and returns TRUE;
// FALSE for any other block, and while the window closes, so that the start opens a window of
// its own rather than lose its paths. Only copies: the listing waits for kListHandedPaths, so the
// start is answered at once, whatever question the listing asks.
BOOL TakeHandedPaths(HWND window, const COPYDATASTRUCT* data);
// kListHandedPaths: lists every batch waiting, in order, each after the one before has asked
// its questions; a batch handed meanwhile waits its turn.
void ListHandedPaths(HWND window);
