#include "state/app_state.h"

AppState g_app;

void ReleaseAppState() {
    // Assigning a fresh record returns every text, array and registry entry to the heap.
    g_app = AppState{};
}
