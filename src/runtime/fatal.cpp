// The two fatal stops: out of memory and a failed internal check. Each shows a box without an
// owner, runs the clean-up routine and ends the process with exit code 0.

#include "runtime/fatal.h"

#include <new>

#include "platform/win32.h"
#include "resources/texts.h"

namespace {

void (*gCleanup)() = nullptr;
// Set while a fatal box or the clean-up runs, so that a second failure on the way out (say, an
// allocation inside the clean-up) exits at once instead of recursing.
bool gEnding = false;

[[noreturn]] void EndProcess() {
    gEnding = false;
    ExitProcess(0);
}

// Nothing on this path allocates: the text is a literal or a caller's fixed buffer.
[[noreturn]] void ShowFatalBoxAndExit(const char* text) {
    if (gEnding) {
        EndProcess();
    }
    gEnding = true;
    MessageBoxA(nullptr, text, kErrorCaption, MB_ICONERROR);
    if (gCleanup != nullptr) {
        gCleanup();
    }
    EndProcess();
}

}  // namespace

void RegisterCleanup(void (*cleanup)()) {
    gCleanup = cleanup;
}

void InstallOutOfMemoryHandler() {
    std::set_new_handler(ReportOutOfMemory);
}

void ReportOutOfMemory() {
    ShowFatalBoxAndExit(kOutOfMemory);
}

void ReportInternalError(int32_t number, uint32_t diagnostic) {
    // wsprintfA writes at most 1024 bytes; the format with two numbers needs far fewer.
    char message[128];
    wsprintfA(message, kInternalErrorFormat, static_cast<int>(number),
              static_cast<unsigned>(diagnostic));
    ShowFatalBoxAndExit(message);
}
