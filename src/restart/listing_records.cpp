#include "restart/listing_records.h"

namespace {

// The records of a listing are aligned to 8 bytes.
constexpr size_t kRecordAlignment = 8;

uint32_t ULongAt(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

}  // namespace

std::optional<std::vector<size_t>> ListingRecords(std::string_view bytes, ListingLayout layout) {
    std::vector<size_t> records;
    size_t at = 0;
    for (;;) {
        if (layout.fixedSize > bytes.size() - at || layout.nameLengthAt + 4 > layout.fixedSize) {
            return std::nullopt;
        }
        const uint32_t nameBytes = ULongAt(bytes, at + layout.nameLengthAt);
        if (nameBytes % 2 != 0 || nameBytes > bytes.size() - at - layout.fixedSize) {
            return std::nullopt;
        }
        records.push_back(at);
        const uint32_t next = ULongAt(bytes, at);
        if (next == 0) {
            return records;
        }
        // Forward, past this record's fixed part, aligned, and still inside.
        if (next < layout.fixedSize + nameBytes || next % kRecordAlignment != 0 ||
            next >= bytes.size() - at) {
            return std::nullopt;
        }
        at += next;
    }
}
