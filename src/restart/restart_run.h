#pragma once

// The order of a restart run, apart from the platform: each row, top to bottom, is read, asked
// for, reported and followed by a pump pass. Pure: no platform here.

#include <functional>

#include "runtime/text.h"

struct RestartRunSteps {
    std::function<Text(int row)> readPath;
    std::function<bool(const Text& path)> scheduleDeletion;
    std::function<void(int row, bool accepted)> reportResult;
    std::function<void()> pump;
};

// Runs rows 0 .. rowCount-1 in order; true when at least one path was accepted.
bool ScheduleRows(int rowCount, const RestartRunSteps& steps);
