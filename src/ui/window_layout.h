#pragma once

// A dialog the user can resize and maximize: its list takes the room, its buttons keep to the
// right edge, and it cannot be made smaller than its template.

#include <vector>

#include "platform/win32.h"
#include "ui/layout_rules.h"

// A control of the dialog and how it follows the client area's edges.
struct AnchoredControl {
    int id = 0;
    LayoutAnchor anchor = LayoutAnchor::kFills;
    // A filling list's column that takes the change in its width: the paths'.
    int widenedColumn = 0;
};

struct PlacedControl {
    AnchoredControl control;
    // Where the dialog manager put it, in the dialog's client coordinates.
    LayoutBox placed;
};

// The dialog as its template made it: empty until RecordLayout.
struct WindowLayout {
    int designedWidth = 0;
    int designedHeight = 0;
    // The window's size with its frame; the smallest it may take.
    int minimumWidth = 0;
    int minimumHeight = 0;
    std::vector<PlacedControl> controls;
};

// On WM_INITDIALOG: the client area's size, the window's and where each of these controls is, all
// of them the template's dialog units at the dialog's font and DPI.
WindowLayout RecordLayout(HWND dialog, const std::vector<AnchoredControl>& controls);
// On WM_SIZE other than SIZE_MINIMIZED: every control to its place in a client area of
// width x height. A filling list gives the change in its width to its paths' column.
void LayOutControls(HWND dialog, const WindowLayout& layout, int width, int height);
// On WM_GETMINMAXINFO: the template's size is the smallest the user can drag the window to. False
// before the layout is recorded (the message comes before WM_INITDIALOG too).
bool KeepMinimumSize(const WindowLayout& layout, MINMAXINFO* info);
