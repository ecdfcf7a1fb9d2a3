#pragma once

// Some boots delete no read-only file (Wine's and ReactOS's do not clear the attribute first), so
// the run clears the attribute of every file and folder it records, just before its write, and
// puts it back when they are not recorded after all. Each change goes through a handle opened
// without following a final link and checked to be the surveyed file, never by path alone: a
// folder on the way swapped for a junction in between leads it nowhere else.

#include "paths/file_identity.h"
#include "platform/win32.h"
#include "runtime/path_texts.h"

// A file whose read-only attribute the run cleared, and what its attributes were.
struct ClearedAttribute {
    RecordedPath path;
    FileIdentity identity;
    DWORD attributes = 0;
};

enum class ClearEnd {
    kCleared,
    // The path names another file now, or none: not the file the run looked at.
    kFileChanged,
    // It is the file, but its attribute cannot be changed (access denied, say), or it cannot be
    // told.
    kRefused,
};

// Clears the read-only attribute of the file recorded by path when it is the file identity names;
// what was cleared goes in cleared.
ClearEnd ClearReadOnly(const RecordedPath& path, const FileIdentity& identity,
                       ClearedAttribute& cleared);
// Puts back what ClearReadOnly cleared, on the same file only.
void RestoreAttributes(const ClearedAttribute& cleared);
