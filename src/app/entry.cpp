#include "app/app_state.h"
#include "app/shell.h"
#include "runtime/fatal.h"

int RunProcess() {
    g_app = AppState{};
    RegisterCleanup(ReleaseAppState);
    InstallOutOfMemoryHandler();
    StartApplication();
    ReleaseAppState();
    return 0;
}
