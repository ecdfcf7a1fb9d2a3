#pragma once

// The folders a folder row never reaches into: the system's own. Pure: no platform here.

#include <vector>

#include "paths/folded_names.h"
#include "runtime/path_texts.h"

// The folders of the system's own, as this system names them; an empty one is not known.
struct SystemFolders {
    OrdinaryPath windows;
    // The folder that holds the users' profiles.
    OrdinaryPath users;
    // Program Files (each of them), ProgramData, profiles kept elsewhere.
    std::vector<OrdinaryPath> others;
};

// True for a folder the program never walks: a drive's root, the Windows folder or a folder
// that holds it, the Users folder or a profile in it, or one of the others. folder is an
// ordinary full path without a final backslash (a drive's root keeps it).
bool IsSystemFolder(const OrdinaryPath& folder, const SystemFolders& system, CaseTable table);
