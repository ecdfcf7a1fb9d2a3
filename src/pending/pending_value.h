#pragma once

// The two values under the Session Manager key that hold what the next restart will do, read as
// the system keeps them: by the to-do list, and by the restart run, which must know the renames
// carried out before its deletions.

#include <vector>

#include "pending/pending_rules.h"
#include "platform/win32.h"
#include "runtime/text.h"

// The system carries out the first value's operations, then the second's.
inline const WideText kPendingValues[] = {u"PendingFileRenameOperations",
                                          u"PendingFileRenameOperations2"};

enum class ValueState { kAbsent, kRead, kUnreadable };

struct PendingValue {
    ValueState state = ValueState::kUnreadable;
    WideText units;
    PendingOperations parsed;
    // A REG_MULTI_SZ of whole code units whose every pair is complete: only such a value is
    // ever written back.
    bool writable = false;
    // The registry's answer when the value could not be read.
    LONG error = ERROR_SUCCESS;
};

// Opens the Session Manager key with the access asked for; the registry's answer, and key nullptr
// unless it is ERROR_SUCCESS.
LONG OpenSessionManager(REGSAM access, HKEY& key);
// One value as it stands, read again while another program grows it in between.
PendingValue ReadPendingValue(HKEY key, const WideText& name);
// Every operation of both values, in the order the system carries them out, as far as they read;
// false when a value could not be read whole.
bool ReadPendingOperations(std::vector<PendingOperation>& operations);
// Takes exactly the chosen deletions out, each value re-read just before it is written and
// written once. A write that fails puts back what was already written, so a failed cancel
// changes nothing; false then, with why in the program's texts (code page 936).
bool CancelPendingDeletions(const std::vector<PendingOperation>& chosen, Text& failure);
// Adds a deletion of each source (a recorded form, "\??\C:\a.txt"), in order, to the first value
// in one write: the value read just before, every operation already there kept unit for unit, and
// read back after to see that each deletion is there. False, with why in the program's texts
// (code page 936), when the value cannot be read or is not one the program rewrites, when the
// write is refused, or when the deletions are not there after it.
bool AppendPendingDeletions(const std::vector<WideText>& sources, Text& failure);
