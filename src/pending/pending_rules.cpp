#include "pending/pending_rules.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "paths/folder_rows.h"

namespace {

constexpr std::u16string_view kNtPrefix = u"\\??\\";
constexpr std::u16string_view kUncPart = u"UNC\\";

// The string that starts at at and its terminator's position; npos when no terminator follows.
size_t TerminatorAfter(std::u16string_view value, size_t at) {
    return value.find(u'\0', at);
}

bool IsAsciiDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

char16_t AsciiUpper(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// The object manager's names ignore case: "\??\unc\" is the same link as "\??\UNC\".
bool StartsWithUnc(std::u16string_view path) {
    if (path.size() < kUncPart.size()) {
        return false;
    }
    for (size_t i = 0; i < kUncPart.size(); ++i) {
        if (AsciiUpper(path[i]) != kUncPart[i]) {
            return false;
        }
    }
    return true;
}

bool SamePair(const PendingOperation& left, const PendingOperation& right) {
    return left.source == right.source && left.destination == right.destination;
}

// One operation of one read: its value, its pair and the equal pairs before it.
bool SameOperation(const PendingOperation& left, const PendingOperation& right) {
    return left.value == right.value && left.equalBefore == right.equalBefore &&
           SamePair(left, right);
}

// path is folder, a separator and at least one more unit; folder itself is not under it.
bool Under(const WideText& path, const WideText& folder, SameNameFunction sameName) {
    return !folder.empty() && path.size() > folder.size() + 1 && path[folder.size()] == u'\\' &&
           sameName(path.substr(0, folder.size()), folder);
}

// A deletion among operations of something under folder.
bool DeletionUnder(const WideText& folder, const std::vector<PendingOperation>& operations,
                   SameNameFunction sameName) {
    return std::any_of(
        operations.begin(), operations.end(), [&](const PendingOperation& operation) {
            return IsDeletion(operation) && Under(ShownPath(operation.source), folder, sameName);
        });
}

}  // namespace

PendingOperations ParsePendingOperations(std::u16string_view value) {
    PendingOperations parsed;
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
        operation.source = WideText(value.substr(at, sourceEnd - at));
        operation.destination =
            WideText(value.substr(sourceEnd + 1, destinationEnd - sourceEnd - 1));
        operation.offset = at;
        operation.length = destinationEnd + 1 - at;
        operation.equalBefore = static_cast<size_t>(std::count_if(
            parsed.operations.begin(), parsed.operations.end(),
            [&](const PendingOperation& before) { return SamePair(before, operation); }));
        parsed.operations.push_back(std::move(operation));
        at = destinationEnd + 1;
    }
    // The list may end with the value, or with terminators; anything else after it is not read.
    parsed.wellFormed = std::all_of(value.begin() + static_cast<std::ptrdiff_t>(at), value.end(),
                                    [](char16_t unit) { return unit == u'\0'; });
    return parsed;
}

bool IsDeletion(const PendingOperation& operation) {
    return operation.destination.empty();
}

WideText ShownPath(std::u16string_view recorded) {
    std::u16string_view path = recorded;
    // Newer Windows writes "*1" before some sources.
    if (path.size() >= 2 && path[0] == u'*' && IsAsciiDigit(path[1])) {
        size_t digits = 1;
        while (digits < path.size() && IsAsciiDigit(path[digits])) {
            ++digits;
        }
        path.remove_prefix(digits);
    }
    if (!path.empty() && path[0] == u'!') {
        path.remove_prefix(1);
    }
    if (path.substr(0, kNtPrefix.size()) != kNtPrefix) {
        return WideText(path);
    }
    path.remove_prefix(kNtPrefix.size());
    if (StartsWithUnc(path)) {
        return u"\\\\" + WideText(path.substr(kUncPart.size()));
    }
    return WideText(path);
}

Removal WithoutChosenPairs(std::u16string_view value, const std::vector<PendingOperation>& chosen) {
    Removal removal;
    removal.kept = WideText(value);
    const PendingOperations parsed = ParsePendingOperations(value);
    if (!parsed.wellFormed) {
        return removal;
    }
    // The very pairs chosen: the same pair with as many equal ones before it. Where the value
    // changed since it was shown, that is still the operation the row stood for, or it is gone.
    std::vector<bool> removed(parsed.operations.size(), false);
    for (const PendingOperation& wanted : chosen) {
        if (!IsDeletion(wanted)) {
            continue;  // a rename is never taken out
        }
        const auto found = std::find_if(
            parsed.operations.begin(), parsed.operations.end(), [&](const PendingOperation& now) {
                return SamePair(now, wanted) && now.equalBefore == wanted.equalBefore;
            });
        if (found == parsed.operations.end()) {
            removal.outcome = RemovalOutcome::kGone;
            return removal;
        }
        removed[static_cast<size_t>(found - parsed.operations.begin())] = true;
    }
    WideText kept;
    kept.reserve(value.size());
    size_t copiedTo = 0;
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        if (removed[i]) {
            const PendingOperation& operation = parsed.operations[i];
            kept.append(value.substr(copiedTo, operation.offset - copiedTo));
            copiedTo = operation.offset + operation.length;
        }
    }
    kept.append(value.substr(copiedTo));
    removal.outcome = RemovalOutcome::kRemoved;
    removal.kept = std::move(kept);
    return removal;
}

WideText WithDeletionsAppended(std::u16string_view value, const std::vector<WideText>& sources) {
    const PendingOperations parsed = ParsePendingOperations(value);
    const size_t listEnd = parsed.operations.empty()
                               ? 0
                               : parsed.operations.back().offset + parsed.operations.back().length;
    WideText units(value.substr(0, listEnd));
    for (const WideText& source : sources) {
        units += source;
        units += u'\0';
        units += u'\0';
    }
    const std::u16string_view rest = value.substr(listEnd);
    units += rest.empty() ? std::u16string_view(u"\0", 1) : rest;
    return units;
}

bool HoldsDeletions(const std::vector<PendingOperation>& operations,
                    const std::vector<WideText>& sources) {
    std::unordered_map<WideText, size_t> wanted;
    for (const WideText& source : sources) {
        ++wanted[source];
    }
    for (const PendingOperation& operation : operations) {
        if (IsDeletion(operation)) {
            const auto found = wanted.find(operation.source);
            if (found != wanted.end() && found->second > 0) {
                --found->second;
            }
        }
    }
    return std::all_of(wanted.begin(), wanted.end(),
                       [](const auto& entry) { return entry.second == 0; });
}

bool DeletionPending(const WideText& path, const std::vector<PendingOperation>& operations,
                     SameNameFunction sameName) {
    return std::any_of(
        operations.begin(), operations.end(), [&](const PendingOperation& operation) {
            return IsDeletion(operation) && sameName(ShownPath(operation.source), path);
        });
}

TakenBack DeletionsTakenBack(const std::vector<PendingOperation>& chosen,
                             const std::vector<PendingOperation>& operations,
                             SameNameFunction sameName) {
    TakenBack takenBack;
    std::vector<WideText> folders;
    for (const PendingOperation& operation : chosen) {
        if (IsDeletion(operation)) {
            takenBack.deletions.push_back(operation);
            folders.push_back(ShownPath(operation.source));
        }
    }
    for (const PendingOperation& operation : operations) {
        if (!IsDeletion(operation)) {
            continue;
        }
        const WideText path = ShownPath(operation.source);
        if (std::none_of(folders.begin(), folders.end(),
                         [&](const WideText& folder) { return Under(path, folder, sameName); })) {
            continue;
        }
        takenBack.withFolderContents = true;
        const auto& taken = takenBack.deletions;
        if (std::none_of(taken.begin(), taken.end(), [&](const PendingOperation& already) {
                return SameOperation(already, operation);
            })) {
            takenBack.deletions.push_back(operation);
        }
    }
    return takenBack;
}

bool RowDeletionPending(const WideText& rowText, const std::vector<PendingOperation>& operations,
                        SameNameFunction sameName) {
    if (!IsFolderRow(rowText)) {
        return DeletionPending(rowText, operations, sameName);
    }
    const WideText folder = FolderOfRow(rowText);
    return DeletionPending(folder, operations, sameName) ||
           DeletionUnder(folder, operations, sameName);
}
