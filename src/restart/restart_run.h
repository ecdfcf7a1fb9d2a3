#pragma once

// The order of a restart run, apart from the platform: each row, top to bottom, is read, asked
// for, reported and followed by a pump pass. Pure: no platform here.

#include <functional>

#include "runtime/text.h"

// What became of one row: asked for and accepted, or refused with its reason (one of the
// program's texts, code page 936).
struct RowOutcome {
    bool accepted = false;
    Text reason;
};

struct RestartRunSteps {
    // The row's path as the list keeps it, in UTF-16.
    std::function<WideText(int row)> readPath;
    std::function<RowOutcome(int row, const WideText& path)> scheduleDeletion;
    std::function<void(int row, const RowOutcome& outcome)> reportResult;
    std::function<void()> pump;
};

// Runs rows 0 .. rowCount-1 in order; true when at least one path was accepted.
bool ScheduleRows(int rowCount, const RestartRunSteps& steps);
