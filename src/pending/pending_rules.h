#pragma once

// What the next restart will do: the pairs of a PendingFileRenameOperations value (REG_MULTI_SZ,
// UTF-16), how each side is shown, and the removal of chosen deletions. Pure: no platform here.
//
// The value is a list of strings, taken two at a time: a source and a destination. An empty
// destination makes the pair a deletion. An empty string where a source would stand ends the list.

#include <cstddef>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/text.h"

struct PendingOperation {
    WideText source;       // exactly as recorded: "\??\C:\a.txt", "*1\??\C:\a.txt"
    WideText destination;  // empty for a deletion; "!" before it means "replace"
    size_t offset = 0;     // where the pair starts in the value, in code units
    size_t length = 0;     // the pair's code units, both terminators included
    // How many pairs equal to this one (source and destination alike) come before it in its
    // value: with the pair, what finds this very operation again in a value read later.
    size_t equalBefore = 0;
    // Which value it was read from: 0 for the first, 1 for the second (set by the reader).
    size_t value = 0;
};

struct PendingOperations {
    std::vector<PendingOperation> operations;  // in the value's order, as far as it reads
    // Every pair complete, and after the list nothing but terminators (or nothing at all).
    bool wellFormed = false;
};

PendingOperations ParsePendingOperations(std::u16string_view value);

bool IsDeletion(const PendingOperation& operation);

// A source or destination as an ordinary path: without a leading "*" and digits, a leading "!" or
// "@", and the "\??\" prefix; "\??\UNC\server\..." as "\\server\...". Any other form is shown as
// it is.
WideText ShownPath(std::u16string_view recorded);

// Another name of a drive's volume: its device ("\Device\HarddiskVolume1") or its volume GUID
// ("Volume{...}", as "\??\Volume{...}" is shown), and the drive ("C:").
struct VolumeAlias {
    WideText name;
    WideText drive;
};

// A shown path that begins with a volume's other name, and then "\" or nothing, with the drive's
// letter there instead, so that it compares with the paths the rows name; any other path as it is.
// The object manager ignores case in both names.
WideText WithDriveLetter(const WideText& path, const std::vector<VolumeAlias>& aliases);

// What taking chosen pairs out of a value came to.
enum class RemovalOutcome {
    kRemoved,       // kept is the value without exactly the chosen pairs
    kGone,          // a chosen pair is not in the value (any more): nothing removed
    kUnrecognised,  // the value is not well formed: nothing removed
};
struct Removal {
    RemovalOutcome outcome = RemovalOutcome::kUnrecognised;
    WideText kept;  // the value to write; the value unchanged unless removed
};

// The value without exactly the chosen deletions, each found by its pair and the number of equal
// pairs before it; every other code unit stays as it was, in its place: the other pairs (equal
// ones included), the terminators, whatever follows the list. A renaming pair is never removed.
// When one chosen deletion is not there, none is removed.
Removal WithoutChosenPairs(std::u16string_view value, const std::vector<PendingOperation>& chosen);

// The value with a deletion of each source (a recorded form, "\??\C:\a.txt") added in order
// after its last whole pair, as the system adds one: every code unit before kept in its place, and
// what follows the list too (its closing terminator), which a value without one is given.
WideText WithDeletionsAppended(std::u16string_view value, const std::vector<WideText>& sources);

// True when operations hold a deletion of each source, as many as it is given.
bool HoldsDeletions(const std::vector<PendingOperation>& operations,
                    const std::vector<WideText>& sources);

// Names found again as the file system compares them (sameName), in time that does not grow with
// their number: each name is kept under a key that every spelling sameName takes for it shares,
// and only the names under the same key are compared.
struct NameIndex {
    std::unordered_map<WideText, std::vector<WideText>> byKey;
};
void AddName(NameIndex& index, const WideText& name);
bool HasName(const NameIndex& index, const WideText& name, SameNameFunction sameName);

// What the restart still deletes, for asking about many main-list rows at once.
struct PendingDeletions {
    NameIndex paths;    // every deletion's ordinary path (ShownPath)
    NameIndex folders;  // every folder a deletion's path lies under, at any depth
};
PendingDeletions IndexPendingDeletions(const std::vector<PendingOperation>& operations);

// What taking back chosen deletions takes back.
struct TakenBack {
    // The chosen deletions, then every other pending deletion under one of them, each once.
    std::vector<PendingOperation> deletions;
    // A chosen deletion has pending deletions under it (a folder's, recorded after its contents).
    bool withFolderContents = false;
};

// The chosen deletions (rows of operations) and every deletion among operations, in either
// value, whose ordinary path is under a chosen one's: that path, "\" and more, the chosen path
// compared by sameName. A folder's deletion taken back alone would still let the boot empty the
// folder the user means to keep.
TakenBack DeletionsTakenBack(const std::vector<PendingOperation>& chosen,
                             const std::vector<PendingOperation>& operations,
                             SameNameFunction sameName);

// True when the restart still deletes what a main-list row names: for a file, a deletion of it,
// its source made ordinary (ShownPath) and compared by sameName, as the file system compares
// names; for a folder (a row whose text ends in "\"), a deletion of the folder or of anything
// under it.
bool RowDeletionPending(const WideText& rowText, const PendingDeletions& pending,
                        SameNameFunction sameName);
bool RowDeletionPending(const WideText& rowText, const std::vector<PendingOperation>& operations,
                        SameNameFunction sameName);
