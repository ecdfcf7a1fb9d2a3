// What a start asks of the system: the one-window mutex, the program's path, the current folder,
// the command line split into arguments; and the shell's Send To shortcuts.

#include <cstring>

#include "internal.h"
#include "platform/shell_links.h"

using namespace standin;
using namespace standin::detail;

namespace {

constexpr uintptr_t kMutex = 0x700000;
const char16_t kProgramPath[] = u"C:\\Program Files\\rebootdel\\rebootdel.exe";
const char16_t kSendToFolder[] = u"C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// Copies text with its terminator when it fits; the length without it, or the size it needs.
DWORD CopyOut(const std::u16string& text, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size <= text.size()) {
        return static_cast<DWORD>(text.size() + 1);
    }
    std::memcpy(buffer, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    return static_cast<DWORD>(text.size());
}

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
    if (size <= path.size()) {
        // Cut to the buffer, as the system does.
        if (size > 0) {
            std::memcpy(buffer, path.c_str(), (size - 1) * sizeof(char16_t));
            buffer[size - 1] = u'\0';
        }
        S().lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return size;
    }
    return CopyOut(path, buffer, size);
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    LogCall("GetCurrentDirectoryW", {Unsigned(size)});
    std::u16string folder = WideOfAnsi(S().currentDirectory);
    if (folder.size() > 3 && folder.back() == u'\\') {
        folder.pop_back();
    }
    return CopyOut(folder, buffer, size);
}

LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
    LogCall("CommandLineToArgvW", {WideArg(commandLine)});
    State& s = S();
    s.arguments.clear();
    const std::u16string line = commandLine;
    size_t at = 0;
    // The program's name: no escapes, up to its closing quote or the first blank.
    std::u16string name;
    if (at < line.size() && line[at] == u'"') {
        const size_t end = line.find(u'"', at + 1);
        name = line.substr(at + 1, end == std::u16string::npos ? end : end - at - 1);
        at = end == std::u16string::npos ? line.size() : end + 1;
    } else {
        while (at < line.size() && !IsBlank(line[at])) {
            name += line[at++];
        }
    }
    s.arguments.push_back(name);
    for (;;) {
        while (at < line.size() && IsBlank(line[at])) {
            ++at;
        }
        if (at >= line.size()) {
            break;
        }
        std::u16string argument;
        bool quoted = false;
        while (at < line.size() && (quoted || !IsBlank(line[at]))) {
            size_t backslashes = 0;
            while (at < line.size() && line[at] == u'\\') {
                ++backslashes;
                ++at;
            }
            if (at < line.size() && line[at] == u'"') {
                argument.append(backslashes / 2, u'\\');
                if (backslashes % 2 == 1) {
                    argument += u'"';
                } else if (quoted && at + 1 < line.size() && line[at + 1] == u'"') {
                    argument += u'"';
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, u'\\');
                if (at < line.size() && (quoted || !IsBlank(line[at]))) {
                    argument += line[at++];
                }
            }
        }
        s.arguments.push_back(argument);
    }
    s.argumentPointers.clear();
    for (std::u16string& argument : s.arguments) {
        s.argumentPointers.push_back(argument.data());
    }
    *count = static_cast<int>(s.arguments.size());
    return s.argumentPointers.data();
}

HLOCAL LocalFree(HLOCAL memory) {
    LogCall("LocalFree", {Pointer(memory)});
    if (memory != nullptr && memory == S().argumentPointers.data()) {
        S().argumentPointers.clear();
        S().arguments.clear();
        return nullptr;
    }
    return memory;
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
