#pragma once

// The names another program's pending renames move from and to, read as the paths rows name
// (SpelledPath): ordinary, in whatever spelling they were recorded, 8.3 names long and links on
// the way followed. Each name is worked out once in a run: the renames read again just before the
// run's write only add the names not seen before.

#include "pending/pending_rules.h"
#include "pending/spelled_names.h"
#include "restart/rename_rules.h"

// Every name a rename of values moves from or to; deletions are left out, since a file already
// pending deletion may be asked for again. A name of no drive or share the program knows makes
// the renames unknown (RenamedNames::unknown).
RenamedNames RenamedNamesOf(const PendingValues& values, SpelledNames& names, CaseTable table);
