#include "list/deletion_list.h"

#include "app/app_state.h"
#include "app/shell.h"

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

}  // namespace

void SetListExtendedStyles() {
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddColumn(int width, const char* header, int columnIndex) {
    Text headerCopy = TextFromC(header);
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = headerCopy.data();
    SendToList(LVM_INSERTCOLUMNA, static_cast<WPARAM>(columnIndex),
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
        if (CompareText(GetRowText(row, 0), path) == 0) {
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
    Text textCopy = TextFromC(text);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = kResultColumn;
    item.pszText = textCopy.data();
    SendToList(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
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
