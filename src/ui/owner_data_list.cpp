#include "ui/owner_data_list.h"

#include <algorithm>

#include "runtime/wide_text.h"

void AnswerCellText(NMLVDISPINFOW& info, size_t count,
                    const std::function<WideText(size_t row, int column)>& textOf) {
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) {
        return;
    }
    const size_t row = static_cast<size_t>(item.iItem);
    const WideText text = item.iItem >= 0 && row < count ? textOf(row, item.iSubItem) : WideText();
    const size_t copied = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::copy_n(text.begin(), copied, item.pszText);
    item.pszText[copied] = 0;
}

int FindTypedRow(const NMLVFINDITEMW& find, size_t count,
                 const std::function<WideText(size_t row)>& textOf) {
    const LVFINDINFOW& info = find.lvfi;
    if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || info.psz == nullptr || count == 0) {
        return -1;
    }
    const WideText typed(reinterpret_cast<const char16_t*>(info.psz));
    const bool partial = (info.flags & LVFI_PARTIAL) != 0;
    const bool wrap = (info.flags & LVFI_WRAP) != 0;
    size_t start = find.iStart > 0 ? static_cast<size_t>(find.iStart) : 0;
    if (start >= count) {
        if (!wrap) {
            return -1;
        }
        start = 0;
    }
    const size_t span = wrap ? count : count - start;
    for (size_t step = 0; step < span; ++step) {
        const size_t row = (start + step) % count;
        const WideText text = textOf(row);
        if (partial ? text.size() < typed.size() : text.size() != typed.size()) {
            continue;
        }
        const int length = static_cast<int>(typed.size());
        if (CompareStringOrdinal(WideC(text), length, WideC(typed), length, TRUE) == CSTR_EQUAL) {
            return static_cast<int>(row);
        }
    }
    return -1;
}
