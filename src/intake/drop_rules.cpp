#include "intake/drop_rules.h"

Text DroppedPathExtension(const Text& path) {
    const int32_t dot = FindLastInText(path, ".");
    // No dot at all: RightOfText with more than the length gives the whole path.
    return RightOfText(path, TextLength(path) - dot);
}
