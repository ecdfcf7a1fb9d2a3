#include "restart/run_plan.h"

namespace {

uint64_t FoldedHash(uint64_t hash, std::u16string_view units, CaseTable table) {
    for (char16_t unit : units) {
        hash = NextFoldedHash(hash, table[unit]);
    }
    return hash;
}

// The hash of each entry's folded recorded path, made from its folder's: the folder's hash, a
// "" and the entry's name, so that no path is made whole only to be hashed. A folder comes
// before what it holds.
std::vector<uint64_t> RecordedHashes(const WalkedTree& tree, CaseTable table) {
    std::vector<uint64_t> hashes(tree.entries.size());
    hashes[0] = FoldedHash(kFoldedHashStart, tree.recorded.text, table);
    const std::u16string_view names = tree.names;
    for (size_t entry = 1; entry < tree.entries.size(); ++entry) {
        const WalkedEntry& walked = tree.entries[entry];
        const uint64_t folder = NextFoldedHash(hashes[walked.parent], table[u'\\']);
        hashes[entry] = FoldedHash(folder, names.substr(walked.nameAt, walked.nameLength), table);
    }
    return hashes;
}

// True when an admitted entry with this hash has the recorded path that path makes (when it is
// asked for); other is room for the admitted entry's path.
template <typename Path>
bool Kept(const RecordedKeys& keys, const std::vector<PlannedRow>& rows, uint64_t hash, Path path,
          CaseTable table, WideText& other) {
    const auto [first, last] = keys.byHash.equal_range(hash);
    for (auto kept = first; kept != last; ++kept) {
        other.clear();
        AppendRecordedPath(rows[kept->second.row].tree, kept->second.entry, other);
        if (SameFoldedName(other, path(), table)) {
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
    const std::vector<uint64_t> hashes = RecordedHashes(tree, table);
    size_t bytes = 0;
    WideText path;
    WideText other;
    for (uint32_t entry = 0; entry < tree.entries.size(); ++entry) {
        const auto entryPath = [&]() -> const WideText& {
            path.clear();
            AppendRecordedPath(tree, entry, path);
            return path;
        };
        repeated[entry] = Kept(keys, rows, hashes[entry], entryPath, table, other);
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
    return Kept(
        keys, rows, FoldedHash(kFoldedHashStart, path.text, table),
        [&]() -> const WideText& { return path.text; }, table, other);
}
