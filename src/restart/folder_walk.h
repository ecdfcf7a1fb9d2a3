#pragma once

// Walking a folder row's folder as the boot will meet it: in the native view, never through a
// link, every entry decided as a file row is. Each folder is opened once, checked to be the one
// its folder listed, and listed through that handle, so that nothing re-pointed on the way during
// the walk leads it elsewhere; the files themselves need not be opened.

#include <functional>
#include <optional>

#include "restart/boot_survey.h"
#include "restart/folder_rules.h"
#include "restart/walked_tree.h"
#include "runtime/path_texts.h"

// The system's own folders on this system, as its environment names them.
SystemFolders SystemFoldersNow();

enum class WalkEnd {
    kWhole,    // every entry was found, or a refusal of the folder's own ended it
    kOverCap,  // the row's deletions grew past the room they were given: the walk stopped
    kStopped,  // checked asked to stop
};

struct FolderWalk {
    WalkedTree tree;
    WalkEnd end = WalkEnd::kWhole;
};

// The folder itself first, then every entry below it; a refused folder is not walked further,
// and a system folder not at all. listedLocation is where the folder was when its row was
// listed. The walk stops once the row's deletions would take more than room bytes. checked is
// called after each part of a folder's listing (a few hundred entries at most) with the number
// of entries so far; it pumps, and stops the walk by answering false.
FolderWalk WalkFolder(BootSurvey& survey, const OrdinaryPath& folder,
                      const std::optional<LiteralPath>& listedLocation, const SystemFolders& system,
                      size_t room, const std::function<bool(size_t checked)>& checked);
