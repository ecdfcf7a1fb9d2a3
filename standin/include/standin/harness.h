#pragma once

// The test side of the Win32 stand-in: the call log, the scripted user, the virtual file table and
// the knobs that make the platform answer one way or another. Program code never includes this.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "standin/win32_standin.h"

namespace standin {

// ---------------------------------------------------------------------------------------------
// Life cycle

// Forgets every window, queued message, script action, log entry, file, clipboard block and knob,
// and selects code page 936.
void Reset();

// Thrown by ExitProcess, and by the stand-in when a scenario cannot go on (a failure was recorded).
struct ProcessExit {
    unsigned code;
};
struct ScenarioAbort {};

struct RunResult {
    int exitCode = -1;  // what the entry returned, or the ExitProcess code
    bool calledExitProcess = false;
    bool aborted = false;  // the stand-in gave up (see Failures())
};
// Runs a process entry (the program's RunProcess) under the stand-in and reports how it ended.
RunResult Run(int (*entry)());

// What went wrong on the platform side: unexpected boxes or dialogs, script actions that did not
// fit, a modal loop waiting with an empty script, double DragFinish and the like.
const std::vector<std::string>& Failures();
// Script actions that were never used.
size_t PendingActions();

// ---------------------------------------------------------------------------------------------
// The call log: every platform call the program makes, in order. Arguments are rendered as text:
// numbers in decimal, null pointers as "NULL", texts as their bytes (the UTF-16 texts of the W
// calls as UTF-8), window handles by Describe(). Modules are "program", "shell32.dll", ...;
// drops "drop:<n>" and memory blocks "global:<n>" (counted from 1 in the run); resources by
// their number. The stand-in's own steps (the dialog manager's messages, a click's WM_COMMAND)
// are not logged, nor are the text conversions, GetWindowTextW and GetWindowTextLengthW.
// Entries, by function:
//   DialogBoxParamW (module, template, owner, initParam)
//   EndDialog (dialog, result)
//   SendMessageA / SendMessageW / PostMessageA / DispatchMessageA (window, message, wParam,
//     lParam)
//   PeekMessageA (window, min, max, flags)   GetMessageA (window, min, max)
//   ShowWindow (window, command)   EnableWindow (window, enable)
//   UpdateWindow (window)   SetWindowTextW (window, text)
//   Get/SetWindowLongA, SetWindowLongPtrW (window, index[, value])
//   SetLayeredWindowAttributes (window, key, alpha, flags)   LoadIconA (module, resource)
//   InitCommonControls ()   MessageBoxW (owner, text, caption, type)
//   GetOpenFileNameW (lStructSize, owner, instance, filter, custom filter
//     "set"/"NULL", nMaxCustFilter, nFilterIndex, nMaxFile, "zeroed"/"not zeroed", file-title
//     length, nMaxFileTitle, initial dir, title, Flags, def ext, lCustData, hook "set"/"NULL",
//     template); the filter with its NULs, up to and including the closing pair
//   CommDlgExtendedError ()   DragAcceptFiles (window, accept)   DragFinish (drop)
//   DragQueryFileW (drop, index, "buffer"/"NULL", size)
//   GetFileAttributesW (path)   GetFullPathNameA (path, size)
//   GetShortPathNameW (path, "buffer"/"NULL", size)
//   GetDriveTypeW (root)   QueryDosDeviceW (device, size)
//   Sleep (milliseconds)   GetModuleHandleA / LoadLibraryA (name)   FreeLibrary (module)
//   GetProcAddress (module, name or "#59")   RestartDialog (owner, prompt, flags)
//   ChangeWindowMessageFilterEx (window, message, action, status)   OpenClipboard (owner)
//   SetDefaultDllDirectories (flags)
//   GetClipboardData (format)   CloseClipboard ()
//   GlobalLock / GlobalUnlock / GlobalSize / GlobalFlags (block)   GlobalHandle (pointer)
//   ExitProcess (code)
//   IsWow64Process ("current process")   Wow64DisableWow64FsRedirection ("buffer"/"NULL")
//   Wow64RevertWow64FsRedirection ("saved state")   CreateFileW (path, access, share,
//   disposition, flags)   GetFinalPathNameByHandleW (file, "buffer"/"NULL", size, flags)
//   GetFileInformationByHandle (file)   CloseHandle (file). Files are "file:<n>".
//   FindFirstFileW (pattern)   FindNextFileW (search)   FindClose (search)
//   SetFileAttributesW (path, attributes)
//   GetSystemMenu (window, revert)   AppendMenuW ("system menu", flags, id, text or "separator")
//   RegOpenKeyExW (key, sub-key, access)   RegQueryValueExW (key, name, "buffer"/"NULL", size)
//   RegSetValueExW (key, name, type, size)   RegDeleteValueW (key, name)   RegCloseKey (key).
//   Keys are "HKEY_LOCAL_MACHINE" or "key:<n>" (opened keys, counted from 1 in the run).

struct Call {
    std::string function;
    std::vector<std::string> args;
};
const std::vector<Call>& Log();
std::vector<Call> CallsTo(const std::string& function);
size_t CountCalls(const std::string& function);
void ClearLog();
// Benchmarks switch the log off: calls are then counted (for AfterCall) but not kept.
void SetLogging(bool keepCalls);

// "NULL", "dialog:<template id>" for a dialog, "#<control id>" for a control.
std::string Describe(HWND window);

// ---------------------------------------------------------------------------------------------
// Windows, for inspection by tests (not logged).

struct WindowInfo {
    std::string className;
    std::string text;         // in the selected code page, as an ANSI reader would see it
    std::u16string wideText;  // as GetWindowTextW reads it
    DWORD style = 0;
    DWORD exStyle = 0;
    bool visible = false;
    bool enabled = true;
    bool destroyed = false;
    int controlId = 0;
    BYTE alpha = 255;           // the last alpha set with SetLayeredWindowAttributes
    HICON smallIcon = nullptr;  // WM_SETICON
    HICON bigIcon = nullptr;
    bool redraw = true;  // WM_SETREDRAW
};
WindowInfo Inspect(HWND window);

// The most recently created dialog of a template (kept after it ended, until Reset), or nullptr.
HWND Dialog(int templateId);
// A control of that dialog, or nullptr.
HWND Control(int templateId, int controlId);

struct ListColumn {
    std::string header;         // in the selected code page, as an ANSI reader would see it
    std::u16string wideHeader;  // as the program set it
    int width = 0;
    int format = 0;
};
struct ListRow {
    std::vector<std::string> cells;         // cell 0 path, cell 1 result, in the selected code page
    std::vector<std::u16string> wideCells;  // the cells as the parent answered them, whole
};
struct ListInfo {
    std::vector<ListColumn> columns;
    std::vector<ListRow> rows;
    DWORD extendedStyle = 0;
    std::vector<std::pair<DWORD, DWORD>> extendedStyleCalls;  // (mask, value) in order
    int focusedRow = -1;
};
ListInfo InspectList(HWND listControl);

// ---------------------------------------------------------------------------------------------
// The scripted user. Actions run in order: input actions when a modal loop waits for input,
// box answers when a message box opens, file-dialog answers when GetOpenFileNameW opens.
// Anything else fails the scenario.

// Input actions. Each posts to the queue what the real user's gesture would produce.
void Click(int templateId, int controlId);  // posts BM_CLICK to the button
void Close(int templateId);                 // posts WM_CLOSE to the dialog
void PressEnter(int templateId);            // posts WM_COMMAND IDOK to the dialog
void PressEscape(int templateId);           // posts WM_COMMAND IDCANCEL to the dialog
void FocusRow(int row);                     // gives a row of the main list the focus
// Selects exactly these rows of a list, as a click and Ctrl-clicks do; the last one has the focus.
void SelectRows(int templateId, int controlId, const std::vector<int>& rows);
// Posts WM_SYSCOMMAND with an item the program appended to the dialog's system menu.
void ChooseSystemMenuItem(int templateId, UINT command);
void SetEditText(int templateId, int controlId, const std::string& text);
// Types UTF-16 text, as an input method does; the A calls read it converted by best fit.
void SetEditTextW(int templateId, int controlId, const std::u16string& text);
// Drops files on the main window (posts WM_DROPFILES). A drop carries UTF-16 names, as the
// shell's do; Drop converts ANSI paths from the selected code page. An entry of std::nullopt
// cannot be read.
void Drop(const std::vector<std::optional<std::string>>& paths);
void DropW(const std::vector<std::optional<std::u16string>>& paths);
void Do(const std::string& description, std::function<void()> step);  // any other step

// Box answers: the result MessageBoxW returns (IDOK, IDCANCEL, ...). When an expected text is
// given the box must show that text: bytes in the selected code page (as that code page reads
// them), or UTF-16.
void AnswerBox(int result, std::optional<std::string> expectedText = std::nullopt);
void AnswerBox(int result, const std::u16string& expectedText);

// Open-file dialog answers: what the dialog writes into lpstrFile (NULs included), or Cancel.
// ChooseFiles gives ANSI bytes, which GetOpenFileNameW receives converted piece by piece from the
// selected code page; ChooseFilesW gives UTF-16.
// A selection longer than nMaxFile characters makes the dialog fail as the real one does.
void ChooseFiles(const std::string& buffer);
void ChooseFilesW(const std::u16string& buffer);
void CancelFileDialog();

// An input action that is performed not when the program waits but right after the count-th
// logged call of a function (e.g. the 2nd RegSetValueExW), so the next pump pass dispatches it.
void AfterCall(const std::string& function, size_t count, std::function<void()> postAction);
// Posting helpers for AfterCall and Do (they post at once).
void PostClick(int templateId, int controlId);
void PostClose(int templateId);
void PostDrop(const std::vector<std::optional<std::string>>& paths);
void PostDropW(const std::vector<std::optional<std::u16string>>& paths);
// A drop whose memory block holds exactly these bytes (no names the shell's readers know of);
// WM_DROPFILES with any handle (NULL, one of no block, one posted before); the last drop posted.
void PostDropBlock(const std::string& bytes);
void PostDropHandle(HDROP drop);
HDROP LastDrop();
// A whole drop of these files whose bytes' pointer is posted in place of its handle, as any
// program of the user can post a pointer into a live block.
void PostDropPointer(const std::vector<std::optional<std::string>>& paths);

// ---------------------------------------------------------------------------------------------
// The machine behind the platform calls.

// 936 (default), 1252 or 65001: the lead bytes, GetACP and the conversions of CP_ACP.
void SetCodePage(unsigned codePage);
// The virtual disk holds files and folders under their UTF-16 names. The A calls see them
// through the selected code page, as the platform's do: "\xa3\xa4.txt" under 936 names the file
// named U+FFE5. A path may be given by its short (8.3) parts too. AddFile and AddDirectory take
// ANSI paths of the selected code page; GetFileAttributesW answers FILE_ATTRIBUTE_NORMAL for a
// file, FILE_ATTRIBUTE_DIRECTORY for a folder. Every folder above a path exists too.
void AddFile(const std::string& path);
void AddDirectory(const std::string& path);
// shortName: the 8.3 name of the path's last part (GetShortPathNameW gives it).
void AddFileW(const std::u16string& path, std::optional<std::u16string> shortName = std::nullopt);
void AddDirectoryW(const std::u16string& path,
                   std::optional<std::u16string> shortName = std::nullopt);
// The full UTF-16 path, as added, of the file or folder that an ANSI path of the selected code
// page names, short parts resolved; nullopt when it names nothing on the disk.
std::optional<std::u16string> FileNamedBy(const std::string& path);
std::optional<std::u16string> FileNamedByW(const std::u16string& path);
void SetCurrentDirectory(const std::string& directory);  // for GetFullPathNameA
// The read-only attribute of an existing file or folder (an ANSI path of the selected code page).
void SetReadOnly(const std::string& path, bool readOnly);
bool IsReadOnly(const std::string& path);
// The attributes of a file or folder cannot be changed: every change is denied.
void SetAttributesFixed(const std::string& path, bool fixed);
// The session manager's mutex on the pending values, \PendingRenameMutex: none, as under Wine
// (the default); free; held by another program, which lets go when a test sets it free (the
// program's wait performs the next input action meanwhile, as a modal loop does); or abandoned
// by its last owner. While the program holds it, a box, a folder's listing or an attribute change
// fails the scenario, and so does a run that ends holding it.
enum class PendingLockState { kNone, kFree, kHeldByOther, kAbandoned };
void SetPendingRenameMutex(PendingLockState state);
bool ProgramHoldsPendingRenameMutex();
void SetRestartDialogResult(int result);  // default IDNO
// Each GetTickCount64 call moves the clock on by this much, as if the program's work between
// two calls took that long (Sleep moves it too); default 0.
void SetTickStep(DWORD milliseconds);

// The registry: keys by path ("HKLM\..." or "HKEY_LOCAL_MACHINE\...", UTF-8), values by name,
// ASCII letter case ignored in both as the registry ignores it; each value a type and its bytes.
// After Reset it holds the key HKLM\SYSTEM\CurrentControlSet\Control\Session Manager without
// values. A key left open at the end of a run is a failure.
struct RegistryValue {
    DWORD type = REG_NONE;
    std::string bytes;
};
// Creates the key when it is not there; replaces a value of that name.
void SetRegistryValue(const std::string& key, const std::string& name, DWORD type,
                      const std::string& bytes);
std::optional<RegistryValue> GetRegistryValue(const std::string& key, const std::string& name);
// The answers of the program's next writes (RegSetValueExW, RegDeleteValueW), one per write in
// order: a write answered ERROR_SUCCESS is carried out, any other answer is returned and nothing
// changes. Writes after the last answer are carried out.
void AnswerRegistryWrites(std::vector<LONG> answers);
// After the program's next write, the next reads of a value's data (RegQueryValueExW with a
// buffer) are answered answer, as when another program keeps changing it (ERROR_MORE_DATA). A call
// ends the answers an earlier one left.
void AnswerRegistryReadsAfterNextWrite(LONG answer, size_t reads);

// The clipboard: ANSI text (CF_TEXT, stored with its terminator), a CF_TEXT block of raw bytes
// (maybe unterminated), UTF-16 text (CF_UNICODETEXT, with the CF_TEXT the system makes of it by
// best fit), a raw CF_UNICODETEXT block (code units, maybe unterminated), no text at all, or held
// open by another program. ANSI text is offered as CF_TEXT only.
void SetClipboardText(const std::string& text);
void SetClipboardBlock(const std::string& bytes);
void SetClipboardWideText(const std::u16string& text);
void SetClipboardWideBlock(const std::u16string& units);
void ClearClipboard();
void SetClipboardBusy(bool busy);
void SetGlobalLockFails(bool fails);

// Makes GetProcAddress find nothing under this name (or "#59" for an ordinal).
void HideExport(const std::string& name);

// A 32-bit process on 64-bit Windows. IsWow64Process (through GetProcAddress) then says TRUE, and
// every file look-up sees C:\Windows\System32 as C:\Windows\SysWOW64, except its subfolders
// catroot, catroot2, drivers\etc, logfiles and spool, until Wow64DisableWow64FsRedirection turns
// that off; C:\Windows\Sysnative is the native System32 either way (as under Wine 8). Letter case
// does not matter; GetSystemWindowsDirectoryA gives C:\Windows.
// Files are added by their native paths. With redirection off, any call other than
// GetFileAttributesW, GetShortPathNameW, CreateFileW and the revert fails the
// scenario, and so does a run that leaves it off or leaves a file open.
void SetWow64(bool wow64);
// Makes Wow64DisableWow64FsRedirection refuse, as it does outside WOW64.
void SetRedirectionSwitchFails(bool fails);

// ---------------------------------------------------------------------------------------------
// Additions for tests of the dialog templates, the open-file dialog, drops and the restart run.

// The dialog templates the stand-in builds dialogs from, in the .rc's terms: dialog units, texts
// as code page 936 bytes.
struct ControlTemplate {
    int id = 0;
    std::string className;  // "button", "edit", "SysListView32"
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
};
struct DialogTemplate {
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    std::string fontName;
    int fontPointSize = 0;
    int fontWeight = 0;
    bool fontItalic = false;
    int fontCharset = 0;
    std::vector<ControlTemplate> controls;  // in template (tab) order
};
const std::vector<DialogTemplate>& DialogTemplates();

// The record the last GetOpenFileNameW call received, field by field (nullopt for null texts).
struct OpenFileRequestW {
    DWORD structSize = 0;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    std::optional<std::u16string> filter;  // up to and including the closing double NUL
    bool hasCustomFilter = false;
    DWORD maxCustomFilter = 0;
    DWORD filterIndex = 0;
    DWORD maxFile = 0;
    bool fileBufferZeroed = false;          // all nMaxFile characters of lpstrFile were 0
    std::optional<size_t> fileTitleLength;  // length of lpstrFileTitle, in characters
    DWORD maxFileTitle = 0;
    std::optional<std::u16string> initialDirectory;
    std::optional<std::u16string> title;
    DWORD flags = 0;
    std::optional<std::u16string> defaultExtension;
    LPARAM customData = 0;
    bool hasHook = false;
    std::optional<std::u16string> templateName;  // "#<id>" for an integer resource
};
std::optional<OpenFileRequestW> LastOpenFileRequestW();

// Every deletion PendingFileRenameOperations holds now, in order, each as the path it names
// without "\??\", in the selected code page.
std::vector<std::string> ScheduledDeletions();
// The same in UTF-16, as recorded.
std::vector<std::u16string> ScheduledDeletionsW();
// Drops posted in this run that were never given back with DragFinish.
size_t UnfinishedDrops();

}  // namespace standin
