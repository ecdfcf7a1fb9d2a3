#pragma once

// What a folder row shows while its folder is walked, and how often the walk looks at the queue.

#include <cstddef>

#include "platform/win32.h"

struct WalkProgress {
    int row = 0;
    ULONGLONG start = 0;
    ULONGLONG shown = 0;
    ULONGLONG pumped = 0;
};

WalkProgress StartWalkProgress(int row);
// Called as the walk goes, with how many entries it has checked: shows "正在检查 N 项"
// in the row's result once the walk takes longer than a moment, and pumps now and then. False
// once the main window has been asked to close: the walk stops.
bool WalkChecked(WalkProgress& progress, size_t checked);
