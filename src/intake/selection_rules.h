#pragma once

// Reading the open-file dialog's output buffer and building its inputs. Pure: no platform here.

#include <cstdint>

#include "runtime/text.h"

// The size of the buffer the dialog writes its selection into.
constexpr int32_t SELECTION_BUFFER_SIZE = 98192;

// The selection as one text: empty, one full path, or full paths joined by ";". The pieces of the
// buffer are found by splitting at "|" with the double-byte rule, so a name that ends with a lead
// byte runs into the next one; the directory gets a "\" unless its last byte already is one.
Text JoinSelectedPaths(const ByteString& buffer, LeadBytePredicate isLeadByte = SystemLeadByte);
// The chosen full paths, in dialog order, taken straight from the NUL-separated buffer (so a
// name with ";" or with a final double-byte lead byte stays whole). The directory gets a "\"
// unless it already ends with that character (not merely with a trail byte of that value).
TextArray SelectedPaths(const ByteString& buffer, LeadBytePredicate isLeadByte = SystemLeadByte);
// The dialog's filter list: every "|" of the filter text becomes a NUL, then two NULs end it.
ByteString BuildFilterList(const Text& filter);
// The OPENFILENAMEA Flags of a wrapper mode (0 .. 11; any other value gives 0).
uint32_t OpenFileFlags(int mode);
