// Modules and exports, kernel32's small calls, path names, pending deletions, drops and the
// clipboard. The virtual disk is in files.cpp.

#include <algorithm>
#include <cstring>

#include "internal.h"

namespace standin::detail {

namespace {

constexpr uintptr_t kDropBase = 0x200000;
constexpr uintptr_t kBlockBase = 0x300000;
constexpr uintptr_t kModuleBase = 0x7000000;
constexpr uintptr_t kIconBase = 0x4000000;
constexpr uintptr_t kStep = 0x10;
constexpr uintptr_t kRange = 0x100000;

const char* const kModuleNames[] = {"program",      "shell32.dll",  "user32.dll",  "kernel32.dll",
                                    "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "ntdll.dll"};
constexpr int kModuleCount = sizeof kModuleNames / sizeof kModuleNames[0];

// Index into a handle range, or -1.
long long RangeIndex(const void* handle, uintptr_t base) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < base || value >= base + kRange || (value - base) % kStep != 0) {
        return -1;
    }
    return static_cast<long long>((value - base) / kStep);
}

}  // namespace

DropRecord* FindDrop(HDROP drop) {
    const long long index = RangeIndex(drop, kDropBase);
    return index >= 0 && static_cast<size_t>(index) < S().drops.size()
               ? S().drops[static_cast<size_t>(index)].get()
               : nullptr;
}

HDROP DropHandle(size_t index) {
    return reinterpret_cast<HDROP>(kDropBase + index * kStep);
}

GlobalBlock* FindBlock(HGLOBAL block) {
    const long long index = RangeIndex(block, kBlockBase);
    return index >= 0 && static_cast<size_t>(index) < S().blocks.size()
               ? S().blocks[static_cast<size_t>(index)].get()
               : nullptr;
}

HGLOBAL BlockHandle(size_t index) {
    return reinterpret_cast<HGLOBAL>(kBlockBase + index * kStep);
}

HICON IconHandle(int module, int resourceId) {
    return reinterpret_cast<HICON>(kIconBase + static_cast<uintptr_t>(module + 1) * 0x100000 +
                                   static_cast<uintptr_t>(resourceId) * kStep);
}

HMODULE ModuleHandle(int module) {
    return reinterpret_cast<HMODULE>(kModuleBase + static_cast<uintptr_t>(module) * 0x10000);
}

int ModuleIndex(HMODULE module) {
    for (int i = 0; i < kModuleCount; ++i) {
        if (ModuleHandle(i) == module) {
            return i;
        }
    }
    return -1;
}

std::string ModuleName(int module) {
    return module >= 0 && module < kModuleCount ? std::string(kModuleNames[module])
                                                : std::string("unknown module");
}

std::string FoldCase(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

// The root of an absolute path ("C:" or "\\server\share") and where the rest begins.
size_t UncRootEnd(const std::string& path) {
    size_t end = 2;
    for (int part = 0; part < 2 && end <= path.size(); ++part) {
        size_t next = path.find('\\', end);
        end = next == std::string::npos ? path.size() : next + (part == 0 ? 1 : 0);
    }
    return std::min(end, path.size());
}

std::string JoinSegments(const std::string& root, const std::string& rest, bool trailing) {
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        std::string segment = rest.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    // Windows drops trailing dots and spaces from the last name.
    if (!segments.empty()) {
        std::string& last = segments.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) {
            last.pop_back();
        }
        if (last.empty()) {
            segments.pop_back();
        }
    }
    std::string full = root;
    for (const std::string& segment : segments) {
        full += '\\';
        full += segment;
    }
    if (segments.empty() || trailing) {
        full += '\\';
    }
    return full;
}

}  // namespace

std::optional<std::string> FullPath(const std::string& original) {
    return FullPath(original, S().currentDirectory);
}

std::optional<std::string> FullPath(const std::string& original, const std::string& cwd) {
    if (original.empty()) {
        return std::nullopt;
    }
    std::string path = original;
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.rfind("\\\\?\\", 0) == 0) {
        // A literal path is taken as it stands: no part is resolved or trimmed.
        if (FoldCase(path.substr(4, 4)) == "unc\\") {
            return "\\\\" + path.substr(8);
        }
        return HasDrive(path.substr(4)) ? path.substr(4) : path;
    }
    const bool trailing = IsSeparator(path.back());
    std::string absolute;
    if (path.rfind("\\\\", 0) == 0) {
        absolute = path;
    } else if (HasDrive(path) && path.size() >= 3 && path[2] == '\\') {
        absolute = path;
    } else if (HasDrive(path)) {
        // "X:name": relative to the current directory when that is on drive X.
        const bool sameDrive =
            HasDrive(cwd) && FoldCase(cwd.substr(0, 1)) == FoldCase(path.substr(0, 1));
        absolute = (sameDrive ? cwd : path.substr(0, 2)) + "\\" + path.substr(2);
    } else if (path[0] == '\\') {
        const std::string root = HasDrive(cwd) ? cwd.substr(0, 2) : cwd.substr(0, UncRootEnd(cwd));
        absolute = root + path;
    } else {
        absolute = cwd + "\\" + path;
    }
    if (absolute.rfind("\\\\", 0) == 0) {
        const size_t rootEnd = UncRootEnd(absolute);
        return JoinSegments(absolute.substr(0, rootEnd), absolute.substr(rootEnd), trailing);
    }
    return JoinSegments(absolute.substr(0, 2), absolute.substr(2), trailing);
}

}  // namespace standin::detail

using namespace standin;
using namespace standin::detail;

namespace {

std::string DropName(HDROP drop) {
    for (size_t i = 0; i < S().drops.size(); ++i) {
        if (DropHandle(i) == drop) {
            return "drop:" + Num(static_cast<long long>(i + 1));
        }
    }
    return Pointer(drop);
}

std::string BlockName(HGLOBAL block) {
    if (FindDrop(static_cast<HDROP>(block)) != nullptr) {
        return DropName(static_cast<HDROP>(block));
    }
    for (size_t i = 0; i < S().blocks.size(); ++i) {
        if (BlockHandle(i) == block) {
            return "global:" + Num(static_cast<long long>(i + 1));
        }
    }
    return Pointer(block);
}

// The exports the program looks up at run time.
int StandinRestartDialog(HWND owner, LPCWSTR prompt, DWORD flags) {
    LogCall("RestartDialog", {Win(owner), WideArg(prompt), Unsigned(flags)});
    return S().restartDialogResult;
}

// The status record is taken as void*, the type programs declare for the looked-up function.
BOOL StandinChangeWindowMessageFilterEx(HWND window, UINT message, DWORD action, void* status) {
    LogCall("ChangeWindowMessageFilterEx",
            {Win(window), Unsigned(message), Unsigned(action), Pointer(status)});
    if (status) {
        static_cast<PCHANGEFILTERSTRUCT>(status)->ExtStatus = 0;
    }
    return TRUE;
}

// kernel32 has it from Windows 8 on, and on Windows 7 with its update KB2533623.
BOOL StandinSetDefaultDllDirectories(DWORD flags) {
    LogCall("SetDefaultDllDirectories", {Unsigned(flags)});
    return TRUE;
}

// Through void (*)(), the generic function pointer type, as the SDK's users do.
template <typename Function>
FARPROC AsFarproc(Function* function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

int ModuleByName(const char* name) {
    std::string wanted = FoldCase(name);
    const size_t slash = wanted.find_last_of("\\/");
    if (slash != std::string::npos) {
        wanted = wanted.substr(slash + 1);
    }
    if (wanted.find('.') == std::string::npos) {
        wanted += ".dll";
    }
    for (int i = 1; i < kModuleCount; ++i) {
        if (wanted == kModuleNames[i]) {
            return i;
        }
    }
    return -1;
}

}  // namespace

DWORD GetFullPathNameA(LPCSTR fileName, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
    LogCall("GetFullPathNameA", {Text(fileName), Unsigned(bufferLength)});
    std::optional<std::string> full = fileName ? FullPath(fileName) : std::nullopt;
    if (!full) {
        S().lastError = 123;  // ERROR_INVALID_NAME
        return 0;
    }
    if (!buffer || bufferLength <= full->size()) {
        return static_cast<DWORD>(full->size() + 1);
    }
    std::memcpy(buffer, full->c_str(), full->size() + 1);
    if (filePart) {
        const size_t slash = full->rfind('\\');
        *filePart = slash + 1 < full->size() ? buffer + slash + 1 : nullptr;
    }
    return static_cast<DWORD>(full->size());
}

// ---------------------------------------------------------------------------------------------
// kernel32

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    LogCall("GetModuleHandleA", {Text(moduleName)});
    if (!moduleName) {
        return ModuleHandle(0);
    }
    const int module = ModuleByName(moduleName);
    if (module < 0) {
        S().lastError = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    return ModuleHandle(module);
}

HMODULE LoadLibraryA(LPCSTR fileName) {
    LogCall("LoadLibraryA", {Text(fileName)});
    const int module = fileName ? ModuleByName(fileName) : -1;
    if (module < 0) {
        S().lastError = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    return ModuleHandle(module);
}

BOOL FreeLibrary(HMODULE module) {
    LogCall("FreeLibrary", {ModuleName(ModuleIndex(module))});
    return ModuleIndex(module) >= 0 ? TRUE : FALSE;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
    const std::string name =
        IS_INTRESOURCE(procName) ? "#" + Num(LOWORD(procName)) : std::string(procName);
    const int index = ModuleIndex(module);
    LogCall("GetProcAddress", {ModuleName(index), name});
    const std::vector<std::string>& hidden = S().hiddenExports;
    FARPROC found = nullptr;
    if (std::find(hidden.begin(), hidden.end(), name) == hidden.end()) {
        if (index == 1 && name == "#59") {
            found = AsFarproc(&StandinRestartDialog);
        } else if (index == 2 && name == "ChangeWindowMessageFilterEx") {
            found = AsFarproc(&StandinChangeWindowMessageFilterEx);
        } else if (index == 3 && name == "SetDefaultDllDirectories") {
            found = AsFarproc(&StandinSetDefaultDllDirectories);
        } else if (index == 3) {
            found = Wow64Export(name);
        } else if (index == 7) {
            found = NtdllExport(name);
        }
    }
    if (!found) {
        S().lastError = ERROR_PROC_NOT_FOUND;
    }
    return found;
}

// Only a boot logged in PFRO.log has its time converted, and the stand-in's files hold nothing.
BOOL TzSpecificLocalTimeToSystemTime(const void*, const SYSTEMTIME*, LPSYSTEMTIME) {
    Abort("TzSpecificLocalTimeToSystemTime: the stand-in has no boot's log to read");
}

BOOL SystemTimeToFileTime(const SYSTEMTIME*, LPFILETIME) {
    Abort("SystemTimeToFileTime: the stand-in has no boot's log to read");
}

void Sleep(DWORD milliseconds) {
    LogCall("Sleep", {Unsigned(milliseconds)});
    S().clock += milliseconds;
}

ULONGLONG GetTickCount64() {
    S().clock += S().tickStep;
    return S().clock;
}

void ExitProcess(UINT exitCode) {
    LogCall("ExitProcess", {Unsigned(exitCode)});
    throw ProcessExit{exitCode};
}

BOOL IsDBCSLeadByte(BYTE testChar) {
    return S().codePage == 936 && testChar >= 0x81 && testChar <= 0xFE ? TRUE : FALSE;
}

UINT GetACP() {
    return S().codePage;
}

DWORD GetLastError() {
    return S().lastError;
}

void SetLastError(DWORD errorCode) {
    S().lastError = errorCode;
}

// ---------------------------------------------------------------------------------------------
// shell32: dropped files

void DragAcceptFiles(HWND window, BOOL accept) {
    LogCall("DragAcceptFiles", {Win(window), Num(accept)});
    if (WindowRecord* record = LiveWindow(window)) {
        if (accept) {
            record->exStyle |= WS_EX_ACCEPTFILES;
        } else {
            record->exStyle &= ~static_cast<DWORD>(WS_EX_ACCEPTFILES);
        }
    }
}

namespace {

// The drop a DragQueryFile call asks about, or nullptr after a failure was recorded.
const DropRecord* QueriedDrop(const char* function, HDROP drop) {
    DropRecord* record = FindDrop(drop);
    if (!record) {
        Fail(std::string(function) + " on an unknown drop " + DropName(drop));
        return nullptr;
    }
    if (record->finished) {
        Fail(std::string(function) + " on " + DropName(drop) + " after DragFinish");
        return nullptr;
    }
    return record;
}

// Copies a name into a caller's buffer of size characters, terminator included, as the shell
// does: as much as fits; returns the characters copied.
template <typename Char>
UINT CopyName(const std::basic_string<Char>& name, Char* buffer, UINT size) {
    if (!buffer || size == 0) {
        return 0;
    }
    const size_t count = std::min<size_t>(name.size(), size - 1);
    std::memcpy(buffer, name.data(), count * sizeof(Char));
    buffer[count] = 0;
    return static_cast<UINT>(count);
}

}  // namespace

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT bufferSize) {
    LogCall("DragQueryFileW",
            {DropName(drop), Unsigned(index), buffer ? "buffer" : "NULL", Unsigned(bufferSize)});
    const DropRecord* record = QueriedDrop("DragQueryFileW", drop);
    if (!record) {
        return 0;
    }
    if (index == 0xFFFFFFFFu) {
        return static_cast<UINT>(record->entries.size());
    }
    if (index >= record->entries.size() || !record->entries[index]) {
        return 0;
    }
    const std::u16string& path = *record->entries[index];
    if (!buffer) {
        return static_cast<UINT>(path.size());
    }
    return CopyName(path, buffer, bufferSize);
}

void DragFinish(HDROP drop) {
    LogCall("DragFinish", {DropName(drop)});
    DropRecord* record = FindDrop(drop);
    if (!record) {
        Fail("DragFinish on an unknown drop " + DropName(drop));
        return;
    }
    if (record->finished) {
        Fail("DragFinish called twice on " + DropName(drop));
        return;
    }
    record->finished = true;
}

// ---------------------------------------------------------------------------------------------
// The clipboard and its memory blocks

BOOL OpenClipboard(HWND owner) {
    LogCall("OpenClipboard", {Win(owner)});
    if (S().clipboardBusy) {
        S().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    S().clipboardOpen = true;
    return TRUE;
}

HANDLE GetClipboardData(UINT format) {
    LogCall("GetClipboardData", {Unsigned(format)});
    State& s = S();
    if (!s.clipboardOpen) {
        s.lastError = ERROR_CLIPBOARD_NOT_OPEN;
        return nullptr;
    }
    std::string bytes;
    if (format == CF_TEXT && s.clipboardBytes) {
        bytes = *s.clipboardBytes;
    } else if (format == CF_UNICODETEXT && s.clipboardWide) {
        bytes.assign(reinterpret_cast<const char*>(s.clipboardWide->data()),
                     s.clipboardWide->size() * sizeof(char16_t));
    } else {
        return nullptr;
    }
    auto block = std::make_unique<GlobalBlock>();
    block->size = bytes.size();
    // Exactly the block's size, so that reading past its end shows up under the sanitizers.
    block->bytes = std::make_unique<char[]>(block->size);
    std::memcpy(block->bytes.get(), bytes.data(), block->size);
    s.blocks.push_back(std::move(block));
    return BlockHandle(s.blocks.size() - 1);
}

BOOL CloseClipboard() {
    LogCall("CloseClipboard", {});
    if (!S().clipboardOpen) {
        S().lastError = ERROR_CLIPBOARD_NOT_OPEN;
        return FALSE;
    }
    S().clipboardOpen = false;
    return TRUE;
}

namespace {

// A clipboard block, or the block of a drop that DragFinish has not freed yet.
GlobalBlock* FindLiveBlock(HGLOBAL block) {
    if (GlobalBlock* found = FindBlock(block)) {
        return found;
    }
    DropRecord* drop = FindDrop(static_cast<HDROP>(block));
    return drop != nullptr && !drop->finished ? &drop->block : nullptr;
}

// The handle of the live block whose bytes start at this pointer, or nullptr.
HGLOBAL HandleOfBytes(const void* bytes) {
    State& s = S();
    for (size_t i = 0; i < s.blocks.size(); ++i) {
        if (bytes != nullptr && s.blocks[i]->bytes.get() == bytes) {
            return BlockHandle(i);
        }
    }
    for (size_t i = 0; i < s.drops.size(); ++i) {
        if (bytes != nullptr && !s.drops[i]->finished && s.drops[i]->block.bytes.get() == bytes) {
            return DropHandle(i);
        }
    }
    return nullptr;
}

}  // namespace

LPVOID GlobalLock(HGLOBAL block) {
    LogCall("GlobalLock", {BlockName(block)});
    if (HandleOfBytes(block) != nullptr) {
        // A fixed block's handle is its pointer.
        return block;
    }
    GlobalBlock* record = FindLiveBlock(block);
    if (!record) {
        S().lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (S().globalLockFails || record->size == 0) {
        S().lastError = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    ++record->locks;
    return record->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL block) {
    LogCall("GlobalUnlock", {BlockName(block)});
    if (HandleOfBytes(block) != nullptr) {
        return TRUE;
    }
    GlobalBlock* record = FindLiveBlock(block);
    if (!record || record->locks == 0) {
        S().lastError = record ? 158 : ERROR_INVALID_HANDLE;  // ERROR_NOT_LOCKED
        return FALSE;
    }
    --record->locks;
    S().lastError = NO_ERROR;
    return record->locks > 0 ? TRUE : FALSE;
}

UINT GlobalFlags(HGLOBAL block) {
    LogCall("GlobalFlags", {BlockName(block)});
    if (HandleOfBytes(block) != nullptr) {
        return 0;
    }
    GlobalBlock* record = FindLiveBlock(block);
    if (!record) {
        S().lastError = ERROR_INVALID_HANDLE;
        return GMEM_INVALID_HANDLE;
    }
    return static_cast<UINT>(record->locks);
}

HGLOBAL GlobalHandle(LPCVOID bytes) {
    LogCall("GlobalHandle", {Pointer(bytes)});
    if (HGLOBAL handle = HandleOfBytes(bytes)) {
        return handle;
    }
    return FindLiveBlock(const_cast<void*>(bytes)) != nullptr ? const_cast<void*>(bytes) : nullptr;
}

SIZE_T GlobalSize(HGLOBAL block) {
    LogCall("GlobalSize", {BlockName(block)});
    GlobalBlock* record = FindLiveBlock(block);
    if (!record) {
        S().lastError = ERROR_INVALID_HANDLE;
        return 0;
    }
    return record->size;
}
