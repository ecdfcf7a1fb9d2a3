#include "paths/folded_names.h"

namespace {

// The folded units of a path as the index keeps them: without a final "\".
std::u16string_view KeptPart(std::u16string_view path) {
    if (!path.empty() && path.back() == u'\\') {
        path.remove_suffix(1);
    }
    return path;
}

// Folds the path onto the end of the index's units; where it starts there.
size_t FoldInto(FoldedPathIndex& index, std::u16string_view path, CaseTable table) {
    const size_t at = index.folded.size();
    index.folded.reserve(at + path.size());
    for (char16_t unit : path) {
        index.folded.push_back(table[unit]);
    }
    return at;
}

void Keep(FoldedPathIndex& index, uint64_t hash, size_t at, size_t length, uint32_t tag) {
    index.byHash.emplace(
        hash, FoldedPathIndex::Span{static_cast<uint32_t>(at), static_cast<uint32_t>(length), tag});
}

}  // namespace

bool SameFoldedName(std::u16string_view left, std::u16string_view right, CaseTable table) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t i = 0; i < left.size(); ++i) {
        if (table[left[i]] != table[right[i]]) {
            return false;
        }
    }
    return true;
}

void AddFoldedPath(FoldedPathIndex& index, std::u16string_view path, CaseTable table,
                   uint32_t tag) {
    path = KeptPart(path);
    if (path.empty()) {
        return;
    }
    const size_t at = FoldInto(index, path, table);
    uint64_t hash = kFoldedHashStart;
    for (size_t i = 0; i < path.size(); ++i) {
        hash = NextFoldedHash(hash, index.folded[at + i]);
    }
    Keep(index, hash, at, path.size(), tag);
}

void AddFoldedFoldersAbove(FoldedPathIndex& index, std::u16string_view path, CaseTable table,
                           uint32_t tag) {
    path = KeptPart(path);
    if (path.find(u'\\', 1) == std::u16string_view::npos) {
        return;
    }
    const size_t at = FoldInto(index, path, table);
    uint64_t hash = kFoldedHashStart;
    for (size_t i = 0; i < path.size(); ++i) {
        if (i > 0 && path[i] == u'\\') {
            Keep(index, hash, at, i, tag);
        }
        hash = NextFoldedHash(hash, index.folded[at + i]);
    }
}
