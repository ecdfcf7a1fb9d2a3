#pragma once

// Asking the system to delete every listed path at the next restart.

#include <optional>

#include "restart/boot_survey.h"
#include "restart/restart_run.h"
#include "runtime/text.h"

// One row of a run: what the boot will see of its file is gathered and decided on; a file the
// boot would delete is asked for with MoveFileExW of its literal UTF-16 form, NULL,
// MOVEFILE_DELAY_UNTIL_REBOOT. Refused with the reason when the boot would not delete exactly
// that file, or when the system refuses the request.
// listedLocation is where the row's file was when it was listed, when that could be told.
RowOutcome ScheduleDeleteOnRestart(BootSurvey& survey, const WideText& path,
                                   const std::optional<WideText>& listedLocation);
// Rows 0 .. rowCount-1 in order, each result written into its row as it comes; true when at
// least one was accepted.
bool ScheduleListedRows(int rowCount);
// The command behind the restart-deletion button.
void ScheduleRestartDeletion();
