// The control classes the dialogs use: button, edit and the report-view list.

#include <algorithm>

#include "internal.h"

namespace standin::detail {

namespace {

LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    DefaultTextMessage(window, message, wParam, lParam, result);
    return result;
}

// ---------------------------------------------------------------------------------------------
// List view: the W messages the program sends. Every list of the program's is owner-data: the
// control keeps each row's state, and asks its parent for the texts.

// LPSTR_TEXTCALLBACKW is (LPWSTR)-1.
std::u16string TextOf(const WCHAR* text) {
    return text && text != reinterpret_cast<const WCHAR*>(-1) ? std::u16string(text)
                                                              : std::u16string();
}

bool ValidRow(const ListRecord& list, WPARAM row) {
    return static_cast<intptr_t>(row) >= 0 && row < list.rows.size();
}

// An owner-data list keeps no texts: it asks its parent for each cell it shows, with a buffer
// of the size the real control paints with.
constexpr int kShownCellUnits = 260;
// Room for the longest path Windows can name, and its terminator.
constexpr int kWholeCellUnits = 32768;

std::u16string AskParentForCell(HWND window, int row, int column, WCHAR* buffer, int units) {
    const WindowRecord* record = LiveWindow(window);
    if (!record || units <= 0) {
        return std::u16string();
    }
    NMLVDISPINFOW info{};
    info.hdr.hwndFrom = window;
    info.hdr.idFrom = static_cast<UINT_PTR>(record->controlId);
    info.hdr.code = LVN_GETDISPINFOW;
    info.item.mask = LVIF_TEXT;
    info.item.iItem = row;
    info.item.iSubItem = column;
    info.item.pszText = buffer;
    info.item.cchTextMax = units;
    buffer[0] = 0;
    Deliver(record->parent, WM_NOTIFY, static_cast<WPARAM>(record->controlId),
            reinterpret_cast<LPARAM>(&info));
    // The parent may also point the record at a text of its own.
    if (info.item.pszText != buffer) {
        return TextOf(info.item.pszText);
    }
    const std::u16string_view given(buffer, static_cast<size_t>(units));
    return std::u16string(given.substr(0, std::min(given.find(u'\0'), given.size())));
}

bool OwnerData(const WindowRecord& record) {
    return (record.style & LVS_OWNERDATA) != 0;
}

// The next row after start that has every state the flags ask for.
LRESULT GetNextItem(const ListRecord& list, WPARAM start, LPARAM flags) {
    UINT wanted = 0;
    wanted |= (flags & LVNI_FOCUSED) ? LVIS_FOCUSED : 0u;
    wanted |= (flags & LVNI_SELECTED) ? LVIS_SELECTED : 0u;
    wanted |= (flags & LVNI_CUT) ? LVIS_CUT : 0u;
    wanted |= (flags & LVNI_DROPHILITED) ? LVIS_DROPHILITED : 0u;
    const intptr_t first = static_cast<intptr_t>(static_cast<int>(start)) + 1;
    for (intptr_t i = std::max<intptr_t>(first, 0); i < static_cast<intptr_t>(list.rows.size());
         ++i) {
        if ((list.rows[static_cast<size_t>(i)].state & wanted) == wanted) {
            return i;
        }
    }
    return -1;
}

LRESULT InsertColumn(ListRecord& list, WPARAM index, const LVCOLUMNW* column) {
    if (!column || static_cast<intptr_t>(index) < 0) {
        return -1;
    }
    ListColumn added;
    added.wideHeader = (column->mask & LVCF_TEXT) ? TextOf(column->pszText) : std::u16string();
    added.width = (column->mask & LVCF_WIDTH) ? column->cx : 0;
    added.format = (column->mask & LVCF_FMT) ? column->fmt : LVCFMT_LEFT;
    const size_t at = std::min(static_cast<size_t>(index), list.columns.size());
    list.columns.insert(list.columns.begin() + static_cast<std::ptrdiff_t>(at), added);
    return static_cast<LRESULT>(at);
}

LRESULT SetExtendedStyle(ListRecord& list, WPARAM mask, LPARAM value) {
    const DWORD previous = list.extendedStyle;
    const DWORD bits = mask ? static_cast<DWORD>(mask) : 0xFFFFFFFFu;
    list.extendedStyle = (previous & ~bits) | (static_cast<DWORD>(value) & bits);
    list.extendedStyleCalls.emplace_back(static_cast<DWORD>(mask), static_cast<DWORD>(value));
    return previous;
}

// A cell that fills the painted room is asked for again with room for any path, as a reader of
// the list asks for the whole cell.
std::u16string AskForWholeCell(HWND window, int row, int column) {
    WCHAR buffer[kShownCellUnits];
    std::u16string cell = AskParentForCell(window, row, column, buffer, kShownCellUnits);
    if (cell.size() + 1 >= kShownCellUnits) {
        std::vector<WCHAR> whole(kWholeCellUnits, 0);
        cell = AskParentForCell(window, row, column, whole.data(), kWholeCellUnits);
    }
    return cell;
}

// Asks for every cell of rows first to last and keeps them as they were asked for, so that a
// test can read the list after the dialog has gone.
void PaintRows(HWND window, size_t first, size_t last) {
    const WindowRecord* record = LiveWindow(window);
    if (!record) {
        return;
    }
    const size_t columns = std::max<size_t>(record->list.columns.size(), 1);
    for (size_t row = first; row <= last && row < record->list.rows.size(); ++row) {
        std::vector<std::u16string> cells;
        for (size_t column = 0; column < columns; ++column) {
            cells.push_back(
                AskForWholeCell(window, static_cast<int>(row), static_cast<int>(column)));
        }
        WindowRecord* again = LiveWindow(window);
        if (!again || row >= again->list.rows.size()) {
            break;
        }
        again->list.rows[row].cells = std::move(cells);
    }
}

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != BM_CLICK) {
        return Default(window, message, wParam, lParam);
    }
    WindowRecord* button = LiveWindow(window);
    WindowRecord* dialog = button ? LiveWindow(TopLevel(window)) : nullptr;
    if (button && dialog && !(button->style & WS_DISABLED) && !(dialog->style & WS_DISABLED)) {
        Deliver(button->parent, WM_COMMAND, MAKEWPARAM(button->controlId, BN_CLICKED),
                reinterpret_cast<LPARAM>(window));
    }
    return 0;
}

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        return 0;
    }
    ListRecord& list = record->list;
    switch (message) {
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(list.rows.size());
        case LVM_DELETEITEM:
            if (!ValidRow(list, wParam)) {
                return FALSE;
            }
            list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(wParam));
            return TRUE;
        case LVM_DELETEALLITEMS:
            list.rows.clear();
            return TRUE;
        case LVM_SETITEMCOUNT:
            // Only an owner-data list has as many rows as it is told; rows kept keep their state.
            if (OwnerData(*record)) {
                list.rows.resize(static_cast<size_t>(wParam));
            }
            return TRUE;
        case LVM_REDRAWITEMS:
            // The rows are painted again at the next pump; here at once, unless redraw is off.
            if (record->redraw && static_cast<int>(wParam) >= 0 &&
                wParam <= static_cast<WPARAM>(lParam)) {
                PaintRows(window, static_cast<size_t>(wParam), static_cast<size_t>(lParam));
            }
            return TRUE;
        case LVM_GETNEXTITEM:
            return GetNextItem(list, wParam, lParam);
        case LVM_INSERTCOLUMNW:
            return InsertColumn(list, wParam, reinterpret_cast<const LVCOLUMNW*>(lParam));
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
            return SetExtendedStyle(list, wParam, lParam);
        default:
            return Default(window, message, wParam, lParam);
    }
}

// What the real control does when it paints: ask for every cell it shows. Here every row is
// shown.
void PaintOwnerDataLists() {
    for (size_t i = 0; i < S().windows.size(); ++i) {
        const HWND window = HandleOf(i);
        const WindowRecord* record = LiveWindow(window);
        if (record && record->className == WC_LISTVIEWA && OwnerData(*record)) {
            PaintRows(window, 0, record->list.rows.size());
        }
    }
}

// An edit box answers the text messages alone; the program only sets its limit.
WNDPROC ClassProcedure(const std::string& className) {
    const std::string folded = FoldCase(className);
    if (folded == "button") {
        return ButtonProc;
    }
    if (folded == FoldCase(WC_LISTVIEWA)) {
        return ListViewProc;
    }
    return Default;
}

}  // namespace standin::detail
