#include "restart/run_plan.h"

namespace {

uint64_t FoldedHash(std::u16string_view path, CaseTable table) {
    uint64_t hash = kFoldedHashStart;
    for (char16_t unit : path) {
        hash = NextFoldedHash(hash, table[unit]);
    }
    return hash;
}

// True when an admitted entry with this hash has this recorded path; other is room to make the
// admitted entry's path in.
bool Kept(const RecordedKeys& keys, const std::vector<PlannedRow>& rows, uint64_t hash,
          std::u16string_view path, CaseTable table, WideText& other) {
    const auto [first, last] = keys.byHash.equal_range(hash);
    for (auto kept = first; kept != last; ++kept) {
        other.clear();
        AppendRecordedPath(rows[kept->second.row].tree, kept->second.entry, other);
        if (SameFoldedName(other, path, table)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool AdmitRow(RecordedKeys& keys, std::vector<PlannedRow>& rows, size_t index, size_t& room,
              CaseTable table) {
    PlannedRow& planned = rows[index];
    const WalkedTree& tree = planned.tree;
    std::vector<bool> repeated(tree.entries.size(), false);
    std::vector<uint64_t> hashes(tree.entries.size());
    size_t bytes = 0;
    WideText path;
    WideText other;
    for (uint32_t entry = 0; entry < tree.entries.size(); ++entry) {
        path.clear();
        AppendRecordedPath(tree, entry, path);
        hashes[entry] = FoldedHash(path, table);
        repeated[entry] = Kept(keys, rows, hashes[entry], path, table, other);
        if (!repeated[entry]) {
            bytes += DeletionBytes(tree.entries[entry]);
        }
    }
    if (bytes > room) {
        return false;
    }
    room -= bytes;
    for (uint32_t entry = 0; entry < tree.entries.size(); ++entry) {
        if (!repeated[entry]) {
            keys.byHash.emplace(hashes[entry],
                                RecordedKeys::Entry{static_cast<uint32_t>(index), entry});
        }
    }
    planned.admitted = true;
    planned.repeated = std::move(repeated);
    return true;
}

bool IsRecorded(const RecordedKeys& keys, const std::vector<PlannedRow>& rows,
                const RecordedPath& path, CaseTable table) {
    WideText other;
    return Kept(keys, rows, FoldedHash(path.text, table), path.text, table, other);
}
