#pragma once

// The stand-in's machine: every window, queued message, drop, clipboard block and knob, shared by
// the files of the stand-in library. Nothing outside standin/ includes this.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin/harness.h"
#include "standin/win32_standin.h"

namespace standin::detail {

struct ListRowRecord {
    std::vector<std::u16string> cells;  // by sub-item, exactly as last written
    UINT state = 0;
};

struct ListRecord {
    std::vector<ListColumn> columns;
    std::vector<ListRowRecord> rows;
    DWORD extendedStyle = 0;
    std::vector<std::pair<DWORD, DWORD>> extendedStyleCalls;
};

struct WindowRecord {
    std::string className;
    std::string text;  // in the selected code page, as the stand-in's procedures see it
    // The text as set in UTF-16, when it reached the window whole; otherwise the W functions read
    // text converted from the code page.
    std::optional<std::u16string> wideText;
    DWORD style = 0;  // WS_VISIBLE and WS_DISABLED carry visibility and the enabled state
    DWORD exStyle = 0;
    HWND parent = nullptr;
    int controlId = 0;
    WNDPROC windowProc = nullptr;
    DLGPROC dialogProc = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR dialogResultSlot = 0;  // DWLP_MSGRESULT
    LONG_PTR dialogUser = 0;        // DWLP_USER
    BYTE alpha = 255;
    RECT bounds{};  // a child's in its parent's client coordinates, a top-level one's on the screen
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;
    bool destroyed = false;
    bool redraw = true;  // WM_SETREDRAW
    // Dialogs only.
    bool isDialog = false;
    int templateId = 0;
    bool ended = false;
    INT_PTR endResult = 0;
    // List views only.
    ListRecord list;
};

struct GlobalBlock {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    int locks = 0;
};

// The UTF-16 names a drop carries, as the shell puts them (fWide TRUE), and its memory block,
// which GlobalLock reads until DragFinish frees it.
struct DropRecord {
    std::vector<std::optional<std::u16string>> entries;
    GlobalBlock block;
    bool finished = false;
};

enum class ActionKind { Input, AnswerBox, ChooseFiles, CancelFileDialog };

struct Action {
    ActionKind kind = ActionKind::Input;
    std::string description;
    std::function<void()> step;                    // Input
    int boxResult = 0;                             // AnswerBox
    std::optional<std::string> expectedText;       // in the selected code page
    std::optional<std::u16string> expectedWide;    // in UTF-16
    std::string fileBuffer;                        // ChooseFiles
    std::optional<std::u16string> wideFileBuffer;  // ChooseFilesW: given in UTF-16
};

struct Trigger {
    std::string function;
    size_t count = 0;
    std::function<void()> postAction;
    bool fired = false;
};

// One file or folder of the virtual disk.
struct DiskEntry {
    std::u16string path;  // the full path as it was added
    bool file = false;
    bool directory = false;
    std::optional<std::u16string> shortName;  // the 8.3 name of its last part, when it has one
    bool readOnly = false;
    // Its attributes cannot be changed: SetFileInformationByHandle is denied.
    bool attributesFixed = false;
};

// A 32-bit process on 64-bit Windows (wow64.cpp).
struct Wow64State {
    bool active = false;       // the knob: IsWow64Process says TRUE and the view is redirected
    bool switchFails = false;  // the knob: Wow64DisableWow64FsRedirection refuses
    bool redirectionOff = false;
};

// The registry (registry.cpp): a value, and a key's values by their folded names.
struct RegistryValueRecord {
    DWORD type = REG_NONE;
    std::string bytes;
};
struct RegistryKeyRecord {
    std::map<std::string, RegistryValueRecord> values;
};
// A key the program opened: its full path as named, and the access it asked for.
struct OpenKeyRecord {
    std::string path;
    REGSAM access = 0;
    bool closed = false;
};
// The key whose values hold what the next restart will do.
inline const char kSessionManager[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// A folder search of FindFirstFileW (files.cpp): the entries it has still to hand out.
struct SearchEntry {
    std::u16string name;
    bool directory = false;
};
// The session manager's mutex on the pending values (sync.cpp): its knob, and the program's
// handle and ownership in a run.
struct PendingLockRecord {
    PendingLockState state = PendingLockState::kNone;
    bool open = false;
    int owned = 0;
};
// A file opened with CreateFileW (file_handles.cpp).
struct OpenFileRecord {
    std::u16string finalPath;  // what GetFinalPathNameByHandleW reports
    bool closed = false;
    bool directory = false;
    bool volume = false;  // a volume opened as a device, to ask about its disk
    DWORD access = 0;
    // The file's path as the disk keeps it.
    std::u16string diskPath;
    // A folder's listing through the handle, "." and ".." first, and how much of it was handed
    // out.
    std::vector<SearchEntry> listing;
    size_t listed = 0;
};

struct SearchRecord {
    std::vector<SearchEntry> entries;
    size_t next = 0;
    bool closed = false;
};

struct State {
    // Knobs and the script: set by tests before Run, kept by Run.
    unsigned codePage = 936;
    // Keyed by the full UTF-16 path, in WTF-8, ASCII letters folded, no trailing separator.
    std::map<std::string, DiskEntry> disk;
    // The key of the folder's entry, a separator and the folded short name -> the entry's key.
    std::map<std::string, std::string> shortNames;
    std::string currentDirectory = "C:\\";
    int restartDialogResult = IDNO;
    std::optional<std::string> clipboardBytes;    // CF_TEXT; nullopt: no text on the clipboard
    std::optional<std::u16string> clipboardWide;  // CF_UNICODETEXT, terminator included
    // Off for long measured runs: calls are still counted for AfterCall, but not kept.
    bool logging = true;
    bool clipboardBusy = false;
    bool globalLockFails = false;
    std::vector<std::string> hiddenExports;
    // Keyed by the full path, in WTF-8, ASCII letters folded.
    std::map<std::string, RegistryKeyRecord> registry;
    std::deque<LONG> registryWriteAnswers;
    // After the program's next write, the answer of that many reads of a value's data.
    LONG readAnswerAfterWrite = ERROR_SUCCESS;
    size_t readsAfterWrite = 0;
    bool readAnswersArmed = false;
    // The answer of the reads still to be answered so.
    LONG readAnswer = ERROR_SUCCESS;
    size_t readsLeft = 0;
    std::deque<Action> script;
    std::vector<Trigger> triggers;

    // Per run.
    std::vector<std::unique_ptr<WindowRecord>> windows;
    std::deque<MSG> queue;
    std::vector<Call> log;
    std::map<std::string, size_t> callCounts;
    std::vector<std::string> failures;
    std::vector<std::unique_ptr<DropRecord>> drops;
    std::vector<std::unique_ptr<GlobalBlock>> blocks;
    bool clipboardOpen = false;
    DWORD lastError = 0;
    DWORD commDlgError = 0;
    std::optional<OpenFileRequestW> lastOpenFileW;
    std::vector<OpenKeyRecord> openKeys;
    std::vector<UINT_PTR> systemMenuItems;  // the commands the program appended
    // The shortcut files of the Send To folder: path -> target.
    std::map<std::u16string, std::u16string> shortcuts;

    // The view of a 32-bit process on 64-bit Windows: knobs kept by Run, the switch per run.
    Wow64State wow64;
    std::vector<OpenFileRecord> openFiles;
    // FindFirstFileW's searches: each the names still to hand out.
    std::vector<SearchRecord> searches;
    DWORD tickStep = 0;
    ULONGLONG clock = 0;
    PendingLockRecord pendingLock;
};

State& S();

// Handles. Each kind of object lives in its own range, so a handle of one kind never finds an
// object of another.
WindowRecord* FindWindow(HWND window);  // nullptr for null, unknown handles
WindowRecord* LiveWindow(HWND window);  // also nullptr for destroyed windows
HWND HandleOf(size_t windowIndex);
DropRecord* FindDrop(HDROP drop);
HDROP DropHandle(size_t index);
GlobalBlock* FindBlock(HGLOBAL block);
HGLOBAL BlockHandle(size_t index);
HICON IconHandle(int module, int resourceId);
// The one mutex a run creates.
HANDLE MutexHandle();
HMODULE ModuleHandle(int module);  // 0 program, 1 shell32, 2 user32, 3 kernel32, 4 comctl32, ...
int ModuleIndex(HMODULE module);   // -1 when unknown
std::string ModuleName(int module);

// The log. Log() appends an entry and arms the AfterCall triggers that count it.
void LogCall(const std::string& function, std::vector<std::string> args);
std::string Num(long long value);
std::string Unsigned(unsigned long long value);
std::string Text(const char* text);  // "NULL" for a null pointer
std::string Pointer(const void* pointer);
// A UTF-16 text for the log: its UTF-8 form, "NULL" for a null pointer.
std::string WideArg(const char16_t* text);

// Conversions for the stand-in's own bookkeeping, by the rules of its MultiByteToWideChar and
// WideCharToMultiByte (CP_ACP is the selected code page); they leave the last error alone.
std::u16string Widen(unsigned codePage, const std::string& text);
std::string Narrow(unsigned codePage, const std::u16string& text);
std::string Utf8(const std::u16string& text);
std::string Win(HWND window);

// Records a failure and ends the scenario.
[[noreturn]] void Abort(const std::string& failure);
void Fail(const std::string& failure);

// Runs the AfterCall triggers whose call has happened.
void FireDueTriggers();
// The program waits for input: performs the next scripted input action, or gives up.
void PerformNextInput(const char* waiter);
// Takes the next script action, which must be of the given kind for the named consumer.
std::optional<Action> TakeAction(ActionKind kind);
std::string DescribeAction(const Action& action);

// Windows.
HWND CreateWindowRecord(std::unique_ptr<WindowRecord> record);
LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND TopLevel(HWND window);
HWND FindControl(HWND dialog, int controlId);  // nullptr when the dialog has no such control
// Text messages every window class answers the same way.
bool DefaultTextMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Control class procedures.
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Every owner-data list asks its parent for the cells it shows, as a paint would.
void PaintOwnerDataLists();
WNDPROC ClassProcedure(const std::string& className);

// Texts between the code page selected and UTF-16, as the platform converts the arguments of
// its A calls (MultiByteToWideChar) and their results (WideCharToMultiByte with best fit).
std::u16string WideOfAnsi(const std::string& ansi);
std::string AnsiOfWide(const std::u16string& wide);
// UTF-16 as WTF-8 (UTF-8 that also carries lone surrogates) and back: lossless either way.
std::string Wtf8(const std::u16string& wide);
std::u16string FromWtf8(const std::string& bytes);

// Paths: the full path Windows would make of a name, or nullopt when it cannot.
std::optional<std::string> FullPath(const std::string& path);
std::optional<std::string> FullPath(const std::string& path, const std::string& currentDirectory);
std::string FoldCase(const std::string& text);

void ResetRunState();
void CheckEndOfRun();

// The registry (registry.cpp). keyPath is a full path from HKEY_LOCAL_MACHINE, name WTF-8.
void SetValue(const std::string& keyPath, const std::string& name, DWORD type,
              const std::string& bytes);
const RegistryValueRecord* FindValue(const std::string& keyPath, const std::string& name);
// Only the Session Manager key, without values; no scripted write answers.
void ResetRegistry();
void CheckRegistryEndOfRun();

// The view of a 32-bit process on 64-bit Windows (wow64.cpp).
// The disk key a look-up finds in the current view: under WOW64, with redirection on,
// c:\windows\system32 (but its exempt subfolders) is c:\windows\syswow64, and
// c:\windows\sysnative is c:\windows\system32.
std::optional<std::string> InView(const std::optional<std::string>& key);
// Fails the scenario for a call made while redirection is off, other than the tests it is off for.
void CheckCallInView(const std::string& function);
FARPROC Wow64Export(const std::string& name);  // IsWow64Process, or nullptr
void ResetWow64Run();
void CheckWow64EndOfRun();

// What a path names on the disk in the current view: its spelling as added, and whether it is a
// folder (system.cpp).
struct DiskHit {
    std::u16string path;
    bool directory = false;
};
std::optional<DiskHit> LookUpInView(const std::u16string& path);
// The disk entry a full UTF-16 path names in the current view; nullptr for none.
DiskEntry* EntryInView(const std::u16string& path);
// The names a folder holds, its path as the disk keeps it (files.cpp).
std::vector<SearchEntry> EntriesOf(const std::u16string& folder);
// The index GetFileInformationByHandle gives the file of a final path ("\\?\C:\a"), whatever
// its spelling.
uint64_t FileIndexOf(const std::u16string& finalPath);

// The pending values' mutex and ntdll's calls (sync.cpp).
FARPROC NtdllExport(const std::string& name);
// The upper case of a unit, as the stand-in's file system compares names: ASCII, Latin-1 and
// the Latin Extended-A pairs.
char16_t UpperCaseUnit(char16_t unit);
bool CloseMutantHandle(HANDLE object);
// Fails the scenario for a call the program makes while it holds the pending values' lock.
void CheckCallOutsideLock(const std::string& function);
void ResetSyncRun();
void CheckSyncEndOfRun();
// The GUID path of a drive letter's volume ("\\?\Volume{...}\"): one volume for each letter.
std::u16string VolumeOfLetter(char16_t letter);

}  // namespace standin::detail
