#pragma once

// What a restart run records for one row: the row's file, or a folder row's folder and everything
// the walk found in it, one compact record an entry (the folder that holds it and its name), so
// that a folder of hundreds of thousands of files is kept once. Every path of an entry is made
// from its folder's when it is needed. Pure: no platform here.

#include <cstdint>
#include <optional>
#include <vector>

#include "paths/file_identity.h"
#include "restart/boot_view.h"
#include "runtime/path_texts.h"
#include "runtime/text.h"

struct WalkedEntry {
    // The entry of the folder that holds it; the row's own entry (0) is its own.
    uint32_t parent = 0;
    // Its name, in the tree's names.
    uint32_t nameAt = 0;
    uint32_t nameLength = 0;
    // The length of its recorded path ("\??\C:\real\dir\name"), in code units.
    uint32_t recordedLength = 0;
    // 0 for the row's own file or folder, 1 for what it holds, and so on.
    uint32_t depth = 0;
    bool folder = false;
    bool readOnly = false;
    BootRefusal refusal = BootRefusal::kNone;
    // Its index on the tree's volume: which file it is, asked again before its attribute changes.
    uint64_t index = 0;
};

struct WalkedTree {
    // The row's file or folder as the row names it ("C:\old\app"), and as the restart records it:
    // its final path ("\??\C:\real\app"), which a row listed through a link does not show.
    OrdinaryPath listed;
    RecordedPath recorded;
    // The serial number of the volume every entry is on.
    uint32_t volume = 0;
    // The row's own file or folder first, then what the walk found.
    std::vector<WalkedEntry> entries;
    // Every entry's name, one after the other.
    WideText names;
};

// The tree of one file or folder, before anything below it is found.
WalkedTree TreeOf(const OrdinaryPath& listed, const RecordedPath& recorded, bool folder,
                  bool readOnly, const FileIdentity& identity, BootRefusal refusal);
// Appends an entry named name to the folder entry parent; its index.
uint32_t AddWalkedEntry(WalkedTree& tree, uint32_t parent, std::u16string_view name, bool folder,
                        bool readOnly, uint64_t index, BootRefusal refusal);

// An entry's paths: as the row reaches it ("C:\old\app\sub\a.txt"), and as it is recorded.
OrdinaryPath ListedPathOf(const WalkedTree& tree, uint32_t entry);
RecordedPath RecordedPathOf(const WalkedTree& tree, uint32_t entry);
// Appends the entry's recorded path to text, as a deletion's source is added to a value.
void AppendRecordedPath(const WalkedTree& tree, uint32_t entry, WideText& text);
FileIdentity IdentityOf(const WalkedTree& tree, uint32_t entry);

// The bytes one deletion of an entry adds to a value: its source, terminated, and an empty
// destination's terminator.
size_t DeletionBytes(const WalkedEntry& entry);

// The refused entries, in the walk's order; when there is one, nothing of the row is recorded.
// At most limit of them, and how many there were in all.
struct RefusedEntries {
    std::vector<uint32_t> first;
    size_t count = 0;
};
RefusedEntries RefusedEntriesOf(const WalkedTree& tree, size_t limit);
// The "原因" of a refused row (code page 936): the row's own reason, or the first refused entry's
// followed by how many were refused, " (共 2 项)". Empty when nothing was refused.
Text RefusalReason(const WalkedTree& tree, const RefusedEntries& refused);
