// The open-file dialog's filter list from any filter text, and the flags of any mode.
//
// Input: an int32 mode, then the filter text (NULs left out).

#include "fuzz_support.h"
#include "intake/selection_rules.h"

namespace {

constexpr uint32_t kExplorerMultiSelect = 0x80000 | 0x200;
// Flags no mode may ask for: the dialog must accept names of files that do not exist.
constexpr uint32_t kForbidden = 0x800 | 0x1000 | 0x100000;
constexpr uint32_t kEnableHook = 0x20;

void CheckFilterList(const Text& filter) {
    const ByteString list = BuildFilterList(filter);
    // Every part ends with a NUL where its "|" stood, and two NULs end the list.
    FUZZ_REQUIRE(list.size() == filter.size() + 2);
    for (size_t i = 0; i < filter.size(); ++i) {
        FUZZ_REQUIRE(list[i] == (filter[i] == '|' ? '\0' : filter[i]));
    }
    FUZZ_REQUIRE(list[filter.size()] == '\0' && list[filter.size() + 1] == '\0');
}

void CheckFlags(int32_t mode) {
    const uint32_t flags = OpenFileFlags(mode);
    if (mode < 0 || mode > 11) {
        FUZZ_REQUIRE(flags == 0);
        return;
    }
    FUZZ_REQUIRE((flags & kExplorerMultiSelect) == kExplorerMultiSelect);
    FUZZ_REQUIRE((flags & kForbidden) == 0);
    FUZZ_REQUIRE(((flags & kEnableHook) != 0) == (mode >= 6));
    // Modes 6 to 11 are modes 0 to 5 with the hook asked for.
    FUZZ_REQUIRE(mode < 6 || flags == (OpenFileFlags(mode - 6) | kEnableHook));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const int32_t mode = TakeInt32(bytes);
    CheckFlags(mode);
    CheckFlags(mode % 16);
    CheckFilterList(AsText(TakeRest(bytes)));
    return 0;
}
