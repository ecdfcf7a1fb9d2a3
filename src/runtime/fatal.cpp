// The two fatal stops: out of memory and a failed internal check. Each shows a box without an
// owner, runs the clean-up routine and ends the process with exit code 0.

#include "runtime/fatal.h"

#include <new>

#include "platform/win32.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"

namespace {

// Room for either box's text: wsprintfA writes at most 1024 bytes, and a byte gives at most one
// UTF-16 code unit.
constexpr int kBoxTextCapacity = 1024;
constexpr int kBoxCaptionCapacity = 16;

void (*gCleanup)() = nullptr;
// Set while a fatal box or the clean-up runs, so that a second failure on the way out (say, an
// allocation inside the clean-up) exits at once instead of recursing.
bool gEnding = false;

[[noreturn]] void EndProcess() {
    gEnding = false;
    ExitProcess(0);
}

// Nothing on this path allocates: the text is a literal or a caller's fixed buffer, and it is
// converted to UTF-16 into buffers on the stack, so that it reads the same on every code page.
[[noreturn]] void ShowFatalBoxAndExit(const char* text) {
    if (gEnding) {
        EndProcess();
    }
    gEnding = true;
    WCHAR shown[kBoxTextCapacity];
    WCHAR caption[kBoxCaptionCapacity];
    UiTextInto(text, shown, kBoxTextCapacity);
    UiTextInto(kErrorCaption, caption, kBoxCaptionCapacity);
    MessageBoxW(nullptr, shown, caption, MB_ICONERROR);
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
