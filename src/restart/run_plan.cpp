#include "restart/run_plan.h"

#include <algorithm>

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

// True when an admitted entry with this hash is the entry whose recorded path path makes (when it
// is asked for); other is room for the admitted entry's path.
template <typename Path>
bool Kept(const RecordedKeys& keys, const std::vector<PlannedRow>& rows, uint64_t hash, Path path,
          CaseTable table, const CaseSensitiveFolder& caseSensitive, WideText& other) {
    const auto [first, last] = keys.byHash.equal_range(hash);
    for (auto kept = first; kept != last; ++kept) {
        other.clear();
        AppendRecordedPath(rows[kept->second.row].tree, kept->second.entry, other);
        if (SameEntry(other, path(), table, caseSensitive)) {
            return true;
        }
    }
    return false;
}

// The length of a recorded path's drive or share: "\\??\\C:", "\\??\\UNC\\server\\share".
size_t RootLength(std::u16string_view recorded) {
    constexpr std::u16string_view kUnc = u"\\??\\UNC\\";
    if (!StartsWithIgnoringAsciiCase(recorded, kUnc)) {
        return std::min<size_t>(recorded.size(), 6);
    }
    const size_t server = recorded.find(u'\\', kUnc.size());
    const size_t share =
        server == std::u16string_view::npos ? server : recorded.find(u'\\', server + 1);
    return share == std::u16string_view::npos ? recorded.size() : share;
}

// How many folders deep a recorded path is: its separators after the "\??\" prefix.
size_t DepthOf(std::u16string_view recorded) {
    return static_cast<size_t>(std::count(recorded.begin(), recorded.end(), u'\\'));
}

}  // namespace

bool SameEntry(std::u16string_view left, std::u16string_view right, CaseTable table,
               const CaseSensitiveFolder& caseSensitive) {
    if (left == right) {
        return true;
    }
    if (!SameFoldedName(left, right, table)) {
        return false;
    }
    // Folded alike, spelt otherwise: each name that differs in case is another entry where its
    // folder tells case apart. Both paths have their separators in the same places. The drive or
    // share at the front ("\\??\\C:", "\\??\\UNC\\server\\share") is no folder's name.
    size_t nameStart = RootLength(left) + 1;
    for (size_t at = nameStart; at <= left.size(); ++at) {
        if (at < left.size() && left[at] != u'\\') {
            continue;
        }
        const std::u16string_view name = left.substr(nameStart, at - nameStart);
        if (name != right.substr(nameStart, at - nameStart) &&
            caseSensitive(left.substr(0, nameStart - 1))) {
            return false;
        }
        nameStart = at + 1;
    }
    return true;
}

bool AdmitRow(RecordedKeys& keys, std::vector<PlannedRow>& rows, size_t index, size_t& room,
              CaseTable table, const CaseSensitiveFolder& caseSensitive) {
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
        repeated[entry] = Kept(keys, rows, hashes[entry], entryPath, table, caseSensitive, other);
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
                const RecordedPath& path, CaseTable table,
                const CaseSensitiveFolder& caseSensitive) {
    WideText other;
    return Kept(
        keys, rows, FoldedHash(kFoldedHashStart, path.text, table),
        [&]() -> const WideText& { return path.text; }, table, caseSensitive, other);
}

std::vector<RowEntry> RunOrder(const std::vector<PlannedRow>& rows) {
    std::vector<RowEntry> files;
    // Each folder with its depth, counted from the recorded path's root.
    std::vector<std::pair<size_t, RowEntry>> folders;
    for (uint32_t row = 0; row < rows.size(); ++row) {
        const PlannedRow& planned = rows[row];
        if (!planned.admitted) {
            continue;
        }
        const size_t treeDepth = DepthOf(planned.tree.recorded.text);
        for (uint32_t entry = 0; entry < planned.tree.entries.size(); ++entry) {
            if (planned.repeated[entry]) {
                continue;
            }
            const WalkedEntry& walked = planned.tree.entries[entry];
            if (walked.folder) {
                folders.push_back({treeDepth + walked.depth, RowEntry{row, entry}});
            } else {
                files.push_back(RowEntry{row, entry});
            }
        }
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const auto& left, const auto& right) { return left.first > right.first; });
    for (const auto& [depth, folder] : folders) {
        files.push_back(folder);
    }
    return files;
}
