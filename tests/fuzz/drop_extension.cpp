// The extension handed along with a dropped path, for any path.
//
// Input: the path (NULs left out).

#include "fuzz_support.h"
#include "intake/drop_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const Text path = AsText(TakeRest(bytes));
    const Text extension = DroppedPathExtension(path);

    const size_t dot = path.rfind('.');
    if (dot == Text::npos) {
        // No dot anywhere: the whole path.
        FUZZ_REQUIRE(extension == path);
        return 0;
    }
    // Everything after the last dot of the whole path, directories included: no dot in it, and
    // empty exactly when the path ends with the dot.
    FUZZ_REQUIRE(extension == path.substr(dot + 1));
    FUZZ_REQUIRE(extension.find('.') == Text::npos);
    FUZZ_REQUIRE(extension.empty() == (dot + 1 == path.size()));
    FUZZ_REQUIRE((NullIfEmpty(extension) == nullptr) == extension.empty());
    return 0;
}
