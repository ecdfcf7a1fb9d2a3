// The stand-in's life cycle, call log, scripted user and knobs.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "internal.h"

namespace standin {
namespace detail {

State& S() {
    static State state;
    return state;
}

std::string Num(long long value) {
    return std::to_string(value);
}
std::string Unsigned(unsigned long long value) {
    return std::to_string(value);
}
std::string Text(const char* text) {
    return text ? std::string(text) : std::string("NULL");
}

std::string Pointer(const void* pointer) {
    if (!pointer) {
        return "NULL";
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)));
    return buffer;
}

std::string Win(HWND window) {
    return Describe(window);
}

void LogCall(const std::string& function, std::vector<std::string> args) {
    State& s = S();
    if (s.logging) {
        s.log.push_back(Call{function, std::move(args)});
    }
    ++s.callCounts[function];
    CheckCallInView(function);
}

void Fail(const std::string& failure) {
    S().failures.push_back(failure);
}

void Abort(const std::string& failure) {
    Fail(failure);
    throw ScenarioAbort{};
}

void FireDueTriggers() {
    State& s = S();
    // A trigger's action may add triggers; index instead of iterating.
    for (size_t i = 0; i < s.triggers.size(); ++i) {
        if (s.triggers[i].fired) {
            continue;
        }
        auto counted = s.callCounts.find(s.triggers[i].function);
        if (counted == s.callCounts.end() || counted->second < s.triggers[i].count) {
            continue;
        }
        s.triggers[i].fired = true;
        std::function<void()> action = s.triggers[i].postAction;
        action();
    }
}

std::string DescribeAction(const Action& action) {
    switch (action.kind) {
        case ActionKind::Input:
            return action.description;
        case ActionKind::AnswerBox:
            return "answer a message box with " + Num(action.boxResult) +
                   (action.expectedText ? " (expecting \"" + *action.expectedText + "\")" : "") +
                   (action.expectedWide ? " (expecting \"" + Utf8(*action.expectedWide) + "\")"
                                        : "");
        case ActionKind::ChooseFiles:
            return "choose files in an open-file dialog";
        case ActionKind::CancelFileDialog:
            return "cancel an open-file dialog";
    }
    return "?";
}

std::optional<Action> TakeAction(ActionKind kind) {
    State& s = S();
    if (s.script.empty() || s.script.front().kind != kind) {
        return std::nullopt;
    }
    Action action = std::move(s.script.front());
    s.script.pop_front();
    return action;
}

void PerformNextInput(const char* waiter) {
    State& s = S();
    if (s.script.empty()) {
        Abort(std::string(waiter) + " waits with an empty script");
    }
    if (s.script.front().kind != ActionKind::Input) {
        Abort(std::string(waiter) + " waits for input, but the next script action is: " +
              DescribeAction(s.script.front()));
    }
    std::optional<Action> action = TakeAction(ActionKind::Input);
    action->step();
}

void ResetRunState() {
    State& s = S();
    s.windows.clear();
    s.queue.clear();
    s.log.clear();
    s.callCounts.clear();
    s.failures.clear();
    s.drops.clear();
    s.blocks.clear();
    s.clipboardOpen = false;
    s.lastError = 0;
    s.commDlgError = 0;
    s.lastOpenFileW.reset();
    s.searches.clear();
    s.clock = 0;
    s.openKeys.clear();
    s.systemMenuItems.clear();
    s.shortcuts.clear();
    ResetWow64Run();
    ResetSyncRun();
}

void CheckEndOfRun() {
    State& s = S();
    if (s.clipboardOpen) {
        Fail("the clipboard was left open");
    }
    for (size_t i = 0; i < s.blocks.size(); ++i) {
        if (s.blocks[i]->locks > 0) {
            Fail("global block " + Num(static_cast<long long>(i + 1)) + " was left locked");
        }
    }
    CheckWow64EndOfRun();
    CheckRegistryEndOfRun();
    CheckSyncEndOfRun();
}

}  // namespace detail

using namespace detail;

void Reset() {
    State& s = S();
    ResetRunState();
    s.codePage = 936;
    s.disk.clear();
    s.shortNames.clear();
    s.wow64 = Wow64State{};
    s.currentDirectory = "C:\\";
    s.restartDialogResult = IDNO;
    s.clipboardBytes.reset();
    s.clipboardWide.reset();
    s.clipboardBusy = false;
    s.logging = true;
    s.globalLockFails = false;
    s.hiddenExports.clear();
    s.pendingLock = PendingLockRecord{};
    ResetRegistry();
    s.script.clear();
    s.triggers.clear();
}

RunResult Run(int (*entry)()) {
    ResetRunState();
    RunResult result;
    try {
        result.exitCode = entry();
    } catch (const ProcessExit& exit) {
        result.exitCode = static_cast<int>(exit.code);
        result.calledExitProcess = true;
    } catch (const ScenarioAbort&) {
        result.aborted = true;
    } catch (const std::exception& error) {
        Fail(std::string("the run ended with an exception: ") + error.what());
        result.aborted = true;
    }
    if (!result.aborted) {
        CheckEndOfRun();
    }
    return result;
}

const std::vector<std::string>& Failures() {
    return S().failures;
}

size_t PendingActions() {
    size_t pending = S().script.size();
    for (const Trigger& trigger : S().triggers) {
        pending += trigger.fired ? 0 : 1;
    }
    return pending;
}

const std::vector<Call>& Log() {
    return S().log;
}

std::vector<Call> CallsTo(const std::string& function) {
    std::vector<Call> calls;
    for (const Call& call : S().log) {
        if (call.function == function) {
            calls.push_back(call);
        }
    }
    return calls;
}

size_t CountCalls(const std::string& function) {
    size_t count = 0;
    for (const Call& call : S().log) {
        count += call.function == function ? 1 : 0;
    }
    return count;
}

void ClearLog() {
    S().log.clear();
}

void SetLogging(bool keepCalls) {
    S().logging = keepCalls;
}

// ---------------------------------------------------------------------------------------------
// The scripted user

namespace {

void AddInput(const std::string& description, std::function<void()> step) {
    Action action;
    action.kind = ActionKind::Input;
    action.description = description;
    action.step = std::move(step);
    S().script.push_back(std::move(action));
}

std::string Target(int templateId, int controlId) {
    return Num(templateId) + "/" + Num(controlId);
}

}  // namespace

void Click(int templateId, int controlId) {
    AddInput("click " + Target(templateId, controlId),
             [templateId, controlId] { PostClick(templateId, controlId); });
}

void Close(int templateId) {
    AddInput("close dialog " + Num(templateId), [templateId] { PostClose(templateId); });
}

namespace {

HWND LiveDialogFor(int templateId, const std::string& gesture) {
    HWND dialog = Dialog(templateId);
    if (!LiveWindow(dialog)) {
        Abort(gesture + ": dialog " + Num(templateId) + " is not open");
    }
    return dialog;
}

void PostCommand(int templateId, int command, const std::string& gesture) {
    HWND dialog = LiveDialogFor(templateId, gesture);
    // The dialog manager turns Enter and Escape into the commands of the buttons with these ids.
    Post(dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
         reinterpret_cast<LPARAM>(FindControl(dialog, command)));
}

}  // namespace

void PressEnter(int templateId) {
    AddInput("press Enter in dialog " + Num(templateId),
             [templateId] { PostCommand(templateId, IDOK, "press Enter"); });
}

void PressEscape(int templateId) {
    AddInput("press Escape in dialog " + Num(templateId),
             [templateId] { PostCommand(templateId, IDCANCEL, "press Escape"); });
}

void FocusRow(int row) {
    AddInput("focus row " + Num(row), [row] {
        HWND dialog = LiveDialogFor(1000, "focus a row");
        HWND list = nullptr;
        for (size_t i = 0; i < S().windows.size(); ++i) {
            WindowRecord& record = *S().windows[i];
            if (!record.destroyed && record.parent == dialog && record.className == WC_LISTVIEWA) {
                list = HandleOf(i);
                break;
            }
        }
        if (!list) {
            Abort("focus a row: the main dialog has no list");
        }
        WindowRecord& record = *FindWindow(list);
        if (row < -1 || row >= static_cast<int>(record.list.rows.size())) {
            Abort("focus row " + Num(row) + ": the list has " +
                  Num(static_cast<long long>(record.list.rows.size())) + " rows");
        }
        // A click on a row of a single-selection list: it alone is focused and selected.
        for (size_t i = 0; i < record.list.rows.size(); ++i) {
            UINT& state = record.list.rows[i].state;
            state &= ~static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED);
            if (static_cast<int>(i) == row) {
                state |= LVIS_FOCUSED | LVIS_SELECTED;
            }
        }
    });
}

void SelectRows(int templateId, int controlId, const std::vector<int>& rows) {
    const std::string gesture = "select rows of " + Target(templateId, controlId);
    AddInput(gesture, [templateId, controlId, rows, gesture] {
        WindowRecord* list = LiveWindow(Control(templateId, controlId));
        if (!list || list->className != WC_LISTVIEWA) {
            Abort(gesture + ": no such list is open");
        }
        if (rows.empty() || (rows.size() > 1 && (list->style & LVS_SINGLESEL))) {
            Abort(gesture + ": " + Num(static_cast<long long>(rows.size())) + " rows");
        }
        std::vector<ListRowRecord>& listed = list->list.rows;
        for (int row : rows) {
            if (row < 0 || row >= static_cast<int>(listed.size())) {
                Abort(gesture + ": the list has no row " + Num(row));
            }
        }
        // A click on the first row, then a Ctrl-click on each further one.
        for (size_t i = 0; i < listed.size(); ++i) {
            UINT& state = listed[i].state;
            state &= ~static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED);
            if (std::find(rows.begin(), rows.end(), static_cast<int>(i)) != rows.end()) {
                state |= LVIS_SELECTED;
            }
        }
        listed[static_cast<size_t>(rows.back())].state |= LVIS_FOCUSED;
    });
}

void ChooseSystemMenuItem(int templateId, UINT command) {
    AddInput("choose " + Unsigned(command) + " in the system menu of dialog " + Num(templateId),
             [templateId, command] {
                 HWND dialog = LiveDialogFor(templateId, "choose in the system menu");
                 const std::vector<UINT_PTR>& items = S().systemMenuItems;
                 if (std::find(items.begin(), items.end(), command) == items.end()) {
                     Abort("the system menu has no item " + Unsigned(command));
                 }
                 Post(dialog, WM_SYSCOMMAND, command, 0);
             });
}

void SetEditText(int templateId, int controlId, const std::string& text) {
    AddInput("type into " + Target(templateId, controlId), [templateId, controlId, text] {
        HWND edit = Control(templateId, controlId);
        if (!LiveWindow(edit)) {
            Abort("type into " + Target(templateId, controlId) + ": no such control is open");
        }
        Deliver(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    });
}

void SetEditTextW(int templateId, int controlId, const std::u16string& text) {
    AddInput(
        "type UTF-16 text into " + Target(templateId, controlId), [templateId, controlId, text] {
            WindowRecord* edit = LiveWindow(Control(templateId, controlId));
            if (!edit) {
                Abort("type into " + Target(templateId, controlId) + ": no such control is open");
            }
            edit->text = AnsiOfWide(text);
            edit->wideText = text;
        });
}

void Drop(const std::vector<std::optional<std::string>>& paths) {
    AddInput("drop " + Num(static_cast<long long>(paths.size())) + " files",
             [paths] { PostDrop(paths); });
}

void DropW(const std::vector<std::optional<std::u16string>>& paths) {
    AddInput("drop " + Num(static_cast<long long>(paths.size())) + " files",
             [paths] { PostDropW(paths); });
}

void Do(const std::string& description, std::function<void()> step) {
    AddInput(description, std::move(step));
}

void AnswerBox(int result, std::optional<std::string> expectedText) {
    Action action;
    action.kind = ActionKind::AnswerBox;
    action.boxResult = result;
    action.expectedText = std::move(expectedText);
    S().script.push_back(std::move(action));
}

void AnswerBox(int result, const std::u16string& expectedText) {
    Action action;
    action.kind = ActionKind::AnswerBox;
    action.boxResult = result;
    action.expectedWide = expectedText;
    S().script.push_back(std::move(action));
}

void ChooseFiles(const std::string& buffer) {
    Action action;
    action.kind = ActionKind::ChooseFiles;
    action.fileBuffer = buffer;
    S().script.push_back(std::move(action));
}

void ChooseFilesW(const std::u16string& buffer) {
    Action action;
    action.kind = ActionKind::ChooseFiles;
    action.wideFileBuffer = buffer;
    S().script.push_back(std::move(action));
}

void CancelFileDialog() {
    Action action;
    action.kind = ActionKind::CancelFileDialog;
    S().script.push_back(std::move(action));
}

void AfterCall(const std::string& function, size_t count, std::function<void()> postAction) {
    S().triggers.push_back(Trigger{function, count, std::move(postAction), false});
}

void PostClick(int templateId, int controlId) {
    HWND button = Control(templateId, controlId);
    if (!LiveWindow(button)) {
        Abort("click " + Target(templateId, controlId) + ": no such control is open");
    }
    Post(button, BM_CLICK, 0, 0);
}

void PostClose(int templateId) {
    Post(LiveDialogFor(templateId, "close"), WM_CLOSE, 0, 0);
}

namespace {

// Posts a new drop of these entries over a block of exactly these bytes: its handle, or the
// pointer to its bytes.
void PostDropOf(const std::vector<std::optional<std::u16string>>& entries, const std::string& bytes,
                bool postPointer = false) {
    HWND dialog = LiveDialogFor(1000, "drop files");
    if (!(FindWindow(dialog)->exStyle & WS_EX_ACCEPTFILES)) {
        Abort("drop files: the main window does not accept dropped files");
    }
    State& s = S();
    s.drops.push_back(std::make_unique<DropRecord>());
    DropRecord& drop = *s.drops.back();
    drop.entries = entries;
    drop.block.size = bytes.size();
    // Exactly the block's size, so that reading past its end shows up under the sanitizers.
    drop.block.bytes = std::make_unique<char[]>(bytes.size());
    std::memcpy(drop.block.bytes.get(), bytes.data(), bytes.size());
    const WPARAM posted = postPointer ? reinterpret_cast<WPARAM>(drop.block.bytes.get())
                                      : reinterpret_cast<WPARAM>(DropHandle(s.drops.size() - 1));
    Post(dialog, WM_DROPFILES, posted, 0);
}

// The block the shell would hand over: a DROPFILES header (pFiles 20, fWide TRUE) and the names,
// each with its NUL, and one more. An entry that cannot be read still has its place, as a lone
// surrogate: a name no reader of the block can turn into a path, exact or short.
void PostWholeDrop(const std::vector<std::optional<std::u16string>>& paths, bool postPointer) {
    std::u16string names;
    for (const std::optional<std::u16string>& path : paths) {
        names += path ? *path : u"\xD800";
        names += u'\0';
    }
    names += u'\0';
    std::string block(20, '\0');
    block[0] = 20;
    block[16] = 1;
    block.append(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(char16_t));
    PostDropOf(paths, block, postPointer);
}

std::vector<std::optional<std::u16string>> WideNames(
    const std::vector<std::optional<std::string>>& paths) {
    std::vector<std::optional<std::u16string>> names;
    for (const std::optional<std::string>& path : paths) {
        names.push_back(path ? std::optional<std::u16string>(WideOfAnsi(*path)) : std::nullopt);
    }
    return names;
}

}  // namespace

void PostDrop(const std::vector<std::optional<std::string>>& paths) {
    PostWholeDrop(WideNames(paths), false);
}

void PostDropW(const std::vector<std::optional<std::u16string>>& paths) {
    PostWholeDrop(paths, false);
}

void PostDropPointer(const std::vector<std::optional<std::string>>& paths) {
    PostWholeDrop(WideNames(paths), true);
}

void PostDropBlock(const std::string& bytes) {
    PostDropOf({}, bytes);
}

void PostDropHandle(HDROP drop) {
    Post(LiveDialogFor(1000, "drop files"), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

HDROP LastDrop() {
    return S().drops.empty() ? nullptr : DropHandle(S().drops.size() - 1);
}

// ---------------------------------------------------------------------------------------------
// Knobs

void SetCodePage(unsigned codePage) {
    S().codePage = codePage;
}
void SetRestartDialogResult(int result) {
    S().restartDialogResult = result;
}
void SetTickStep(DWORD milliseconds) {
    S().tickStep = milliseconds;
}
void SetClipboardText(const std::string& text) {
    S().clipboardBytes = text + '\0';
    S().clipboardWide.reset();
}
void SetClipboardBlock(const std::string& bytes) {
    S().clipboardBytes = bytes;
    S().clipboardWide.reset();
}
void SetClipboardWideText(const std::u16string& text) {
    SetClipboardWideBlock(text + u'\0');
}
void SetClipboardWideBlock(const std::u16string& units) {
    S().clipboardWide = units;
    // The system's CF_TEXT of UTF-16 text: up to its first NUL, by best fit.
    S().clipboardBytes = AnsiOfWide(units.substr(0, units.find(u'\0'))) + '\0';
}
void ClearClipboard() {
    S().clipboardBytes.reset();
    S().clipboardWide.reset();
}
void SetClipboardBusy(bool busy) {
    S().clipboardBusy = busy;
}
void SetGlobalLockFails(bool fails) {
    S().globalLockFails = fails;
}
void HideExport(const std::string& name) {
    S().hiddenExports.push_back(name);
}

std::optional<OpenFileRequestW> LastOpenFileRequestW() {
    return S().lastOpenFileW;
}
std::vector<std::string> ScheduledDeletions() {
    std::vector<std::string> deletions;
    for (const std::u16string& deletion : ScheduledDeletionsW()) {
        deletions.push_back(AnsiOfWide(deletion));
    }
    return deletions;
}

std::vector<std::u16string> ScheduledDeletionsW() {
    std::vector<std::u16string> deletions;
    const RegistryValueRecord* value = FindValue(kSessionManager, "PendingFileRenameOperations");
    if (value == nullptr) {
        return deletions;
    }
    std::u16string units(value->bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(units.data(), value->bytes.data(), units.size() * sizeof(char16_t));
    // Pairs up to the empty string that ends the list.
    for (size_t at = 0; at < units.size() && units[at] != u'\0';) {
        const size_t sourceEnd = units.find(u'\0', at);
        const size_t destinationEnd =
            sourceEnd == std::u16string::npos ? sourceEnd : units.find(u'\0', sourceEnd + 1);
        if (destinationEnd == std::u16string::npos) {
            break;
        }
        std::u16string source = units.substr(at, sourceEnd - at);
        if (destinationEnd == sourceEnd + 1 && source.rfind(u"\\??\\", 0) == 0) {
            deletions.push_back(source.substr(4));
        }
        at = destinationEnd + 1;
    }
    return deletions;
}

size_t UnfinishedDrops() {
    size_t unfinished = 0;
    for (const auto& drop : S().drops) {
        unfinished += drop->finished ? 0 : 1;
    }
    return unfinished;
}

}  // namespace standin
