#pragma once

// The order of a restart run, apart from the platform: each row, top to bottom, is read, decided
// and followed by a pump pass; a refused row is reported at once. The deletions of the rows that
// pass are then recorded together, and those rows reported. A run stopped on the way (its window
// is closing) records nothing. Pure: no platform here.

#include <functional>
#include <utility>
#include <vector>

#include "runtime/text.h"

// What became of one row: asked for and accepted, or refused with its reason (one of the
// program's texts, code page 936).
struct RowOutcome {
    bool accepted = false;
    Text reason;
    // Not decided yet: the row's deletions wait to be recorded with the run's others.
    bool deferred = false;
    // Written, but not seen in the value read back: the restart may still delete it.
    bool unconfirmed = false;
};

struct RestartRunSteps {
    // The row's path as the list keeps it, in UTF-16.
    std::function<WideText(int row)> readPath;
    std::function<RowOutcome(int row, const WideText& path)> scheduleDeletion;
    std::function<void(int row, const RowOutcome& outcome)> reportResult;
    std::function<void()> pump;
    // True once the run must stop: asked after each row.
    std::function<bool()> stopped;
    // Records the deferred rows' deletions; what became of each deferred row, by row.
    std::function<std::vector<std::pair<int, RowOutcome>>()> recordDeferred;
};

// Runs rows 0 .. rowCount-1 in order, then records; true when at least one path was accepted.
// Once stopped, no row is read or recorded any more.
bool ScheduleRows(int rowCount, const RestartRunSteps& steps);
