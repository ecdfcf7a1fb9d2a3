#pragma once

// What an owner-data list asks its parent, answered alike for the deletion list and the to-do
// list: the text of a cell it shows, and the row a user types the start of. Each list gives its
// row count and the text of a row's cell.

#include <cstddef>
#include <functional>

#include "platform/win32.h"
#include "runtime/text.h"

// Answers LVN_GETDISPINFOW over `count` rows: the cell's text, cut to the room given, as an
// ordinary list copies its own; empty for no such row.
void AnswerCellText(NMLVDISPINFOW& info, size_t count,
                    const std::function<WideText(size_t row, int column)>& textOf);

// The answer to LVN_ODFINDITEMW over `count` rows whose first column textOf gives: the first row
// from iStart whose text begins with the typed text (or is it, without LVFI_PARTIAL), letters
// compared without case, going round past the end with LVFI_WRAP; -1 for none.
int FindTypedRow(const NMLVFINDITEMW& find, size_t count,
                 const std::function<WideText(size_t row)>& textOf);
