#pragma once

// The driver's UTF-16 side: files made under UTF-16 names, a wide HDROP as the shell builds one,
// UTF-16 clipboard text, and the pending operations as UTF-16.

#include <windows.h>

#include <string>
#include <vector>

// A text in UTF-8, for the report.
std::string Utf8(const std::wstring& text);
// A pending value's units for a report, each NUL as "|".
std::string ShownUnits(std::wstring units);
// The ANSI code page of the system's locale: the one a program gets without the manifest's UTF-8.
UINT LocaleCodePage();

// Sets the window's text through the W calls (WideTextOf in driver.h reads it).
bool SetWideTextOf(HWND window, const std::wstring& text);

// Creates a file (and its folders) under a UTF-16 name, of any length.
bool MakeWideFile(const std::wstring& path);

// Posts a real WM_DROPFILES whose DROPFILES carries UTF-16 names (fWide TRUE), as the shell
// sends it; returns the drop handle, which the program releases with DragFinish.
HGLOBAL DropWideFiles(HWND window, const std::vector<std::wstring>& paths);
// Puts UTF-16 text on the clipboard (CF_UNICODETEXT); the system makes its CF_TEXT.
bool PutClipboardWideText(const std::wstring& text);
// The source paths of the pending operations as recorded, in UTF-16, in order.
std::vector<std::wstring> PendingDeletionsWide();
