#include "intake/command_line.h"

#include "intake/command_line_rules.h"
#include "runtime/wide_text.h"

namespace {

WideText CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) {
        return {};
    }
    WideText folder(needed, u'\0');
    const DWORD written = GetCurrentDirectoryW(needed, WideData(folder));
    folder.resize(written < needed ? written : 0);
    return folder;
}

}  // namespace

std::vector<WideText> CommandLinePaths(LPCWSTR commandLine) {
    if (commandLine == nullptr) {
        return {};
    }
    const WideText line = WithLiteralBackslashes(reinterpret_cast<const char16_t*>(commandLine));
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(WideC(line), &count);
    if (arguments == nullptr) {
        return {};
    }
    const WideText folder = CurrentFolder();
    std::vector<WideText> paths;
    for (int i = 1; i < count; ++i) {
        const WideText path =
            FullArgumentPath(reinterpret_cast<const char16_t*>(arguments[i]), folder);
        if (!path.empty()) {
            paths.push_back(path);
        }
    }
    LocalFree(arguments);
    return paths;
}
