#pragma once

// Typing in a list the program answers for (owner-data): the list asks its parent for the row,
// which is found as an ordinary list finds its own items, by the start of the first column.

#include <cstddef>
#include <functional>

#include "platform/win32.h"
#include "runtime/text.h"

// The answer to LVN_ODFINDITEMW over `count` rows whose first column textOf gives: the first row
// from iStart whose text begins with the typed text (or is it, without LVFI_PARTIAL), letters
// compared without case, going round past the end with LVFI_WRAP; -1 for none.
int FindTypedRow(const NMLVFINDITEMW& find, size_t count,
                 const std::function<WideText(size_t row)>& textOf);
