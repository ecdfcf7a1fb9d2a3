#pragma once

// UTF-16 texts at the platform's boundary: the program's own literal texts for the W functions,
// and the pointers those functions take.

#include "platform/win32.h"
#include "runtime/text.h"

static_assert(sizeof(WCHAR) == sizeof(WideText::value_type), "WCHAR is one UTF-16 code unit");

// One of the program's literal texts (code page 936 bytes, whatever the system's code page) in
// UTF-16. Each distinct text is converted at its first use and kept to the end of the process, so
// a text shown on every row is converted once. For the program's own texts only: every distinct
// text passed here stays in memory.
const WideText& UiText(const char* text936);

// The same conversion into a caller's buffer, for the fatal boxes, which must not allocate. A
// text that does not fit, or does not convert, gives the empty text; false then.
bool UiTextInto(const char* text936, WCHAR* buffer, int capacity);
// The same for bytes that may hold NULs (a filter list), each NUL kept as a NUL; not kept.
WideText UiText(const ByteString& bytes936);

// The text as the W functions take it; never null.
inline LPCWSTR WideC(const WideText& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}
inline LPWSTR WideData(WideText& text) {
    return reinterpret_cast<LPWSTR>(text.data());
}
