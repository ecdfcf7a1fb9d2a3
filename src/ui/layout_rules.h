#pragma once

// Where the controls of a resizable dialog go when its client area changes size. Pure: no
// platform here.

// A rectangle in a window's client coordinates, in pixels; right and bottom are exclusive.
struct LayoutBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const LayoutBox&) const = default;
};

// How a control follows the client area's right and bottom edges.
enum class LayoutAnchor {
    // The list: its left and top stay, its right and bottom edges keep their distance to the
    // client area's.
    kFills,
    // A button of the column at the right: its size and its top stay, and its distance to the
    // client area's right edge.
    kRightColumn,
    // A line of text over the list: its left, top and height stay, its right edge keeps its
    // distance to the client area's.
    kAcrossTop,
    // A line of text under the list: as one over it, and its distance to the bottom edge stays.
    kAcrossBottom,
};

// Where a control placed at placed in a client area of designedWidth x designedHeight goes in one
// of width x height. In a smaller client area than the designed one a filling control shrinks to
// nothing at most.
LayoutBox AnchoredBox(const LayoutBox& placed, LayoutAnchor anchor, int designedWidth,
                      int designedHeight, int width, int height);

// The width of a list's path column after the list went from listBefore to listNow pixels wide:
// the column takes the whole change, so a width the user gave it is kept beside it; never below 0.
int WidenedColumn(int columnWidth, int listBefore, int listNow);
