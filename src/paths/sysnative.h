#pragma once

// Where a 32-bit process on 64-bit Windows sees a path that the boot does not. Pure: no platform
// here.

#include "runtime/text.h"

// True when path lies inside the Sysnative folder of windowsDirectory: the alias by which a
// 32-bit process reaches the native System32. Native processes, the boot among them, have no such
// folder. Letters compare without regard to ASCII case; "\" and "/" both separate, repeated or
// not.
bool IsInSysnative(const WideText& path, const WideText& windowsDirectory);
