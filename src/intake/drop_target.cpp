#include "intake/drop_target.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "intake/drop_rules.h"
#include "intake/folder_question.h"
#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/native_view.h"
#include "platform/looked_up.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

constexpr UINT kQueryFileCount = 0xFFFFFFFF;
// WM_COPYGLOBALDATA: the shell sends it along with a drop; it has no name in the SDK headers.
constexpr UINT kCopyGlobalData = 0x0049;

// The program runs elevated, and Windows keeps drops from a non-elevated Explorer away from an
// elevated window unless these messages are let through. Older systems lack the call.
void AllowDropsFromLowerIntegrity(HWND window) {
    const ChangeWindowMessageFilterExCall allow = LookUpChangeWindowMessageFilterEx();
    if (allow == nullptr) {
        return;
    }
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

// Whether a WM_DROPFILES handle is one the program can prove it was handed: a moveable global
// block holding a whole drop block. Any program of the user can post one, with a pointer into any
// live block of this process, or the handle of a drop already released; the shell's readers take
// pFiles and the names as they come, and DragFinish frees what it is given. Locked only for the
// check.
bool HoldsWholeDropBlock(HDROP drop) {
    if (drop == nullptr) {
        return false;
    }
    DropHandleFacts facts;
    facts.handle = reinterpret_cast<uintptr_t>(drop);
    facts.flags = GlobalFlags(drop);
    if (facts.flags == kInvalidHandleFlags) {
        return false;
    }
    const void* bytes = GlobalLock(drop);
    if (bytes == nullptr) {
        return false;
    }
    facts.locked = reinterpret_cast<uintptr_t>(bytes);
    facts.handleOfLocked = reinterpret_cast<uintptr_t>(GlobalHandle(bytes));
    // A pointer's size is not asked: only a moveable block's bytes are looked at.
    const SIZE_T size = IsMoveableBlock(facts) ? GlobalSize(drop) : 0;
    const bool whole =
        ReadDropHandle(facts, std::string_view(static_cast<const char*>(bytes), size)).has_value();
    GlobalUnlock(drop);
    return whole;
}

// Every name of a checked drop, in the drop's order, as ANSI paths (empty for a name that cannot
// be read or converted).
std::vector<Text> CopyDroppedPaths(HDROP drop) {
    const UINT count = DragQueryFileW(drop, kQueryFileCount, nullptr, 0);
    std::vector<Text> paths;
    paths.reserve(count);
    for (UINT index = 0; index < count; ++index) {
        paths.push_back(QueryDroppedPath(drop, index));
    }
    return paths;
}

// Hands every dropped file to the window's callback, in the drop's order.
void ListDroppedPaths(const std::vector<Text>& paths, HWND window) {
    const int position = FindDropTarget(window);
    if (position == 0) {
        return;
    }
    const UINT count = static_cast<UINT>(paths.size());
    // A drop that arrives through the pump of this one's scans has folders of its own.
    std::vector<WideText> outerFolders = std::exchange(g_app.droppedFolders, {});
    HoldListRedraw();
    for (UINT index = 1; index <= count; ++index) {
        const Text& path = paths[index - 1];
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
    const std::vector<WideText> folders =
        std::exchange(g_app.droppedFolders, std::move(outerFolders));
    ListFoldersAfterQuestion(window, folders);
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
    // Any handle but a whole drop block is left exactly as it was: not read, and not freed.
    if (!HoldsWholeDropBlock(drop)) {
        return;
    }
    // Copied out and released before anything is decided: the files' duplicate scans pump
    // messages, and the same handle posted again by then is a released one, which no longer
    // passes the check.
    const std::vector<Text> paths = CopyDroppedPaths(drop);
    DragFinish(drop);
    ListDroppedPaths(paths, window);
}

LRESULT CALLBACK OnFileDropped(HWND, UINT, WPARAM path, LPARAM) {
    // Converted back once, exactly; every test and the row then take the UTF-16 form.
    const std::optional<WideText> dropped =
        WideFileName(TextFromC(reinterpret_cast<const char*>(path)));
    if (!dropped) {
        return 0;
    }
    // The shell drops native paths: the boot will see what the native view shows. A folder is
    // asked about once the drop's files are listed.
    if (NativePathIsDirectory(*dropped)) {
        g_app.droppedFolders.push_back(*dropped);
        return 0;
    }
    if (ContainsPath(*dropped)) {
        return 0;
    }
    AppendPath(*dropped);
    return 0;
}
