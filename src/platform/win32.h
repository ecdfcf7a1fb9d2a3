#pragma once

// The one header through which program code reaches the platform. On Windows it is the real SDK;
// elsewhere the stand-in declares the same names with the same types and values.

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlwapi.h>
#else
#include "standin/win32_standin.h"
#endif

// The longest path Windows can name, in UTF-16 code units, with its terminator: room enough for any
// path the system reports.
inline constexpr DWORD kLongestPathUnits = 32768;
