#pragma once

// The paths a start is handed on its command line (a drop on the program's icon or a shortcut,
// Explorer's "Send to"), read at the process entry so that nothing deeper reads another
// program's arguments.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Every argument after the program's own name, split as the shell's quoting means it (a
// backslash is always a backslash) and made full against this process's current folder, in
// order. Empty arguments name nothing and are left out. A start made by the right-click verb's
// helper has one argument, the mark of a gathering (no path holds it): the arguments of the
// starts it gathered are read from the helper's block and taken in the same way.
std::vector<WideText> CommandLinePaths(LPCWSTR commandLine);
