#include "list/deletion_list.h"

#include <cstring>
#include <string_view>

#include "app/app_state.h"
#include "app/shell.h"
#include "runtime/wide_text.h"

namespace {

constexpr int kResultColumn = 1;
// Enough for most paths; a read that may have been cut is repeated with twice the room, up to
// the last size, which holds any path Windows can name in any ANSI code page.
constexpr int kFirstReadCapacity = 260;
constexpr int kLargestReadCapacity = 1 << 17;
// No ANSI code page has longer characters (UTF-8, 65001); taken when the code page cannot be
// asked.
constexpr int kLongestCharacterOfAnyCodePage = 4;
// A new row carries state image 1; the mask covers the state-image bits and every bit above
// them, and LVIS_DROPHILITED, so the row starts with nothing else set.
constexpr UINT kNewRowState = 0x1000;
constexpr UINT kNewRowStateMask = 0xFFFFF000u | LVIS_DROPHILITED;

LRESULT SendToList(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_app.listControl, message, wParam, lParam);
}

// The most bytes one character of the ANSI code page takes.
int LongestCharacter() {
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize == 0) {
        return kLongestCharacterOfAnyCodePage;
    }
    return static_cast<int>(info.MaxCharSize);
}

// One LVM_GETITEMTEXTA of at most capacity bytes into buffer, which holds capacity + 1 bytes, all
// zero. A control that cuts the text may fill all capacity bytes without a terminator, and its
// count then runs on past the buffer: the text is measured in the buffer, whose last byte the
// control never writes.
std::string_view ReadCell(int row, int column, char* buffer, int capacity) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = capacity;
    SendToList(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    if (item.pszText == nullptr) {
        return {};
    }
    // The control may point pszText at its own copy instead of filling the buffer.
    if (item.pszText != buffer) {
        return std::string_view(item.pszText);
    }
    const void* terminator = std::memchr(buffer, '\0', static_cast<size_t>(capacity));
    return std::string_view(buffer,
                            terminator != nullptr
                                ? static_cast<size_t>(static_cast<const char*>(terminator) - buffer)
                                : static_cast<size_t>(capacity));
}

// The control cuts a text that does not fit after its last whole character, which can leave it
// up to a character short of the room: only a text shorter than that is surely whole.
bool IsSurelyWhole(size_t length, int capacity, int longestCharacter) {
    return static_cast<size_t>(capacity) - length > static_cast<size_t>(longestCharacter);
}

// Reads a cell again with twice the room until the text is surely whole or twice the room gives
// the same text; text is what a read of capacity bytes gave.
Text ReadOn(int row, int column, Text text, int capacity, int longestCharacter) {
    while (!IsSurelyWhole(text.size(), capacity, longestCharacter) &&
           capacity < kLargestReadCapacity) {
        capacity *= 2;
        std::string buffer(static_cast<size_t>(capacity) + 1, '\0');
        const std::string_view again = ReadCell(row, column, buffer.data(), capacity);
        if (again == text) {
            break;
        }
        text = Text(again);
    }
    return text;
}

// Whether row's path is exactly path. This is the inner loop of every duplicate scan, so a row
// that is surely whole in the first read, or that does not begin as path does, is decided in the
// buffer on the stack without a copy; only a row that may have been cut there is read on.
bool RowHoldsPath(int row, const Text& path, int longestCharacter) {
    char buffer[kFirstReadCapacity + 1] = {};
    const std::string_view read = ReadCell(row, 0, buffer, kFirstReadCapacity);
    if (IsSurelyWhole(read.size(), kFirstReadCapacity, longestCharacter)) {
        return read == path;
    }
    if (path.size() < read.size() || std::string_view(path).substr(0, read.size()) != read) {
        return false;
    }
    return ReadOn(row, 0, Text(read), kFirstReadCapacity, longestCharacter) == path;
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
    const int longestCharacter = LongestCharacter();
    for (int row = 0; row < count; ++row) {
        if (RowHoldsPath(row, path, longestCharacter)) {
            return true;
        }
        // Long lists keep the window answering while they are scanned.
        PumpPendingMessages();
    }
    return false;
}

Text GetRowText(int row, int column) {
    if (row < 0) {
        return Text();
    }
    const int longestCharacter = LongestCharacter();
    char buffer[kFirstReadCapacity + 1] = {};
    const std::string_view read = ReadCell(row, column, buffer, kFirstReadCapacity);
    return ReadOn(row, column, Text(read), kFirstReadCapacity, longestCharacter);
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

int LiftListRedrawHolds() {
    const int holds = g_app.listRedrawHolds;
    if (holds == 0) {
        return 0;
    }
    g_app.listRedrawHolds = 0;
    SendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_app.listControl, nullptr, TRUE);
    return holds;
}

void RestoreListRedrawHolds(int holds) {
    if (holds == 0) {
        return;
    }
    // Whatever the command held itself it has released by now.
    if (g_app.listRedrawHolds == 0) {
        SendToList(WM_SETREDRAW, FALSE, 0);
    }
    g_app.listRedrawHolds += holds;
}
