#pragma once

// The one program-wide record. It lives from start to exit; its texts and arrays are released by
// ReleaseAppState, which is also the clean-up routine of a fatal exit.

#include <optional>
#include <unordered_set>
#include <vector>

#include "paths/folded_names.h"
#include "platform/win32.h"
#include "runtime/path_texts.h"
#include "runtime/text.h"

// A window that accepts dropped files and the procedure that receives each of them.
struct DropTarget {
    HWND window;
    WNDPROC callback;
};
using DropTargetRegistry = std::vector<DropTarget>;
// On the shipped 32-bit build an entry is two 32-bit fields.
static_assert(sizeof(void*) != 4 || sizeof(DropTarget) == 8);

struct Wow64Facts {
    bool known = false;
    bool active = false;
    // The system's Windows folder, in UTF-16, as every path it is compared with.
    WideText windowsDirectory;
};

// An entry of a folder row's folder that the restart would not delete, and why (one of the
// program's texts, code page 936).
struct RefusedEntry {
    WideText path;
    Text reason;
};

// A row of the deletion list. The list is owner-data: it keeps no texts and asks for each cell
// it shows, which these answer.
struct ListedRow {
    // The row's path, exactly as the row shows it.
    WideText path;
    // Where the row's file was when it was listed (its final path); nothing when that could not
    // be told.
    std::optional<LiteralPath> location;
    // The path a restart run recorded for the row's file or folder (its final path, which a row
    // listed through a link does not show); nothing until one did.
    std::optional<RecordedPath> recorded;
    // A refused folder's refused entries, from the restart run.
    std::vector<RefusedEntry> refusedEntries;
    // The result and reason cells, in UTF-16; empty until a restart run writes them.
    WideText result;
    WideText reason;
};

// The deletions the boot the system is running logged as failed: each by the path the run would
// record, with the reason a row listed for it shows until a run writes its result.
struct LastRestartFailures {
    FoldedPaths<RecordedPath> paths;
    std::vector<WideText> reasons;  // by each path's tag
};

struct AppState {
    HICON mainIcon = nullptr;
    HWND mainWindow = nullptr;
    HWND listControl = nullptr;

    Text lastSelection;
    TextArray selectionPieces;

    DropTargetRegistry dropRegistry;
    WNDPROC previousWindowProc = nullptr;

    HICON batchIcon = nullptr;
    HWND batchWindow = nullptr;
    TextArray batchLines;
    // The clipboard's text as the last paste took it, in UTF-16.
    WideText clipboardText;

    // Commands that run message pumps, and so must not be entered again until they finish.
    bool restartRunning = false;
    // A read-modify-write of the pending values is under way: a restart run, from its question to
    // its end, or the to-do list's cancel, while it waits for or holds the values' lock. The other
    // cannot begin meanwhile: it would run inside the first one's pump, under its lock.
    bool pendingValuesBusy = false;
    // The to-do list has been asked to close: a cancel waiting for the lock ends, taking nothing
    // back.
    bool pendingClosing = false;
    bool addRunning = false;
    bool batchRunning = false;
    // The main window has been asked to close; boxes and dialogs in front of it close with it.
    bool closeRequested = false;

    // One record per row of the deletion list, in the rows' order. The state owns them, not the
    // control: a row's record goes with the row (RemoveRow, ClearRows), and every one goes at
    // exit, also at a fatal stop, which asks nothing of the control. A vector, as an empty one
    // takes nothing from the heap: the out-of-memory stop makes a fresh state.
    std::vector<ListedRow> listedRows;
    // The paths of those rows, exactly as listed, so that the duplicate test of a new path costs
    // the same however long the list is. Changed only where rows are, with them.
    std::unordered_multiset<WideText> listedPaths;

    // The folders of the drop being listed, asked about once its files are in the list.
    std::vector<WideText> droppedFolders;

    // Intakes that are appending rows right now; the list redraws when the last one ends.
    int listRedrawHolds = 0;

    // Whether this is a 32-bit process on 64-bit Windows, and its Windows folder there; asked
    // once, when an intake first needs to know.
    Wow64Facts wow64;

    // The restart's to-do list while it is open.
    HWND pendingWindow = nullptr;

    // What the last restart could not delete, read once at start-up.
    LastRestartFailures lastRestartFailures;

    // Paths handed to the main window, one batch a start: the program's own command line, then
    // each later start's (WM_COPYDATA), waiting to be listed in that order.
    std::vector<std::vector<WideText>> handedPaths;
    // The window has faded in, so handed paths are listed from now on; and a batch is being listed.
    bool handedPathsListed = false;
    bool listingHandedPaths = false;
};

extern AppState g_app;

// Releases every text and array the state owns and forgets its handles.
void ReleaseAppState();
