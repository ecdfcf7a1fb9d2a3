#pragma once

// Which ANSI text may stand for a file the platform named in UTF-16. Pure: the converters and the
// short-name look-up come in as functions.

#include <optional>

#include "runtime/exact_text.h"
#include "runtime/text.h"

// The short (8.3) form of a path, as the platform gives it for an existing file or folder; false
// when it gives none.
using ShortPathFunction = bool (*)(const WideText& path, WideText& shortPath);

// The ANSI text that names exactly the file this UTF-16 path names: the path itself when it
// converts exactly, else its short form when the platform has one that differs from the path and
// converts exactly; nothing when neither does.
std::optional<Text> ExactFileName(const WideText& path, const AnsiConverters& converters,
                                  ShortPathFunction shortPath);
