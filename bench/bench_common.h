#pragma once

// What both benchmarks measure alike: the clock, the numbered paths they drop, and the floor of
// bare calls an intake cannot do without (one look at the queue per new path).

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

// Seconds taken by `count` bare looks at the message queue: what the design needs at least for
// each new path, whose duplicate test is one index look-up after one pump.
inline double PumpFloorSeconds(int count) {
    MSG message;
    const Clock::time_point start = Clock::now();
    for (int look = 0; look < count; ++look) {
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    }
    return Seconds(start, Clock::now());
}

}  // namespace bench
