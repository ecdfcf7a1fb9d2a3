// What a start asks of the system: the one-window mutex and the program's path; and the shell's
// Send To shortcuts. The command line is read at the process entry, which only the Windows
// builds have: the Wine suite starts the program with one.

#include <algorithm>
#include <cstring>

#include "internal.h"
#include "platform/shell_links.h"

using namespace standin;
using namespace standin::detail;

namespace {

constexpr uintptr_t kMutex = 0x700000;
const char16_t kProgramPath[] = u"C:\\Program Files\\rebootdel\\rebootdel.exe";
const char16_t kSendToFolder[] = u"C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";

}  // namespace

namespace standin::detail {

HANDLE MutexHandle() {
    return reinterpret_cast<HANDLE>(kMutex);
}

}  // namespace standin::detail

HANDLE CreateMutexW(void*, BOOL initialOwner, LPCWSTR name) {
    LogCall("CreateMutexW", {Num(initialOwner), WideArg(name)});
    S().lastError = 0;
    return MutexHandle();
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    LogCall("GetModuleFileNameW", {Pointer(module), Unsigned(size)});
    const std::u16string path = kProgramPath;
    if (size == 0) {
        return 0;
    }
    // Cut to the buffer, as the system does, which then answers the buffer's size.
    const size_t copied = std::min<size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), copied * sizeof(char16_t));
    buffer[copied] = u'\0';
    return copied < path.size() ? size : static_cast<DWORD>(copied);
}

std::u16string SendToFolder() {
    LogCall("SendToFolder", {});
    return kSendToFolder;
}

std::u16string ShortcutTarget(const std::u16string& shortcut) {
    LogCall("ShortcutTarget", {Utf8(shortcut)});
    const auto found = S().shortcuts.find(shortcut);
    return found == S().shortcuts.end() ? std::u16string() : found->second;
}

bool SaveShortcut(const std::u16string& shortcut, const std::u16string& target) {
    LogCall("SaveShortcut", {Utf8(shortcut), Utf8(target)});
    S().shortcuts[shortcut] = target;
    return true;
}

bool DeleteShortcut(const std::u16string& shortcut) {
    LogCall("DeleteShortcut", {Utf8(shortcut)});
    return S().shortcuts.erase(shortcut) != 0;
}

void TellShellVerbsChanged() {
    LogCall("TellShellVerbsChanged", {});
}
