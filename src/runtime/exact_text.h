#pragma once

// UTF-16 texts in the ANSI code page, exactly or not at all. The platform's converters do the
// converting; this rule decides whether their answer may stand for the text. Pure: the converters
// come in as functions, so nothing here includes the platform header.

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/text.h"

// UTF-16 to the ANSI code page, without best fit where the code page allows that; false when the
// call fails. usedDefault tells whether a character became the code page's default one; a
// converter that is not told (UTF-8 as the code page) leaves it false.
using WideToAnsiFunction = bool (*)(const WideText& wide, Text& ansi, bool& usedDefault);
// The ANSI code page back to UTF-16; false when the call fails.
using AnsiToWideFunction = bool (*)(const Text& ansi, WideText& wide);

struct AnsiConverters {
    WideToAnsiFunction toAnsi;
    AnsiToWideFunction toWide;
};

// The ANSI text that stands for exactly this UTF-16 text, or nothing. It is accepted only when
// no default character was used and converting it back gives the very same code units, so
// neither a best fit (another character), nor a character the code page lacks, nor a lone
// surrogate gets through. The empty text gives the empty text; a text that holds U+0000 gives
// nothing, since a text ends at its first NUL.
std::optional<Text> ExactAnsiText(const WideText& wide, const AnsiConverters& converters);

// The UTF-16 text this ANSI text stands for, exactly, or nothing: accepted only when every byte
// converts and converting the result back gives the very same bytes, so neither an invalid
// sequence nor a second spelling of a character gets through. The empty text gives the empty
// text; a text that holds a NUL byte gives nothing.
std::optional<WideText> ExactWideText(const Text& ansi, const AnsiConverters& converters);

// A text converted character by character (a surrogate pair is one character): each character
// with an exact form becomes that form, every other one becomes the substitute.
struct SubstitutedText {
    Text text;
    // Where each substitute begins in text, 1-based, in order.
    std::vector<int32_t> substitutes;
};
SubstitutedText AnsiTextByCharacter(const WideText& wide, const AnsiConverters& converters,
                                    const Text& substitute);

// The short (8.3) form of a path, as the platform gives it for an existing file or folder; false
// when it gives none.
using ShortPathFunction = bool (*)(const WideText& path, WideText& shortPath);

// The ANSI text that names exactly the file this UTF-16 path names: the path itself when it
// converts exactly, else its short form when the platform has one that differs from the path and
// converts exactly; nothing when neither does.
std::optional<Text> ExactFileName(const WideText& path, const AnsiConverters& converters,
                                  ShortPathFunction shortPath);
