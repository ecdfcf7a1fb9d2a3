#include "wide_names.h"

#include <shlobj.h>

#include <cstring>

#include "driver.h"

namespace {

constexpr UINT kTextCodePage = 936;
constexpr UINT kSendTimeoutMilliseconds = 5000;
constexpr wchar_t kSessionManagerKey[] = L"System\\CurrentControlSet\\Control\\Session Manager";
constexpr wchar_t kPendingValue[] = L"PendingFileRenameOperations";

std::wstring Widen(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), needed);
    }
    return wide;
}

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

bool ShowsText(HWND window, const char* text936) {
    const std::wstring caption = WideCaptionOf(window);
    // Set through the W calls: the text itself. Set through the A calls, the program's bytes were
    // read in the system's code page.
    return caption == WideOf936(text936) || caption == Widen(CP_ACP, text936);
}

bool IsOfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

struct CaptionQuery {
    const char* className;
    const char* text936;
    bool inStatic;  // look at the window's static controls (a message box) instead
    HWND found;
};

bool BoxShows(HWND box, const char* text936) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0 && ShowsText(child, text936)) {
            return true;
        }
    }
    return false;
}

BOOL CALLBACK FindCaption(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<CaptionQuery*>(context);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!IsOfThisProcess(window) || !IsWindowVisible(window) ||
        lstrcmpiA(name, query->className) != 0) {
        return TRUE;
    }
    const bool shows =
        query->inStatic ? BoxShows(window, query->text936) : ShowsText(window, query->text936);
    if (shows) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(const char* className, const char* text936, bool inStatic) {
    CaptionQuery query{className, text936, inStatic, nullptr};
    WaitUntil([&] {
        EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&query));
        return query.found != nullptr;
    });
    return query.found;
}

bool MakeFolders(const std::wstring& path) {
    // Every folder after the drive's root, then the last one.
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<FileIdentity> IdentityOfHandle(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool ok = GetFileInformationByHandle(file, &information) != FALSE;
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    return FileIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                        information.nFileIndexLow};
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

std::string Utf8(const std::wstring& text) {
    return Narrow(CP_UTF8, text);
}

std::wstring WideOf936(const char* text936) {
    return Widen(kTextCodePage, text936);
}

HWND WaitForCaption(const char* className, const char* caption936) {
    return WaitForWindow(className, caption936, false);
}

HWND WaitForBoxText(const char* text936) {
    return WaitForWindow("#32770", text936, true);
}

bool SetWideTextOf(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, kSendTimeoutMilliseconds, &result) != 0 &&
           result != 0;
}

bool MakeWideFile(const std::wstring& path) {
    if (!MakeFolders(path.substr(0, path.rfind(L'\\')))) {
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const char content[] = "chosen by the e2e suite under a UTF-16 name\r\n";
    DWORD written = 0;
    const bool ok = WriteFile(file, content, sizeof content - 1, &written, nullptr) != FALSE;
    return CloseHandle(file) && ok;
}

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(shortPath, length) : std::wstring();
}

std::optional<FileIdentity> IdentityOf(const std::wstring& path) {
    return IdentityOfHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FileIdentity> IdentityOfAnsi(const std::string& path) {
    return IdentityOfHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
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
