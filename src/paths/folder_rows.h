#pragma once

// A folder in the deletion list: its row shows the folder's full path followed by a backslash
// ("C:\old\app\"), which no file's path ends with. Pure: no platform here.

#include "runtime/text.h"

// True for a row that stands for a folder and everything in it.
bool IsFolderRow(const WideText& row);
// The row of a folder: its path with one backslash after it ("C:\" stays as it is).
WideText FolderRow(const WideText& folder);
// The folder a folder row stands for: without its final backslash, except a drive's root
// ("C:\"), which keeps it. Any other row as it is.
WideText FolderOfRow(const WideText& row);
