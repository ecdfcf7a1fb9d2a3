#include "pending/boot_log_window.h"

#include <string>
#include <utility>

#include "list/deletion_list.h"
#include "pending/boot_log.h"
#include "pending/pending_value.h"
#include "pending/spelled_names.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/owner_data_list.h"
#include "ui/refusal_text.h"
#include "ui/window_layout.h"

namespace {

constexpr int kTimeColumn = 0;
constexpr int kFileColumn = 1;
constexpr int kActionColumn = 2;
constexpr int kReasonColumn = 3;
// At 96 DPI; together as wide as the list, so that it opens without a horizontal scroll bar.
constexpr int kTimeColumnWidth = 115;
constexpr int kFileColumnWidth = 190;
constexpr int kActionColumnWidth = 150;
constexpr int kReasonColumnWidth = 100;

// As the to-do list's: the list takes the room and its file column the width; the lines of text
// above and under it take the width too.
const std::vector<AnchoredControl> kBootLogControls = {
    {IDC_BOOT_LOG_SUMMARY, LayoutAnchor::kAcrossTop},
    {IDC_BOOT_LOG_LIST, LayoutAnchor::kFills, kFileColumn},
    {IDC_BOOT_LOG_SKIPPED, LayoutAnchor::kAcrossBottom},
    {IDCANCEL, LayoutAnchor::kRightColumn},
};

// The window while it is open.
struct BootLogWindow {
    HWND window = nullptr;
    WindowLayout layout;
    // The system's names for its drives, asked once when it opens.
    SpellingTable spellings;
    // Its rows: the log's last boot's failures in their order, then each earlier boot's.
    std::vector<LoggedFailure> rows;
};
BootLogWindow g_bootLog;

WideText Number(size_t number) {
    const std::string digits = std::to_string(number);
    return WideText(digits.begin(), digits.end());
}

// Every path the window shows, as the to-do list shows a recorded name.
WideText ShownLogName(std::u16string_view recorded) {
    return ShownName(recorded, g_bootLog.spellings);
}

WideText BootLogCellText(size_t row, int column) {
    const LoggedFailure& failure = g_bootLog.rows[row];
    switch (column) {
        case kTimeColumn:
            return LogTimeText(failure.time, true);
        case kFileColumn:
            return ShownLogName(failure.source);
        case kActionColumn:
            return failure.destination.empty()
                       ? UiText(kPendingDeletion)
                       : UiText(kPendingMoveTo) + ShownLogName(failure.destination);
        case kReasonColumn:
            return FailureReason(failure.status);
        default:
            return {};
    }
}

// What the log tells of the last restart, in one sentence.
WideText LastRestartText(const LastRestart& last) {
    if (last.state == BootLogState::kAbsent) {
        return UiText(kBootLogMissing);
    }
    if (last.state == BootLogState::kUnreadable) {
        return UiText(kBootLogUnreadable) + UiText(RequestRefusalReason(last.error).c_str());
    }
    if (last.log.boots.empty() && last.log.unreadableLines > 0) {
        return UiText(kBootLogUnreadable) + UiText(kBootLogUnrecognised);
    }
    if (!last.lastIsThisBoot) {
        return UiText(kLastRestartNothingFailed);
    }
    const LoggedBoot& boot = last.log.boots.back();
    WideText text = UiText(kLastRestartBefore) + LogTimeText(boot.time, false) +
                    UiText(kLastRestartFailuresBefore) + Number(boot.failures.size()) +
                    UiText(kLastRestartFailuresAfter);
    if (boot.succeeded) {
        text += UiText(kLastRestartDoneBefore) + Number(*boot.succeeded) +
                UiText(kLastRestartDoneAfter);
    }
    return text + UiText(kSentenceEnd);
}

// What the log tells, and on a line of its own, the operations still pending: after a Fast Startup
// start the system's boot time is the last full boot's, and they have not run.
WideText SummaryOf(const LastRestart& last) {
    WideText text = LastRestartText(last);
    PendingValues values;
    ReadPendingValues(values);
    if (!values.operations.empty()) {
        text += u"\r\n" + UiText(kStillPendingBefore) + Number(values.operations.size()) +
                UiText(kStillPendingAfter);
    }
    return text;
}

void ShowLastRestartNow(HWND window) {
    LastRestart last = ReadLastRestart();
    SetWindowTextW(GetDlgItem(window, IDC_BOOT_LOG_SUMMARY), WideC(SummaryOf(last)));
    const size_t unreadable = last.log.unreadableLines;
    SetWindowTextW(
        GetDlgItem(window, IDC_BOOT_LOG_SKIPPED),
        WideC(unreadable > 0 ? Number(unreadable) + UiText(kSkippedLinesAfter) : WideText()));
    std::vector<LoggedBoot>& boots = last.log.boots;
    for (auto boot = boots.rbegin(); boot != boots.rend(); ++boot) {
        for (LoggedFailure& failure : boot->failures) {
            g_bootLog.rows.push_back(std::move(failure));
        }
    }
    SendMessageW(GetDlgItem(window, IDC_BOOT_LOG_LIST), LVM_SETITEMCOUNT,
                 static_cast<WPARAM>(g_bootLog.rows.size()), 0);
}

BOOL OnBootLogInitDialog(HWND window) {
    g_bootLog.window = window;
    SetWindowTextW(window, WideC(UiText(kBootLogCaption)));
    HWND list = GetDlgItem(window, IDC_BOOT_LOG_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const int dpi = WindowDpi(window);
    AddListColumn(list, ScaleForDpi(kTimeColumnWidth, dpi), kColumnBootLogTime, kTimeColumn);
    AddListColumn(list, ScaleForDpi(kFileColumnWidth, dpi), kColumnPendingFile, kFileColumn);
    AddListColumn(list, ScaleForDpi(kActionColumnWidth, dpi), kColumnBootLogAction, kActionColumn);
    AddListColumn(list, ScaleForDpi(kReasonColumnWidth, dpi), kColumnReason, kReasonColumn);
    g_bootLog.layout = RecordLayout(window, kBootLogControls);
    ShowLastRestartNow(window);
    // TRUE lets the dialog manager put the focus on the list.
    return TRUE;
}

// "关闭", and Escape.
void OnBootLogCommand(HWND window, int commandId) {
    if (commandId == IDCANCEL) {
        EndDialog(window, 0);
    }
}

void OnBootLogSize(HWND window, UINT kind, int width, int height) {
    if (kind != SIZE_MINIMIZED) {
        LayOutControls(window, g_bootLog.layout, width, height);
    }
}

// The list asks for the cells it shows, and for the row whose time the user types the start of.
BOOL OnBootLogNotify(HWND window, NMHDR* header) {
    if (header == nullptr || header->idFrom != IDC_BOOT_LOG_LIST) {
        return FALSE;
    }
    switch (header->code) {
        case LVN_GETDISPINFOW:
            AnswerCellText(*reinterpret_cast<NMLVDISPINFOW*>(header), g_bootLog.rows.size(),
                           BootLogCellText);
            return FALSE;
        case LVN_ODFINDITEMW:
            SetWindowLongPtrW(
                window, DWLP_MSGRESULT,
                FindTypedRow(*reinterpret_cast<NMLVFINDITEMW*>(header), g_bootLog.rows.size(),
                             [](size_t row) { return BootLogCellText(row, kTimeColumn); }));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void AddBootLogMenuItem(HWND mainWindow) {
    AppendMenuW(GetSystemMenu(mainWindow, FALSE), MF_STRING, IDM_BOOT_LOG,
                WideC(UiText(kMenuBootLog)));
}

void ShowLastRestart() {
    if (g_bootLog.window != nullptr) {
        return;
    }
    SpelledNames names;
    g_bootLog.spellings = SpellingTableOf(names);
    HMODULE module = GetModuleHandleA(nullptr);
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_BOOT_LOG), g_app.mainWindow, BootLogDialogProc, 0);
    g_bootLog = BootLogWindow{};
}

INT_PTR CALLBACK BootLogDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnBootLogInitDialog(window);
        case WM_COMMAND:
            OnBootLogCommand(window, LOWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            return OnBootLogNotify(window, reinterpret_cast<NMHDR*>(lParam));
        case WM_CLOSE:
            EndDialog(window, 0);
            return TRUE;
        case WM_SIZE:
            OnBootLogSize(window, static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_GETMINMAXINFO:
            return KeepMinimumSize(g_bootLog.layout, reinterpret_cast<MINMAXINFO*>(lParam));
        default:
            return FALSE;
    }
}
