#pragma once

// The records of a folder's listing as the system writes them into a buffer (FILE_ID_BOTH_DIR_INFO
// one after another): each starts where the one before says, NextEntryOffset in its first four
// bytes, 0 in the last. Read only where the buffer holds them. Pure: no platform here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Where a record's fixed part ends and its name's length in bytes is kept, in this kind of record.
struct ListingLayout {
    size_t fixedSize = 0;
    size_t nameLengthAt = 0;
};

// The offsets of the records of a listing that filled bytes, in order: each at a multiple of 8
// after the one before, with its fixed part and its name (an even number of bytes) inside the
// buffer. Nothing when one is not: the listing is not read.
std::optional<std::vector<size_t>> ListingRecords(std::string_view bytes, ListingLayout layout);
