#pragma once

// Lengths given for a display of 96 DPI, at another display's DPI. Pure: no platform here.

// The DPI the program's fixed lengths are given at.
constexpr int kBaseDpi = 96;

// pixelsAt96 (not negative) at dpi, rounded to the nearest pixel, a half up, as MulDiv rounds; a
// dpi the system did not give (0 or less) leaves the length as it is.
int ScaleForDpi(int pixelsAt96, int dpi);
