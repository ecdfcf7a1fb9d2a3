#pragma once

// Which file a handle is: its volume's serial number and the file's index on that volume, as the
// system reports them. Two names with one identity name one file. Pure: no platform here.

#include <cstdint>

struct FileIdentity {
    uint32_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};
