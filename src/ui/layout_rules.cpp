#include "ui/layout_rules.h"

#include <algorithm>

LayoutBox AnchoredBox(const LayoutBox& placed, LayoutAnchor anchor, int designedWidth,
                      int designedHeight, int width, int height) {
    const int wider = width - designedWidth;
    const int taller = height - designedHeight;
    LayoutBox box = placed;
    switch (anchor) {
        case LayoutAnchor::kFills:
            box.right = std::max(placed.left, placed.right + wider);
            box.bottom = std::max(placed.top, placed.bottom + taller);
            break;
        case LayoutAnchor::kRightColumn:
            box.left = placed.left + wider;
            box.right = placed.right + wider;
            break;
        case LayoutAnchor::kAcrossTop:
            box.right = std::max(placed.left, placed.right + wider);
            break;
        case LayoutAnchor::kAcrossBottom:
            box.right = std::max(placed.left, placed.right + wider);
            box.top = placed.top + taller;
            box.bottom = placed.bottom + taller;
            break;
    }
    return box;
}

int WidenedColumn(int columnWidth, int listBefore, int listNow) {
    return std::max(0, columnWidth + listNow - listBefore);
}
