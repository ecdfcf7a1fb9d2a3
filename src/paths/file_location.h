#pragma once

// Where a row's file really is: the path the system reports for the file the row names, in the
// native view (the boot's), a final link taken as itself. Kept when the row is listed and asked
// again at the restart run, so that a path re-pointed in between (a folder on it replaced by a
// junction) is told apart from the one the user chose.

#include <optional>

#include "runtime/text.h"

// The final path ("\\?\C:\dir\name") of what the row's UTF-16 path names now; nothing when it
// names nothing, has no literal form, or the system reports no path for it.
std::optional<WideText> FileLocationNow(const WideText& rowPath);
