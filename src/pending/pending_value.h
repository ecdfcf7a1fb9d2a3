#pragma once

// The two values under the Session Manager key that hold what the next restart will do, read as
// the system keeps them: by the to-do list, and by the restart run, which must know the renames
// carried out before its deletions.

#include <functional>
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
// One value as it stands, read again while another program grows it in between; into room, when it
// is given and large enough, without a new allocation.
PendingValue ReadPendingValue(HKEY key, const WideText& name, WideText room = {});
// Writes a value's new units; a value that holds no operation any more is deleted.
LONG WritePendingValue(HKEY key, const WideText& name, const WideText& units);
// Both values as they stand, each operation's equal pairs before it not counted; false when a
// value could not be read whole (values then holds what did read).
bool ReadPendingValues(PendingValues& values);
// The two values as read, the first's operations first, each knowing its value: what every
// reader of both works on.
PendingValues BothValues(PendingValue first, PendingValue second);
// A refusal of the registry's, told as a refused restart request is: access denied, or the error.
Text RegistryRefusal(LONG status);
// Why a value could not be read whole: the registry's answer, or that it kept growing.
Text UnreadableRefusal(const PendingValue& value);
enum class CancelEnd {
    kDone,
    kFailed,   // nothing changed; failure says why
    kStopped,  // stopped while waiting for another program: nothing changed
};
// Takes exactly the chosen deletions out of the values as they stand now, each value re-read just
// before it is written and written once, holding the system's lock on them. While another program
// holds it, waiting() is called once and stopped() can end the wait. A write that fails puts back
// what was already written, so a failed cancel changes nothing; failure then says why in the
// program's texts (code page 936).
CancelEnd CancelPendingDeletions(const std::vector<ChosenPair>& chosen,
                                 const std::function<void()>& waiting,
                                 const std::function<bool()>& stopped, Text& failure);
