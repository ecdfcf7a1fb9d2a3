#pragma once

// Reading the open-file dialog's output buffer and building its inputs. Pure: no platform here.

#include <cstdint>
#include <vector>

#include "paths/name_rules.h"
#include "runtime/exact_text.h"
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
// What the UTF-16 dialog wrote: one full path (several false, the path the only name), or a
// directory and the names chosen in it. No names when nothing was chosen.
struct WideSelection {
    bool several = false;
    WideText directory;
    std::vector<WideText> names;
};
// The selection part of a UTF-16 dialog buffer, read like SelectedPaths reads an ANSI one.
WideSelection ReadWideSelection(const WideText& buffer);
// The full paths of a selection: the directory, a "\" unless it ends with one, and each name.
std::vector<WideText> WideSelectedPaths(const WideSelection& selection);
// Where the file a chosen path names really is (the path itself where nothing moves it).
using RealPathFunction = WideText (*)(const WideText& path);
// The selection in the ANSI dialog's own buffer format, each full path put where realPath (when
// given) says its file is, converted by ExactFileName, and a path without an exact form left out,
// so that JoinSelectedPaths and SelectedPaths read it as they read what the ANSI dialog writes.
// When every kept path is where it was chosen and has its own exact form the buffer is the
// directory and the names, converted; other paths (moved, or by their short forms) are given
// under the longest folder that all the kept paths share. Empty when no path is kept.
ByteString AnsiSelectionBuffer(const WideSelection& selection, const AnsiConverters& converters,
                               ShortPathFunction shortPath,
                               LeadBytePredicate isLeadByte = SystemLeadByte,
                               RealPathFunction realPath = nullptr);
// The dialog's filter list: every "|" of the filter text becomes a NUL, then two NULs end it.
ByteString BuildFilterList(const Text& filter);
// The OPENFILENAMEA Flags of a wrapper mode (0 .. 11; any other value gives 0).
uint32_t OpenFileFlags(int mode);
