#pragma once

// What every fuzz target shares: a reader over the fuzzer's bytes, the two code pages' lead-byte
// tests, and the check that turns a broken property into a crash libFuzzer keeps.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/text.h"

// A property that must hold for every input. When it does not, the input is a finding: print
// the property and abort, so libFuzzer stores the input as a crash.
#define FUZZ_REQUIRE(condition) \
    ((condition) ? static_cast<void>(0) : FuzzPropertyFailed(#condition, __FILE__, __LINE__))

[[noreturn]] inline void FuzzPropertyFailed(const char* property, const char* file, int line) {
    std::fprintf(stderr, "property failed at %s:%d: %s\n", file, line, property);
    std::abort();
}

// Code page 936 (GBK): 0x81 to 0xFE start a double-byte character.
inline bool Lead936(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}
// Code page 1252: single-byte only.
inline bool Lead1252(unsigned char) {
    return false;
}

// The fuzzer's bytes, taken from the front. Reading past the end gives zeros and empty strings,
// so every input, however short, is a valid case.
struct FuzzBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t at = 0;
};

inline uint8_t TakeByte(FuzzBytes& bytes) {
    return bytes.at < bytes.size ? bytes.data[bytes.at++] : 0;
}

inline int32_t TakeInt32(FuzzBytes& bytes) {
    uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        value |= static_cast<uint32_t>(TakeByte(bytes)) << shift;
    }
    return static_cast<int32_t>(value);
}

inline std::string TakeBytes(FuzzBytes& bytes, size_t count) {
    const size_t available = bytes.size - bytes.at;
    const size_t taken = count < available ? count : available;
    std::string result(reinterpret_cast<const char*>(bytes.data + bytes.at), taken);
    bytes.at += taken;
    return result;
}

inline std::string TakeRest(FuzzBytes& bytes) {
    return TakeBytes(bytes, bytes.size - bytes.at);
}

// A text holds no NUL byte: the fuzzer's NULs are left out.
inline Text AsText(const std::string& bytes) {
    Text text;
    for (char byte : bytes) {
        if (byte != '\0') {
            text.push_back(byte);
        }
    }
    return text;
}

inline bool HasNul(const std::string& bytes) {
    return bytes.find('\0') != std::string::npos;
}

// The pieces joined with the separator between each two.
inline std::string JoinWith(const TextArray& pieces, const std::string& separator) {
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            joined += separator;
        }
        joined += pieces[i];
    }
    return joined;
}
