#include "restart/walk_progress.h"

#include <string>

#include "list/deletion_list.h"
#include "resources/texts.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

// A walk that takes longer than this shows how far it has come in the row's result, and then
// again at most this often.
constexpr ULONGLONG kProgressDelay = 500;
constexpr ULONGLONG kProgressInterval = 250;

}  // namespace

WalkProgress StartWalkProgress(int row) {
    const ULONGLONG now = GetTickCount64();
    return WalkProgress{row, now, 0, now};
}

bool WalkChecked(WalkProgress& progress, size_t checked) {
    const ULONGLONG now = GetTickCount64();
    if (now - progress.start >= kProgressDelay && now - progress.shown >= kProgressInterval) {
        progress.shown = now;
        const Text text = kWalkProgressPrefix + std::to_string(checked) + kWalkProgressSuffix;
        SetRowResult(progress.row, text.c_str());
    }
    PumpNowAndThen(progress.pumped);
    return !g_app.closeRequested;
}
