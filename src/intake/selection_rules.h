#pragma once

// Reading the open-file dialog's output buffer and building its inputs. Pure: no platform here.

#include <cstdint>
#include <optional>
#include <vector>

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
// Where the file a chosen path names really is (the path itself where nothing moves it); nothing
// when that cannot be told.
using RealPathFunction = std::optional<WideText> (*)(const WideText& path);
// Every pick of a UTF-16 selection as the ANSI path to list, in dialog order: put where realPath
// (when given) says its file is, and converted by ExactFileName. A pick that realPath cannot place
// or that has no exact form is left out; no pick stands for another.
TextArray ChosenAnsiPaths(const WideSelection& selection, const AnsiConverters& converters,
                          ShortPathFunction shortPath, RealPathFunction realPath = nullptr);
// The selection as one text, for the chosen paths of ChosenAnsiPaths: what JoinSelectedPaths
// reads from the buffer the ANSI dialog writes, when every path is the directory and its name,
// each in its own exact form; otherwise the paths joined by ";".
Text SelectionText(const WideSelection& selection, const TextArray& paths,
                   const AnsiConverters& converters, LeadBytePredicate isLeadByte = SystemLeadByte);
// The dialog's filter list: every "|" of the filter text becomes a NUL, then two NULs end it.
ByteString BuildFilterList(const Text& filter);
// The OPENFILENAMEA Flags of a wrapper mode (0 .. 11; any other value gives 0).
uint32_t OpenFileFlags(int mode);
