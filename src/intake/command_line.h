#pragma once

// The paths a start is handed on its command line (a drop on the program's icon or a shortcut,
// Explorer's "Send to"), read at the process entry so that nothing deeper reads another
// program's arguments.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Every argument after the program's own name, split as the shell's quoting means it (a
// backslash is always a backslash) and made full against this process's current folder, in
// order. Empty arguments name nothing and are left out.
std::vector<WideText> CommandLinePaths(LPCWSTR commandLine);
