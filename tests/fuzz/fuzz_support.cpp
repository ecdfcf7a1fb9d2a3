// The fuzz targets link the pure rules without the rest of the program. The one platform-facing
// stop those rules can reach is the internal error of an array read out of range; for a pure
// rule that is a bug, so here it aborts and the input is kept as a crash.

#include <cstdio>
#include <cstdlib>

#include "runtime/fatal.h"

void ReportInternalError(int32_t number, uint32_t diagnostic) {
    std::fprintf(stderr, "internal error %d (0x%X) in a pure rule\n", static_cast<int>(number),
                 static_cast<unsigned>(diagnostic));
    std::abort();
}
