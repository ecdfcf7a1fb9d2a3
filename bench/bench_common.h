#pragma once

// What both benchmarks measure alike: the clock, the numbered paths they drop, and the floor of
// bare calls the duplicate scan cannot do without (one LVM_GETITEMTEXTW and one look at the queue
// per row read).

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/win32.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// The i-th of a numbered series of paths, e.g. C:\bench\new00042.txt.
inline std::string NumberedPath(const char* stem, int i) {
    char path[64];
    std::snprintf(path, sizeof path, "C:\\bench\\%s%05d.txt", stem, i);
    return path;
}

// Rows read when `count` new files are appended to `existing` rows: each new file is compared
// with every row present before it.
inline long long RowReads(int count, int existing) {
    const long long n = count;
    return n * existing + n * (n - 1) / 2;
}

// Seconds taken by `reads` bare row reads of `list`, cycling over its rows.
inline double FloorSeconds(HWND list, long long reads) {
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    WCHAR buffer[260];
    MSG message;
    const Clock::time_point start = Clock::now();
    for (long long read = 0; read < reads; ++read) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 260;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(read % rows),
                     reinterpret_cast<LPARAM>(&item));
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    return Seconds(start, Clock::now());
}

}  // namespace bench
