#include "list/deletion_list.h"

#include <cstring>
#include <string_view>

#include "app/app_state.h"
#include "app/shell.h"
#include "runtime/wide_text.h"

namespace {

constexpr int kResultColumn = 1;
// Enough for any path; the read-back doubles its buffer from the first size up to this.
constexpr int kFirstReadCapacity = 260;
constexpr int kLargestReadCapacity = 1 << 17;
// A new row carries state image 1; the mask covers every state-image and overlay bit and
// LVIS_CUT, so the row starts with nothing else set.
constexpr UINT kNewRowState = 0x1000;
constexpr UINT kNewRowStateMask = 0xFFFFF000u | LVIS_CUT;

LRESULT SendToList(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_app.listControl, message, wParam, lParam);
}

// One LVM_GETITEMTEXTA into a buffer of capacity bytes; the bytes copied, as the control counts.
int ReadCell(int row, int column, char* buffer, int capacity, Text& text) {
    buffer[0] = '\0';
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    int copied = static_cast<int>(
        SendToList(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    // The control may point pszText at its own copy instead of filling the buffer.
    text = TextFromC(item.pszText);
    return copied;
}

// Whether row's path is exactly path. The row is read into a buffer on the stack; only a row that
// fills it, tested against a path at least as long, is read again whole. This is the inner loop of
// every duplicate scan, so it makes no copy of the row.
bool RowHoldsPath(int row, const Text& path) {
    char buffer[kFirstReadCapacity];
    buffer[0] = '\0';
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = 0;
    item.pszText = buffer;
    item.cchTextMax = kFirstReadCapacity;
    const int copied = static_cast<int>(
        SendToList(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (copied < kFirstReadCapacity - 1) {
        return std::string_view(item.pszText != nullptr ? item.pszText : "") == path;
    }
    // The row's path is at least as long as the buffer holds.
    if (path.size() < static_cast<size_t>(kFirstReadCapacity - 1)) {
        return false;
    }
    return CompareText(GetRowText(row, 0), path) == 0;
}

}  // namespace

void SetListExtendedStyles() {
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddColumn(int width, const char* header, int columnIndex) {
    WideText headerCopy = UiText(header);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = WideData(headerCopy);
    SendMessageW(g_app.listControl, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnIndex),
                 reinterpret_cast<LPARAM>(&column));
}

int RowCount() {
    return static_cast<int>(SendToList(LVM_GETITEMCOUNT, 0, 0));
}

int AppendPath(const Text& path) {
    Text pathCopy = path;
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT | LVIF_COLUMNS;
    item.iItem = RowCount();
    item.iSubItem = 0;
    item.pszText = pathCopy.data();
    item.iImage = 0;
    item.state = kNewRowState;
    item.stateMask = kNewRowStateMask;
    item.lParam = 0;
    item.iIndent = 0;
    item.cColumns = 0;
    return static_cast<int>(SendToList(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ContainsPath(const Text& path) {
    const int count = RowCount();
    for (int row = 0; row < count; ++row) {
        if (RowHoldsPath(row, path)) {
            return true;
        }
        // Long lists keep the window answering while they are scanned.
        PumpPendingMessages();
    }
    return false;
}

Text GetRowText(int row, int column) {
    Text text;
    if (row < 0) {
        return text;
    }
    char firstBuffer[kFirstReadCapacity];
    int copied = ReadCell(row, column, firstBuffer, kFirstReadCapacity, text);
    // A full buffer may hold a cut text: read again with more room until the text fits, so a
    // long path is never mistaken for its first bytes.
    for (int capacity = kFirstReadCapacity * 2;
         copied >= capacity / 2 - 1 && capacity <= kLargestReadCapacity; capacity *= 2) {
        std::string buffer(static_cast<size_t>(capacity), '\0');
        copied = ReadCell(row, column, buffer.data(), capacity, text);
    }
    return text;
}

void SetRowResult(int row, const char* text) {
    WideText textCopy = UiText(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = kResultColumn;
    item.pszText = WideData(textCopy);
    SendMessageW(g_app.listControl, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

bool RemoveRow(int row) {
    if (!SendToList(LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) {
        return false;
    }
    UpdateWindow(g_app.listControl);
    return true;
}

bool ClearRows() {
    if (!SendToList(LVM_DELETEALLITEMS, 0, 0)) {
        return false;
    }
    UpdateWindow(g_app.listControl);
    return true;
}

int FocusedRow() {
    return static_cast<int>(
        SendToList(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

void HoldListRedraw() {
    // Some list views redraw their scroll bar at once on every insertion while they are shown,
    // which costs far more than reading the rows back; held, they do it once at the end.
    if (g_app.listRedrawHolds++ == 0) {
        SendToList(WM_SETREDRAW, FALSE, 0);
    }
}

void ReleaseListRedraw() {
    if (g_app.listRedrawHolds == 0 || --g_app.listRedrawHolds != 0) {
        return;
    }
    SendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_app.listControl, nullptr, TRUE);
}
