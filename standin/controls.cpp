// The control classes the dialogs use: button, edit and the report-view list.

#include <algorithm>
#include <cstring>

#include "internal.h"

namespace standin::detail {

namespace {

// Copies at most size - 1 bytes and a terminator, as the controls do; the count copied.
int CopyOut(const std::string& text, char* buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

std::string TextOf(const char* text) {
    return text && text != LPSTR_TEXTCALLBACKA ? std::string(text) : std::string();
}

LRESULT Default(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    DefaultTextMessage(window, message, wParam, lParam, result);
    return result;
}

// ---------------------------------------------------------------------------------------------
// List view

constexpr UINT kExclusiveStates = LVIS_FOCUSED;

void ApplyState(ListRecord& list, size_t row, UINT state, UINT mask, bool singleSelection) {
    UINT& current = list.rows[row].state;
    current = (current & ~mask) | (state & mask);
    // One row at most has the focus, and one at most the selection in a single-selection list.
    UINT exclusive = kExclusiveStates | (singleSelection ? LVIS_SELECTED : 0u);
    exclusive &= current & mask;
    if (!exclusive) {
        return;
    }
    for (size_t i = 0; i < list.rows.size(); ++i) {
        if (i != row) {
            list.rows[i].state &= ~exclusive;
        }
    }
}

LRESULT InsertItem(WindowRecord& record, const LVITEMA* item) {
    ListRecord& list = record.list;
    if (!item || item->iSubItem != 0 || item->iItem < 0) {
        return -1;
    }
    const size_t index = std::min(static_cast<size_t>(item->iItem), list.rows.size());
    ListRowRecord row;
    row.inserted = *item;
    row.inserted.pszText = nullptr;
    row.cells.push_back((item->mask & LVIF_TEXT) ? TextOf(item->pszText) : std::string());
    list.rows.insert(list.rows.begin() + static_cast<std::ptrdiff_t>(index), std::move(row));
    if (item->mask & LVIF_STATE) {
        ApplyState(list, index, item->state, item->stateMask, record.style & LVS_SINGLESEL);
    }
    return static_cast<LRESULT>(index);
}

bool ValidRow(const ListRecord& list, WPARAM row) {
    return static_cast<intptr_t>(row) >= 0 && row < list.rows.size();
}

std::string Cell(const ListRecord& list, size_t row, int subItem) {
    const std::vector<std::string>& cells = list.rows[row].cells;
    return subItem >= 0 && static_cast<size_t>(subItem) < cells.size() ? cells[subItem]
                                                                       : std::string();
}

// The bytes of the character that starts at text[at] in the selected code page, within the text.
size_t CharacterLength(const std::string& text, size_t at) {
    const unsigned char byte = static_cast<unsigned char>(text[at]);
    size_t length = 1;
    if (S().codePage == 936 && byte >= 0x81 && byte <= 0xFE) {
        length = 2;
    } else if (S().codePage == 65001 && byte >= 0xC0) {
        length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
    }
    return std::min(length, text.size() - at);
}

// The length of the longest run of whole characters at the start of text within room bytes.
size_t WholeCharactersWithin(const std::string& text, size_t room) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t next = end + CharacterLength(text, end);
        if (next > room) {
            break;
        }
        end = next;
    }
    return end;
}

// A cell as the list view hands it out: it holds its texts in UTF-16 and converts them into the
// ANSI code page, which never splits a character, so a text that does not fit is cut after its
// last whole character. The real control under Wine leaves a cut text unterminated and then counts
// it with strlen, past the buffer; here the count stops at the end of the buffer.
int ReadCellOut(const std::string& text, char* buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    const size_t room = static_cast<size_t>(size);
    if (text.size() < room) {
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return static_cast<int>(text.size());
    }
    if (!S().unterminatedListReads) {
        const size_t count = WholeCharactersWithin(text, room - 1);
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
        return static_cast<int>(count);
    }
    std::memcpy(buffer, text.data(), WholeCharactersWithin(text, room));
    const void* terminator = std::memchr(buffer, '\0', room);
    return static_cast<int>(terminator ? static_cast<const char*>(terminator) - buffer : size);
}

LRESULT GetItemText(const ListRecord& list, WPARAM row, LVITEMA* item) {
    if (!item || !ValidRow(list, row)) {
        return 0;
    }
    return ReadCellOut(Cell(list, row, item->iSubItem), item->pszText, item->cchTextMax);
}

LRESULT SetItemText(ListRecord& list, WPARAM row, const LVITEMA* item) {
    if (!item || !ValidRow(list, row) || item->iSubItem < 0) {
        return FALSE;
    }
    std::vector<std::string>& cells = list.rows[row].cells;
    if (cells.size() <= static_cast<size_t>(item->iSubItem)) {
        cells.resize(static_cast<size_t>(item->iSubItem) + 1);
    }
    cells[static_cast<size_t>(item->iSubItem)] = TextOf(item->pszText);
    list.rows[row].wideCells.erase(item->iSubItem);
    return TRUE;
}

LRESULT GetItem(const ListRecord& list, LVITEMA* item) {
    if (!item || item->iItem < 0 || static_cast<size_t>(item->iItem) >= list.rows.size()) {
        return FALSE;
    }
    const ListRowRecord& row = list.rows[static_cast<size_t>(item->iItem)];
    if (item->mask & LVIF_TEXT) {
        ReadCellOut(Cell(list, static_cast<size_t>(item->iItem), item->iSubItem), item->pszText,
                    item->cchTextMax);
    }
    if (item->mask & LVIF_STATE) {
        item->state = row.state & item->stateMask;
    }
    if (item->mask & LVIF_PARAM) {
        item->lParam = row.inserted.lParam;
    }
    if (item->mask & LVIF_IMAGE) {
        item->iImage = row.inserted.iImage;
    }
    if (item->mask & LVIF_INDENT) {
        item->iIndent = row.inserted.iIndent;
    }
    return TRUE;
}

LRESULT SetItem(WindowRecord& record, const LVITEMA* item) {
    ListRecord& list = record.list;
    if (!item || item->iItem < 0 || static_cast<size_t>(item->iItem) >= list.rows.size()) {
        return FALSE;
    }
    const size_t row = static_cast<size_t>(item->iItem);
    if (item->mask & LVIF_TEXT) {
        SetItemText(list, row, item);
    }
    if ((item->mask & LVIF_STATE) && item->iSubItem == 0) {
        ApplyState(list, row, item->state, item->stateMask, record.style & LVS_SINGLESEL);
    }
    return TRUE;
}

LRESULT SetItemState(WindowRecord& record, WPARAM row, const LVITEMA* item) {
    ListRecord& list = record.list;
    if (!item) {
        return FALSE;
    }
    if (static_cast<intptr_t>(row) == -1) {
        for (size_t i = 0; i < list.rows.size(); ++i) {
            ApplyState(list, i, item->state, item->stateMask, record.style & LVS_SINGLESEL);
        }
        return TRUE;
    }
    if (!ValidRow(list, row)) {
        return FALSE;
    }
    ApplyState(list, row, item->state, item->stateMask, record.style & LVS_SINGLESEL);
    return TRUE;
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

LRESULT InsertColumn(ListRecord& list, WPARAM index, const LVCOLUMNA* column) {
    if (!column || static_cast<intptr_t>(index) < 0) {
        return -1;
    }
    ListColumn added;
    added.header = (column->mask & LVCF_TEXT) ? TextOf(column->pszText) : std::string();
    added.wideHeader = Widen(CP_ACP, added.header);
    added.width = (column->mask & LVCF_WIDTH) ? column->cx : 0;
    added.format = (column->mask & LVCF_FMT) ? column->fmt : LVCFMT_LEFT;
    const size_t at = std::min(static_cast<size_t>(index), list.columns.size());
    list.columns.insert(list.columns.begin() + static_cast<std::ptrdiff_t>(at), added);
    return static_cast<LRESULT>(at);
}

LRESULT GetColumn(const ListRecord& list, WPARAM index, LVCOLUMNA* column) {
    if (!column || index >= list.columns.size()) {
        return FALSE;
    }
    const ListColumn& found = list.columns[index];
    if (column->mask & LVCF_TEXT) {
        CopyOut(found.header, column->pszText, column->cchTextMax);
    }
    if (column->mask & LVCF_WIDTH) {
        column->cx = found.width;
    }
    if (column->mask & LVCF_FMT) {
        column->fmt = found.format;
    }
    if (column->mask & LVCF_SUBITEM) {
        column->iSubItem = static_cast<int>(index);
    }
    return TRUE;
}

// The W messages: the control keeps the UTF-16 text whole, and an A reader gets it in the code
// page.
std::u16string WideTextOf(const WCHAR* text) {
    // LPSTR_TEXTCALLBACKW is (LPWSTR)-1, as the A form.
    return text && text != reinterpret_cast<const WCHAR*>(LPSTR_TEXTCALLBACKA)
               ? std::u16string(text)
               : std::u16string();
}

LRESULT InsertColumnW(ListRecord& list, WPARAM index, const LVCOLUMNW* column) {
    if (!column) {
        return -1;
    }
    const std::u16string header =
        (column->mask & LVCF_TEXT) ? WideTextOf(column->pszText) : std::u16string();
    const std::string narrow = Narrow(CP_ACP, header);
    LVCOLUMNA ansi{};
    ansi.mask = column->mask;
    ansi.fmt = column->fmt;
    ansi.cx = column->cx;
    ansi.pszText = const_cast<char*>(narrow.c_str());
    const LRESULT at = InsertColumn(list, index, &ansi);
    if (at >= 0) {
        list.columns[static_cast<size_t>(at)].wideHeader = header;
    }
    return at;
}

LRESULT SetItemTextW(ListRecord& list, WPARAM row, const LVITEMW* item) {
    if (!item) {
        return FALSE;
    }
    const std::u16string text = WideTextOf(item->pszText);
    const std::string narrow = Narrow(CP_ACP, text);
    LVITEMA ansi{};
    ansi.mask = item->mask;
    ansi.iSubItem = item->iSubItem;
    ansi.pszText = const_cast<char*>(narrow.c_str());
    if (!SetItemText(list, row, &ansi)) {
        return FALSE;
    }
    list.rows[row].wideCells[item->iSubItem] = text;
    return TRUE;
}

LRESULT InsertItemW(WindowRecord& record, const LVITEMW* item) {
    if (!item) {
        return -1;
    }
    const std::u16string text = WideTextOf(item->pszText);
    std::string narrow = Narrow(CP_ACP, text);
    LVITEMA ansi;
    static_assert(sizeof ansi == sizeof *item, "the A and W records differ only in pszText");
    std::memcpy(&ansi, item, sizeof ansi);
    ansi.pszText = narrow.data();
    const LRESULT at = InsertItem(record, &ansi);
    if (at >= 0 && (item->mask & LVIF_TEXT)) {
        record.list.rows[static_cast<size_t>(at)].wideCells[0] = text;
    }
    return at;
}

// As the real control: at most cchTextMax - 1 code units and a terminator, cut wherever the room
// ends, between the halves of a surrogate pair too; the count copied.
LRESULT GetItemTextW(const ListRecord& list, WPARAM row, LVITEMW* item) {
    if (!item || !ValidRow(list, row) || !item->pszText || item->cchTextMax <= 0) {
        return 0;
    }
    const auto found = list.rows[row].wideCells.find(item->iSubItem);
    const std::u16string text = found != list.rows[row].wideCells.end()
                                    ? found->second
                                    : Widen(CP_ACP, Cell(list, row, item->iSubItem));
    const size_t count = std::min(text.size(), static_cast<size_t>(item->cchTextMax - 1));
    std::memcpy(item->pszText, text.data(), count * sizeof(char16_t));
    item->pszText[count] = 0;
    return static_cast<LRESULT>(count);
}

// The W form of LVM_GETITEMA for everything but the text, which no caller asks this way.
LRESULT GetItemW(const ListRecord& list, LVITEMW* item) {
    if (item && (item->mask & LVIF_TEXT)) {
        Abort("LVM_GETITEMW: the stand-in reads cell texts with LVM_GETITEMTEXTW only");
    }
    return GetItem(list, reinterpret_cast<LVITEMA*>(item));
}

LRESULT SetExtendedStyle(ListRecord& list, WPARAM mask, LPARAM value) {
    const DWORD previous = list.extendedStyle;
    const DWORD bits = mask ? static_cast<DWORD>(mask) : 0xFFFFFFFFu;
    list.extendedStyle = (previous & ~bits) | (static_cast<DWORD>(value) & bits);
    list.extendedStyleCalls.emplace_back(static_cast<DWORD>(mask), static_cast<DWORD>(value));
    return previous;
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

LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = LiveWindow(window);
    if (record && message == EM_REPLACESEL) {
        // No caret is modelled: the replacement lands at the end, where the caret ends up after
        // the edit's text has been set.
        const std::string replacement = TextOf(reinterpret_cast<const char*>(lParam));
        record->text += replacement;
        if (record->wideText) {
            *record->wideText += WideOfAnsi(replacement);
        }
        return 0;
    }
    return Default(window, message, wParam, lParam);
}

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        return 0;
    }
    ListRecord& list = record->list;
    LVITEMA* item = reinterpret_cast<LVITEMA*>(lParam);
    switch (message) {
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(list.rows.size());
        case LVM_INSERTITEMA:
            return InsertItem(*record, item);
        case LVM_GETITEMA:
            return GetItem(list, item);
        case LVM_SETITEMA:
            return SetItem(*record, item);
        case LVM_GETITEMTEXTA:
            return GetItemText(list, wParam, item);
        case LVM_SETITEMTEXTA:
            return SetItemText(list, wParam, item);
        case LVM_DELETEITEM:
            if (!ValidRow(list, wParam)) {
                return FALSE;
            }
            list.rows.erase(list.rows.begin() + static_cast<std::ptrdiff_t>(wParam));
            return TRUE;
        case LVM_DELETEALLITEMS:
            list.rows.clear();
            return TRUE;
        case LVM_GETNEXTITEM:
            return GetNextItem(list, wParam, lParam);
        case LVM_SETITEMSTATE:
            return SetItemState(*record, wParam, item);
        case LVM_GETITEMSTATE:
            return ValidRow(list, wParam) ? list.rows[wParam].state & static_cast<UINT>(lParam) : 0;
        case LVM_INSERTCOLUMNA:
            return InsertColumn(list, wParam, reinterpret_cast<const LVCOLUMNA*>(lParam));
        case LVM_INSERTCOLUMNW:
            return InsertColumnW(list, wParam, reinterpret_cast<const LVCOLUMNW*>(lParam));
        case LVM_GETITEMW:
            return GetItemW(list, reinterpret_cast<LVITEMW*>(lParam));
        case LVM_INSERTITEMW:
            return InsertItemW(*record, reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_GETITEMTEXTW:
            return GetItemTextW(list, wParam, reinterpret_cast<LVITEMW*>(lParam));
        case LVM_SETITEMTEXTW:
            return SetItemTextW(list, wParam, reinterpret_cast<const LVITEMW*>(lParam));
        case LVM_GETCOLUMNA:
            return GetColumn(list, wParam, reinterpret_cast<LVCOLUMNA*>(lParam));
        case LVM_DELETECOLUMN:
            if (wParam >= list.columns.size()) {
                return FALSE;
            }
            list.columns.erase(list.columns.begin() + static_cast<std::ptrdiff_t>(wParam));
            return TRUE;
        case LVM_GETCOLUMNWIDTH:
            return wParam < list.columns.size() ? list.columns[wParam].width : 0;
        case LVM_SETCOLUMNWIDTH:
            if (wParam >= list.columns.size()) {
                return FALSE;
            }
            list.columns[wParam].width = static_cast<int>(static_cast<short>(LOWORD(lParam)));
            return TRUE;
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
            return SetExtendedStyle(list, wParam, lParam);
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return list.extendedStyle;
        case LVM_ENSUREVISIBLE:
            return ValidRow(list, wParam) ? TRUE : FALSE;
        default:
            return Default(window, message, wParam, lParam);
    }
}

WNDPROC ClassProcedure(const std::string& className) {
    const std::string folded = FoldCase(className);
    if (folded == "button") {
        return ButtonProc;
    }
    if (folded == "edit") {
        return EditProc;
    }
    if (folded == FoldCase(WC_LISTVIEWA)) {
        return ListViewProc;
    }
    return DefWindowProcA;
}

}  // namespace standin::detail
