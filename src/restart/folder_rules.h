#pragma once

// What a folder row comes to at the restart run. The boot removes a folder only when it is empty
// by then, and carries out the operations in the order they were recorded: a folder goes only
// when everything in it is recorded before it. Pure: no platform here.

#include <vector>

#include "restart/boot_view.h"
#include "runtime/text.h"

// The folders of the system's own, as this system names them; an empty one is not known.
struct SystemFolders {
    WideText windows;
    // The folder that holds the users' profiles.
    WideText users;
    // Program Files (each of them), ProgramData, profiles kept elsewhere.
    std::vector<WideText> others;
};

// True for a folder the program never walks: a drive's root, the Windows folder or a folder
// that holds it, the Users folder or a profile in it, or one of the others. folder is an
// ordinary full path without a final backslash (a drive's root keeps it).
bool IsSystemFolder(const WideText& folder, const SystemFolders& system, SameNameFunction sameName);

// One entry of a walked folder, the folder itself first.
struct FolderEntry {
    // As the walk reached it: the folder's path and the names below it.
    WideText path;
    // The name the file system knows it by (its final path), which tells an entry a row of this
    // run has recorded already, however either was spelt.
    WideText key;
    bool folder = false;
    // 0 for the folder itself, 1 for what it holds, and so on.
    size_t depth = 0;
    bool readOnly = false;
    BootRefusal refusal = BootRefusal::kNone;
};

struct FolderPlan {
    // The refused entries, in the walk's order; when there is one, nothing is recorded.
    std::vector<size_t> refused;
    // The entries to record, in the order the boot must meet them: every file, then every folder
    // deepest first, then the folder itself.
    std::vector<size_t> toRecord;
};

// All or nothing: entries are the folder itself and what the walk found.
FolderPlan PlanFolderDeletion(const std::vector<FolderEntry>& entries);

// The "原因" of a refused folder (code page 936): the folder's own reason, or the first refused
// entry's followed by how many were refused, " (共 2 项)".
Text FolderRefusalReason(const std::vector<FolderEntry>& entries, const FolderPlan& plan);
