#include "list/deletion_list.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "paths/exact_names.h"
#include "paths/folder_rows.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

constexpr int kResultColumn = 1;
constexpr int kReasonColumn = 2;
// Enough for most paths; a read that may have been cut is repeated with twice the room, up to
// the last size, which holds any path Windows can name (32,767 UTF-16 code units).
constexpr int kFirstReadCapacity = 260;
constexpr int kLargestReadCapacity = 1 << 16;
// A new row carries state image 1; the mask covers the state-image bits and every bit above
// them, and LVIS_DROPHILITED, so the row starts with nothing else set.
constexpr UINT kNewRowState = 0x1000;
constexpr UINT kNewRowStateMask = 0xFFFFF000u | LVIS_DROPHILITED;

LRESULT SendToList(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_app.listControl, message, wParam, lParam);
}

// What one read of a cell gave, and whether that is surely the whole cell.
struct CellRead {
    std::u16string_view text;
    bool whole = false;
};

// One LVM_GETITEMTEXTW of at most capacity code units, terminator included, into buffer, which
// holds capacity + 1 units, all zero. The control copies what fits and a terminator, so only a
// text that fills the room may have been cut (perhaps between the two halves of a surrogate
// pair). The text is measured in the buffer, whose last unit the control never writes.
CellRead ReadCell(int row, int column, char16_t* buffer, int capacity) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<LPWSTR>(buffer);
    item.cchTextMax = capacity;
    SendMessageW(g_app.listControl, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    const auto* text = reinterpret_cast<const char16_t*>(item.pszText);
    if (text == nullptr) {
        return {{}, true};
    }
    // The control may point pszText at its own copy, whole, instead of filling the buffer.
    if (text != buffer) {
        return {std::u16string_view(text), true};
    }
    const std::u16string_view room(buffer, static_cast<size_t>(capacity));
    const std::u16string_view read = room.substr(0, room.find(u'\0'));
    return {read, read.size() + 1 < room.size()};
}

// The whole cell: read again with twice the room until the text is surely whole.
WideText ReadWholeCell(int row, int column) {
    char16_t first[kFirstReadCapacity + 1] = {};
    CellRead read = ReadCell(row, column, first, kFirstReadCapacity);
    WideText text(read.text);
    for (int capacity = kFirstReadCapacity * 2; !read.whole && capacity <= kLargestReadCapacity;
         capacity *= 2) {
        WideText buffer(static_cast<size_t>(capacity) + 1, u'\0');
        read = ReadCell(row, column, buffer.data(), capacity);
        text = WideText(read.text);
    }
    return text;
}

// One cell's text, one of the program's literal texts.
void SetCellText(int row, int column, const char* text) {
    WideText textCopy = UiText(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iSubItem = column;
    item.pszText = WideData(textCopy);
    SendMessageW(g_app.listControl, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
}

// The record a row's lParam points to; nullptr for no such row.
ListedRow* RowRecord(int row) {
    if (row < 0) {
        return nullptr;
    }
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(g_app.listControl, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) {
        return nullptr;
    }
    return reinterpret_cast<ListedRow*>(item.lParam);
}

void ReleaseRowRecord(const ListedRow* record) {
    const auto found = std::find_if(g_app.listedRows.begin(), g_app.listedRows.end(),
                                    [record](const ListedRow& kept) { return &kept == record; });
    if (found != g_app.listedRows.end()) {
        g_app.listedRows.erase(found);
    }
}

}  // namespace

void SetListExtendedStyles() {
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddColumn(int width, const char* header, int columnIndex) {
    AddListColumn(g_app.listControl, width, header, columnIndex);
}

void AddListColumn(HWND list, int width, const char* header, int columnIndex) {
    WideText headerCopy = UiText(header);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = WideData(headerCopy);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnIndex),
                 reinterpret_cast<LPARAM>(&column));
}

int RowCount() {
    return static_cast<int>(SendToList(LVM_GETITEMCOUNT, 0, 0));
}

int AppendPath(const WideText& path) {
    WideText text = path;
    // Where the file is now, before anyone can re-point a folder on its path behind the row:
    // the restart run compares it with where the file is then.
    ListedRow& record =
        g_app.listedRows.emplace_back(ListedRow{path, FileLocationNow(FolderOfRow(path)), {}});
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT | LVIF_COLUMNS;
    item.iItem = RowCount();
    item.iSubItem = 0;
    item.pszText = WideData(text);
    item.iImage = 0;
    item.state = kNewRowState;
    item.stateMask = kNewRowStateMask;
    item.lParam = reinterpret_cast<LPARAM>(&record);
    item.iIndent = 0;
    item.cColumns = 0;
    const int row = static_cast<int>(
        SendMessageW(g_app.listControl, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) {
        ReleaseRowRecord(&record);
        return row;
    }
    g_app.listedPaths.insert(path);
    return row;
}

std::optional<WideText> RowListedLocation(int row) {
    const ListedRow* record = RowRecord(row);
    return record != nullptr ? record->location : std::nullopt;
}

void SetRowRefusedEntries(int row, std::vector<RefusedEntry> entries) {
    if (ListedRow* record = RowRecord(row)) {
        record->refusedEntries = std::move(entries);
    }
}

std::vector<RefusedEntry> RowRefusedEntries(int row) {
    const ListedRow* record = RowRecord(row);
    return record != nullptr ? record->refusedEntries : std::vector<RefusedEntry>();
}

bool ContainsPath(const WideText& path) {
    // A long intake keeps the window answering: one pump for each path it brings.
    PumpPendingMessages();
    return g_app.listedPaths.count(path) != 0;
}

Text GetRowText(int row, int column) {
    if (row < 0) {
        return Text();
    }
    return ExactAnsiText(ReadWholeCell(row, column), SystemAnsiConverters()).value_or(Text());
}

WideText GetRowWideText(int row, int column) {
    return row < 0 ? WideText() : ReadWholeCell(row, column);
}

void SetRowResult(int row, const char* result, const char* reason) {
    SetCellText(row, kResultColumn, result);
    SetCellText(row, kReasonColumn, reason);
}

// A row's record goes with the row here, not on the control's LVN_DELETEITEM, which no fatal stop
// waits for; what is left when the window ends goes with the state at exit.
bool RemoveRow(int row) {
    const ListedRow* record = RowRecord(row);
    if (!SendToList(LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) {
        return false;
    }
    if (record != nullptr) {
        const auto listed = g_app.listedPaths.find(record->path);
        if (listed != g_app.listedPaths.end()) {
            g_app.listedPaths.erase(listed);
        }
    }
    ReleaseRowRecord(record);
    UpdateWindow(g_app.listControl);
    return true;
}

bool ClearRows() {
    if (!SendToList(LVM_DELETEALLITEMS, 0, 0)) {
        return false;
    }
    // Every record is a row's, and no row is left.
    g_app.listedRows.clear();
    g_app.listedPaths.clear();
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
