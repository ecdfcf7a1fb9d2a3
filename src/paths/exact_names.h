#pragma once

// Names and texts that come from the platform in UTF-16, turned into the ANSI texts the program
// works with: exactly, or not at all.

#include <optional>

#include "paths/folded_names.h"
#include "runtime/exact_text.h"
#include "runtime/text.h"

// The system's converters between UTF-16 and its ANSI code page.
const AnsiConverters& SystemAnsiConverters();
// A text the user gave (typed, pasted), character by character: a character without an exact
// form becomes the code page's default character, "?".
SubstitutedText AnsiUserText(const WideText& text);
// An ANSI text of the system's code page in UTF-16, as the platform converts it.
WideText WideFromAnsi(const Text& text);
// The UTF-16 path an ANSI path stands for exactly, for the W file calls; nothing when it has
// no exact form.
std::optional<WideText> WideFileName(const Text& path);
// The table the file system upper-cases each unit of a name with when it compares two names
// (ntdll's RtlUpcaseUnicodeChar, which CompareStringOrdinal uses too when it ignores case), made
// at its first use and kept to the end of the process.
CaseTable FileSystemCase();
