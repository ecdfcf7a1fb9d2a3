#include "pending/pending_rules.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
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
bool StartsWithIgnoringCase(std::u16string_view path, std::u16string_view front) {
    if (path.size() < front.size()) {
        return false;
    }
    for (size_t i = 0; i < front.size(); ++i) {
        if (AsciiUpper(path[i]) != AsciiUpper(front[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithUnc(std::u16string_view path) {
    return StartsWithIgnoringCase(path, kUncPart);
}

// A pair's two strings as one text: neither holds a NUL, so no two pairs give the same text.
WideText PairKey(const WideText& source, const WideText& destination) {
    WideText key;
    key.reserve(source.size() + destination.size() + 1);
    key.append(source).push_back(u'\0');
    key.append(destination);
    return key;
}

void AppendNumber(WideText& text, size_t number) {
    const std::string digits = std::to_string(number);
    text.append(digits.begin(), digits.end());
}

// One operation of one read: its value, its pair and the equal pairs before it.
WideText OperationKey(const PendingOperation& operation) {
    WideText key = PairKey(operation.source, operation.destination);
    key.push_back(u'\0');
    AppendNumber(key, operation.value);
    key.push_back(u':');
    AppendNumber(key, operation.equalBefore);
    return key;
}

// Stands in the key for every unit that sameName may take for another unit.
constexpr char16_t kAnyLetter = 0x7F;

// The key a name is kept under in a NameIndex. sameName compares unit by unit through an
// upper-case table, which changes only letters and never makes a digit or a mark of anything:
// so ASCII letters are folded, other ASCII stays, and every unit beyond ASCII is one
// placeholder, as are "I" and "S", which the table may also give the dotless i and the long s.
WideText NameKey(std::u16string_view name) {
    WideText key(name);
    for (char16_t& unit : key) {
        unit = AsciiUpper(unit);
        if (unit >= 0x80 || unit == u'I' || unit == u'S') {
            unit = kAnyLetter;
        }
    }
    return key;
}

// Each folder path lies under, at any depth: its text up to each "\" with more after it.
template <typename Visit>
bool AnyFolderAbove(const WideText& path, Visit visit) {
    for (size_t at = 1; at + 1 < path.size(); ++at) {
        if (path[at] == u'\\' && visit(path.substr(0, at))) {
            return true;
        }
    }
    return false;
}

}  // namespace

PendingOperations ParsePendingOperations(std::u16string_view value) {
    PendingOperations parsed;
    std::unordered_map<WideText, size_t> pairsSoFar;
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
        operation.equalBefore = pairsSoFar[PairKey(operation.source, operation.destination)]++;
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
    // "!" marks a rename that replaces its destination, "@" one the boot may fail quietly.
    while (!path.empty() && (path[0] == u'!' || path[0] == u'@')) {
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

WideText WithDriveLetter(const WideText& path, const std::vector<VolumeAlias>& aliases) {
    for (const VolumeAlias& alias : aliases) {
        const size_t length = alias.name.size();
        if (length > 0 && StartsWithIgnoringCase(path, alias.name) &&
            (path.size() == length || path[length] == u'\\')) {
            return alias.drive + path.substr(length);
        }
    }
    return path;
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
    // Each pair's places in the value, in order: the n-th is the pair with n equal before it.
    std::unordered_map<WideText, std::vector<size_t>> places;
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        const PendingOperation& operation = parsed.operations[i];
        places[PairKey(operation.source, operation.destination)].push_back(i);
    }
    std::vector<bool> removed(parsed.operations.size(), false);
    for (const PendingOperation& wanted : chosen) {
        if (!IsDeletion(wanted)) {
            continue;  // a rename is never taken out
        }
        const auto found = places.find(PairKey(wanted.source, wanted.destination));
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

void AddName(NameIndex& index, const WideText& name) {
    std::vector<WideText>& names = index.byKey[NameKey(name)];
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(name);
    }
}

bool HasName(const NameIndex& index, const WideText& name, SameNameFunction sameName) {
    const auto found = index.byKey.find(NameKey(name));
    return found != index.byKey.end() &&
           std::any_of(found->second.begin(), found->second.end(),
                       [&](const WideText& kept) { return sameName(name, kept); });
}

TakenBack DeletionsTakenBack(const std::vector<PendingOperation>& chosen,
                             const std::vector<PendingOperation>& operations,
                             SameNameFunction sameName) {
    TakenBack takenBack;
    NameIndex folders;
    std::unordered_set<WideText> taken;
    for (const PendingOperation& operation : chosen) {
        if (IsDeletion(operation)) {
            takenBack.deletions.push_back(operation);
            AddName(folders, ShownPath(operation.source));
            taken.insert(OperationKey(operation));
        }
    }
    for (const PendingOperation& operation : operations) {
        if (!IsDeletion(operation)) {
            continue;
        }
        // Under a chosen path: that path, "\" and more.
        const bool under = AnyFolderAbove(ShownPath(operation.source), [&](const WideText& above) {
            return HasName(folders, above, sameName);
        });
        if (!under) {
            continue;
        }
        takenBack.withFolderContents = true;
        if (taken.insert(OperationKey(operation)).second) {
            takenBack.deletions.push_back(operation);
        }
    }
    return takenBack;
}

PendingDeletions IndexPendingDeletions(const std::vector<PendingOperation>& operations) {
    PendingDeletions pending;
    for (const PendingOperation& operation : operations) {
        if (!IsDeletion(operation)) {
            continue;
        }
        const WideText path = ShownPath(operation.source);
        AddName(pending.paths, path);
        AnyFolderAbove(path, [&](const WideText& above) {
            AddName(pending.folders, above);
            return false;
        });
    }
    return pending;
}

bool RowDeletionPending(const WideText& rowText, const PendingDeletions& pending,
                        SameNameFunction sameName) {
    if (!IsFolderRow(rowText)) {
        return HasName(pending.paths, rowText, sameName);
    }
    const WideText folder = FolderOfRow(rowText);
    return HasName(pending.paths, folder, sameName) || HasName(pending.folders, folder, sameName);
}

bool RowDeletionPending(const WideText& rowText, const std::vector<PendingOperation>& operations,
                        SameNameFunction sameName) {
    return RowDeletionPending(rowText, IndexPendingDeletions(operations), sameName);
}
