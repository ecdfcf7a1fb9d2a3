#include "app/one_window.h"
#include "app/shell.h"
#include "intake/handed_paths.h"
#include "platform/looked_up.h"
#include "runtime/fatal.h"
#include "state/app_state.h"

namespace {

// The program runs elevated and may be started from any folder (Downloads, say); the system's
// own DLLs load some libraries by bare name, which would otherwise be looked for in the
// program's folder first. From here on every library loads from the system folder only. Looked
// up, not imported: Windows 7 without its update KB2533623 lacks the call.
void LoadLibrariesFromTheSystemFolderOnly() {
    if (const SetDefaultDllDirectoriesCall setDefaultDllDirectories =
            LookUpSetDefaultDllDirectories()) {
        setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

int RunProcess() {
    return RunProcess({}, nullptr);
}

int RunProcess(const std::vector<WideText>& paths, HandOverCall handOver) {
    g_app = AppState{};
    RegisterCleanup(ReleaseAppState);
    InstallOutOfMemoryHandler();
    // Before anything that may load a library; after the out-of-memory stop, like every call.
    LoadLibrariesFromTheSystemFolderOnly();
    // Held until this window is gone. When the other window does not take the paths (it closes,
    // or does not answer), this start opens its own rather than lose them.
    const OneWindowClaim claim = ClaimOneWindow();
    if (claim.anotherStart && handOver != nullptr && handOver(paths)) {
        ReleaseOneWindow(claim);
        return 0;
    }
    if (!paths.empty()) {
        KeepHandedPaths(paths);
    }
    StartApplication();
    ReleaseAppState();
    ReleaseOneWindow(claim);
    return 0;
}
