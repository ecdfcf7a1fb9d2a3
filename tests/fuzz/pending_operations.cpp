// Random PendingFileRenameOperations values through the parse and the removal: with nothing
// chosen the value comes back unit for unit; with chosen operations exactly those deletions go
// (not the equal pairs beside them), every other pair and whatever ends the list stay as they
// were, and a value that is not well formed is never changed.
//
// Input: a byte whose bits choose among the value's pairs (bit 7: renames' sources too), then one
// byte per code unit, picked from a small alphabet so that NULs and repeated strings are common.

#include <vector>

#include "fuzz_support.h"
#include "pending/pending_rules.h"

namespace {

constexpr char16_t kAlphabet[] = {0,    0,    0,    u'a', u'b',   u'\\',
                                  u'?', u'*', u'1', u'!', 0xD800, 0x6587};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size, 0};
    const uint8_t choice = TakeByte(bytes);
    WideText value;
    for (unsigned char byte : TakeRest(bytes)) {
        value.push_back(kAlphabet[byte % (sizeof kAlphabet / sizeof kAlphabet[0])]);
    }

    PendingValues values;
    values.units[0] = value;
    values.operations = ParsePendingOperations(value).operations;
    const PendingOperations parsed{values.operations, ParsePendingOperations(value).wellFormed};
    CountEqualPairs(values);
    FUZZ_REQUIRE(WithoutChosenPairs(value, {}).kept == value);

    // Chosen as the window carries them: copies of the pairs of the value as it read it.
    std::vector<size_t> chosen;
    std::vector<bool> picked(parsed.operations.size(), false);
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        const PendingOperation& operation = values.operations[i];
        picked[i] = ((choice >> (i % 7)) & 1) && (IsDeletion(operation) || (choice & 0x80));
        if (picked[i]) {
            chosen.push_back(i);
        }
    }
    const Removal removal = WithoutChosenPairs(value, ChosenPairsOf(values, chosen));
    const WideText& kept = removal.kept;
    if (!parsed.wellFormed) {
        FUZZ_REQUIRE(removal.outcome == RemovalOutcome::kUnrecognised && kept == value);
        return 0;
    }
    FUZZ_REQUIRE(removal.outcome == RemovalOutcome::kRemoved);

    const PendingOperations after = ParsePendingOperations(kept);
    FUZZ_REQUIRE(after.wellFormed);
    std::vector<PendingOperation> expected;
    size_t removedUnits = 0;
    for (size_t i = 0; i < parsed.operations.size(); ++i) {
        const PendingOperation& operation = parsed.operations[i];
        if (IsDeletion(operation) && picked[i]) {
            removedUnits += PairLength(operation);
        } else {
            expected.push_back(operation);
        }
    }
    FUZZ_REQUIRE(after.operations.size() == expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        FUZZ_REQUIRE(PairOf(kept, after.operations[i]) == PairOf(value, expected[i]));
    }
    // The pairs are contiguous from the start, so equal pairs and an equal end mean every unit
    // outside the removed pairs is where it was.
    FUZZ_REQUIRE(kept.size() + removedUnits == value.size());
    FUZZ_REQUIRE(kept.substr(ListEnd(after)) == value.substr(ListEnd(parsed)));
    return 0;
}
