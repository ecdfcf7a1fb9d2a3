#pragma once

// Rules of dropped files that need no platform.

#include "runtime/text.h"

// Everything after the last "." of the whole path (directories included); empty when the path
// ends with the dot. A path without any dot gives the whole path.
Text DroppedPathExtension(const Text& path);
