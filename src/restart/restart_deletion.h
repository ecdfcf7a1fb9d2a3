#pragma once

// Asking the system to delete every listed path at the next restart.

#include "runtime/text.h"

// MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT): true when the system accepted it.
bool ScheduleDeleteOnRestart(const Text& path);
// The command behind the restart-deletion button.
void ScheduleRestartDeletion();
