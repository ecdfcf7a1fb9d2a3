#include "app/program_file.h"

#include "runtime/wide_text.h"

WideText ThisProgram() {
    WideText path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD written = GetModuleFileNameW(nullptr, WideData(path), size);
        if (written == 0) {
            return {};
        }
        if (written < size) {
            path.resize(written);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
