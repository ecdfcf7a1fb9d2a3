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
// numbers in decimal, null pointers as "NULL", texts as their bytes (UTF-16 texts of the W
// functions in UTF-8), window handles by Describe().
// Modules are "program", "shell32.dll", ...; drops "drop:<n>" and memory blocks "global:<n>"
// (counted from 1 in the run); resources by their number. The stand-in's own steps (the dialog
// manager's messages, a click's WM_COMMAND) are not logged. Entries, by function:
//   DialogBoxParamA / DialogBoxParamW (module, template, owner, initParam)
//   EndDialog (dialog, result)
//   SendMessageA / SendMessageW / PostMessageA / DispatchMessageA (window, message, wParam, lParam)
//   PeekMessageA (window, min, max, flags)   GetMessageA (window, min, max)   PostQuitMessage
//   (code) ShowWindow (window, command)   EnableWindow (window, enable)   UpdateWindow (window)
//   SetWindowTextA / SetWindowTextW (window, text)   Get/SetWindowLongA, Get/SetWindowLongPtrA,
//   SetWindowLongPtrW (window, index[, value]) SetLayeredWindowAttributes (window, key, alpha,
//   flags)   LoadIconA (module, resource) InitCommonControls ()   MessageBoxA / MessageBoxW (owner,
//   text, caption, type) GetOpenFileNameA (lStructSize, owner, instance, filter bytes, custom
//   filter "set"/"NULL",
//     nMaxCustFilter, nFilterIndex, nMaxFile, "zeroed"/"not zeroed", file-title length,
//     nMaxFileTitle, initial dir, title, Flags, def ext, lCustData, hook "set"/"NULL", template)
//   CommDlgExtendedError ()   DragAcceptFiles (window, accept)   DragFinish (drop)
//   DragQueryFileA (drop, index, "buffer"/"NULL", size)   PathIsDirectoryA / PathFileExistsA (path)
//   GetFullPathNameA (path, size)   MoveFileExA (existing, target, flags)   Sleep (milliseconds)
//   GetModuleHandleA / LoadLibraryA (name)   FreeLibrary (module)   GetProcAddress (module, name or
//   "#59") RestartDialog (owner, prompt, flags)   ChangeWindowMessageFilterEx (window, message,
//   action, status) OpenClipboard (owner)   GetClipboardData (format)   CloseClipboard ()
//   IsClipboardFormatAvailable (format)   GlobalLock / GlobalUnlock / GlobalSize (block)
//   ExitProcess (code)

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
    std::string text;         // as GetWindowTextA reads it
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
    bool redraw = true;   // WM_SETREDRAW
    bool unicode = true;  // IsWindowUnicode: keeps texts set in UTF-16 whole
};
WindowInfo Inspect(HWND window);

// The most recently created dialog of a template (kept after it ended, until Reset), or nullptr.
HWND Dialog(int templateId);
// A control of that dialog, or nullptr.
HWND Control(int templateId, int controlId);

struct ListColumn {
    std::string header;         // as LVM_GETCOLUMNA reads it
    std::u16string wideHeader;  // as LVM_GETCOLUMNW reads it
    int width = 0;
    int format = 0;
};
struct ListRow {
    std::vector<std::string> cells;  // cell 0 path, cell 1 result; missing cells are ""
    LVITEMA inserted{};              // the record LVM_INSERTITEMA received (pszText not valid)
    std::vector<std::u16string> wideCells;  // the cells as LVM_GETITEMTEXTW reads them
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
// box answers when a message box opens, file-dialog answers when GetOpenFileNameA opens.
// Anything else fails the scenario.

// Input actions. Each posts to the queue what the real user's gesture would produce.
void Click(int templateId, int controlId);  // posts BM_CLICK to the button
void Close(int templateId);                 // posts WM_CLOSE to the dialog
void PressEnter(int templateId);            // posts WM_COMMAND IDOK to the dialog
void PressEscape(int templateId);           // posts WM_COMMAND IDCANCEL to the dialog
void FocusRow(int row);                     // gives a row of the main list the focus
void SetEditText(int templateId, int controlId, const std::string& text);
// Drops files on the main window (posts WM_DROPFILES). An entry of std::nullopt cannot be read.
void Drop(const std::vector<std::optional<std::string>>& paths);
void Do(const std::string& description, std::function<void()> step);  // any other step

// Box answers: the result MessageBoxA or MessageBoxW returns (IDOK, IDCANCEL, ...). When an
// expected text is given the box must show that text: bytes in the selected code page (compared
// byte for byte with a MessageBoxA text, and as that code page reads them with a MessageBoxW
// text), or UTF-16.
void AnswerBox(int result, std::optional<std::string> expectedText = std::nullopt);
void AnswerBox(int result, const std::u16string& expectedText);

// Open-file dialog answers: the bytes the dialog writes into lpstrFile (NULs included), or Cancel.
// A selection longer than nMaxFile makes GetOpenFileNameA fail as the real one does.
void ChooseFiles(const std::string& buffer);
void CancelFileDialog();

// An input action that is performed not when the program waits but right after the count-th
// logged call of a function (e.g. the 2nd MoveFileExA), so the next pump pass dispatches it.
void AfterCall(const std::string& function, size_t count, std::function<void()> postAction);
// Posting helpers for AfterCall and Do (they post at once).
void PostClick(int templateId, int controlId);
void PostClose(int templateId);
void PostDrop(const std::vector<std::optional<std::string>>& paths);

// ---------------------------------------------------------------------------------------------
// The machine behind the platform calls.

void SetCodePage(unsigned codePage);         // 936 (default), 1252 or CP_UTF8 (65001)
void AddFile(const std::string& path);       // PathFileExistsA true
void AddDirectory(const std::string& path);  // PathIsDirectoryA and PathFileExistsA true
void SetCurrentDirectory(const std::string& directory);  // for GetFullPathNameA
// MoveFileExA's answer per path; by default every path is accepted.
void SetMoveFileRule(std::function<bool(const std::string& path)> accept);
void SetRestartDialogResult(int result);  // default IDNO

// The clipboard: text (stored with its terminator), a block of raw bytes (maybe unterminated),
// no text at all, or held open by another program.
void SetClipboardText(const std::string& text);
void SetClipboardBlock(const std::string& bytes);
void ClearClipboard();
void SetClipboardBusy(bool busy);
void SetGlobalLockFails(bool fails);

// Makes GetProcAddress find nothing under this name (or "#59" for an ordinal).
void HideExport(const std::string& name);

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

// The record the last GetOpenFileNameA call received, field by field (nullopt for null texts).
struct OpenFileRequest {
    DWORD structSize = 0;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    std::optional<std::string> filter;  // up to and including the closing double NUL
    bool hasCustomFilter = false;
    DWORD maxCustomFilter = 0;
    DWORD filterIndex = 0;
    DWORD maxFile = 0;
    bool fileBufferZeroed = false;          // all nMaxFile bytes of lpstrFile were 0
    std::optional<size_t> fileTitleLength;  // strlen of lpstrFileTitle
    DWORD maxFileTitle = 0;
    std::optional<std::string> initialDirectory;
    std::optional<std::string> title;
    DWORD flags = 0;
    std::optional<std::string> defaultExtension;
    LPARAM customData = 0;
    bool hasHook = false;
    std::optional<std::string> templateName;  // "#<id>" for an integer resource
};
std::optional<OpenFileRequest> LastOpenFileRequest();

// The paths MoveFileExA accepted with MOVEFILE_DELAY_UNTIL_REBOOT in this run, in order.
std::vector<std::string> ScheduledDeletions();
// Drops posted in this run that were never given back with DragFinish.
size_t UnfinishedDrops();

}  // namespace standin
