#pragma once

// The renames another program has pending, which the boot carries out before the run's
// deletions, and the rows they touch. Each rename's source and destination is kept as an
// ordinary path, folded, so that a row is asked about in one pass over its own path, however many
// renames there are. Pure: no platform here.

#include <vector>

#include "paths/folded_names.h"
#include "runtime/path_texts.h"

struct RenamedNames {
    // Every source and destination, as shown ("C:\dir\a.txt"), in the order read.
    std::vector<OrdinaryPath> names;
    // A rename names a path on no drive or share the program knows: no row can be told untouched.
    bool unknown = false;
    FoldedPaths<OrdinaryPath> kept;
    // Every folder above one of them.
    FoldedPaths<OrdinaryPath> holding;
};

void AddRenamedName(RenamedNames& renamed, const OrdinaryPath& name, CaseTable table);

// A file is touched when it, or a folder above it, is moved, replaced or made by a rename.
bool RenameTouchesFile(const RenamedNames& renamed, const OrdinaryPath& path, CaseTable table);
// A folder is touched as a file is, and also when a rename moves anything into it or out of it,
// whether that entry is there now or not: the boot removes a folder only when it is empty.
bool RenameTouchesFolder(const RenamedNames& renamed, const OrdinaryPath& folder, CaseTable table);
// The names a rename moves from or to inside the folder, in the order read; for telling the user.
std::vector<OrdinaryPath> RenamedNamesIn(const RenamedNames& renamed, const OrdinaryPath& folder,
                                         CaseTable table);
