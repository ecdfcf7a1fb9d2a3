#include "restart/rename_rules.h"

void AddRenamedName(RenamedNames& renamed, const OrdinaryPath& name, CaseTable table) {
    if (name.empty()) {
        return;
    }
    renamed.names.push_back(name);
    AddPath(renamed.kept, name, table);
    AddFoldersAbove(renamed.holding, name, table);
}

bool RenameTouchesFile(const RenamedNames& renamed, const OrdinaryPath& path, CaseTable table) {
    return HasMatch(renamed.kept, path, table, Matching::kPathOrFolderAbove);
}

bool RenameTouchesFolder(const RenamedNames& renamed, const OrdinaryPath& folder, CaseTable table) {
    return RenameTouchesFile(renamed, folder, table) ||
           HasMatch(renamed.holding, folder, table, Matching::kPath);
}

std::vector<OrdinaryPath> RenamedNamesIn(const RenamedNames& renamed, const OrdinaryPath& folder,
                                         CaseTable table) {
    std::vector<OrdinaryPath> inside;
    FoldedPaths<OrdinaryPath> wanted;
    AddPath(wanted, folder, table);
    for (const OrdinaryPath& name : renamed.names) {
        if (HasMatch(wanted, name, table, Matching::kFolderAbove)) {
            inside.push_back(name);
        }
    }
    return inside;
}
