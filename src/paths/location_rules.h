#pragma once

// Where a file really is, from the path the platform reports for an open handle of it. A 32-bit
// process on 64-bit Windows sees the system folder redirected; the path of a handle names the
// file the process opened, in the form the system itself uses. Pure: no platform here.

#include <optional>

#include "runtime/text.h"

// The ordinary form of a handle's final path: "\\?\C:\dir\name" gives "C:\dir\name",
// "\\?\UNC\server\share\name" gives "\\server\share\name". Nothing for any other form (a volume
// GUID path, a path without the prefix).
std::optional<WideText> PathOfFinalPath(const WideText& finalPath);

// The path to list for a chosen path whose file the platform reports at finalPath: the final path
// in its ordinary form when that is another path than the chosen one; nothing when the two differ
// at most in the case of ASCII letters (the system spells names as they are stored), or when the
// final path has no ordinary form.
std::optional<WideText> RelocatedPath(const WideText& chosen, const WideText& finalPath);

// True when path lies inside the Sysnative folder of windowsDirectory: the alias by which a
// 32-bit process reaches the native System32. Native processes, the boot among them, have no such
// folder. Letters compare without regard to ASCII case; "\" and "/" both separate, repeated or
// not.
bool IsInSysnative(const Text& path, const Text& windowsDirectory);
