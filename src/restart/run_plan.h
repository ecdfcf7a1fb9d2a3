#pragma once

// The rows a restart run records, and which of their entries: each path once however many rows
// name it (the same file under another spelling counts as the same), every row whole or not at
// all, and the pending values kept within a cap the boot can carry. The boot loads the SYSTEM
// hive, which holds both values, whole into memory, and every entry costs it time. Pure: no
// platform here.

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "paths/folded_names.h"
#include "restart/walked_tree.h"
#include "runtime/text.h"

// The most bytes both pending values may hold together once the run's deletions are added.
inline constexpr size_t kPendingValueCap = size_t{64} * 1024 * 1024;
// The bytes deletions may still add to values that hold bytes already.
inline size_t RoomUnderCap(size_t bytes) {
    return bytes > kPendingValueCap ? 0 : kPendingValueCap - bytes;
}

struct PlannedRow {
    int row = 0;
    bool folder = false;
    // A file row's file as a tree of one entry, or a folder row's walked folder.
    WalkedTree tree;
    // What an accepted row says beside "成功": a file's other names, which keep its data.
    Text note;
    // Refused after its survey, by a rename another program recorded since: not admitted.
    bool refused = false;
    // Set by AdmitRow: recorded by the run, and which of its entries a row admitted before it
    // records already, by entry.
    bool admitted = false;
    std::vector<bool> repeated;
};

// Whether a folder, by its recorded path ("\??\C:\dir"), tells names apart by their case, as a
// folder of Linux programs may.
using CaseSensitiveFolder = std::function<bool(std::u16string_view folder)>;

// Two recorded paths name the same entry: the same folder and the same name, each name compared
// as the folder it is in compares names, exactly where the folder tells case apart and folded
// otherwise. The folder is asked only of names that differ in case alone. Two hard links of one
// file are two names.
bool SameEntry(std::u16string_view left, std::u16string_view right, CaseTable table,
               const CaseSensitiveFolder& caseSensitive);

// The recorded paths of the entries admitted so far, each found again by its folded units.
struct RecordedKeys {
    struct Entry {
        uint32_t row = 0;
        uint32_t entry = 0;
    };
    std::unordered_multimap<uint64_t, Entry, FoldedPathIndex::SameHash> byHash;
};

// Admits rows[index] when the bytes its entries add, those no admitted row records already, fit
// in room; room then shrinks by them, and its entries are kept. False, and nothing changed, when
// they do not fit.
bool AdmitRow(RecordedKeys& keys, std::vector<PlannedRow>& rows, size_t index, size_t& room,
              CaseTable table, const CaseSensitiveFolder& caseSensitive);
// True when an admitted row records this path.
bool IsRecorded(const RecordedKeys& keys, const std::vector<PlannedRow>& rows,
                const RecordedPath& path, CaseTable table,
                const CaseSensitiveFolder& caseSensitive);

// An entry of a planned row.
struct RowEntry {
    uint32_t row = 0;
    uint32_t entry = 0;
    bool operator==(const RowEntry&) const = default;
};
// The entries the admitted rows record, each once, in the one order the boot must meet them
// whichever row listed them: every file, in the rows' order, then every folder, deepest first,
// so that each comes before the folder that holds it. The boot removes a folder only when it is
// empty by then.
std::vector<RowEntry> RunOrder(const std::vector<PlannedRow>& rows);
