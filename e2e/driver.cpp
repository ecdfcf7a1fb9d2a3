#include "driver.h"

#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "resources/texts.h"

namespace {

std::atomic<int> g_passed{0};
std::atomic<int> g_failed{0};

constexpr DWORD kPollMilliseconds = 20;
constexpr UINT kSendTimeoutMilliseconds = 5000;
// More than any path the suite lists; a cell is read again with a larger buffer until it fits.
constexpr int kLargestCell = 1 << 17;
constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingValue[] = "PendingFileRenameOperations";

bool IsOfThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// The caption as the window manager keeps it; asks nothing of the window's thread, so it works
// while that thread is busy.
std::string CaptionOf(HWND window) {
    wchar_t wide[1024] = {};
    int length = InternalGetWindowText(window, wide, 1024);
    if (length <= 0) {
        return {};
    }
    char ansi[4096] = {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, ansi, sizeof ansi, nullptr, nullptr);
    return std::string(ansi, bytes > 0 ? static_cast<size_t>(bytes) : 0);
}

struct TopWindowQuery {
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<TopWindowQuery*>(context);
    if (IsOfThisProcess(window) && IsWindowVisible(window) &&
        (query->className == nullptr ||
         lstrcmpiA(ClassOf(window).c_str(), query->className) == 0)) {
        query->found.push_back(window);
    }
    return TRUE;
}

std::wstring Wide(const std::string& ansi) {
    int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// The \\?\ form lifts the 260-character limit of the file calls.
std::wstring LongForm(const std::string& path) {
    return L"\\\\?\\" + Wide(path);
}

bool MakeFolderChain(std::wstring longPath) {
    // A drive's root is "\\?\X:\", with its separator.
    if (longPath.size() == 6) {
        longPath += L'\\';
    }
    // Skip "\\?\C:\" and create every folder after it.
    for (size_t at = longPath.find(L'\\', 7); at != std::wstring::npos;
         at = longPath.find(L'\\', at + 1)) {
        CreateDirectoryW(longPath.substr(0, at).c_str(), nullptr);
    }
    DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        CreateDirectoryW(longPath.c_str(), nullptr);
        attributes = GetFileAttributesW(longPath.c_str());
    }
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HKEY OpenSessionManager(REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

bool WriteBmp(const std::string& path, int width, int height, const std::vector<BYTE>& pixels) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
              std::fwrite(&info, sizeof info, 1, out) == 1 &&
              std::fwrite(pixels.data(), 1, pixels.size(), out) == pixels.size();
    return std::fclose(out) == 0 && ok;
}

}  // namespace

// --- Reporting -----------------------------------------------------------------------------

bool Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
    std::fflush(stdout);
    (ok ? g_passed : g_failed) += 1;
    return ok;
}

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char byte : text) {
        if (byte >= 0x20 && byte < 0x7F) {
            out += static_cast<char>(byte);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        }
    }
    return out;
}

bool CheckText(const std::string& actual, const std::string& expected, const std::string& what) {
    if (actual == expected) {
        return Check(true, what);
    }
    return Check(false, what + ": got \"" + Printable(actual) + "\", expected \"" +
                            Printable(expected) + "\"");
}

void Note(const std::string& text) {
    std::printf("note: %s\n", text.c_str());
    std::fflush(stdout);
}

int FailureCount() {
    return g_failed;
}

int PassCount() {
    return g_passed;
}

// --- Windows -------------------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, DWORD timeout) {
    const ULONGLONG end = GetTickCount64() + timeout;
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(kPollMilliseconds);
    }
    return true;
}

std::vector<HWND> TopWindowsOfClass(const char* className) {
    TopWindowQuery query{className, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForTopWindow(const char* className, const char* caption936, DWORD timeout) {
    const std::wstring caption = caption936 != nullptr ? WideOf936(caption936) : L"";
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOfClass(className)) {
                if (caption936 == nullptr || WideCaptionOf(window) == caption) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

std::string MessageBoxText(HWND box) {
    // The box's text is its one static control that holds text (the icon is a static too).
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) {
            std::string text = CaptionOf(child);
            if (!text.empty()) {
                return text;
            }
        }
    }
    return {};
}

HWND WaitForMessageBox(const char* text936, DWORD timeout) {
    return WaitForMessageBoxW(WideOf936(text936), timeout);
}

bool WaitUntilGone(HWND window, DWORD timeout) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout);
}

bool AnswerBox(HWND box, int buttonId) {
    HWND button = GetDlgItem(box, buttonId);
    if (button != nullptr) {
        PostMessageA(button, BM_CLICK, 0, 0);
    } else {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0);
    }
    return WaitUntilGone(box);
}

void CloseStrayWindows(HWND keep) {
    for (int round = 0; round < 5; ++round) {
        bool any = false;
        for (HWND window : TopWindowsOfClass("#32770")) {
            if (window == keep) {
                continue;
            }
            any = true;
            if (GetDlgItem(window, IDCANCEL) != nullptr) {
                AnswerBox(window, IDCANCEL);
            } else if (GetDlgItem(window, IDNO) != nullptr) {
                AnswerBox(window, IDNO);
            } else {
                PostMessageA(window, WM_CLOSE, 0, 0);
                WaitUntilGone(window, 2000);
            }
        }
        if (!any) {
            return;
        }
    }
}

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* timedOut) {
    DWORD_PTR result = 0;
    LRESULT ok = SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL,
                                     kSendTimeoutMilliseconds, &result);
    if (timedOut != nullptr) {
        *timedOut = ok == 0;
    }
    return ok == 0 ? 0 : static_cast<LRESULT>(result);
}

HWND OtherDialog(HWND mainWindow) {
    for (HWND window : TopWindowsOfClass("#32770")) {
        if (window != mainWindow) {
            return window;
        }
    }
    return nullptr;
}

bool RunsUnderWow64() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process != nullptr && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::string TextOf(HWND window) {
    bool timedOut = false;
    LRESULT length = SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0, &timedOut);
    if (timedOut) {
        return "<no answer>";
    }
    std::string text(static_cast<size_t>(length) + 2, '\0');
    LRESULT copied =
        SendWithTimeout(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

bool SetTextOf(HWND window, const std::string& text) {
    bool timedOut = false;
    LRESULT ok =
        SendWithTimeout(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &timedOut);
    return !timedOut && ok != 0;
}

void Click(HWND dialog, int controlId) {
    PostMessageA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

bool ClickAndWait(HWND dialog, int controlId) {
    bool timedOut = false;
    SendWithTimeout(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0, &timedOut);
    return !timedOut;
}

// --- The deletion list -----------------------------------------------------------------------

HWND ListOf(HWND mainWindow) {
    return GetDlgItem(mainWindow, 1002);
}

int RowCountOf(HWND list) {
    bool timedOut = false;
    LRESULT count = SendWithTimeout(list, LVM_GETITEMCOUNT, 0, 0, &timedOut);
    return timedOut ? -1 : static_cast<int>(count);
}

std::string CellText(HWND list, int row, int column) {
    for (int capacity = 512; capacity <= kLargestCell; capacity *= 2) {
        std::string buffer(static_cast<size_t>(capacity), '\0');
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = capacity;
        LRESULT copied = SendWithTimeout(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item));
        if (copied < capacity - 1) {
            return std::string(item.pszText, static_cast<size_t>(copied));
        }
    }
    return "<too long>";
}

std::vector<Row> ReadRows(HWND list) {
    std::vector<Row> rows;
    const int count = RowCountOf(list);
    for (int row = 0; row < count; ++row) {
        rows.push_back(Row{CellText(list, row, 0), Text936Of(WideCellText(list, row, 1)),
                           Text936Of(WideCellText(list, row, 2))});
    }
    return rows;
}

std::vector<std::string> PathsOf(const std::vector<Row>& rows) {
    std::vector<std::string> paths;
    for (const Row& row : rows) {
        paths.push_back(row.path);
    }
    return paths;
}

bool CheckPaths(HWND list, const std::vector<std::string>& expected, const std::string& what) {
    const std::vector<std::string> actual = PathsOf(ReadRows(list));
    if (actual == expected) {
        return Check(true, what);
    }
    std::string detail = what + ": the list holds";
    for (const std::string& path : actual) {
        detail += "\n      [" + Printable(path) + "]";
    }
    detail += "\n    expected";
    for (const std::string& path : expected) {
        detail += "\n      [" + Printable(path) + "]";
    }
    return Check(false, detail);
}

bool WaitForRowCount(HWND list, int count, DWORD timeout) {
    return WaitUntil([&] { return RowCountOf(list) == count; }, timeout);
}

bool FocusRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = 0;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&item));
    if (row >= 0) {
        item.state = LVIS_FOCUSED;
        SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(&item));
    }
    LRESULT focused = SendWithTimeout(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                      MAKELPARAM(LVNI_FOCUSED, 0));
    return static_cast<int>(focused) == row;
}

bool SelectRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    return SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&item)) != 0;
}

// --- Intake from outside -------------------------------------------------------------------

HGLOBAL DropFiles(HWND window, const std::vector<std::string>& paths) {
    // The names, each with its NUL, and one more NUL that ends the list (two for an empty list).
    size_t size = sizeof(DROPFILES) + 2;
    for (const std::string& path : paths) {
        size += path.size() + 1;
    }
    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->pt = POINT{20, 20};
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    GlobalUnlock(drop);
    WatchDrop(window, drop);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return drop;
}

namespace {

// How often the program has turned a window's redraw back on; counted on its thread by a hook
// that only watches.
std::atomic<int> g_redrawsOn{0};
HHOOK g_redrawWatch = nullptr;
// The count when each drop was posted.
std::vector<std::pair<HGLOBAL, int>> g_dropsPosted;

LRESULT CALLBACK CountRedrawsOn(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto& message = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message.message == WM_SETREDRAW && message.wParam != FALSE) {
            ++g_redrawsOn;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void WatchDrop(HWND window, HGLOBAL drop) {
    if (g_redrawWatch == nullptr) {
        g_redrawWatch = SetWindowsHookExA(WH_CALLWNDPROC, CountRedrawsOn, nullptr,
                                          GetWindowThreadProcessId(window, nullptr));
    }
    g_dropsPosted.emplace_back(drop, g_redrawsOn.load());
}

bool WaitForDropFinished(HGLOBAL drop, DWORD timeout) {
    int redrawsBefore = -1;
    for (const auto& [posted, redraws] : g_dropsPosted) {
        if (posted == drop) {
            redrawsBefore = redraws;
        }
    }
    // DragFinish frees the block, and a freed handle has no size any more; the files are listed
    // once the list's redraw is back on after that.
    return WaitUntil([&] { return GlobalSize(drop) == 0 && g_redrawsOn.load() > redrawsBefore; },
                     timeout);
}

namespace {

bool OpenClipboardPatiently() {
    return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000);
}

}  // namespace

bool PutClipboardText(const std::string& text) {
    if (!OpenClipboardPatiently()) {
        return false;
    }
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    bool ok = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return ok;
}

bool EmptyClipboardText() {
    if (!OpenClipboardPatiently()) {
        return false;
    }
    bool ok = EmptyClipboard() != FALSE;
    CloseClipboard();
    return ok && !IsClipboardFormatAvailable(CF_TEXT);
}

// --- Files and the registry ------------------------------------------------------------------

bool MakeFolder(const std::string& path) {
    return MakeFolderChain(LongForm(path));
}

std::string LongPathUnder(const std::string& folder, size_t length) {
    std::string path = folder;
    for (int level = 1; path.size() + 16 < length; ++level) {
        path += "\\level-" + std::to_string(level) + "-" + std::string(40, 'n');
    }
    return path + "\\long-name.txt";
}

bool MakeFile(const std::string& path) {
    const std::wstring longPath = LongForm(path);
    const size_t lastSeparator = longPath.rfind(L'\\');
    if (!MakeFolderChain(longPath.substr(0, lastSeparator))) {
        return false;
    }
    HANDLE file = CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const char content[] = "scheduled for deletion by the e2e suite\r\n";
    DWORD written = 0;
    bool ok = WriteFile(file, content, sizeof content - 1, &written, nullptr) != FALSE;
    return CloseHandle(file) && ok;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool AllRowsHaveResults(HWND list) {
    for (const Row& row : ReadRows(list)) {
        if (row.result.empty()) {
            return false;
        }
    }
    return true;
}

// Presses Restart deletion and answers its question; true when the question came and went.
bool AskForRestartDeletion(HWND mainWindow, int answer) {
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    return Check(question != nullptr, "Restart deletion asks its question") &&
           AnswerBox(question, answer);
}

bool RunRestartDeclinePrompt(HWND mainWindow) {
    Click(mainWindow, IDC_RESTART_DELETE);
    HWND question = WaitForMessageBox(kConfirmRestart);
    if (!Check(question != nullptr && AnswerBox(question, IDOK), "the restart run is confirmed")) {
        return false;
    }
    HWND prompt = nullptr;
    if (!Check(WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; }),
               "the restart prompt comes")) {
        return false;
    }
    return AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
}

bool ClearPendingOperations() {
    HKEY key = OpenSessionManager(KEY_SET_VALUE);
    if (key == nullptr) {
        return false;
    }
    LONG status = RegDeleteValueA(key, kPendingValue);
    RegCloseKey(key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> PendingDeletions() {
    std::vector<std::string> sources;
    HKEY key = OpenSessionManager(KEY_QUERY_VALUE);
    if (key == nullptr) {
        return sources;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, kPendingValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        std::string data(size + 2, '\0');
        RegQueryValueExA(key, kPendingValue, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size);
        // Pairs of source and destination; the list ends at an empty source.
        size_t at = 0;
        while (at < size) {
            std::string source = data.c_str() + at;
            if (source.empty()) {
                break;
            }
            at += source.size() + 1;
            std::string destination = at < size ? data.c_str() + at : "";
            at += destination.size() + 1;
            sources.push_back(destination.empty() ? source : source + " -> " + destination);
        }
    }
    RegCloseKey(key);
    return sources;
}

bool ReadPendingValueUnits(std::wstring& units) {
    units.clear();
    HKEY key = OpenSessionManager(KEY_QUERY_VALUE);
    if (key == nullptr) {
        return false;
    }
    const wchar_t* name = L"PendingFileRenameOperations";
    DWORD type = 0;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              type == REG_MULTI_SZ;
    if (ok) {
        units.assign(size / sizeof(wchar_t), L'\0');
        ok = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(units.data()),
                              &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

bool WritePendingValueUnits(const std::wstring& units) {
    HKEY key = OpenSessionManager(KEY_SET_VALUE);
    if (key == nullptr) {
        return false;
    }
    const bool ok =
        RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(units.data()),
                       static_cast<DWORD>(units.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// --- Screenshots -----------------------------------------------------------------------------

namespace {

std::string g_outputFolder;
// Time for the program's thread to repaint what a closed box covered.
constexpr DWORD kRepaintMilliseconds = 700;

}  // namespace

void RememberOutputFolder() {
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    g_outputFolder = folder;
}

bool SaveScreenshot(HWND window, const std::string& fileName) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    Sleep(kRepaintMilliseconds);
    RECT rect{};
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<BYTE> pixels(stride * static_cast<size_t>(height));
    ok = ok && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                         DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok && WriteBmp(g_outputFolder + "\\" + fileName, width, height, pixels);
}

// --- Texts in UTF-16 -------------------------------------------------------------------------

namespace {

constexpr int kLargestWideText = 4096;
// The code page of the program's literal texts.
constexpr UINT k936 = 936;

std::wstring WideChildText(HWND window, UINT lengthMessage, UINT textMessage) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, lengthMessage, 0, 0, SMTO_NORMAL, kSendTimeoutMilliseconds,
                            &length) == 0) {
        return L"<no answer>";
    }
    std::wstring text(static_cast<size_t>(length) + 2, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, textMessage, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_NORMAL, kSendTimeoutMilliseconds, &copied);
    text.resize(static_cast<size_t>(copied));
    return text;
}

}  // namespace

std::wstring WideCaptionOf(HWND window) {
    std::wstring text(kLargestWideText, L'\0');
    const int length = InternalGetWindowText(window, text.data(), kLargestWideText);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring WideTextOf(HWND window) {
    return WideChildText(window, WM_GETTEXTLENGTH, WM_GETTEXT);
}

HWND WaitForTopWindowW(const char* className, const std::wstring& caption, DWORD timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOfClass(className)) {
                if (WideCaptionOf(window) == caption) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

std::wstring WideMessageBoxText(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) {
            std::wstring text = WideTextOf(child);
            if (!text.empty()) {
                return text;
            }
        }
    }
    return {};
}

HWND WaitForMessageBoxW(const std::wstring& text, DWORD timeout) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindowsOfClass("#32770")) {
                if (WideMessageBoxText(window) == text) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

bool WideColumnHeader(HWND list, int index, std::wstring& header) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = 256;
    const bool exists = SendWithTimeout(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&column)) != 0;
    header = exists ? column.pszText : L"";
    return exists;
}

std::wstring WideCellText(HWND list, int row, int column) {
    for (int capacity = 512; capacity <= kLargestCell; capacity *= 2) {
        std::wstring buffer(static_cast<size_t>(capacity), L'\0');
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = capacity;
        LRESULT copied = SendWithTimeout(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item));
        if (copied < capacity - 1) {
            return std::wstring(item.pszText, static_cast<size_t>(copied));
        }
    }
    return L"<too long>";
}

std::string PrintableWide(const std::wstring& text) {
    std::string out;
    for (wchar_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    return out;
}

bool CheckWideText(const std::wstring& actual, const std::wstring& expected,
                   const std::string& what) {
    if (actual == expected) {
        return Check(true, what);
    }
    return Check(false, what + ": got \"" + PrintableWide(actual) + "\", expected \"" +
                            PrintableWide(expected) + "\"");
}

std::wstring WideOf936(const char* text936) {
    const int needed = MultiByteToWideChar(k936, 0, text936, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 1), L'\0');
    MultiByteToWideChar(k936, 0, text936, -1, wide.data(), needed);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::string Text936Of(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(k936, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(k936, 0, text.c_str(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

bool AnsiOf(const std::wstring& text, std::string& ansi) {
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    // UTF-8 takes neither the best-fit flag nor a default character, and holds every text.
    const bool utf8 = GetACP() == CP_UTF8;
    const int needed =
        WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), length, nullptr,
                            0, nullptr, utf8 ? nullptr : &usedDefault);
    ansi.assign(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), length, ansi.data(),
                        needed, nullptr, utf8 ? nullptr : &usedDefault);
    return needed > 0 && !usedDefault;
}

// --- The batch dialog ----------------------------------------------------------------------

HWND OpenBatchDialog(HWND mainWindow) {
    Click(mainWindow, IDC_BATCH_ADD);
    HWND dialog = WaitForTopWindow("#32770", kBatchCaption);
    Check(dialog != nullptr, "Batch add opens the batch dialog with its caption");
    return dialog;
}

bool ConfirmBatch(HWND dialog, int answer) {
    Click(dialog, IDC_BATCH_OK);
    HWND question = WaitForMessageBox(kConfirmBatch);
    return Check(question != nullptr, "确定 asks its question") && AnswerBox(question, answer);
}

bool AnswerFolderQuestion(int answer, const std::string& what) {
    HWND question = WaitForMessageBox(kConfirmFolders);
    return Check(question != nullptr && AnswerBox(question, answer),
                 what + ": the question about the folders comes and is answered " +
                     (answer == IDOK ? "OK" : "Cancel"));
}

// --- The open-file dialog ------------------------------------------------------------------

namespace {

// The common dialog's file-name controls: the combo box of the explorer-style dialog, or the
// plain edit box of the older one.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

void DescribeChildren(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        char line[160];
        std::snprintf(line, sizeof line, "dialog control id 0x%x class %s", GetDlgCtrlID(child),
                      name);
        Note(line);
    }
}

}  // namespace

HWND FileNameBox(HWND dialog) {
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo)) {
        HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
        return edit != nullptr ? edit : combo;
    }
    HWND edit = GetDlgItem(dialog, kFileNameEdit);
    if (edit == nullptr) {
        DescribeChildren(dialog);
    }
    return edit;
}

bool TypeAndOpen(HWND dialog, const std::string& text) {
    HWND box = FileNameBox(dialog);
    if (box == nullptr || !SetTextOf(box, text)) {
        return false;
    }
    Click(dialog, IDOK);
    return true;
}

bool TypeAndOpen(HWND dialog, const std::wstring& text) {
    HWND box = FileNameBox(dialog);
    DWORD_PTR result = 0;
    if (box == nullptr ||
        !SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, kSendTimeoutMilliseconds, &result) ||
        result == 0) {
        return false;
    }
    Click(dialog, IDOK);
    return true;
}

std::wstring DialogFolderW(HWND dialog) {
    wchar_t folder[MAX_PATH] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(folder),
                        SMTO_NORMAL, kSendTimeoutMilliseconds, &length);
    return length > 0 ? folder : L"";
}

std::string DialogFolder(HWND dialog) {
    const std::wstring folder = DialogFolderW(dialog);
    // Up to three bytes a code unit in UTF-8.
    char ansi[MAX_PATH * 3] = {};
    WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

HWND OpenPendingList(HWND mainWindow) {
    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"重启时待处理的文件");
    Check(dialog != nullptr, "the system menu's item opens the to-do list");
    return dialog;
}
