// SplitText over any text, any delimiter, any limit, in both code pages.
//
// Input: a flags byte (bit 0: code page 936, else 1252; bit 1: a limit is given; bit 2: the
// limit is a whole int32, else one signed byte), the limit, a delimiter length byte (0 to 5),
// the delimiter, then the text. NUL bytes are left out of the delimiter and the text.

#include <optional>

#include "fuzz_support.h"

namespace {

// At every character boundary of a piece where the delimiter would fit inside it, the delimiter
// is absent: a delimiter met at a boundary always ends a piece. The boundaries are those of the
// split's own scan, which restarts at each piece: one byte on, or two after a lead byte.
void RequireNoDelimiterAtABoundary(const Text& piece, const Text& delimiter,
                                   LeadBytePredicate isLeadByte) {
    size_t at = 0;
    while (at + delimiter.size() <= piece.size()) {
        FUZZ_REQUIRE(piece.compare(at, delimiter.size(), delimiter) != 0);
        at += isLeadByte(static_cast<unsigned char>(piece[at])) ? 2 : 1;
    }
}

void CheckUnlimited(const Text& text, const Text& delimiter, LeadBytePredicate isLeadByte,
                    const TextArray& pieces) {
    if (text.empty()) {
        FUZZ_REQUIRE(pieces.empty());
        return;
    }
    if (delimiter.empty()) {
        FUZZ_REQUIRE(pieces.size() == 1 && pieces[0] == text);
        return;
    }
    FUZZ_REQUIRE(!pieces.empty());
    // The pieces and the delimiters between them give back the text, up to a final delimiter,
    // which leaves no empty piece behind it.
    const std::string joined = JoinWith(pieces, delimiter);
    FUZZ_REQUIRE(joined == text || joined + delimiter == text);
    for (const Text& piece : pieces) {
        FUZZ_REQUIRE(!HasNul(piece));
        RequireNoDelimiterAtABoundary(piece, delimiter, isLeadByte);
    }
}

// A limit keeps the first pieces of the unlimited split and drops the rest.
void CheckLimited(int32_t limit, const TextArray& unlimited, const TextArray& limited) {
    if (limit <= 0) {
        FUZZ_REQUIRE(limited.empty());
        return;
    }
    const size_t kept = static_cast<size_t>(limit) < unlimited.size() ? static_cast<size_t>(limit)
                                                                      : unlimited.size();
    FUZZ_REQUIRE(limited.size() == kept);
    for (size_t i = 0; i < kept; ++i) {
        FUZZ_REQUIRE(limited[i] == unlimited[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const uint8_t flags = TakeByte(bytes);
    const LeadBytePredicate isLeadByte = (flags & 1) != 0 ? Lead936 : Lead1252;
    const bool hasLimit = (flags & 2) != 0;
    const int32_t limit =
        (flags & 4) != 0 ? TakeInt32(bytes) : static_cast<int8_t>(TakeByte(bytes));
    const Text delimiter = AsText(TakeBytes(bytes, TakeByte(bytes) % 6));
    const Text text = AsText(TakeRest(bytes));

    const TextArray unlimited = SplitText(text, delimiter, std::nullopt, isLeadByte);
    CheckUnlimited(text, delimiter, isLeadByte, unlimited);
    if (hasLimit) {
        const TextArray limited = SplitText(text, delimiter, limit, isLeadByte);
        CheckLimited(limit, unlimited, limited);
    }
    return 0;
}
