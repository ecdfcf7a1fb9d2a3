#include "pending/pending_rules.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The longest value read: its places must fit the operations' fields.
constexpr size_t kLongestValue = 0x7FFFFFFF;

// The string that starts at at and its terminator's position; npos when no terminator follows.
size_t TerminatorAfter(std::u16string_view value, size_t at) {
    return value.find(u'\0', at);
}

}  // namespace

PendingOperations ParsePendingOperations(std::u16string_view value) {
    PendingOperations parsed;
    if (value.size() > kLongestValue) {
        return parsed;
    }
    size_t at = 0;
    while (at < value.size() && value[at] != u'\0') {
        const size_t sourceEnd = TerminatorAfter(value, at);
        if (sourceEnd == std::u16string_view::npos || sourceEnd + 1 >= value.size()) {
            return parsed;  // a source without its terminator or without a destination
        }
        const size_t destinationEnd = TerminatorAfter(value, sourceEnd + 1);
        if (destinationEnd == std::u16string_view::npos) {
            return parsed;
        }
        PendingOperation operation;
        operation.at = static_cast<uint32_t>(at);
        operation.sourceLength = static_cast<uint32_t>(sourceEnd - at);
        operation.destinationLength = static_cast<uint32_t>(destinationEnd - sourceEnd - 1);
        parsed.operations.push_back(operation);
        at = destinationEnd + 1;
    }
    // The list may end with the value, or with terminators; anything else after it is not read.
    parsed.wellFormed = std::all_of(value.begin() + static_cast<std::ptrdiff_t>(at), value.end(),
                                    [](char16_t unit) { return unit == u'\0'; });
    return parsed;
}

std::u16string_view SourceOf(std::u16string_view value, const PendingOperation& operation) {
    return value.substr(operation.at, operation.sourceLength);
}

std::u16string_view DestinationOf(std::u16string_view value, const PendingOperation& operation) {
    return value.substr(operation.at + operation.sourceLength + 1, operation.destinationLength);
}

std::u16string_view PairOf(std::u16string_view value, const PendingOperation& operation) {
    return value.substr(operation.at, operation.sourceLength + 1 + operation.destinationLength);
}

size_t PairLength(const PendingOperation& operation) {
    return size_t{operation.sourceLength} + operation.destinationLength + 2;
}

size_t ListEnd(const PendingOperations& parsed) {
    return parsed.operations.empty()
               ? 0
               : parsed.operations.back().at + PairLength(parsed.operations.back());
}

bool IsDeletion(const PendingOperation& operation) {
    return operation.destinationLength == 0;
}

Removal WithoutChosenPairs(std::u16string_view value, const std::vector<ChosenPair>& chosen) {
    Removal removal;
    removal.kept = WideText(value);
    const PendingOperations parsed = ParsePendingOperations(value);
    if (!parsed.wellFormed) {
        return removal;
    }
    // The very pairs chosen: the same pair with as many equal ones before it. Where the value
    // changed since it was shown, that is still the operation the row stood for, or it is gone.
    // Each pair's places in the value, in order: the n-th is the pair with n equal before it.
    std::unordered_map<std::u16string_view, std::vector<size_t>> places;
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        places[PairOf(value, parsed.operations[i])].push_back(i);
    }
    std::vector<bool> removed(parsed.operations.size(), false);
    for (const ChosenPair& wanted : chosen) {
        // A rename is never taken out: its pair has a destination after the terminator.
        if (wanted.pair.find(u'\0') + 1 != wanted.pair.size()) {
            continue;
        }
        const auto found = places.find(std::u16string_view(wanted.pair));
        if (found == places.end() || wanted.equalBefore >= found->second.size()) {
            removal.outcome = RemovalOutcome::kGone;
            return removal;
        }
        removed[found->second[wanted.equalBefore]] = true;
    }
    WideText kept;
    kept.reserve(value.size());
    size_t copiedTo = 0;
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        if (removed[i]) {
            const PendingOperation& operation = parsed.operations[i];
            kept.append(value.substr(copiedTo, operation.at - copiedTo));
            copiedTo = operation.at + PairLength(operation);
        }
    }
    kept.append(value.substr(copiedTo));
    removal.outcome = RemovalOutcome::kRemoved;
    removal.kept = std::move(kept);
    return removal;
}

WideText OpenList(WideText& value, size_t listEnd) {
    WideText rest = value.substr(listEnd);
    value.resize(listEnd);
    return rest;
}

void EndDeletion(WideText& value) {
    // The source's terminator, and the empty destination's.
    value.push_back(u'\0');
    value.push_back(u'\0');
}

void CloseList(WideText& value, const WideText& rest) {
    if (rest.empty()) {
        value.push_back(u'\0');
    } else {
        value += rest;
    }
}

WideText WithDeletionsAppended(std::u16string_view value,
                               const std::vector<RecordedPath>& sources) {
    WideText units(value);
    const WideText rest = OpenList(units, ListEnd(ParsePendingOperations(value)));
    for (const RecordedPath& source : sources) {
        units += source.text;
        EndDeletion(units);
    }
    CloseList(units, rest);
    return units;
}

bool HoldsDeletions(std::u16string_view value, const PendingOperations& parsed,
                    std::u16string_view appended) {
    std::unordered_map<std::u16string_view, size_t> wanted;
    for (const PendingOperation& operation : ParsePendingOperations(appended).operations) {
        ++wanted[SourceOf(appended, operation)];
    }
    size_t missing = 0;
    for (const auto& [source, count] : wanted) {
        missing += count;
    }
    for (const PendingOperation& operation : parsed.operations) {
        if (!IsDeletion(operation)) {
            continue;
        }
        const auto found = wanted.find(SourceOf(value, operation));
        if (found != wanted.end() && found->second > 0) {
            --found->second;
            --missing;
        }
    }
    return missing == 0;
}

std::u16string_view UnitsOf(const PendingValues& values, const PendingOperation& operation) {
    return values.units[operation.value == 0 ? 0 : 1];
}

void CountEqualPairs(PendingValues& values) {
    std::unordered_map<std::u16string_view, uint32_t> pairsSoFar[2];
    for (PendingOperation& operation : values.operations) {
        const uint32_t value = operation.value == 0 ? 0 : 1;
        operation.equalBefore = pairsSoFar[value][PairOf(values.units[value], operation)]++;
    }
}

std::vector<ChosenPair> ChosenPairsOf(const PendingValues& values,
                                      const std::vector<size_t>& chosen) {
    std::vector<ChosenPair> pairs;
    pairs.reserve(chosen.size());
    for (size_t index : chosen) {
        const PendingOperation& operation = values.operations[index];
        pairs.push_back({operation.value == 0 ? 0u : 1u,
                         WideText(PairOf(UnitsOf(values, operation), operation)),
                         operation.equalBefore});
    }
    return pairs;
}

size_t ValueBytes(const PendingValues& values) {
    return (values.units[0].size() + values.units[1].size()) * sizeof(char16_t);
}

TakenBack DeletionsTakenBack(const std::vector<size_t>& chosen, const PendingValues& values,
                             const NameOf& nameOf, CaseTable table) {
    TakenBack takenBack;
    const std::vector<PendingOperation>& operations = values.operations;
    const auto pathOf =
        [&](const PendingOperation& operation) -> const std::optional<OrdinaryPath>& {
        return nameOf(SourceOf(UnitsOf(values, operation), operation));
    };
    FoldedPaths<OrdinaryPath> folders;
    std::vector<bool> taken(operations.size(), false);
    for (size_t index : chosen) {
        const PendingOperation& operation = operations[index];
        if (IsDeletion(operation) && !taken[index]) {
            taken[index] = true;
            takenBack.deletions.push_back(index);
            if (const std::optional<OrdinaryPath>& path = pathOf(operation)) {
                AddPath(folders, *path, table);
            }
        }
    }
    for (size_t index = 0; index < operations.size(); ++index) {
        const PendingOperation& operation = operations[index];
        if (!IsDeletion(operation)) {
            continue;
        }
        // Under a chosen path: that path, "\" and more.
        const std::optional<OrdinaryPath>& path = pathOf(operation);
        if (!path || !HasMatch(folders, *path, table, Matching::kFolderAbove)) {
            continue;
        }
        takenBack.withFolderContents = true;
        if (!taken[index]) {
            taken[index] = true;
            takenBack.deletions.push_back(index);
        }
    }
    return takenBack;
}

std::vector<bool> RowsStillPending(const std::vector<RecordedRow>& rows,
                                   const PendingValues& values, const NameOf& nameOf,
                                   CaseTable table) {
    FoldedPaths<OrdinaryPath> files;
    FoldedPaths<OrdinaryPath> folders;
    std::vector<bool> pending(rows.size(), false);
    for (size_t row = 0; row < rows.size(); ++row) {
        const std::optional<OrdinaryPath> path = OrdinaryFormOf(LiteralFormOf(rows[row].recorded));
        if (path) {
            AddPath(rows[row].folder ? folders : files, *path, table, static_cast<uint32_t>(row));
        } else {
            pending[row] = true;
        }
    }
    const auto mark = [&](uint32_t row) { pending[row] = true; };
    for (const PendingOperation& operation : values.operations) {
        if (!IsDeletion(operation)) {
            continue;
        }
        const std::optional<OrdinaryPath>& path =
            nameOf(SourceOf(UnitsOf(values, operation), operation));
        if (!path) {
            return std::vector<bool>(rows.size(), true);
        }
        VisitMatches(files, *path, table, Matching::kPath, mark);
        VisitMatches(folders, *path, table, Matching::kPathOrFolderAbove, mark);
    }
    return pending;
}
