#pragma once

// Asking the system to delete every listed path at the next restart.

// The command behind the restart-deletion button. Each row's file, or a folder row's folder and
// everything in it, is asked for when the boot would delete exactly that; the row says why not
// otherwise.
void ScheduleRestartDeletion();
// The run itself, without the question before it and the restart after it: the first rowCount
// rows, each decided, recorded together and reported; true when any was recorded.
bool ScheduleListedRows(int rowCount);
// The box of a refused folder's row: each entry the restart would not delete, and why. Nothing
// for any other row.
void ShowRowRefusals(int row);
