#pragma once

// The folders an intake brought: listed, each as one row, only after the user agrees to have
// each deleted with everything in it.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// Asks once, with owner in front, when a folder is not listed yet; on OK appends each such
// folder's row (its path and a backslash). Nothing is asked or listed for none.
void ListFoldersAfterQuestion(HWND owner, const std::vector<WideText>& folders);
