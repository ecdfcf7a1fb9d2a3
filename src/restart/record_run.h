#pragma once

// Recording a run's deletions. The read-only attributes go first; then, under the system's lock on
// the pending values, the renames are read again (another program may have recorded one while the
// run walked), the cap is checked again against the values as they stand, every row that still
// passes is added to the first value in one write, and the value is read back. Under the lock
// there is no box, no walk and no change on disk.

#include <optional>
#include <utility>
#include <vector>

#include "restart/boot_survey.h"
#include "restart/restart_run.h"
#include "restart/run_plan.h"

// The outcome of a row the renames touch: for a folder row into or out of which a rename moves
// anything, the names it moves, which its row's box lists, and how many; nothing when none does.
std::optional<RowOutcome> RenameRefusal(const PlannedRow& planned, const RenamedNames& renamed);

struct RecordedRun {
    // What became of each planned row, by row, in the rows' order.
    std::vector<std::pair<int, RowOutcome>> outcomes;
    // The main window was closed while the run waited for the lock: nothing was recorded, and
    // every attribute the run cleared is back.
    bool stopped = false;
};

// Records the planned rows (each admitted when its survey ended, with keys, against the values as
// the survey read them) and says what became of each; a row that passes is given the path
// recorded for it (SetRowRecordedPath).
RecordedRun RecordPlannedRows(std::vector<PlannedRow>& rows, BootSurvey& survey, RecordedKeys keys);
