#pragma once

// The deletion list: the report-view list control that shows the collected paths. Column 0 holds
// the path, column 1 the result of the last restart deletion, column 2 the reason of a refusal.
// The control is owner-data: the rows' texts are kept, in UTF-16, in the state's records, and
// the control asks for each cell it shows (AnswerListCell). Readers here read the records; the
// duplicate test asks the state's index of the listed paths, which the row functions here keep
// in step with the rows.

#include <optional>
#include <vector>

#include "platform/win32.h"
#include "state/app_state.h"
#include "runtime/text.h"

// Grid lines, then full-row selection.
void SetListExtendedStyles();
// A report column whose header is one of the program's literal texts, shown in UTF-16.
void AddColumn(int width, const char* header, int columnIndex);
// The same for another report-view list of the program's.
void AddListColumn(HWND list, int width, const char* header, int columnIndex);
int RowCount();
// Appends a row at the end with the UTF-16 path and an empty result; the new row's index, or -1.
// The row starts with no state set: not selected, without the focus.
// The row keeps where its file is at this moment (FileLocationNow); its reason says so when the
// boot the system is running failed to delete that file (state's lastRestartFailures), until a
// restart run writes its result. An intake lists only a path it took exactly from what the user
// chose: an ANSI text without an exact UTF-16 form is never listed, since it could not be read
// back as itself.
int AppendPath(const WideText& path);
// Where the row's file was when the row was listed; nothing when that could not be told then,
// or for no such row.
std::optional<LiteralPath> RowListedLocation(int row);
// The path a restart run recorded for the row; nothing before one did, or for no such row.
void SetRowRecordedPath(int row, RecordedPath recorded);
std::optional<RecordedPath> RowRecordedPath(int row);
// A refused folder's entries that the restart would not delete; empty for any other row.
void SetRowRefusedEntries(int row, std::vector<RefusedEntry> entries);
std::vector<RefusedEntry> RowRefusedEntries(int row);
// True when some row holds exactly this UTF-16 path, at the same cost however many rows there
// are. Pumps messages once first, so that a long intake keeps the window answering.
bool ContainsPath(const WideText& path);
// Answers the list's LVN_GETDISPINFOW: the cell's text, cut to the room given.
void AnswerListCell(NMLVDISPINFOW& info);
// Answers the list's LVN_ODFINDITEMW, sent as the user types in it: the row whose path begins
// with the typed text (FindTypedRow).
int FindListedRow(const NMLVFINDITEMW& find);
// The whole text of one cell, however long, in the ANSI code page; empty for no such row and
// for a cell without an exact form in the ANSI code page.
Text GetRowText(int row, int column);
// The whole text of one cell, however long, in UTF-16; empty for no such row.
WideText GetRowWideText(int row, int column);
// Writes a row's result and its reason, each one of the program's literal texts, in UTF-16; any
// earlier reason goes. The row is drawn again.
void SetRowResult(int row, const char* result, const char* reason = "");
// Both release what the rows kept with them.
bool RemoveRow(int row);
bool ClearRows();
// The row that has the keyboard focus, or -1.
int FocusedRow();

// An intake holds the list's redraw while it appends a run of rows, and releases it after; the
// list is redrawn once, when the outermost hold ends. Other messages are still pumped meanwhile.
void HoldListRedraw();
void ReleaseListRedraw();
// A main-window command can arrive through the pump of an intake's duplicate scan, inside its
// hold; it must work on rows the user can see. Lifting redraws the list and sets the holds aside
// for the command (their count is returned); restoring holds the redraw again after it.
int LiftListRedrawHolds();
void RestoreListRedrawHolds(int holds);
