#include "restart/folder_rules.h"

#include <algorithm>

#include "paths/literal_forms.h"

bool IsSystemFolder(const OrdinaryPath& folder, const SystemFolders& system, CaseTable table) {
    if (IsDriveRoot(folder)) {
        return true;
    }
    const auto same = [&](const OrdinaryPath& known) {
        return !known.empty() && SameName(folder, known, table);
    };
    // A folder that holds the Windows folder holds the system itself.
    FoldedPaths<OrdinaryPath> holdingWindows;
    AddFoldersAbove(holdingWindows, system.windows, table);
    if (same(system.windows) || HasMatch(holdingWindows, folder, table, Matching::kPath)) {
        return true;
    }
    // The Users folder, and each profile in it (Public and Default among them).
    if (same(system.users) ||
        (!system.users.empty() && SameName(ParentOf(folder), system.users, table))) {
        return true;
    }
    return std::any_of(system.others.begin(), system.others.end(), same);
}
