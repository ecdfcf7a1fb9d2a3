#pragma once

// The DPI the program's windows are drawn at.

#include "platform/win32.h"

// The window's DPI where the system tells it (Windows 10 version 1607 and later), else the
// system's DPI, at which a DPI-aware program's windows are drawn; 0 when neither is known.
int WindowDpi(HWND window);
