#include "wide_names.h"

#include <shlobj.h>

#include <cstring>

#include "driver.h"

namespace {

constexpr UINT kSendTimeoutMilliseconds = 5000;
constexpr wchar_t kSessionManagerKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";

std::string Narrow(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), length, bytes.data(), needed, nullptr,
                            nullptr);
    }
    return bytes;
}

// The \\?\ form lifts the 260-character limit of the file calls.
std::wstring LongForm(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

bool MakeFolders(const std::wstring& path) {
    // Every folder after the drive's root ("\\?\C:\"), then the last one.
    for (size_t at = path.find(L'\\', 7); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    return Narrow(CP_UTF8, text);
}

UINT LocaleCodePage() {
    UINT codePage = 0;
    const int units = sizeof codePage / sizeof(wchar_t);
    const bool known =
        GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                       reinterpret_cast<LPWSTR>(&codePage), units) == units;
    return known ? codePage : 0;
}

bool SetWideTextOf(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, kSendTimeoutMilliseconds, &result) != 0 &&
           result != 0;
}

bool MakeWideFile(const std::wstring& path) {
    const std::wstring longPath = LongForm(path);
    if (!MakeFolders(longPath.substr(0, longPath.rfind(L'\\')))) {
        return false;
    }
    HANDLE file = CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const char content[] = "chosen by the e2e suite under a UTF-16 name\r\n";
    DWORD written = 0;
    const bool ok = WriteFile(file, content, sizeof content - 1, &written, nullptr) != FALSE;
    return CloseHandle(file) && ok;
}

HGLOBAL DropWideFiles(HWND window, const std::vector<std::wstring>& paths) {
    // The names, each with its NUL, and one more NUL that ends the list (two for an empty list).
    size_t size = sizeof(DROPFILES) + 2 * sizeof(wchar_t);
    for (const std::wstring& path : paths) {
        size += (path.size() + 1) * sizeof(wchar_t);
    }
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->pt = POINT{20, 20};
    header->fNC = FALSE;
    header->fWide = TRUE;
    auto* at = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(at, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        at += path.size() + 1;
    }
    GlobalUnlock(drop);
    WatchDrop(window, drop);
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return drop;
}

bool PutClipboardWideText(const std::wstring& text) {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000)) {
        return false;
    }
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    const bool ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
    return ok;
}

std::vector<std::wstring> PendingDeletionsWide() {
    std::vector<std::wstring> sources;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return sources;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        std::wstring data(size / sizeof(wchar_t) + 2, L'\0');
        RegQueryValueExW(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size);
        const size_t units = size / sizeof(wchar_t);
        // Pairs of source and destination; the list ends at an empty source.
        size_t at = 0;
        while (at < units) {
            const std::wstring source = data.c_str() + at;
            if (source.empty()) {
                break;
            }
            at += source.size() + 1;
            const std::wstring destination = at < units ? data.c_str() + at : L"";
            at += destination.size() + 1;
            sources.push_back(destination.empty() ? source : source + L" -> " + destination);
        }
    }
    RegCloseKey(key);
    return sources;
}

std::string ShownUnits(std::wstring units) {
    for (wchar_t& unit : units) {
        unit = unit == L'\0' ? L'|' : unit;
    }
    return Utf8(units);
}
