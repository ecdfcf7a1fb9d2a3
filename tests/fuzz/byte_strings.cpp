// The byte-string and text operations over any bytes, NUL bytes included, and any counts.
//
// Input: two length bytes, an int32 count, then three byte strings: a source of the first
// length, a pattern of the second, and the rest as the replacement. Texts are made from the same
// bytes with the NULs left out.

#include <algorithm>

#include "fuzz_support.h"

namespace {

// The first position (1-based) at which needle occurs, from a plain byte-by-byte walk; -1 when
// there is none.
int32_t FirstOccurrence(const std::string& haystack, const std::string& needle) {
    if (needle.empty() || needle.size() > haystack.size()) {
        return -1;
    }
    for (size_t at = 0; at + needle.size() <= haystack.size(); ++at) {
        if (std::equal(needle.begin(), needle.end(), haystack.begin() + static_cast<long>(at))) {
            return static_cast<int32_t>(at) + 1;
        }
    }
    return -1;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

void CheckFindBytes(const ByteString& haystack, const ByteString& needle) {
    const int32_t found = FindBytes(haystack, needle);
    FUZZ_REQUIRE(found == FirstOccurrence(haystack, needle));
    if (found != -1) {
        FUZZ_REQUIRE(haystack.compare(static_cast<size_t>(found) - 1, needle.size(), needle) == 0);
    }
}

void CheckReplaceBytes(const ByteString& source, const ByteString& pattern,
                       const ByteString& replacement) {
    const ByteString replaced = ReplaceBytes(source, pattern, replacement);
    if (source.empty()) {
        FUZZ_REQUIRE(replaced.empty());
        return;
    }
    // Rebuild the expected result occurrence by occurrence, left to right without overlap.
    ByteString expected;
    size_t occurrences = 0;
    size_t at = 0;
    while (at < source.size()) {
        if (!pattern.empty() && at + pattern.size() <= source.size() &&
            source.compare(at, pattern.size(), pattern) == 0) {
            expected += replacement;
            at += pattern.size();
            ++occurrences;
        } else {
            expected += source[at];
            ++at;
        }
    }
    FUZZ_REQUIRE(replaced == expected);
    FUZZ_REQUIRE(replaced.size() ==
                 source.size() + occurrences * replacement.size() - occurrences * pattern.size());
    // Replacing a pattern by itself changes nothing.
    FUZZ_REQUIRE(ReplaceBytes(source, pattern, pattern) == source);
}

void CheckCutsAndJoins(const ByteString& bytes, const ByteString& other, int32_t count) {
    const ByteString left = LeftOfBytes(bytes, count);
    if (count <= 0) {
        FUZZ_REQUIRE(left.empty());
    } else {
        FUZZ_REQUIRE(left == bytes.substr(0, std::min(bytes.size(), static_cast<size_t>(count))));
    }
    const ByteString joined = ConcatBytes(bytes, other, left);
    FUZZ_REQUIRE(joined.size() == bytes.size() + other.size() + left.size());
    FUZZ_REQUIRE(joined.compare(0, bytes.size(), bytes) == 0);
    FUZZ_REQUIRE(joined.compare(bytes.size(), other.size(), other) == 0);

    // A text stops at the first NUL byte and never holds one; back to bytes it is that prefix.
    const Text text = BytesToText(bytes);
    FUZZ_REQUIRE(!HasNul(text));
    FUZZ_REQUIRE(text == bytes.substr(0, std::min(bytes.find('\0'), bytes.size())));
    FUZZ_REQUIRE(TextToBytes(text) == text);
    FUZZ_REQUIRE(TextFromMemory(bytes.data(), static_cast<int32_t>(bytes.size())) == text);

    const int32_t small = count % 256;
    const ByteString blank = BlankBytes(small);
    FUZZ_REQUIRE(blank.size() == static_cast<size_t>(std::max(small, 0)));
    FUZZ_REQUIRE(std::all_of(blank.begin(), blank.end(), [](char b) { return b == '\0'; }));
    const Text spaces = BlankText(small);
    FUZZ_REQUIRE(spaces.size() == static_cast<size_t>(std::max(small, 0)));
    FUZZ_REQUIRE(std::all_of(spaces.begin(), spaces.end(), [](char b) { return b == ' '; }));
    const Text one = CharText(count);
    FUZZ_REQUIRE(one.size() == ((count & 0xFF) == 0 ? 0u : 1u));
    FUZZ_REQUIRE(one.empty() || static_cast<unsigned char>(one[0]) == (count & 0xFF));
}

void CheckTexts(const Text& text, const Text& part, int32_t count) {
    const int32_t last = FindLastInText(text, part);
    if (last == -1) {
        FUZZ_REQUIRE(part.empty() || text.find(part) == Text::npos);
    } else {
        // The part is there, and nowhere after.
        const size_t at = static_cast<size_t>(last) - 1;
        FUZZ_REQUIRE(text.compare(at, part.size(), part) == 0);
        FUZZ_REQUIRE(text.find(part, at + 1) == Text::npos);
    }

    const Text right = RightOfText(text, count);
    if (count <= 0) {
        FUZZ_REQUIRE(right.empty());
    } else {
        const size_t kept = std::min(text.size(), static_cast<size_t>(count));
        FUZZ_REQUIRE(right == text.substr(text.size() - kept));
    }
    FUZZ_REQUIRE(TextLength(text) == static_cast<int32_t>(text.size()));

    // An order over unsigned bytes in which a prefix comes first: the same as the standard
    // string order, antisymmetric, and zero exactly for equal texts.
    const int32_t order = CompareText(text, part);
    FUZZ_REQUIRE(order == -1 || order == 0 || order == 1);
    FUZZ_REQUIRE(order == Sign(text.compare(part)));
    FUZZ_REQUIRE(CompareText(part, text) == -order);
    FUZZ_REQUIRE((order == 0) == (text == part));
    FUZZ_REQUIRE(CompareText(text, text) == 0);

    const Text both = ConcatText(text, part);
    FUZZ_REQUIRE(both == text + part);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const size_t sourceLength = TakeByte(bytes);
    const size_t patternLength = TakeByte(bytes) % 8;
    const int32_t count = TakeInt32(bytes);
    const ByteString source = TakeBytes(bytes, sourceLength);
    const ByteString pattern = TakeBytes(bytes, patternLength);
    const ByteString replacement = TakeRest(bytes);

    CheckFindBytes(source, pattern);
    CheckFindBytes(pattern, source);
    CheckReplaceBytes(source, pattern, replacement);
    CheckCutsAndJoins(source, replacement, count);
    CheckTexts(AsText(source), AsText(pattern), count);
    CheckTexts(AsText(source), AsText(replacement), count);
    return 0;
}
