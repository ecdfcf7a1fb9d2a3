#pragma once

// What the next restart will do: the pairs of a PendingFileRenameOperations value (REG_MULTI_SZ,
// UTF-16), how each side is shown, deletions added and chosen ones taken out. A value may hold
// tens of megabytes, so a pair is read as its place in the value, never as a copy of its strings.
// Pure: no platform here.
//
// The value is a list of strings, taken two at a time: a source and a destination. An empty
// destination makes the pair a deletion. An empty string where a source would stand ends the list.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "paths/folded_names.h"
#include "paths/literal_forms.h"
#include "runtime/text.h"

struct PendingOperation {
    // Where the pair starts in its value, and its two strings' lengths, in code units.
    uint32_t at = 0;
    uint32_t sourceLength = 0;
    uint32_t destinationLength = 0;
    // How many pairs equal to this one (source and destination alike) come before it in its
    // value (CountEqualPairs): with the pair, what finds this very operation again in a value
    // read later.
    uint32_t equalBefore = 0;
    // Which value it was read from: 0 for the first, 1 for the second (set by the reader).
    uint32_t value = 0;
};

struct PendingOperations {
    std::vector<PendingOperation> operations;  // in the value's order, as far as it reads
    // Every pair complete, and after the list nothing but terminators (or nothing at all).
    bool wellFormed = false;
};

// The pairs of a value. A value of 2^31 code units or more is not read: nothing, not well formed.
PendingOperations ParsePendingOperations(std::u16string_view value);

// The strings of an operation of value: as recorded, "\??\C:\a.txt", "*1\??\C:\a.txt", "!\??\...".
std::u16string_view SourceOf(std::u16string_view value, const PendingOperation& operation);
std::u16string_view DestinationOf(std::u16string_view value, const PendingOperation& operation);
// Both strings and the terminator between them: what tells two pairs apart.
std::u16string_view PairOf(std::u16string_view value, const PendingOperation& operation);
// The pair's code units, both terminators included.
size_t PairLength(const PendingOperation& operation);
// Where the list of a parsed value ends: after its last whole pair.
size_t ListEnd(const PendingOperations& parsed);

bool IsDeletion(const PendingOperation& operation);

// The path a recorded source or destination names, as the boot finds it (SpelledPath); nothing
// for a name of no drive or share the program knows.
using NameOf = std::function<const std::optional<OrdinaryPath>&(std::u16string_view recorded)>;

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

// An operation chosen to be taken back, carried as a copy of its pair and the number of equal
// pairs before it in its value: whatever is read or shown again meanwhile, it is found again in
// the values as they are when they are changed, or it is gone.
struct ChosenPair {
    // Which value it was read from: 0 for the first, 1 for the second.
    uint32_t value = 0;
    // The source, a terminator and the destination (empty for a deletion).
    WideText pair;
    uint32_t equalBefore = 0;
};
// The value without exactly the chosen deletions, each found by its pair and the number of equal
// pairs before it. Every other code unit stays as it was, in its place: the other pairs (equal
// ones included), the terminators, whatever follows the list. A renaming pair is never removed.
// When one chosen deletion is not there, none is removed.
Removal WithoutChosenPairs(std::u16string_view value, const std::vector<ChosenPair>& chosen);

// Deletions join a value as the system adds them: after its last whole pair, each a source (a
// recorded path, "\??\C:\a.txt") and an empty destination, every code unit before kept in its
// place, and what followed the list (its closing terminator) kept after them, which a value
// without one is given. OpenList cuts the value after its list (which ends at listEnd, ListEnd of
// its parse) and gives what it cut; the caller appends each deletion's source and then
// EndDeletion; CloseList puts the cut part back.
WideText OpenList(WideText& value, size_t listEnd);
void EndDeletion(WideText& value);
void CloseList(WideText& value, const WideText& rest);
// All of that at once.
WideText WithDeletionsAppended(std::u16string_view value, const std::vector<RecordedPath>& sources);

// True when value holds a deletion of each source that appended (a run of whole deletion pairs)
// holds, as many times as appended holds it.
bool HoldsDeletions(std::u16string_view value, const PendingOperations& parsed,
                    std::u16string_view appended);

// The restart's values as read at one moment, and their operations over them, the first value's
// first. Each operation's strings are in the units of the value it was read from.
struct PendingValues {
    WideText units[2];
    std::vector<PendingOperation> operations;
};
std::u16string_view UnitsOf(const PendingValues& values, const PendingOperation& operation);
// Sets each operation's equalBefore, within its own value.
void CountEqualPairs(PendingValues& values);

// The chosen operations of values (indices into its operations, whose equal pairs before them are
// counted), copied out.
std::vector<ChosenPair> ChosenPairsOf(const PendingValues& values,
                                      const std::vector<size_t>& chosen);

// The bytes both values hold together, as the boot loads them with the SYSTEM hive.
size_t ValueBytes(const PendingValues& values);

// What taking back chosen deletions takes back.
struct TakenBack {
    // Indices into values.operations: the chosen deletions, then every other pending deletion
    // under one of them, each once.
    std::vector<size_t> deletions;
    // A chosen deletion has pending deletions under it (a folder's, recorded after its contents).
    bool withFolderContents = false;
};

// The chosen deletions (indices into values.operations) and every deletion, in either value,
// whose path is under a chosen one's: that path, "\" and more, each read through nameOf and
// compared as the file system compares names. A folder's deletion taken back alone would still let
// the boot empty the folder the user means to keep.
TakenBack DeletionsTakenBack(const std::vector<size_t>& chosen, const PendingValues& values,
                             const NameOf& nameOf, CaseTable table);

// A main-list row that the restart was asked to delete: the path recorded for it, and whether it
// stands for a folder and everything in it.
struct RecordedRow {
    RecordedPath recorded;
    bool folder = false;
};
// For each row, whether the restart still deletes it: for a file, a deletion of it; for a folder,
// a deletion of it or of anything under it. Each deletion's path is read through nameOf, once,
// and compared as the file system compares names, however deep, whatever the rows. A deletion of
// a name that cannot be placed may be of any row: every row is then still pending.
std::vector<bool> RowsStillPending(const std::vector<RecordedRow>& rows,
                                   const PendingValues& values, const NameOf& nameOf,
                                   CaseTable table);
