#pragma once

// The names another program's pending renames move from and to, read as the paths rows name:
// ordinary, with a volume's GUID or device name as its drive letter, and 8.3 names long. Each
// name is worked out once in a run: the renames read again just before the run's write only add
// the names not seen before.

#include <unordered_map>
#include <vector>

#include "pending/pending_rules.h"
#include "restart/rename_rules.h"
#include "restart/volumes.h"

struct RenameSpellings {
    // Each source or destination as recorded, and the path it names.
    std::unordered_map<WideText, OrdinaryPath> seen;
    // Every drive letter's other names, asked at the first rename.
    std::vector<VolumeAlias> aliases;
    bool aliasesAsked = false;
};

// Every name a rename of values moves from or to; deletions are left out, since a file already
// pending deletion may be asked for again.
RenamedNames RenamedNamesOf(const PendingValues& values, RenameSpellings& spellings,
                            VolumeCache& volumes, CaseTable table);
