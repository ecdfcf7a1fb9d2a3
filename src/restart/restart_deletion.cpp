#include "restart/restart_deletion.h"

#include "list/deletion_list.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "platform/looked_up.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "restart/boot_view.h"
#include "restart/restart_run.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"
#include "ui/refusal_text.h"

namespace {

constexpr int kCommandButtons[] = {IDC_ADD, IDC_REMOVE, IDC_BATCH_ADD, IDC_CLEAR_LIST,
                                   IDC_RESTART_DELETE};
constexpr int kPausePasses = 3;
constexpr DWORD kPauseMilliseconds = 300;
const WideText kPowerKey = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power";
const WideText kHiberbootValue = u"HiberbootEnabled";

void DisableCommandButtons() {
    for (int id : kCommandButtons) {
        EnableWindow(GetDlgItem(g_app.mainWindow, id), FALSE);
    }
}

void PauseWhilePumping() {
    for (int pass = 0; pass < kPausePasses; ++pass) {
        Sleep(kPauseMilliseconds);
        PumpPendingMessages();
    }
}

// With Fast Startup on, a shutdown hibernates the system's session and the next start resumes
// it, past the boot step that carries out pending deletions; only a restart boots afresh. A
// missing key or value, or one of another type, counts as off.
bool FastStartupOn() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideC(kPowerKey), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD enabled = 0;
    DWORD size = sizeof enabled;
    const LONG status = RegQueryValueExW(key, WideC(kHiberbootValue), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&enabled), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof enabled && enabled == 1;
}

// The platform's restart prompt. EWX_REBOOT asks for a restart, the only shutdown that carries
// out the pending deletions; with Fast Startup on the prompt says so, since there shutting down
// and starting again does not.
void OfferRestart(HWND owner) {
    if (const RestartDialogCall restartDialog = LookUpRestartDialog()) {
        restartDialog(owner, FastStartupOn() ? WideC(UiText(kFastStartupPrompt)) : nullptr,
                      EWX_REBOOT);
    }
}

}  // namespace

RowOutcome ScheduleDeleteOnRestart(BootSurvey& survey, const WideText& path,
                                   const std::optional<WideText>& listedLocation) {
    // The system records almost any path; only a file the boot will delete, exactly that one, is
    // asked for, so that an accepted row is a file the restart deletes.
    const BootRefusal refusal = DecideBootRefusal(SurveyRow(survey, path, listedLocation));
    if (refusal != BootRefusal::kNone) {
        return {false, BootRefusalReason(refusal)};
    }
    // Literal, so that the system records this very name (a final dot or space, a device name),
    // without the A call's limit of MAX_PATH characters. A null destination is what turns the
    // delayed move into a deletion. Asked in the view the survey looked in, the boot's, so that
    // the request and the survey name one file.
    const WideText literal = LiteralPath(path);
    SetLastError(ERROR_ACCESS_DENIED);
    const bool recorded = InNativeView(
        [&] { return MoveFileExW(WideC(literal), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0; },
        false);
    if (recorded) {
        return {true, Text()};
    }
    return {false, RequestRefusalReason(GetLastError())};
}

bool ScheduleListedRows(int rowCount) {
    // What every row shares (the pending renames, each drive, SYSTEM's context) is asked once.
    BootSurvey survey = BeginBootSurvey();
    RestartRunSteps steps;
    steps.readPath = [](int row) { return GetRowWideText(row, 0); };
    steps.scheduleDeletion = [&survey](int row, const WideText& path) {
        return ScheduleDeleteOnRestart(survey, path, RowListedLocation(row));
    };
    steps.reportResult = [](int row, const RowOutcome& outcome) {
        SetRowResult(row, outcome.accepted ? kResultAccepted : kResultRefused,
                     outcome.reason.c_str());
    };
    steps.pump = PumpPendingMessages;
    const bool anyAccepted = ScheduleRows(rowCount, steps);
    EndBootSurvey(survey);
    return anyAccepted;
}

void ScheduleRestartDeletion() {
    // The rows the user confirms are the rows there at the press. The question's message loop
    // still takes drops, from any program of the user; a row appended during the question or the
    // run is listed, and not scheduled.
    const int confirmedRows = RowCount();
    if (confirmedRows == 0) {
        return;
    }
    if (!ConfirmPrompt(g_app.mainWindow, kConfirmRestart)) {
        return;
    }
    g_app.restartRunning = true;
    const bool anyAccepted = ScheduleListedRows(confirmedRows);
    DisableCommandButtons();
    PauseWhilePumping();
    if (anyAccepted) {
        OfferRestart(g_app.mainWindow);
    }
    g_app.restartRunning = false;
}
