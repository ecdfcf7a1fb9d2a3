// Reading a hand-over block, for any bytes and tag another program of the user can send the
// window: what is read is a whole list of handable paths that makes exactly the block again; and
// paths made into a block by a start come back as exactly those paths.
//
// Input: one byte picks the tag (low bit: ours), then the block's bytes; the same bytes, taken as
// UTF-16 units split at NULs, are the paths of the round trip.

#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "intake/hand_over.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const uint64_t tag = (TakeByte(bytes) & 1) != 0 ? kHandOverTag : kHandOverTag + 1;
    // Exactly the input's bytes, so that a read past the block's end is one past the input's.
    const std::string rest = TakeRest(bytes);
    const std::vector<char> exact(rest.begin(), rest.end());
    const std::string_view block(exact.data(), exact.size());

    const std::optional<std::vector<WideText>> read = ReadHandOverBlock(tag, block);
    if (read) {
        FUZZ_REQUIRE(tag == kHandOverTag && read->size() <= kMostHandedPaths);
        for (const WideText& path : *read) {
            FUZZ_REQUIRE(HandablePath(path));
        }
        const std::optional<ByteString> again = HandOverBlock(*read);
        FUZZ_REQUIRE(again && std::string_view(again->data(), again->size()) == block);
    }

    std::vector<WideText> paths(1);
    for (size_t at = 0; at + 1 < rest.size(); at += 2) {
        const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(rest[at]) |
                                                    static_cast<unsigned char>(rest[at + 1]) << 8);
        if (unit == u'\0') {
            paths.emplace_back();
        } else {
            paths.back() += unit;
        }
    }
    const std::optional<ByteString> made = HandOverBlock(paths);
    bool handable = true;
    for (const WideText& path : paths) {
        handable = handable && HandablePath(path);
    }
    FUZZ_REQUIRE(made.has_value() == handable);
    if (made) {
        FUZZ_REQUIRE(
            ReadHandOverBlock(kHandOverTag, std::string_view(made->data(), made->size())) == paths);
    }
    return 0;
}
