#pragma once

// The system's lock on the pending values. Windows' session manager creates a mutex,
// \PendingRenameMutex, in the root of the object namespace at boot, and MoveFileEx holds it while
// it reads PendingFileRenameOperations, adds to it and writes it back; each read-modify-write of
// the program's holds it too, and never across a box, a folder's walk or a change on disk. Older
// systems and Wine have no such mutex: nothing is held there.

#include <functional>

#include "platform/win32.h"

struct PendingLock {
    HANDLE mutant = nullptr;
    bool held = false;
};

enum class LockWait {
    kHeld,     // held until ReleasePendingLock
    kNoLock,   // the system has none, or it cannot be opened or waited for: nothing is held
    kStopped,  // stopped() said so during the wait: nothing is held
};

// Takes the lock. While another program holds it the window keeps answering: the queue is pumped
// as messages arrive, waiting() is called once, when the wait begins, and stopped() after each
// pass (the window that waits was asked to close, say) ends the wait. A lock its last owner
// abandoned (it ended without letting go) is held as any other.
LockWait TakePendingLock(PendingLock& lock, const std::function<void()>& waiting,
                         const std::function<bool()>& stopped);
// Lets go of a lock TakePendingLock gave; nothing for one it did not.
void ReleasePendingLock(PendingLock& lock);
