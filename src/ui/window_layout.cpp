#include "ui/window_layout.h"

namespace {

LayoutBox BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The control's rectangle in its dialog's client coordinates.
LayoutBox PlacedBox(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return BoxOf(rect);
}

int WidthOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

void MoveControl(HWND control, const LayoutBox& box) {
    SetWindowPos(control, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void WidenPathColumn(HWND list, int column, int listBefore, int listNow) {
    if (listNow == listBefore) {
        return;
    }
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageW(list, LVM_SETCOLUMNWIDTH, column,
                 MAKELPARAM(WidenedColumn(width, listBefore, listNow), 0));
}

}  // namespace

WindowLayout RecordLayout(HWND dialog, const std::vector<AnchoredControl>& controls) {
    WindowLayout layout;
    RECT client{};
    GetClientRect(dialog, &client);
    layout.designedWidth = client.right - client.left;
    layout.designedHeight = client.bottom - client.top;
    RECT window{};
    GetWindowRect(dialog, &window);
    layout.minimumWidth = window.right - window.left;
    layout.minimumHeight = window.bottom - window.top;
    for (const AnchoredControl& control : controls) {
        layout.controls.push_back({control, PlacedBox(dialog, GetDlgItem(dialog, control.id))});
    }
    return layout;
}

void LayOutControls(HWND dialog, const WindowLayout& layout, int width, int height) {
    for (const PlacedControl& placed : layout.controls) {
        HWND control = GetDlgItem(dialog, placed.control.id);
        const LayoutBox box =
            AnchoredBox(placed.placed, placed.control.anchor, layout.designedWidth,
                        layout.designedHeight, width, height);
        const int widthBefore = WidthOf(control);
        MoveControl(control, box);
        if (placed.control.anchor == LayoutAnchor::kFills) {
            WidenPathColumn(control, placed.control.widenedColumn, widthBefore,
                            box.right - box.left);
        }
    }
}

bool KeepMinimumSize(const WindowLayout& layout, MINMAXINFO* info) {
    if (info == nullptr || layout.minimumWidth <= 0 || layout.minimumHeight <= 0) {
        return false;
    }
    info->ptMinTrackSize.x = layout.minimumWidth;
    info->ptMinTrackSize.y = layout.minimumHeight;
    return true;
}
