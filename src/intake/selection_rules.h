#pragma once

// Reading the open-file dialog's output buffer and building its inputs. Pure: no platform here.

#include <cstdint>

#include "runtime/text.h"

// The size of the buffer the dialog writes its selection into.
constexpr int32_t SELECTION_BUFFER_SIZE = 98192;

// The selection as one text: empty, one full path, or full paths joined by ";".
Text JoinSelectedPaths(const ByteString& buffer);
// The chosen full paths, in dialog order, taken straight from the NUL-separated buffer (so a
// name with ";" or with a final double-byte lead byte stays whole).
TextArray SelectedPaths(const ByteString& buffer);
// The dialog's filter list: every "|" of the filter text becomes a NUL, then two NULs end it.
ByteString BuildFilterList(const Text& filter);
// The OPENFILENAMEA Flags of a wrapper mode (0 .. 11; any other value gives 0).
uint32_t OpenFileFlags(int mode);
