#include "ui/typed_find.h"

#include "runtime/wide_text.h"

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
