#include "intake/drop_target.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "intake/drop_rules.h"
#include "list/deletion_list.h"
#include "paths/file_names.h"
#include "paths/native_view.h"
#include "runtime/wide_text.h"

namespace {

constexpr UINT kQueryFileCount = 0xFFFFFFFF;
// WM_COPYGLOBALDATA: the shell sends it along with a drop; it has no name in the SDK headers.
constexpr UINT kCopyGlobalData = 0x0049;

using ChangeWindowMessageFilterExFunction = BOOL(WINAPI*)(HWND window, UINT message, DWORD action,
                                                          void* status);

// The program runs elevated, and Windows keeps drops from a non-elevated Explorer away from an
// elevated window unless these messages are let through. Older systems lack the call.
void AllowDropsFromLowerIntegrity(HWND window) {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (user == nullptr) {
        return;
    }
    FARPROC export_ = GetProcAddress(user, "ChangeWindowMessageFilterEx");
    if (export_ == nullptr) {
        return;
    }
    auto allow =
        reinterpret_cast<ChangeWindowMessageFilterExFunction>(reinterpret_cast<void*>(export_));
    for (UINT message :
         {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData}) {
        allow(window, message, MSGFLT_ALLOW, nullptr);
    }
}

// The whole UTF-16 name of one dropped file, however long; empty when it cannot be read.
WideText QueryDroppedName(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    if (length == 0) {
        return {};
    }
    WideText buffer(static_cast<size_t>(length) + 1, u'\0');
    const UINT copied = DragQueryFileW(drop, index, WideData(buffer), length + 1);
    if (copied == 0) {
        return {};
    }
    return buffer.substr(0, buffer.find(u'\0'));
}

// The ANSI path of one dropped file: its name converted exactly, or its short form. Empty when
// it cannot be read or has neither form: the ANSI view the platform would give of such a name
// (by best fit, or with "?") names another file, or nothing.
Text QueryDroppedPath(HDROP drop, UINT index) {
    const WideText name = QueryDroppedName(drop, index);
    if (name.empty()) {
        return {};
    }
    return AnsiFileName(name).value_or(Text());
}

// What a WM_DROPFILES handle turned out to be. Any program of the user can post one.
enum class DropHandleKind {
    // NULL, or no memory block this process can read: nothing to read or to release.
    NoBlock,
    // A block, but no drop block whose names end inside it: released unread.
    BrokenBlock,
    // A drop block the shell's readers can take.
    WholeDropBlock,
};

// Checks a drop block before the shell's readers see it: they take pFiles and the names as they
// come, and would read past the block.
DropHandleKind CheckDropHandle(HDROP drop) {
    if (drop == nullptr) {
        return DropHandleKind::NoBlock;
    }
    const SIZE_T size = GlobalSize(drop);
    const void* bytes = size == 0 ? nullptr : GlobalLock(drop);
    if (bytes == nullptr) {
        return DropHandleKind::NoBlock;
    }
    const bool whole =
        ReadDropBlock(std::string_view(static_cast<const char*>(bytes), size)).has_value();
    GlobalUnlock(drop);
    return whole ? DropHandleKind::WholeDropBlock : DropHandleKind::BrokenBlock;
}

bool IsBeingRead(HDROP drop) {
    const std::vector<HDROP>& reading = g_app.dropsBeingRead;
    return std::find(reading.begin(), reading.end(), drop) != reading.end();
}

// Hands every file of a checked drop to the window's callback, in the drop's order.
void ReadDroppedFiles(HDROP drop, HWND window) {
    const int position = FindDropTarget(window);
    const UINT count = position == 0 ? 0 : DragQueryFileW(drop, kQueryFileCount, nullptr, 0);
    HoldListRedraw();
    for (UINT index = 1; index <= count; ++index) {
        const Text path = QueryDroppedPath(drop, index - 1);
        if (path.empty()) {
            continue;
        }
        const Text extension = DroppedPathExtension(path);
        const WNDPROC callback = g_app.dropRegistry[static_cast<size_t>(position) - 1].callback;
        CallWindowProcA(callback, reinterpret_cast<HWND>(static_cast<uintptr_t>(count)), index,
                        reinterpret_cast<WPARAM>(path.c_str()),
                        reinterpret_cast<LPARAM>(NullIfEmpty(extension)));
    }
    ReleaseListRedraw();
}

}  // namespace

int FindDropTarget(HWND window) {
    for (size_t i = 0; i < g_app.dropRegistry.size(); ++i) {
        if (g_app.dropRegistry[i].window == window) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

void RegisterDropTarget(HWND window, WNDPROC callback) {
    if (FindDropTarget(window) != 0) {
        return;
    }
    g_app.dropRegistry.push_back(DropTarget{window, callback});
    DragAcceptFiles(window, TRUE);
    AllowDropsFromLowerIntegrity(window);
    // Installed as a W procedure, so the window stays a UTF-16 one: a window procedure set with
    // the A function would turn it into an ANSI window, whose caption every WM_GETTEXT in W form
    // then reads through the system's code page.
    g_app.previousWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DropTargetWindowProc)));
}

LRESULT CALLBACK DropTargetWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        HandleDroppedFiles(reinterpret_cast<HDROP>(wParam), window);
        return 0;
    }
    // Every message arrives in its W form and goes on in it.
    return CallWindowProcW(g_app.previousWindowProc, window, message, wParam, lParam);
}

void HandleDroppedFiles(HDROP drop, HWND window) {
    // The files' duplicate scans pump messages, so the same handle can arrive again while it is
    // read (posted anew by any program); it is the drop being read, which is released once.
    if (IsBeingRead(drop)) {
        return;
    }
    const DropHandleKind kind = CheckDropHandle(drop);
    if (kind == DropHandleKind::NoBlock) {
        return;
    }
    if (kind == DropHandleKind::WholeDropBlock) {
        g_app.dropsBeingRead.push_back(drop);
        ReadDroppedFiles(drop, window);
        std::erase(g_app.dropsBeingRead, drop);
    }
    DragFinish(drop);
}

LRESULT CALLBACK OnFileDropped(HWND, UINT, WPARAM path, LPARAM) {
    const Text droppedPath = TextFromC(reinterpret_cast<const char*>(path));
    // The shell drops native paths: the boot will see what the native view shows.
    if (NativePathIsDirectory(droppedPath)) {
        return 0;
    }
    if (ContainsPath(droppedPath)) {
        return 0;
    }
    AppendPath(droppedPath);
    return 0;
}
