#pragma once

// What the last restart could not carry out, from the record the system keeps of it: the session
// manager's PFRO.log in the system's Windows folder, its last MiB read (boot_log_rules.h), and its
// last boot told apart from the boot the system is running. The program keeps no state of its
// own about a restart.

#include "pending/boot_log_rules.h"
#include "platform/win32.h"
#include "runtime/text.h"

enum class BootLogState { kAbsent, kRead, kUnreadable };

struct LastRestart {
    BootLogState state = BootLogState::kAbsent;
    // The system's error when the log could not be read.
    DWORD error = ERROR_SUCCESS;
    BootLog log;
    // The log's last boot is the one the system is running now: its time, taken to UTC by the
    // time-zone rules of its own date, is not before the boot's start less two minutes.
    bool lastIsThisBoot = false;
};

LastRestart ReadLastRestart();

// The "原因" a failure's status gives, in UTF-16.
WideText FailureReason(uint32_t status);

// Keeps in the state, for the rest of the process, the deletions this boot logged as failed, with
// the reason a row listed for one of them shows. The log changes only while the system boots, so
// what it says at start-up holds as long as the program runs.
void KeepLastRestartFailures();
