#include "list/deletion_list.h"

#include <optional>
#include <utility>

#include "paths/exact_names.h"
#include "paths/folder_rows.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"
#include "ui/owner_data_list.h"

namespace {

constexpr int kPathColumn = 0;
constexpr int kResultColumn = 1;
constexpr int kReasonColumn = 2;

LRESULT SendToList(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(g_app.listControl, message, wParam, lParam);
}

// The record of a row; nullptr for no such row.
ListedRow* RowRecord(int row) {
    if (row < 0 || static_cast<size_t>(row) >= g_app.listedRows.size()) {
        return nullptr;
    }
    return &g_app.listedRows[static_cast<size_t>(row)];
}

// A cell's text as the record keeps it; nullptr for no such cell.
const WideText* CellOf(int row, int column) {
    const ListedRow* record = RowRecord(row);
    if (record == nullptr) {
        return nullptr;
    }
    switch (column) {
        case kPathColumn:
            return &record->path;
        case kResultColumn:
            return &record->result;
        case kReasonColumn:
            return &record->reason;
        default:
            return nullptr;
    }
}

// The path a restart run would record for a row listed now: its file's final path, or where the
// system gives none, its folder's and its name; the row's own path when neither is told.
RecordedPath RecordedPathAtListing(const WideText& path,
                                   const std::optional<LiteralPath>& location) {
    if (location) {
        return RecordedFormOf(*location);
    }
    const WideText ordinary = FolderOfRow(path);
    return RecordedFormOf(
        LocationByFolderNow(ordinary).value_or(LiteralFormOf(OrdinaryPath{ordinary})));
}

// "上次重启未能删除：..." for a row whose file the boot the system is running failed to delete;
// empty for any other.
WideText LastRestartReason(const WideText& path, const std::optional<LiteralPath>& location) {
    const LastRestartFailures& failures = g_app.lastRestartFailures;
    WideText reason;
    if (!failures.reasons.empty()) {
        VisitMatches(failures.paths, RecordedPathAtListing(path, location), FileSystemCase(),
                     Matching::kPath, [&](uint32_t tag) { reason = failures.reasons[tag]; });
    }
    return reason;
}

}  // namespace

void SetListExtendedStyles() {
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendToList(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddColumn(int width, const char* header, int columnIndex) {
    AddListColumn(g_app.listControl, width, header, columnIndex);
}

void AddListColumn(HWND list, int width, const char* header, int columnIndex) {
    WideText headerCopy = UiText(header);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = WideData(headerCopy);
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(columnIndex),
                 reinterpret_cast<LPARAM>(&column));
}

int RowCount() {
    return static_cast<int>(SendToList(LVM_GETITEMCOUNT, 0, 0));
}

int AppendPath(const WideText& path) {
    // Where the file is now, before anyone can re-point a folder on its path behind the row:
    // the restart run compares it with where the file is then.
    std::optional<LiteralPath> location = FileLocationNow(FolderOfRow(path));
    WideText reason = LastRestartReason(path, location);
    g_app.listedRows.push_back(ListedRow{path, std::move(location), {}, {}, {}, std::move(reason)});
    const size_t count = g_app.listedRows.size();
    // Only the new row's room is drawn again, and the view stays where the user scrolled it.
    if (!SendToList(LVM_SETITEMCOUNT, static_cast<WPARAM>(count),
                    LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL)) {
        g_app.listedRows.pop_back();
        return -1;
    }
    g_app.listedPaths.insert(path);
    return static_cast<int>(count - 1);
}

std::optional<LiteralPath> RowListedLocation(int row) {
    const ListedRow* record = RowRecord(row);
    return record != nullptr ? record->location : std::nullopt;
}

void SetRowRecordedPath(int row, RecordedPath recorded) {
    if (ListedRow* record = RowRecord(row)) {
        record->recorded = std::move(recorded);
    }
}

std::optional<RecordedPath> RowRecordedPath(int row) {
    const ListedRow* record = RowRecord(row);
    return record != nullptr ? record->recorded : std::nullopt;
}

void SetRowRefusedEntries(int row, std::vector<RefusedEntry> entries) {
    if (ListedRow* record = RowRecord(row)) {
        record->refusedEntries = std::move(entries);
    }
}

std::vector<RefusedEntry> RowRefusedEntries(int row) {
    const ListedRow* record = RowRecord(row);
    return record != nullptr ? record->refusedEntries : std::vector<RefusedEntry>();
}

bool ContainsPath(const WideText& path) {
    // A long intake keeps the window answering: one pump for each path it brings.
    PumpPendingMessages();
    return g_app.listedPaths.count(path) != 0;
}

// The list answers a cell it shows from the row's record.
void AnswerListCell(NMLVDISPINFOW& info) {
    AnswerCellText(info, g_app.listedRows.size(), [](size_t row, int column) {
        const WideText* cell = CellOf(static_cast<int>(row), column);
        return cell != nullptr ? *cell : WideText();
    });
}

int FindListedRow(const NMLVFINDITEMW& find) {
    return FindTypedRow(find, g_app.listedRows.size(),
                        [](size_t row) { return g_app.listedRows[row].path; });
}

Text GetRowText(int row, int column) {
    const WideText* cell = CellOf(row, column);
    if (cell == nullptr) {
        return Text();
    }
    return ExactAnsiText(*cell, SystemAnsiConverters()).value_or(Text());
}

WideText GetRowWideText(int row, int column) {
    const WideText* cell = CellOf(row, column);
    return cell != nullptr ? *cell : WideText();
}

void SetRowResult(int row, const char* result, const char* reason) {
    ListedRow* record = RowRecord(row);
    if (record == nullptr) {
        return;
    }
    record->result = UiText(result);
    record->reason = UiText(reason);
    SendToList(LVM_REDRAWITEMS, static_cast<WPARAM>(row), static_cast<LPARAM>(row));
}

// A row's record goes with the row here, not on the control's LVN_DELETEITEM, which no fatal stop
// waits for; what is left when the window ends goes with the state at exit.
bool RemoveRow(int row) {
    if (RowRecord(row) == nullptr || !SendToList(LVM_DELETEITEM, static_cast<WPARAM>(row), 0)) {
        return false;
    }
    const auto record = g_app.listedRows.begin() + row;
    const auto listed = g_app.listedPaths.find(record->path);
    if (listed != g_app.listedPaths.end()) {
        g_app.listedPaths.erase(listed);
    }
    g_app.listedRows.erase(record);
    UpdateWindow(g_app.listControl);
    return true;
}

bool ClearRows() {
    if (!SendToList(LVM_DELETEALLITEMS, 0, 0)) {
        return false;
    }
    // Every record is a row's, and no row is left.
    g_app.listedRows.clear();
    g_app.listedPaths.clear();
    UpdateWindow(g_app.listControl);
    return true;
}

int FocusedRow() {
    return static_cast<int>(
        SendToList(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0)));
}

void HoldListRedraw() {
    // Some list views redraw their scroll bar at once on every insertion while they are shown,
    // which costs far more than reading the rows back; held, they do it once at the end.
    if (g_app.listRedrawHolds++ == 0) {
        SendToList(WM_SETREDRAW, FALSE, 0);
    }
}

void ReleaseListRedraw() {
    if (g_app.listRedrawHolds == 0 || --g_app.listRedrawHolds != 0) {
        return;
    }
    SendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_app.listControl, nullptr, TRUE);
}

int LiftListRedrawHolds() {
    const int holds = g_app.listRedrawHolds;
    if (holds == 0) {
        return 0;
    }
    g_app.listRedrawHolds = 0;
    SendToList(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_app.listControl, nullptr, TRUE);
    return holds;
}

void RestoreListRedrawHolds(int holds) {
    if (holds == 0) {
        return;
    }
    // Whatever the command held itself it has released by now.
    if (g_app.listRedrawHolds == 0) {
        SendToList(WM_SETREDRAW, FALSE, 0);
    }
    g_app.listRedrawHolds += holds;
}
