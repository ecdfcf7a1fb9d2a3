#pragma once

// The driver's UTF-16 side: files made under UTF-16 names, a wide HDROP as the shell builds one,
// UTF-16 clipboard text, window texts compared whatever the code page, the pending operations as
// UTF-16, and files compared by identity rather than by name.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A text in UTF-8, for the report.
std::string Utf8(const std::wstring& text);
// One of the program's literal texts (code page 936 bytes) in UTF-16.
std::wstring WideOf936(const char* text936);

// A top-level window of this process with that class whose caption is the program's literal
// text: compared in UTF-16 and, for a caption set through the A calls, as bytes of the system's
// code page.
HWND WaitForCaption(const char* className, const char* caption936);
// A message box of this process showing the program's literal text, compared the same ways.
HWND WaitForBoxText(const char* text936);

// Sets the window's text through the W calls (WideTextOf in driver.h reads it).
bool SetWideTextOf(HWND window, const std::wstring& text);

// Creates a file (and its folders) under a UTF-16 name.
bool MakeWideFile(const std::wstring& path);
// The platform's short form of a path, or the empty text.
std::wstring ShortPathOf(const std::wstring& path);

// Which file a path names: its volume and its index on the volume.
struct FileIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
    }
};
std::optional<FileIdentity> IdentityOf(const std::wstring& path);
// The file an ANSI path names, as the system reads an ANSI program's path.
std::optional<FileIdentity> IdentityOfAnsi(const std::string& path);

// Posts a real WM_DROPFILES whose DROPFILES carries UTF-16 names (fWide TRUE), as the shell
// sends it; returns the drop handle, which the program releases with DragFinish.
HGLOBAL DropWideFiles(HWND window, const std::vector<std::wstring>& paths);
// Puts UTF-16 text on the clipboard (CF_UNICODETEXT); the system makes its CF_TEXT.
bool PutClipboardWideText(const std::wstring& text);
// The source paths of the pending operations as recorded, in UTF-16, in order.
std::vector<std::wstring> PendingDeletionsWide();
