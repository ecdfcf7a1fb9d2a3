// Windows, the thread's message queue and the dialog manager.

#include <algorithm>
#include <cstring>

#include "internal.h"

namespace standin {
namespace detail {

namespace {

constexpr uintptr_t kWindowBase = 0x100000;
constexpr uintptr_t kHandleStep = 0x10;
constexpr uintptr_t kRangeSize = 0x100000;

}  // namespace

HWND HandleOf(size_t windowIndex) {
    return reinterpret_cast<HWND>(kWindowBase + windowIndex * kHandleStep);
}

WindowRecord* FindWindow(HWND window) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(window);
    if (value < kWindowBase || value >= kWindowBase + kRangeSize ||
        (value - kWindowBase) % kHandleStep != 0) {
        return nullptr;
    }
    const size_t index = (value - kWindowBase) / kHandleStep;
    return index < S().windows.size() ? S().windows[index].get() : nullptr;
}

WindowRecord* LiveWindow(HWND window) {
    WindowRecord* record = FindWindow(window);
    return record && !record->destroyed ? record : nullptr;
}

HWND CreateWindowRecord(std::unique_ptr<WindowRecord> record) {
    S().windows.push_back(std::move(record));
    return HandleOf(S().windows.size() - 1);
}

HWND TopLevel(HWND window) {
    WindowRecord* record = FindWindow(window);
    while (record && (record->style & WS_CHILD) && record->parent) {
        window = record->parent;
        record = FindWindow(window);
    }
    return window;
}

HWND FindControl(HWND dialog, int controlId) {
    if (!LiveWindow(dialog)) {
        return nullptr;
    }
    for (size_t i = 0; i < S().windows.size(); ++i) {
        const WindowRecord& record = *S().windows[i];
        if (!record.destroyed && record.parent == dialog && (record.style & WS_CHILD) &&
            record.controlId == controlId) {
            return HandleOf(i);
        }
    }
    return nullptr;
}

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    WNDPROC procedure = record->windowProc;
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(S().log.size());
    S().queue.push_back(msg);
}

bool DefaultTextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        return false;
    }
    switch (message) {
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            record->text = text ? text : "";
            record->wideText.reset();
            result = TRUE;
            return true;
        }
        case WM_SETREDRAW:
            record->redraw = wParam != FALSE;
            result = 0;
            return true;
        case WM_SETICON: {
            HICON icon = reinterpret_cast<HICON>(lParam);
            HICON& slot = wParam == ICON_BIG ? record->bigIcon : record->smallIcon;
            result = reinterpret_cast<LRESULT>(slot);
            slot = icon;
            return true;
        }
        default:
            return false;
    }
}

namespace {

// Messages whose dialog-procedure result is the message result itself rather than DWLP_MSGRESULT.
bool ReturnsProcedureResult(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case 0x0019:  // WM_CTLCOLOR
        case 0x0037:  // WM_QUERYDRAGICON
        case 0x0039:  // WM_COMPAREITEM
        case 0x002E:  // WM_VKEYTOITEM
        case 0x002F:  // WM_CHARTOITEM
        case 0x0132:  // WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC
        case 0x0133:
        case 0x0134:
        case 0x0135:
        case 0x0136:
        case 0x0137:
        case 0x0138:
            return true;
        default:
            return false;
    }
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg.message != WM_QUIT) {
        if ((filterMin != 0 || filterMax != 0) &&
            (msg.message < filterMin || msg.message > filterMax)) {
            return false;
        }
    }
    if (window == reinterpret_cast<HWND>(-1)) {
        return msg.hwnd == nullptr;
    }
    if (window == nullptr) {
        return true;
    }
    for (HWND target = msg.hwnd; target;) {
        if (target == window) {
            return true;
        }
        WindowRecord* record = FindWindow(target);
        target = record && (record->style & WS_CHILD) ? record->parent : nullptr;
    }
    return false;
}

std::deque<MSG>::iterator FindMessage(HWND window, UINT filterMin, UINT filterMax) {
    std::deque<MSG>& queue = S().queue;
    return std::find_if(queue.begin(), queue.end(),
                        [&](const MSG& msg) { return Matches(msg, window, filterMin, filterMax); });
}

LONG_PTR* LongSlot(WindowRecord& record, int index) {
    if (index == GWLP_USERDATA) {
        return &record.userData;
    }
    if (record.isDialog && index == static_cast<int>(DWLP_MSGRESULT)) {
        return &record.dialogResultSlot;
    }
    if (record.isDialog && index == static_cast<int>(DWLP_USER)) {
        return &record.dialogUser;
    }
    return nullptr;
}

bool GetLong(WindowRecord& record, int index, LONG_PTR& value) {
    switch (index) {
        case GWL_STYLE:
            value = static_cast<LONG>(record.style);
            return true;
        case GWL_EXSTYLE:
            value = static_cast<LONG>(record.exStyle);
            return true;
        case GWLP_ID:
            value = record.controlId;
            return true;
        case GWLP_WNDPROC:
            value = reinterpret_cast<LONG_PTR>(record.windowProc);
            return true;
        case GWLP_HWNDPARENT:
            value = reinterpret_cast<LONG_PTR>(record.parent);
            return true;
        case GWLP_HINSTANCE:
            value = reinterpret_cast<LONG_PTR>(ModuleHandle(0));
            return true;
        default:
            break;
    }
    if (record.isDialog && index == static_cast<int>(DWLP_DLGPROC)) {
        value = reinterpret_cast<LONG_PTR>(record.dialogProc);
        return true;
    }
    if (LONG_PTR* slot = LongSlot(record, index)) {
        value = *slot;
        return true;
    }
    return false;
}

bool SetLong(WindowRecord& record, int index, LONG_PTR value, LONG_PTR& previous) {
    if (!GetLong(record, index, previous)) {
        return false;
    }
    switch (index) {
        case GWL_STYLE:
            record.style = static_cast<DWORD>(value);
            return true;
        case GWL_EXSTYLE:
            record.exStyle = static_cast<DWORD>(value);
            return true;
        case GWLP_ID:
            record.controlId = static_cast<int>(value);
            return true;
        case GWLP_WNDPROC:
            record.windowProc = reinterpret_cast<WNDPROC>(value);
            return true;
        case GWLP_HWNDPARENT:
            record.parent = reinterpret_cast<HWND>(value);
            return true;
        case GWLP_HINSTANCE:
            return true;
        default:
            break;
    }
    if (record.isDialog && index == static_cast<int>(DWLP_DLGPROC)) {
        record.dialogProc = reinterpret_cast<DLGPROC>(value);
        return true;
    }
    *LongSlot(record, index) = value;
    return true;
}

// The indexes a 32-bit LONG can carry on a 64-bit system; pointer-sized ones need the Ptr forms.
bool FitsLong(const WindowRecord& record, int index) {
    return index == GWL_STYLE || index == GWL_EXSTYLE || index == GWLP_ID ||
           index == GWLP_USERDATA || (record.isDialog && index == 0);
}

const DialogTemplate* FindTemplate(int id) {
    for (const DialogTemplate& candidate : DialogTemplates()) {
        if (candidate.id == id) {
            return &candidate;
        }
    }
    return nullptr;
}

// A template holds its texts in UTF-16 (the table keeps them as code page 936 bytes); the W dialog
// manager creates the windows with those texts whole.
void SetTemplateText(WindowRecord& record, const std::string& text936) {
    const std::u16string wide = Widen(936, text936);
    record.text = Narrow(CP_ACP, wide);
    record.wideText = wide;
}

HWND BuildDialog(const DialogTemplate& tmpl, HWND owner, DLGPROC dialogProc) {
    auto dialog = std::make_unique<WindowRecord>();
    dialog->className = "#32770";
    SetTemplateText(*dialog, tmpl.caption);
    dialog->style = tmpl.style & ~static_cast<DWORD>(WS_VISIBLE);
    dialog->exStyle = tmpl.exStyle;
    dialog->parent = owner;
    dialog->windowProc = DefDlgProcA;
    dialog->dialogProc = dialogProc;
    dialog->isDialog = true;
    dialog->templateId = tmpl.id;
    HWND window = CreateWindowRecord(std::move(dialog));
    for (const ControlTemplate& control : tmpl.controls) {
        auto child = std::make_unique<WindowRecord>();
        child->className = control.className;
        SetTemplateText(*child, control.text);
        child->style = control.style;
        child->exStyle = control.exStyle;
        child->parent = window;
        child->controlId = control.id;
        child->windowProc = ClassProcedure(control.className);
        CreateWindowRecord(std::move(child));
    }
    return window;
}

HWND FirstTabStop(HWND dialog) {
    for (size_t i = 0; i < S().windows.size(); ++i) {
        const WindowRecord& record = *S().windows[i];
        if (!record.destroyed && record.parent == dialog && (record.style & WS_CHILD) &&
            (record.style & WS_TABSTOP)) {
            return HandleOf(i);
        }
    }
    return nullptr;
}

void DestroyDialog(HWND dialog) {
    Deliver(dialog, WM_DESTROY, 0, 0);
    for (auto& record : S().windows) {
        if (record->parent == dialog && (record->style & WS_CHILD)) {
            record->destroyed = true;
        }
    }
    WindowRecord* record = FindWindow(dialog);
    record->style &= ~static_cast<DWORD>(WS_VISIBLE);
    record->destroyed = true;
}

}  // namespace

}  // namespace detail

using namespace detail;

// ---------------------------------------------------------------------------------------------
// Inspection

std::string Describe(HWND window) {
    if (!window) {
        return "NULL";
    }
    const WindowRecord* record = FindWindow(window);
    if (!record) {
        return "hwnd:" + Pointer(window);
    }
    if (record->isDialog) {
        return "dialog:" + Num(record->templateId);
    }
    return "#" + Num(record->controlId);
}

WindowInfo Inspect(HWND window) {
    WindowInfo info;
    const WindowRecord* record = FindWindow(window);
    if (!record) {
        return info;
    }
    info.className = record->className;
    info.text = record->text;
    info.wideText = record->wideText ? *record->wideText : Widen(CP_ACP, record->text);
    info.style = record->style;
    info.exStyle = record->exStyle;
    info.visible = (record->style & WS_VISIBLE) != 0;
    info.enabled = (record->style & WS_DISABLED) == 0;
    info.destroyed = record->destroyed;
    info.controlId = record->controlId;
    info.alpha = record->alpha;
    info.smallIcon = record->smallIcon;
    info.bigIcon = record->bigIcon;
    info.redraw = record->redraw;
    return info;
}

HWND Dialog(int templateId) {
    const auto& windows = S().windows;
    for (size_t i = windows.size(); i-- > 0;) {
        if (windows[i]->isDialog && windows[i]->templateId == templateId) {
            return HandleOf(i);
        }
    }
    return nullptr;
}

HWND Control(int templateId, int controlId) {
    HWND dialog = Dialog(templateId);
    const auto& windows = S().windows;
    for (size_t i = 0; dialog && i < windows.size(); ++i) {
        if (windows[i]->parent == dialog && (windows[i]->style & WS_CHILD) &&
            windows[i]->controlId == controlId) {
            return HandleOf(i);
        }
    }
    return nullptr;
}

ListInfo InspectList(HWND listControl) {
    ListInfo info;
    const WindowRecord* record = FindWindow(listControl);
    if (!record) {
        return info;
    }
    info.columns = record->list.columns;
    for (ListColumn& column : info.columns) {
        column.header = Narrow(CP_ACP, column.wideHeader);
    }
    info.extendedStyle = record->list.extendedStyle;
    info.extendedStyleCalls = record->list.extendedStyleCalls;
    for (size_t i = 0; i < record->list.rows.size(); ++i) {
        const ListRowRecord& row = record->list.rows[i];
        ListRow shown{{}, row.cells};
        for (const std::u16string& cell : row.cells) {
            shown.cells.push_back(Narrow(CP_ACP, cell));
        }
        info.rows.push_back(std::move(shown));
        if (row.state & LVIS_FOCUSED) {
            info.focusedRow = static_cast<int>(i);
        }
    }
    return info;
}

}  // namespace standin

using namespace standin;
using namespace standin::detail;

// ---------------------------------------------------------------------------------------------
// Window procedures

// The dialog manager's window procedure: the dialog procedure first, the defaults after it.
LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowRecord* record = LiveWindow(dialog);
    if (!record) {
        return 0;
    }
    record->dialogResultSlot = 0;
    DLGPROC procedure = record->dialogProc;
    const INT_PTR handled = procedure ? procedure(dialog, message, wParam, lParam) : FALSE;
    record = FindWindow(dialog);
    if (handled) {
        return ReturnsProcedureResult(message) ? handled : record->dialogResultSlot;
    }
    LRESULT result = 0;
    if (DefaultTextMessage(dialog, message, wParam, lParam, result)) {
        return result;
    }
    if (message == WM_CLOSE) {
        // The close box presses the Cancel button (it need not exist), unless that is disabled.
        HWND cancel = FindControl(dialog, IDCANCEL);
        WindowRecord* button = FindWindow(cancel);
        if (!button || !(button->style & WS_DISABLED)) {
            Post(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(cancel));
        }
    }
    return 0;
}

// The stand-in's messages carry no texts that would need converting on the way.
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam,
                        LPARAM lParam) {
    return procedure ? procedure(window, message, wParam, lParam) : 0;
}

// ---------------------------------------------------------------------------------------------
// Dialogs

namespace {

INT_PTR RunModalDialog(HINSTANCE instance, int templateId, HWND owner, DLGPROC dialogProc,
                       LPARAM initParam) {
    LogCall("DialogBoxParamW", {instance ? ModuleName(ModuleIndex(instance)) : "NULL",
                                Num(templateId), Win(owner), Num(initParam)});
    const DialogTemplate* tmpl =
        instance == nullptr || ModuleIndex(instance) == 0 ? FindTemplate(templateId) : nullptr;
    if (!tmpl) {
        Fail("DialogBoxParamW: no dialog template " + Num(templateId));
        S().lastError = ERROR_RESOURCE_NAME_NOT_FOUND;
        return -1;
    }

    // A modal dialog disables its owner while it runs.
    HWND ownerWindow = owner ? TopLevel(owner) : nullptr;
    WindowRecord* ownerRecord = LiveWindow(ownerWindow);
    const bool disabledOwner = ownerRecord && !(ownerRecord->style & WS_DISABLED);
    if (disabledOwner) {
        ownerRecord->style |= WS_DISABLED;
    }

    HWND dialog = BuildDialog(*tmpl, ownerWindow, dialogProc);
    Deliver(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(FirstTabStop(dialog)), initParam);
    WindowRecord* record = FindWindow(dialog);
    if ((tmpl->style & WS_VISIBLE) && !record->ended && !record->destroyed) {
        record->style |= WS_VISIBLE;
    }

    // The modal loop: one queued message at a time; the user acts when the queue is empty.
    while (!FindWindow(dialog)->ended && !FindWindow(dialog)->destroyed) {
        FireDueTriggers();
        std::deque<MSG>& queue = S().queue;
        if (queue.empty()) {
            // Windows paints when the queue is empty, before the user's next gesture.
            PaintOwnerDataLists();
            PerformNextInput("modal loop");
            continue;
        }
        const MSG msg = queue.front();
        if (msg.message == WM_QUIT) {
            break;  // the quit message stays queued for the loop outside
        }
        queue.pop_front();
        if (msg.hwnd) {
            Deliver(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        }
    }

    record = FindWindow(dialog);
    const INT_PTR result = record->ended ? record->endResult : 0;
    if (!record->destroyed) {
        DestroyDialog(dialog);
    }
    if (disabledOwner) {
        if (WindowRecord* again = FindWindow(ownerWindow)) {
            again->style &= ~static_cast<DWORD>(WS_DISABLED);
        }
    }
    return result;
}

}  // namespace

// The program only names templates by number.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam) {
    if (!IS_INTRESOURCE(templateName)) {
        Abort("DialogBoxParamW: the stand-in knows its templates by number only");
    }
    return RunModalDialog(instance, LOWORD(templateName), owner, dialogProc, initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    LogCall("EndDialog", {Win(dialog), Num(result)});
    WindowRecord* record = LiveWindow(dialog);
    if (!record || !record->isDialog) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    record->ended = true;
    record->endResult = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int controlId) {
    HWND control = FindControl(dialog, controlId);
    if (!control) {
        S().lastError =
            LiveWindow(dialog) ? ERROR_CONTROL_ID_NOT_FOUND : ERROR_INVALID_WINDOW_HANDLE;
    }
    return control;
}

HWND GetParent(HWND window) {
    WindowRecord* record = LiveWindow(window);
    return record ? record->parent : nullptr;
}

HWND GetWindow(HWND window, UINT command) {
    WindowRecord* record = LiveWindow(window);
    return record && command == GW_OWNER && !(record->style & WS_CHILD) ? record->parent : nullptr;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC callback, LPARAM lParam) {
    // By index: a window the callback creates is not visited, and none goes away.
    const size_t count = S().windows.size();
    for (size_t i = 0; i < count; ++i) {
        const WindowRecord& record = *S().windows[i];
        if (!record.destroyed && !(record.style & WS_CHILD) && !callback(HandleOf(i), lParam)) {
            break;
        }
    }
    return TRUE;
}

int GetClassNameW(HWND window, LPWSTR buffer, int bufferSize) {
    WindowRecord* record = LiveWindow(window);
    if (!record || !buffer || bufferSize <= 0) {
        return 0;
    }
    const size_t count = std::min<size_t>(record->className.size(), bufferSize - 1);
    for (size_t i = 0; i < count; ++i) {
        buffer[i] = static_cast<unsigned char>(record->className[i]);
    }
    buffer[count] = 0;
    return static_cast<int>(count);
}

DWORD GetCurrentThreadId() {
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Window state

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    LogCall("SetWindowTextW", {Win(window), WideArg(text)});
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    // The stand-in's procedures see the text in the code page; the window keeps it whole
    // besides.
    const std::u16string wide = text ? std::u16string(text) : std::u16string();
    const std::string narrow = Narrow(CP_ACP, wide);
    const LRESULT set = Deliver(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(narrow.c_str()));
    record = LiveWindow(window);
    if (set && record) {
        record->wideText = wide;
    }
    return set ? TRUE : FALSE;
}

// The W calls read the window's text directly: the stand-in's window procedures take A messages
// only. A text typed as ANSI (SetEditText) reads back converted from the selected code page.
int GetWindowTextW(HWND window, LPWSTR buffer, int bufferSize) {
    WindowRecord* record = LiveWindow(window);
    if (!buffer || bufferSize <= 0) {
        return 0;
    }
    buffer[0] = 0;
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    const std::u16string text = record->wideText ? *record->wideText : WideOfAnsi(record->text);
    const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(bufferSize) - 1);
    std::memcpy(buffer, text.data(), count * sizeof(char16_t));
    buffer[count] = 0;
    return static_cast<int>(count);
}

int GetWindowTextLengthW(HWND window) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return static_cast<int>(record->wideText ? record->wideText->size()
                                             : WideOfAnsi(record->text).size());
}

BOOL ShowWindow(HWND window, int command) {
    LogCall("ShowWindow", {Win(window), Num(command)});
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    const bool wasVisible = (record->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) {
        record->style &= ~static_cast<DWORD>(WS_VISIBLE);
    } else {
        record->style |= WS_VISIBLE;
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    LogCall("UpdateWindow", {Win(window)});
    return LiveWindow(window) ? TRUE : FALSE;
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    LogCall("InvalidateRect", {Win(window), Pointer(rect), Num(erase)});
    return LiveWindow(window) ? TRUE : FALSE;
}

namespace {

// Where the window's client area starts on the screen.
POINT ClientOrigin(HWND window) {
    POINT origin{};
    for (WindowRecord* record = LiveWindow(window); record;) {
        origin.x += record->bounds.left;
        origin.y += record->bounds.top;
        record = (record->style & WS_CHILD) ? LiveWindow(record->parent) : nullptr;
    }
    return origin;
}

}  // namespace

BOOL GetClientRect(HWND window, LPRECT rect) {
    WindowRecord* record = LiveWindow(window);
    if (!record || !rect) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    *rect = RECT{0, 0, record->bounds.right - record->bounds.left,
                 record->bounds.bottom - record->bounds.top};
    return TRUE;
}

BOOL GetWindowRect(HWND window, LPRECT rect) {
    if (!GetClientRect(window, rect)) {
        return FALSE;
    }
    const POINT origin = ClientOrigin(window);
    *rect = RECT{origin.x, origin.y, origin.x + rect->right, origin.y + rect->bottom};
    return TRUE;
}

// A null window is the screen.
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    const POINT source = ClientOrigin(from);
    const POINT target = ClientOrigin(to);
    const LONG dx = source.x - target.x;
    const LONG dy = source.y - target.y;
    for (UINT i = 0; i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return static_cast<int>(MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy)));
}

BOOL SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT flags) {
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    RECT& bounds = record->bounds;
    if (flags & SWP_NOMOVE) {
        x = bounds.left;
        y = bounds.top;
    }
    if (flags & SWP_NOSIZE) {
        width = bounds.right - bounds.left;
        height = bounds.bottom - bounds.top;
    }
    bounds = RECT{x, y, x + width, y + height};
    return TRUE;
}

HDC GetDC(HWND window) {
    LogCall("GetDC", {Win(window)});
    return reinterpret_cast<HDC>(static_cast<uintptr_t>(1));
}

int ReleaseDC(HWND window, HDC) {
    LogCall("ReleaseDC", {Win(window)});
    return 1;
}

int GetDeviceCaps(HDC, int index) {
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    LogCall("EnableWindow", {Win(window), Num(enable)});
    WindowRecord* record = LiveWindow(window);
    if (!record) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    const bool wasDisabled = (record->style & WS_DISABLED) != 0;
    if (enable) {
        record->style &= ~static_cast<DWORD>(WS_DISABLED);
    } else {
        record->style |= WS_DISABLED;
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    WindowRecord* record = LiveWindow(window);
    return record && !(record->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    // A child is visible only when every window above it is.
    for (WindowRecord* record = LiveWindow(window); record;) {
        if (!(record->style & WS_VISIBLE)) {
            return FALSE;
        }
        if (!(record->style & WS_CHILD)) {
            return TRUE;
        }
        record = LiveWindow(record->parent);
    }
    return FALSE;
}

LONG GetWindowLongA(HWND window, int index) {
    LogCall("GetWindowLongA", {Win(window), Num(index)});
    WindowRecord* record = LiveWindow(window);
    LONG_PTR value = 0;
    if (!record || !FitsLong(*record, index) || !GetLong(*record, index, value)) {
        S().lastError = record ? ERROR_INVALID_INDEX : ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return static_cast<LONG>(value);
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
    LogCall("SetWindowLongA", {Win(window), Num(index), Num(value)});
    WindowRecord* record = LiveWindow(window);
    LONG_PTR previous = 0;
    if (!record || !FitsLong(*record, index) || !SetLong(*record, index, value, previous)) {
        S().lastError = record ? ERROR_INVALID_INDEX : ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return static_cast<LONG>(previous);
}

LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    LogCall("SetWindowLongPtrW", {Win(window), Num(index), Num(value)});
    WindowRecord* record = LiveWindow(window);
    LONG_PTR previous = 0;
    if (!record || !SetLong(*record, index, value, previous)) {
        S().lastError = record ? ERROR_INVALID_INDEX : ERROR_INVALID_WINDOW_HANDLE;
        return 0;
    }
    return previous;
}

BOOL SetLayeredWindowAttributes(HWND window, COLORREF key, BYTE alpha, DWORD flags) {
    LogCall("SetLayeredWindowAttributes",
            {Win(window), Unsigned(key), Unsigned(alpha), Unsigned(flags)});
    WindowRecord* record = LiveWindow(window);
    if (!record || !(record->exStyle & WS_EX_LAYERED)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    if (flags & LWA_ALPHA) {
        record->alpha = alpha;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Messages

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LogCall("SendMessageA", {Win(window), Unsigned(message), Unsigned(wParam), Num(lParam)});
    return Deliver(window, message, wParam, lParam);
}

// Only the W messages the stand-in's controls answer carry texts in UTF-16; a window message with
// a text in it would reach the ANSI procedures in the wrong form, so it is refused.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LogCall("SendMessageW", {Win(window), Unsigned(message), Unsigned(wParam), Num(lParam)});
    if (message == WM_SETTEXT || message == WM_GETTEXT || message == WM_GETTEXTLENGTH) {
        Abort("SendMessageW with a window text message: use SetWindowTextW or the A message");
    }
    return Deliver(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LogCall("PostMessageA", {Win(window), Unsigned(message), Unsigned(wParam), Num(lParam)});
    if (window && !LiveWindow(window)) {
        S().lastError = ERROR_INVALID_WINDOW_HANDLE;
        return FALSE;
    }
    Post(window, message, wParam, lParam);
    return TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    FireDueTriggers();
    LogCall("PeekMessageA",
            {Win(window), Unsigned(filterMin), Unsigned(filterMax), Unsigned(removeFlags)});
    auto found = FindMessage(window, filterMin, filterMax);
    if (found == S().queue.end()) {
        return FALSE;
    }
    *msg = *found;
    if (removeFlags & PM_REMOVE) {
        S().queue.erase(found);
    }
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    FireDueTriggers();
    LogCall("GetMessageA", {Win(window), Unsigned(filterMin), Unsigned(filterMax)});
    auto found = FindMessage(window, filterMin, filterMax);
    while (found == S().queue.end()) {
        PerformNextInput("GetMessageA");
        FireDueTriggers();
        found = FindMessage(window, filterMin, filterMax);
    }
    *msg = *found;
    S().queue.erase(found);
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    LogCall("DispatchMessageA",
            {Win(msg->hwnd), Unsigned(msg->message), Unsigned(msg->wParam), Num(msg->lParam)});
    return msg->hwnd ? Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

// ---------------------------------------------------------------------------------------------
// The system menu: only what the program adds to it is logged; the stand-in keeps no menu items.

namespace {

const HMENU kSystemMenu = reinterpret_cast<HMENU>(static_cast<uintptr_t>(0x600000));

}  // namespace

HMENU GetSystemMenu(HWND window, BOOL revert) {
    LogCall("GetSystemMenu", {Win(window), Num(revert)});
    return LiveWindow(window) && !revert ? kSystemMenu : nullptr;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    LogCall("AppendMenuW", {menu == kSystemMenu ? "system menu" : Pointer(menu), Unsigned(flags),
                            Unsigned(id), (flags & MF_SEPARATOR) ? "separator" : WideArg(text)});
    if (menu != kSystemMenu) {
        return FALSE;
    }
    if (!(flags & MF_SEPARATOR)) {
        S().systemMenuItems.push_back(id);
    }
    return TRUE;
}

BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCWSTR text) {
    LogCall("ModifyMenuW", {menu == kSystemMenu ? "system menu" : Pointer(menu), Unsigned(position),
                            Unsigned(flags), Unsigned(id), WideArg(text)});
    return menu == kSystemMenu ? TRUE : FALSE;
}

BOOL SetPropW(HWND window, LPCWSTR name, HANDLE data) {
    LogCall("SetPropW", {Win(window), WideArg(name), Pointer(data)});
    return LiveWindow(window) != nullptr ? TRUE : FALSE;
}

BOOL IsIconic(HWND window) {
    LogCall("IsIconic", {Win(window)});
    return FALSE;
}

BOOL SetForegroundWindow(HWND window) {
    LogCall("SetForegroundWindow", {Win(window)});
    return LiveWindow(window) != nullptr ? TRUE : FALSE;
}
