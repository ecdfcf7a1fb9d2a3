#pragma once

// The driver's helpers: it runs on its own thread inside the suite's process and works the
// program's real windows from outside the program's thread, as a user would, with a time limit
// on every wait so that a hang shows up as a failed check.

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "layered_alpha.h"

// How long the driver waits for anything the program should do.
inline constexpr DWORD kWaitMilliseconds = 10000;

// --- Reporting -----------------------------------------------------------------------------

// Prints a PASS or FAIL line for one check and returns ok.
bool Check(bool ok, const std::string& what);
// Prints a FAIL line when the two texts differ, with both texts shown byte-safe.
bool CheckText(const std::string& actual, const std::string& expected, const std::string& what);
// Prints an informational line.
void Note(const std::string& text);
int FailureCount();
int PassCount();
// The text with every byte outside printable ASCII written as \xNN.
std::string Printable(const std::string& text);

// --- Windows -------------------------------------------------------------------------------

// Polls condition until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeout = kWaitMilliseconds);
// A visible top-level window of this process with that class whose caption, read in UTF-16, is
// one of the program's literal texts (code page 936 bytes), or null after the time is up. A null
// class or caption matches any.
HWND WaitForTopWindow(const char* className, const char* caption936,
                      DWORD timeout = kWaitMilliseconds);
// Every visible top-level window of this process of that class.
std::vector<HWND> TopWindowsOfClass(const char* className);
// A message box ("#32770" with a static text) of this process showing exactly one of the
// program's literal texts, compared in UTF-16.
HWND WaitForMessageBox(const char* text936, DWORD timeout = kWaitMilliseconds);
// The text of a message box's static control; empty when the window has none.
std::string MessageBoxText(HWND box);
// Presses a button of a message box or dialog and waits for the window to go away.
bool AnswerBox(HWND box, int buttonId);
bool WaitUntilGone(HWND window, DWORD timeout = kWaitMilliseconds);
// Closes every dialog and message box of this process except keep, answering Cancel or No.
void CloseStrayWindows(HWND keep);
// A visible dialog or message box of this process other than the main window, or null.
HWND OtherDialog(HWND mainWindow);
// Whether this is a 32-bit process on 64-bit Windows.
bool RunsUnderWow64();

// The window's text, read with WM_GETTEXT from this thread (the window's own thread answers).
std::string TextOf(HWND window);
bool SetTextOf(HWND window, const std::string& text);
// Posts BM_CLICK: for commands that open a box or dialog and so do not return at once.
void Click(HWND dialog, int controlId);
// Sends BM_CLICK and returns when the command has been handled; false on a time-out.
bool ClickAndWait(HWND dialog, int controlId);
// Sends a message with a time limit; 0 when it timed out.
LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                        bool* timedOut = nullptr);

// --- The deletion list -----------------------------------------------------------------------

struct Row {
    // As the A message reads it, in the system's code page.
    std::string path;
    // One of the program's literal texts, read in UTF-16 and given in code page 936 bytes, as the
    // literals are written, on every code page.
    std::string result;
    // The reason of a refusal, read the same way.
    std::string reason;
};

HWND ListOf(HWND mainWindow);
int RowCountOf(HWND list);
// One cell's whole text, however long.
std::string CellText(HWND list, int row, int column);
std::vector<Row> ReadRows(HWND list);
// The paths of the rows, in order.
std::vector<std::string> PathsOf(const std::vector<Row>& rows);
// Fails with a listing of both sides when the list's paths differ from expected.
bool CheckPaths(HWND list, const std::vector<std::string>& expected, const std::string& what);
// Waits until the list holds exactly count rows.
bool WaitForRowCount(HWND list, int count, DWORD timeout = kWaitMilliseconds);
// Gives one row the keyboard focus (LVIS_FOCUSED) and nothing else; row -1 takes it from all.
bool FocusRow(HWND list, int row);
bool SelectRow(HWND list, int row);

// --- Intake from outside -------------------------------------------------------------------

// Posts a real WM_DROPFILES carrying these ANSI paths; returns the drop handle, which the
// program releases with DragFinish.
HGLOBAL DropFiles(HWND window, const std::vector<std::string>& paths);
// Called just before a drop is posted to window: from then on the driver can tell when the
// program has done with it.
void WatchDrop(HWND window, HGLOBAL drop);
// Waits until the program has released a drop handle and listed its files: it copies the names
// out and releases the drop first, and the list's redraw comes back on when they are listed.
bool WaitForDropFinished(HGLOBAL drop, DWORD timeout = kWaitMilliseconds);
bool PutClipboardText(const std::string& text);
// Leaves the clipboard with no text on it (a bitmap-free empty clipboard).
bool EmptyClipboardText();

// --- The batch dialog ----------------------------------------------------------------------

// Presses the batch button; the dialog, found by its caption, or null (after a failed check).
HWND OpenBatchDialog(HWND mainWindow);
// Presses "确定" and answers its question; true when the question appeared and went away.
bool ConfirmBatch(HWND dialog, int answer);
// Answers the question a drop or a batch asks about the folders it brought; true when it came
// and went away.
bool AnswerFolderQuestion(int answer, const std::string& what);

// --- The open-file dialog ------------------------------------------------------------------

// The dialog's file-name box: the edit inside the explorer-style combo box, or the plain edit of
// the older dialog; null (after a note listing the dialog's controls) when it has neither.
HWND FileNameBox(HWND dialog);
// Types text into the file-name box as a user does and presses Open.
bool TypeAndOpen(HWND dialog, const std::string& text);
bool TypeAndOpen(HWND dialog, const std::wstring& text);
// The folder the dialog shows (CDM_GETFOLDERPATH). The program's dialog is the UTF-16 one, which
// answers in UTF-16 whichever way it is asked; DialogFolder gives it in the system's code page.
std::wstring DialogFolderW(HWND dialog);
std::string DialogFolder(HWND dialog);

// --- Files and the registry ------------------------------------------------------------------

// Creates a file (and its folders) with a line of content; any length of path.
bool MakeFile(const std::string& path);
// Whether anything is at the path, asked literally.
bool PathExists(const std::string& path);
bool MakeFolder(const std::string& path);
// A file path under folder, through nested folders, at least length bytes long.
std::string LongPathUnder(const std::string& folder, size_t length);
// Deletes the pending file operations that Wine keeps in the registry.
bool ClearPendingOperations();
// Presses "重启删除", confirms the run and declines the restart prompt that follows; false when
// the question or the prompt did not come.
bool RunRestartDeclinePrompt(HWND mainWindow);
// True when every row of the list has its result.
bool AllRowsHaveResults(HWND list);
// Presses Restart deletion and answers its question; true when the question came and went.
bool AskForRestartDeletion(HWND mainWindow, int answer);
// The source paths of the pending operations, as recorded ("\??\C:\..."), in order. Each entry
// must have an empty destination; otherwise the entry is reported as "<source> -> <dest>".
std::vector<std::string> PendingDeletions();
// The PendingFileRenameOperations value's code units exactly as stored; false when there is no
// such REG_MULTI_SZ value. And the value written with exactly these units.
bool ReadPendingValueUnits(std::wstring& units);
// Opens the restart's to-do list from the main window's system menu; the dialog, or null (after a
// failed check).
HWND OpenPendingList(HWND mainWindow);
bool WritePendingValueUnits(const std::wstring& units);

// --- Screenshots -----------------------------------------------------------------------------

// Screenshots go into the folder the suite was started in, whatever the current folder is later.
void RememberOutputFolder();
// Repaints the window, then copies it as it is on screen into a 24-bit BMP file of that name.
bool SaveScreenshot(HWND window, const std::string& fileName);

// --- Texts in UTF-16 -------------------------------------------------------------------------
// The program's own texts read the same on every code page; these read them without passing
// through the ANSI code page.

// The text as the window manager keeps it (InternalGetWindowText); asks nothing of the window.
std::wstring WideCaptionOf(HWND window);
// The window's text with WM_GETTEXT in its W form (GetWindowTextW from this thread).
std::wstring WideTextOf(HWND window);
// A visible top-level window of this process of that class whose caption, as the window manager
// keeps it, is exactly caption.
HWND WaitForTopWindowW(const char* className, const std::wstring& caption,
                       DWORD timeout = kWaitMilliseconds);
// The static text of a message box, read with GetWindowTextW; empty when it has none.
std::wstring WideMessageBoxText(HWND box);
HWND WaitForMessageBoxW(const std::wstring& text, DWORD timeout = kWaitMilliseconds);
// A column's header with LVM_GETCOLUMNW; false when there is no such column.
bool WideColumnHeader(HWND list, int index, std::wstring& header);
// One cell with LVM_GETITEMTEXTW.
std::wstring WideCellText(HWND list, int row, int column);
// The text with every code unit outside printable ASCII written as \uXXXX.
std::string PrintableWide(const std::wstring& text);
bool CheckWideText(const std::wstring& actual, const std::wstring& expected,
                   const std::string& what);
// One of the program's literal texts (code page 936 bytes) in UTF-16, and the way back.
std::wstring WideOf936(const char* text936);
std::string Text936Of(const std::wstring& text);
// The ANSI form of a text in the system's code page, when that code page holds it exactly.
bool AnsiOf(const std::wstring& text, std::string& ansi);
