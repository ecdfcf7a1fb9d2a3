#include "intake/drop_target.h"

#include <cstring>
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
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

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

// One name of a drop block in UTF-16, as the shell's readers give it: a wide name unit by unit
// (copied byte by byte, since pFiles need not be even), an ANSI one converted from the code page.
WideText DroppedName(std::string_view bytes, bool wide) {
    if (!wide) {
        return WideFromAnsi(Text(bytes));
    }
    WideText name(bytes.size() / 2, u'\0');
    std::memcpy(WideData(name), bytes.data(), name.size() * sizeof(char16_t));
    return name;
}

// The names of a WM_DROPFILES handle the program can prove it was handed: a moveable global
// block holding a whole drop block. Any program of the user can post one, with a pointer into any
// live block of this process, or the handle of a drop already released; the shell's readers take
// pFiles and the names as they come, and DragFinish frees what it is given. Nothing for any
// other handle. Copied out in the one pass that checks the block, while it is locked: reading
// name i through DragQueryFileW walks the i names before it, so a large drop would cost the
// square of its length.
std::optional<std::vector<WideText>> CopyHandedNames(HDROP drop) {
    if (drop == nullptr) {
        return std::nullopt;
    }
    DropHandleFacts facts;
    facts.handle = reinterpret_cast<uintptr_t>(drop);
    facts.flags = GlobalFlags(drop);
    if (facts.flags == kInvalidHandleFlags) {
        return std::nullopt;
    }
    const void* bytes = GlobalLock(drop);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    facts.locked = reinterpret_cast<uintptr_t>(bytes);
    facts.handleOfLocked = reinterpret_cast<uintptr_t>(GlobalHandle(bytes));
    // A pointer's size is not asked: only a moveable block's bytes are looked at.
    const SIZE_T size = IsMoveableBlock(facts) ? GlobalSize(drop) : 0;
    const std::optional<DropBlockNames> block =
        ReadDropHandle(facts, std::string_view(static_cast<const char*>(bytes), size));
    std::optional<std::vector<WideText>> names;
    if (block) {
        names.emplace();
        names->reserve(block->names.size());
        for (std::string_view name : block->names) {
            names->push_back(DroppedName(name, block->wide));
        }
    }
    GlobalUnlock(drop);
    return names;
}

// As many paths of one kind as a box can show on a screen.
constexpr size_t kLeftOutShown = 20;

// Every name of a drop, in the drop's order, as ANSI paths: each converted exactly, or its
// short form. Empty for a name that has neither form, which goes in unlistable: the ANSI view the
// platform would give of such a name (by best fit, or with "?") names another file, or nothing.
std::vector<Text> DroppedPaths(const std::vector<WideText>& names,
                               std::vector<WideText>& unlistable) {
    std::vector<Text> paths;
    paths.reserve(names.size());
    for (const WideText& name : names) {
        std::optional<Text> path = name.empty() ? std::optional<Text>() : AnsiFileName(name);
        if (!path && !name.empty()) {
            unlistable.push_back(name);
        }
        paths.push_back(path.value_or(Text()));
    }
    return paths;
}

// The paths under one heading of the box.
void AppendPathsShown(WideText& text, const char* heading, const std::vector<WideText>& paths) {
    if (paths.empty()) {
        return;
    }
    text += (text.empty() ? u"" : u"\r\n\r\n") + UiText(heading);
    for (size_t i = 0; i < paths.size() && i < kLeftOutShown; ++i) {
        text += u"\r\n" + paths[i];
    }
    if (paths.size() > kLeftOutShown) {
        const std::string more = std::to_string(paths.size() - kLeftOutShown);
        text += u"\r\n" + UiText(kMorePathsPrefix) + WideText(more.begin(), more.end()) +
                UiText(kMorePathsSuffix);
    }
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
        // Called directly, as CallWindowProcA calls a procedure that is no thunk of the system's:
        // under Wine that call alone takes about 170 us, more than the file's own work.
        callback(reinterpret_cast<HWND>(static_cast<uintptr_t>(count)), index,
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
    const std::optional<std::vector<WideText>> names = CopyHandedNames(drop);
    if (!names) {
        return;
    }
    // Copied out and released before anything is decided: the files' duplicate scans pump
    // messages, and the same handle posted again by then is a released one, which no longer
    // passes the check.
    DragFinish(drop);
    PathsLeftOut leftOut;
    ListDroppedPaths(DroppedPaths(*names, leftOut.unlistable), window);
    if (!g_app.closeRequested) {
        TellPathsLeftOut(window, leftOut);
    }
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

PathsLeftOut ListHandedPathsAsDrop(const std::vector<WideText>& paths, HWND window) {
    std::vector<WideText> present;
    PathsLeftOut leftOut;
    for (const WideText& path : paths) {
        (NativePathFileExists(path) ? present : leftOut.missing).push_back(path);
    }
    ListDroppedPaths(DroppedPaths(present, leftOut.unlistable), window);
    return leftOut;
}

void TellPathsLeftOut(HWND window, const PathsLeftOut& leftOut) {
    WideText text;
    AppendPathsShown(text, kMissingPathsHeading, leftOut.missing);
    AppendPathsShown(text, kUnlistedPathsHeading, leftOut.unlistable);
    if (!text.empty()) {
        ShowWideMessage(window, text, MB_OK | MB_ICONWARNING);
    }
}
