#include "restart/walked_tree.h"

#include <algorithm>
#include <string>

#include "paths/literal_forms.h"
#include "resources/texts.h"

namespace {

std::u16string_view NameOf(const WalkedTree& tree, const WalkedEntry& entry) {
    return std::u16string_view(tree.names).substr(entry.nameAt, entry.nameLength);
}

// Appends the names from below the row's own entry down to entry, each after a "\". Written from
// the end, going up: a chain thousands of folders deep needs neither a deep stack nor a list.
void AppendBelowRow(const WalkedTree& tree, uint32_t entry, WideText& text) {
    const size_t below = tree.entries[entry].recordedLength - tree.entries[0].recordedLength;
    text.resize(text.size() + below);
    size_t at = text.size();
    for (uint32_t walked = entry; walked != 0; walked = tree.entries[walked].parent) {
        const std::u16string_view name = NameOf(tree, tree.entries[walked]);
        at -= name.size();
        std::copy(name.begin(), name.end(), text.begin() + static_cast<std::ptrdiff_t>(at));
        text[--at] = u'\\';
    }
}

}  // namespace

WalkedTree TreeOf(const OrdinaryPath& listed, const RecordedPath& recorded, bool folder,
                  bool readOnly, const FileIdentity& identity, BootRefusal refusal) {
    WalkedTree tree;
    tree.listed = listed;
    tree.recorded = recorded;
    tree.volume = identity.volume;
    WalkedEntry own;
    own.recordedLength = static_cast<uint32_t>(recorded.text.size());
    own.folder = folder;
    own.readOnly = readOnly;
    own.refusal = refusal;
    own.index = identity.index;
    tree.entries.push_back(own);
    return tree;
}

uint32_t AddWalkedEntry(WalkedTree& tree, uint32_t parent, std::u16string_view name, bool folder,
                        bool readOnly, uint64_t index, BootRefusal refusal) {
    const WalkedEntry& above = tree.entries[parent];
    WalkedEntry entry;
    entry.parent = parent;
    entry.nameAt = static_cast<uint32_t>(tree.names.size());
    entry.nameLength = static_cast<uint32_t>(name.size());
    // A drive's root ends with its "\" already; the walk never lists one.
    entry.recordedLength = above.recordedLength + 1 + entry.nameLength;
    entry.depth = above.depth + 1;
    entry.folder = folder;
    entry.readOnly = readOnly;
    entry.refusal = refusal;
    entry.index = index;
    tree.names.append(name);
    tree.entries.push_back(entry);
    return static_cast<uint32_t>(tree.entries.size() - 1);
}

OrdinaryPath ListedPathOf(const WalkedTree& tree, uint32_t entry) {
    OrdinaryPath path = tree.listed;
    AppendBelowRow(tree, entry, path.text);
    return path;
}

RecordedPath RecordedPathOf(const WalkedTree& tree, uint32_t entry) {
    RecordedPath path;
    AppendRecordedPath(tree, entry, path.text);
    return path;
}

void AppendRecordedPath(const WalkedTree& tree, uint32_t entry, WideText& text) {
    text.append(tree.recorded.text);
    AppendBelowRow(tree, entry, text);
}

FileIdentity IdentityOf(const WalkedTree& tree, uint32_t entry) {
    return FileIdentity{tree.volume, tree.entries[entry].index};
}

size_t DeletionBytes(const WalkedEntry& entry) {
    return (size_t{entry.recordedLength} + 2) * sizeof(char16_t);
}

RefusedEntries RefusedEntriesOf(const WalkedTree& tree, size_t limit) {
    RefusedEntries refused;
    for (uint32_t i = 0; i < tree.entries.size(); ++i) {
        if (tree.entries[i].refusal != BootRefusal::kNone) {
            if (refused.first.size() < limit) {
                refused.first.push_back(i);
            }
            ++refused.count;
        }
    }
    return refused;
}

Text RefusalReason(const WalkedTree& tree, const RefusedEntries& refused) {
    if (refused.first.empty()) {
        return Text();
    }
    const WalkedEntry& first = tree.entries[refused.first.front()];
    const Text reason = BootRefusalReason(first.refusal);
    if (first.depth == 0) {
        return reason;
    }
    return reason + kCountPrefix + std::to_string(refused.count) + kCountSuffix;
}
