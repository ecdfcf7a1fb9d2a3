// rebootdel-menu.exe, the command of the right-click verb "重启时删除". Explorer starts it once
// per chosen item, each with its path; the first start gathers the others' items and makes one
// elevated start of the program with all of them, so that the user answers one prompt however
// many items were chosen. It asks for no elevation, shows nothing, and of the program it links
// only the gathering rules.

#include <algorithm>
#include <optional>
#include <string>

#include "intake/gathering_rules.h"
#include "platform/copy_data.h"
#include "platform/win32.h"

namespace {

// Owned by the start that gathers for as long as it takes other starts.
constexpr wchar_t kGatheringMutex[] = L"Local\\rebootdel.gathering";
// The gatherer's message-only window, which later starts hand their items to.
constexpr wchar_t kGathererClass[] = L"rebootdel.gatherer";
// COPYDATASTRUCT::dwData of a start handed to the gatherer: "RDJN".
constexpr ULONG_PTR kJoinTag = 0x4E4A4452;
constexpr UINT kJoinAnswerMilliseconds = 5000;
// A start that finds neither a gatherer to join nor the gathering free tries again this often
// (the gatherer may be between its claim and its window), and at most this long before it
// gathers on its own.
constexpr DWORD kTryAgainMilliseconds = 20;
constexpr ULONGLONG kMostTryingMilliseconds = 30000;
// How long the block waits for a program whose process the shell did not hand back.
constexpr DWORD kMostReadMilliseconds = 60000;
constexpr int kMostTokenTries = 16;

// The gathering this start holds, which its window adds the other starts to.
Gathering g_gathering;

LPCWSTR Wide(const WideText& text) {
    return reinterpret_cast<LPCWSTR>(text.c_str());
}

BOOL TakeStart(const COPYDATASTRUCT* data) {
    if (data == nullptr || data->dwData != kJoinTag ||
        (data->lpData == nullptr && data->cbData != 0)) {
        return FALSE;
    }
    const std::optional<std::vector<WideText>> texts =
        ReadTextsBlock(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
    if (!texts || texts->size() != 2) {
        return FALSE;
    }
    return JoinGathering(g_gathering, HelperStart{(*texts)[0], (*texts)[1]}, GetTickCount64());
}

LRESULT CALLBACK GathererProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COPYDATA:
            return TakeStart(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND OpenGathererWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = GathererProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kGathererClass;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, kGathererClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

// Takes the starts that join until none has for a moment; then no start can join any more.
void Gather(const HelperStart& start) {
    g_gathering = BeginGathering(start, GetTickCount64());
    HWND window = OpenGathererWindow();
    for (;;) {
        const uint64_t wait = GatheringWait(g_gathering, GetTickCount64());
        if (wait == 0) {
            break;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    if (window != nullptr) {
        DestroyWindow(window);
    }
}

// True when an open gathering took this start.
bool HandToGatherer(const HelperStart& start) {
    HWND gatherer = FindWindowExW(HWND_MESSAGE, nullptr, kGathererClass, nullptr);
    std::optional<ByteString> block = TextsBlock({start.program, start.arguments});
    if (gatherer == nullptr || !block) {
        return false;
    }
    return SendCopyData(gatherer, kJoinTag, *block, kJoinAnswerMilliseconds);
}

// A security descriptor that lets administrators, and nobody else, open an object with access:
// the program runs elevated, as this user or as the account whose password answered the prompt,
// and this user's programs that run without elevation cannot open it (the handle this start
// creates it with has every right all the same).
struct AdministratorsOnly {
    alignas(DWORD) BYTE sid[SECURITY_MAX_SID_SIZE];
    alignas(DWORD) BYTE acl[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE];
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
};

bool AllowAdministratorsOnly(AdministratorsOnly& security, DWORD access) {
    DWORD sidSize = sizeof security.sid;
    PACL acl = reinterpret_cast<PACL>(security.acl);
    if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, security.sid, &sidSize) ||
        !InitializeAcl(acl, sizeof security.acl, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, access, security.sid) ||
        !InitializeSecurityDescriptor(&security.descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&security.descriptor, TRUE, acl, FALSE)) {
        return false;
    }
    security.attributes = {sizeof security.attributes, &security.descriptor, FALSE};
    return true;
}

// The gathering's block in a file mapping of the session, and the event the program sets once it
// has read it; both under a token no object of the session has yet.
struct SharedBlock {
    uint64_t token = 0;
    HANDLE mapping = nullptr;
    HANDLE read = nullptr;
};

void CloseSharedBlock(SharedBlock& shared) {
    for (HANDLE handle : {shared.mapping, shared.read}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    shared = SharedBlock{};
}

bool WriteBlock(HANDLE mapping, const ByteString& block) {
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, block.size());
    if (view == nullptr) {
        return false;
    }
    std::copy(block.begin(), block.end(), static_cast<char*>(view));
    UnmapViewOfFile(view);
    return true;
}

// A newly created object, not one of that name already there.
HANDLE NewObject(HANDLE created) {
    if (created != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(created);
        return nullptr;
    }
    return created;
}

std::optional<SharedBlock> ShareBlock(const ByteString& block) {
    AdministratorsOnly readable{};
    AdministratorsOnly settable{};
    if (!AllowAdministratorsOnly(readable, FILE_MAP_READ) ||
        !AllowAdministratorsOnly(settable, SYNCHRONIZE | EVENT_MODIFY_STATE)) {
        return std::nullopt;
    }
    SharedBlock shared;
    shared.token = (static_cast<uint64_t>(GetCurrentProcessId()) << 32) | GetTickCount();
    for (int tries = 0; tries < kMostTokenTries; ++tries, ++shared.token) {
        const WideText token = GatheringToken(shared.token);
        shared.mapping = NewObject(
            CreateFileMappingW(INVALID_HANDLE_VALUE, &readable.attributes, PAGE_READWRITE, 0,
                               static_cast<DWORD>(block.size()), Wide(GatheredBlockName(token))));
        shared.read = NewObject(
            CreateEventW(&settable.attributes, TRUE, FALSE, Wide(GatheredReadName(token))));
        if (shared.mapping != nullptr && shared.read != nullptr) {
            if (!WriteBlock(shared.mapping, block)) {
                break;
            }
            return shared;
        }
        CloseSharedBlock(shared);
    }
    CloseSharedBlock(shared);
    return std::nullopt;
}

WideText CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD written = needed == 0 ? 0 : GetCurrentDirectoryW(needed, folder.data());
    return WideText(folder.begin(), folder.begin() + (written < needed ? written : 0));
}

// One elevated start of the program with every gathered start's arguments; the block stays
// until the program has read it, or has ended. 0, or the error that stopped it (ERROR_CANCELLED
// when the user declined the prompt: nothing to tell, the user chose it).
DWORD StartProgram(const Gathering& gathering) {
    const std::optional<ByteString> block = TextsBlock(gathering.arguments);
    std::optional<SharedBlock> shared = block ? ShareBlock(*block) : std::nullopt;
    if (!shared) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    const WideText argument = GatheredArgument(GatheringToken(shared->token));
    const WideText folder = CurrentFolder();
    SHELLEXECUTEINFOW start{};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    start.lpVerb = L"runas";
    start.lpFile = Wide(gathering.program);
    start.lpParameters = Wide(argument);
    // Relative arguments are made full against the folder they were given in.
    start.lpDirectory = folder.empty() ? nullptr : Wide(folder);
    start.nShow = SW_SHOWNORMAL;
    DWORD result = 0;
    if (!ShellExecuteExW(&start)) {
        result = GetLastError();
    } else if (start.hProcess != nullptr) {
        const HANDLE ends[] = {shared->read, start.hProcess};
        WaitForMultipleObjects(2, ends, FALSE, INFINITE);
        CloseHandle(start.hProcess);
    } else {
        WaitForSingleObject(shared->read, kMostReadMilliseconds);
    }
    CloseSharedBlock(*shared);
    return result;
}

int Run() {
    const HelperStart start = ReadHelperStart(reinterpret_cast<const char16_t*>(GetCommandLineW()));
    if (start.program.empty()) {
        return ERROR_BAD_ARGUMENTS;
    }
    const ULONGLONG end = GetTickCount64() + kMostTryingMilliseconds;
    for (;;) {
        HANDLE mutex = CreateMutexW(nullptr, FALSE, kGatheringMutex);
        const DWORD claim = mutex != nullptr ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
        if (claim == WAIT_OBJECT_0 || claim == WAIT_ABANDONED) {
            Gather(start);
            // Only now may a later start gather anew: this one's window is gone.
            ReleaseMutex(mutex);
            CloseHandle(mutex);
            return static_cast<int>(StartProgram(g_gathering));
        }
        if (mutex != nullptr) {
            CloseHandle(mutex);
        }
        if (HandToGatherer(start)) {
            return 0;
        }
        // No gathering to join and none to claim (another account's mutex of the name, or a
        // gatherer that does not answer): this start's items are not lost, they go alone.
        if (mutex == nullptr || GetTickCount64() >= end) {
            Gather(start);
            return static_cast<int>(StartProgram(g_gathering));
        }
        Sleep(kTryAgainMilliseconds);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The shell may hand the start to an extension of its own; it asks for COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const int result = Run();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return result;
}
