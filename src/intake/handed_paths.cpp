#include "intake/handed_paths.h"

#include <string_view>
#include <utility>

#include "intake/drop_target.h"
#include "intake/hand_over.h"
#include "state/app_state.h"

namespace {

// The window the user works in comes to the front: the batch dialog while it hides the main
// window, else the main window, restored when it is minimized.
void BringToFront(HWND window) {
    if (g_app.batchWindow != nullptr && IsWindowVisible(g_app.batchWindow)) {
        SetForegroundWindow(g_app.batchWindow);
        return;
    }
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    SetForegroundWindow(window);
}

}  // namespace

void KeepHandedPaths(std::vector<WideText> paths) {
    g_app.handedPaths.push_back(std::move(paths));
}

void StartListingHandedPaths(HWND window) {
    g_app.handedPathsListed = true;
    if (!g_app.handedPaths.empty()) {
        PostMessageA(window, kListHandedPaths, 0, 0);
    }
}

BOOL TakeHandedPaths(HWND window, const COPYDATASTRUCT* data) {
    if (data == nullptr || g_app.closeRequested || (data->lpData == nullptr && data->cbData != 0)) {
        return FALSE;
    }
    const std::string_view block(static_cast<const char*>(data->lpData), data->cbData);
    std::optional<std::vector<WideText>> paths = ReadHandOverBlock(data->dwData, block);
    if (!paths) {
        return FALSE;
    }
    if (!paths->empty()) {
        KeepHandedPaths(std::move(*paths));
        if (g_app.handedPathsListed) {
            PostMessageA(window, kListHandedPaths, 0, 0);
        }
    }
    BringToFront(window);
    return TRUE;
}

void ListHandedPaths(HWND window) {
    if (!g_app.handedPathsListed || g_app.listingHandedPaths) {
        return;
    }
    g_app.listingHandedPaths = true;
    while (!g_app.handedPaths.empty() && !g_app.closeRequested) {
        const std::vector<WideText> paths = std::move(g_app.handedPaths.front());
        g_app.handedPaths.erase(g_app.handedPaths.begin());
        const PathsLeftOut leftOut = ListHandedPathsAsDrop(paths, window);
        if (!g_app.closeRequested) {
            TellPathsLeftOut(window, leftOut);
        }
    }
    g_app.listingHandedPaths = false;
}
