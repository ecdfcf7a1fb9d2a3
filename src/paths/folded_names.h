#pragma once

// Names as the file system compares them. Two names are one to NTFS when their units are equal
// once each is upper-cased through one table, the one CompareStringOrdinal uses when it ignores
// case; so a name is folded through that table, and two names are the same exactly when their
// folded units are. Nothing else compares names, so that an index of names and a comparison of
// two can never disagree. Pure: no platform here.

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "paths/literal_forms.h"
#include "runtime/text.h"

// Each UTF-16 unit's upper case: 65536 units, indexed by unit.
using CaseTable = const char16_t*;

bool SameFoldedName(std::u16string_view left, std::u16string_view right, CaseTable table);

// Two paths of one form that name the same file as the file system compares names.
template <typename Form>
bool SameName(const Form& left, const Form& right, CaseTable table) {
    return SameFoldedName(left.text, right.text, table);
}

// Paths kept folded, each with a number its owner gives it (a row's, say), found again by a path
// in time that grows with that path's length only: each is kept under a hash of its folded units,
// and every folder above a path is looked up while its units are folded and hashed once, from
// the left. A final "\" is not part of a path here ("C:\" is kept as "C:").
struct FoldedPathIndex {
    struct Span {
        uint32_t at = 0;
        uint32_t length = 0;
        uint32_t tag = 0;
    };
    struct SameHash {
        size_t operator()(uint64_t hash) const { return static_cast<size_t>(hash); }
    };
    // Every kept path's folded units, one after the other.
    WideText folded;
    std::unordered_multimap<uint64_t, Span, SameHash> byHash;
};

// Keeps the path itself, or each folder above it (its text before each "\" after the first unit).
void AddFoldedPath(FoldedPathIndex& index, std::u16string_view path, CaseTable table, uint32_t tag);
void AddFoldedFoldersAbove(FoldedPathIndex& index, std::u16string_view path, CaseTable table,
                           uint32_t tag);

// Which kept paths a path matches: itself, each folder above it, or either.
enum class Matching { kPath, kFolderAbove, kPathOrFolderAbove };
// Calls visit(tag) for every kept path that matches, shortest first.
template <typename Visit>
void VisitFoldedMatches(const FoldedPathIndex& index, std::u16string_view path, CaseTable table,
                        Matching matching, Visit visit);

// The same, for paths of one form only: a set of ordinary paths is never asked about a literal
// one.
template <typename Form>
struct FoldedPaths {
    FoldedPathIndex index;
};

template <typename Form>
void AddPath(FoldedPaths<Form>& paths, const Form& path, CaseTable table, uint32_t tag = 0) {
    AddFoldedPath(paths.index, path.text, table, tag);
}

template <typename Form>
void AddFoldersAbove(FoldedPaths<Form>& paths, const Form& path, CaseTable table,
                     uint32_t tag = 0) {
    AddFoldedFoldersAbove(paths.index, path.text, table, tag);
}

template <typename Form, typename Visit>
void VisitMatches(const FoldedPaths<Form>& paths, const Form& path, CaseTable table,
                  Matching matching, Visit visit) {
    VisitFoldedMatches(paths.index, path.text, table, matching, visit);
}

// True when a kept path matches.
template <typename Form>
bool HasMatch(const FoldedPaths<Form>& paths, const Form& path, CaseTable table,
              Matching matching) {
    bool found = false;
    VisitMatches(paths, path, table, matching, [&](uint32_t) { found = true; });
    return found;
}

// --- The hash every kept path is found by ---------------------------------------------------

// FNV-1a over the folded units, one unit at a time, so that a path's hash passes through the hash
// of each of its beginnings.
inline constexpr uint64_t kFoldedHashStart = 14695981039346656037ULL;
inline uint64_t NextFoldedHash(uint64_t hash, char16_t folded) {
    return (hash ^ folded) * 1099511628211ULL;
}

template <typename Visit>
void VisitFoldedMatches(const FoldedPathIndex& index, std::u16string_view path, CaseTable table,
                        Matching matching, Visit visit) {
    if (!path.empty() && path.back() == u'\\') {
        path.remove_suffix(1);
    }
    const auto visitSpansOf = [&](uint64_t hash, size_t length) {
        const auto [first, last] = index.byHash.equal_range(hash);
        for (auto kept = first; kept != last; ++kept) {
            const FoldedPathIndex::Span& span = kept->second;
            if (span.length != length) {
                continue;
            }
            bool same = true;
            for (size_t i = 0; same && i < length; ++i) {
                same = index.folded[span.at + i] == table[path[i]];
            }
            if (same) {
                visit(span.tag);
            }
        }
    };
    uint64_t hash = kFoldedHashStart;
    for (size_t i = 0; i < path.size(); ++i) {
        if (matching != Matching::kPath && i > 0 && path[i] == u'\\') {
            visitSpansOf(hash, i);
        }
        hash = NextFoldedHash(hash, table[path[i]]);
    }
    if (matching != Matching::kFolderAbove && !path.empty()) {
        visitSpansOf(hash, path.size());
    }
}
