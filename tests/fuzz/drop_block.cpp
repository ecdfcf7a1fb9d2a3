// Reading a drop block, for any bytes a program of the user can post: every name read lies inside
// the block and ends there, the list's end too; and a block made well of any names is read back
// as exactly those names.
//
// The handle rule, for any facts the platform may report: a handle is read only when it is a live
// moveable block (not a pointer to its own bytes, traced back to itself), and then exactly as the
// block reads.
//
// Input: one byte picks the form (low bit: UTF-16), then the handle's facts (four values of two
// bytes, small so that equal values come up often); the rest is the block itself for the first
// half of the properties and the names (split at NUL units) for the second.

#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "intake/drop_rules.h"

namespace {

bool IsNulUnit(std::string_view bytes, size_t at, size_t unit) {
    return bytes[at] == '\0' && (unit == 1 || bytes[at + 1] == '\0');
}

// Whatever is read of a block lies inside it: each name starts where the one before ended, holds
// no NUL unit, and is followed by one; after the last comes the empty name.
void CheckReadOf(std::string_view block) {
    const std::optional<DropBlockNames> read = ReadDropBlock(block);
    if (!read) {
        return;
    }
    FUZZ_REQUIRE(block.size() >= kDropHeaderSize);
    const size_t unit = read->wide ? 2 : 1;
    size_t at = static_cast<unsigned char>(block[0]) | static_cast<unsigned char>(block[1]) << 8 |
                static_cast<size_t>(static_cast<unsigned char>(block[2])) << 16 |
                static_cast<size_t>(static_cast<unsigned char>(block[3])) << 24;
    FUZZ_REQUIRE(at >= kDropHeaderSize);
    for (std::string_view name : read->names) {
        FUZZ_REQUIRE(name.data() == block.data() + at);
        FUZZ_REQUIRE(!name.empty() && name.size() % unit == 0);
        for (size_t i = 0; i < name.size(); i += unit) {
            FUZZ_REQUIRE(!IsNulUnit(name, i, unit));
        }
        at += name.size();
        FUZZ_REQUIRE(at + unit <= block.size() && IsNulUnit(block, at, unit));
        at += unit;
    }
    FUZZ_REQUIRE(at + unit <= block.size() && IsNulUnit(block, at, unit));
}

// The names of the input, made into a well-formed block, come back whole and in order.
void CheckRoundTrip(std::string_view input, bool wide) {
    const size_t unit = wide ? 2 : 1;
    std::vector<std::string> names;
    std::string name;
    for (size_t i = 0; i + unit <= input.size(); i += unit) {
        if (IsNulUnit(input, i, unit)) {
            if (!name.empty()) {
                names.push_back(name);
            }
            name.clear();
        } else {
            name.append(input.substr(i, unit));
        }
    }
    if (!name.empty()) {
        names.push_back(name);
    }
    std::string block(kDropHeaderSize, '\0');
    block[0] = static_cast<char>(kDropHeaderSize);
    block[16] = wide ? 1 : 0;
    for (const std::string& each : names) {
        block += each;
        block.append(unit, '\0');
    }
    block.append(unit, '\0');
    const std::optional<DropBlockNames> read = ReadDropBlock(block);
    FUZZ_REQUIRE(read && read->wide == wide && read->names.size() == names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        FUZZ_REQUIRE(read->names[i] == names[i]);
    }
}

void CheckHandleRule(const DropHandleFacts& facts, std::string_view block) {
    const std::optional<DropBlockNames> read = ReadDropHandle(facts, block);
    if (!read) {
        FUZZ_REQUIRE(!IsMoveableBlock(facts) || !ReadDropBlock(block));
        return;
    }
    FUZZ_REQUIRE(facts.handle != 0 && facts.locked != 0 && facts.locked != facts.handle);
    FUZZ_REQUIRE(facts.handleOfLocked == facts.handle);
    FUZZ_REQUIRE(facts.flags != kInvalidHandleFlags && (facts.flags & kDiscardedFlag) == 0);
    FUZZ_REQUIRE(ReadDropBlock(block)->names.size() == read->names.size());
}

uint16_t TakeValue(FuzzBytes& bytes) {
    const uint16_t low = TakeByte(bytes);
    return static_cast<uint16_t>(low | TakeByte(bytes) << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const bool wide = (TakeByte(bytes) & 1) != 0;
    DropHandleFacts facts;
    facts.handle = TakeValue(bytes) % 4;
    facts.flags = TakeValue(bytes) & (kInvalidHandleFlags | kDiscardedFlag | 0xFF);
    facts.locked = TakeValue(bytes) % 4;
    facts.handleOfLocked = TakeValue(bytes) % 4;
    // Exactly the input's bytes, so that a read past the block's end is one past the input's.
    const std::string rest = TakeRest(bytes);
    std::vector<char> exact(rest.begin(), rest.end());
    CheckReadOf(std::string_view(exact.data(), exact.size()));
    CheckHandleRule(facts, std::string_view(exact.data(), exact.size()));
    CheckRoundTrip(rest, wide);
    return 0;
}
