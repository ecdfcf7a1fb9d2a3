#pragma once

// Asking the system to delete every listed path at the next restart.

#include "runtime/text.h"

// When the boot can delete the file the path names: MoveFileExW of its literal UTF-16 form, NULL,
// MOVEFILE_DELAY_UNTIL_REBOOT. True when it was asked for and the system accepted it.
bool ScheduleDeleteOnRestart(const Text& path);
// The command behind the restart-deletion button.
void ScheduleRestartDeletion();
