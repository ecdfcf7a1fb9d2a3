#include "paths/file_location.h"

#include "paths/native_calls.h"
#include "paths/path_forms.h"

std::optional<WideText> FileLocationNow(const WideText& rowPath) {
    const WideText literal = LiteralPath(rowPath);
    if (literal.empty()) {
        return std::nullopt;
    }
    // Only the open needs the native view; the handle then stays the file it opened. Opened
    // without following a final link: the link is what the row names, and what a restart
    // deletes; every folder on the way is followed, so the answer says where they lead now.
    HANDLE file = InNativeView([&] { return OpenToAsk(literal); }, INVALID_HANDLE_VALUE);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    WideText location = FinalPathOf(file);
    CloseHandle(file);
    if (location.empty()) {
        return std::nullopt;
    }
    return location;
}
