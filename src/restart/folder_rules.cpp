#include "restart/folder_rules.h"

#include <algorithm>
#include <string>

#include "resources/texts.h"

namespace {

bool IsDriveRoot(const WideText& folder) {
    return (folder.size() == 2 || (folder.size() == 3 && folder[2] == u'\\')) && folder[1] == u':';
}

// True when inner lies inside outer (not when they are one).
bool Inside(const WideText& inner, const WideText& outer, SameNameFunction sameName) {
    if (outer.empty() || inner.size() <= outer.size() + 1 || inner[outer.size()] != u'\\') {
        return false;
    }
    return sameName(inner.substr(0, outer.size()), outer);
}

WideText ParentOf(const WideText& path) {
    const size_t separator = path.find_last_of(u'\\');
    return separator == WideText::npos ? WideText() : path.substr(0, separator);
}

}  // namespace

bool IsSystemFolder(const WideText& folder, const SystemFolders& system,
                    SameNameFunction sameName) {
    if (IsDriveRoot(folder)) {
        return true;
    }
    const auto same = [&](const WideText& known) {
        return !known.empty() && sameName(folder, known);
    };
    // A folder that holds the Windows folder holds the system itself.
    if (same(system.windows) || Inside(system.windows, folder, sameName)) {
        return true;
    }
    // The Users folder, and each profile in it (Public and Default among them).
    if (same(system.users) || (!system.users.empty() && sameName(ParentOf(folder), system.users))) {
        return true;
    }
    return std::any_of(system.others.begin(), system.others.end(), same);
}

FolderPlan PlanFolderDeletion(const std::vector<FolderEntry>& entries) {
    FolderPlan plan;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].refusal != BootRefusal::kNone) {
            plan.refused.push_back(i);
        }
    }
    if (!plan.refused.empty()) {
        return plan;
    }
    std::vector<size_t> folders;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].folder) {
            folders.push_back(i);
        } else {
            plan.toRecord.push_back(i);
        }
    }
    // Deepest first; the folder itself, at depth 0, last.
    std::stable_sort(folders.begin(), folders.end(), [&](size_t left, size_t right) {
        return entries[left].depth > entries[right].depth;
    });
    plan.toRecord.insert(plan.toRecord.end(), folders.begin(), folders.end());
    return plan;
}

Text FolderRefusalReason(const std::vector<FolderEntry>& entries, const FolderPlan& plan) {
    if (plan.refused.empty()) {
        return Text();
    }
    const FolderEntry& first = entries[plan.refused.front()];
    const Text reason = BootRefusalReason(first.refusal);
    if (first.depth == 0) {
        return reason;
    }
    return reason + kCountPrefix + std::to_string(plan.refused.size()) + kCountSuffix;
}
