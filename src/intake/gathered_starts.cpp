#include "intake/gathered_starts.h"

#include <algorithm>

#include "intake/gathering_rules.h"
#include "platform/win32.h"
#include "runtime/wide_text.h"

namespace {

// The block's bytes as they are now, at most as many as a block may hold.
ByteString CopyOfBlock(const WideText& token) {
    ByteString copy;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, WideC(GatheredBlockName(token)));
    if (mapping == nullptr) {
        return copy;
    }
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    MEMORY_BASIC_INFORMATION region{};
    if (view != nullptr && VirtualQuery(view, &region, sizeof region) != 0) {
        const size_t size = std::min<size_t>(region.RegionSize, kLargestGatheredBlock);
        copy.assign(static_cast<const char*>(view), size);
    }
    if (view != nullptr) {
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return copy;
}

void TellBlockRead(const WideText& token) {
    HANDLE read = OpenEventW(EVENT_MODIFY_STATE, FALSE, WideC(GatheredReadName(token)));
    if (read != nullptr) {
        SetEvent(read);
        CloseHandle(read);
    }
}

}  // namespace

std::optional<std::vector<WideText>> ReadGatheredStarts(const WideText& token) {
    const ByteString copy = CopyOfBlock(token);
    TellBlockRead(token);
    return ReadTextsBlock(copy);
}
