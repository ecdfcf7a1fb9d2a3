#include "restart/listing_records.h"

#include "runtime/little_endian.h"

namespace {

// The records of a listing are aligned to 8 bytes.
constexpr size_t kRecordAlignment = 8;

}  // namespace

std::optional<std::vector<size_t>> ListingRecords(std::string_view bytes, ListingLayout layout) {
    std::vector<size_t> records;
    size_t at = 0;
    for (;;) {
        if (layout.fixedSize > bytes.size() - at || layout.nameLengthAt + 4 > layout.fixedSize) {
            return std::nullopt;
        }
        const uint32_t nameBytes = LittleEndianAt(bytes, at + layout.nameLengthAt, 4);
        if (nameBytes % 2 != 0 || nameBytes > bytes.size() - at - layout.fixedSize) {
            return std::nullopt;
        }
        records.push_back(at);
        const uint32_t next = LittleEndianAt(bytes, at, 4);
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
