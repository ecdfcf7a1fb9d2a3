#pragma once

// Numbers in blocks of bytes that pass between processes and builds (a drop, a hand-over, a
// gathering, a folder's listing): little-endian, as many bytes as the field has, so that no field
// depends on the size of a pointer or a long. Pure: no platform here.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/text.h"

// Appends value in bytes bytes, the lowest first.
inline void AppendLittleEndian(ByteString& block, uint32_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        block += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// The value of bytes bytes at at, the lowest first; the caller has checked that they are there.
inline uint32_t LittleEndianAt(std::string_view block, size_t at, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(block[at + i])) << (8 * i);
    }
    return value;
}
