// Another program writes the pending operations under the system's lock, \PendingRenameMutex,
// which Wine does not make: a process of its own (this suite, started with --hold-pending-lock)
// creates it in the root of the object namespace and holds it. The restart run waits for it: the
// rows say so, nothing is written, the window keeps answering. Once the other program has added
// its rename and let go, the value holds that rename and then the run's deletions.

#include <windows.h>
#include <winternl.h>

#include <string>

#include "driver.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "scenarios.h"

namespace {

const std::wstring kFolder = L"C:\\e2e\\lock\\";
const wchar_t kHeldEvent[] = L"Local\\rebootdel-e2e-lock-held";
const wchar_t kLetGoEvent[] = L"Local\\rebootdel-e2e-lock-let-go";

using NtCreateMutantCall = NTSTATUS(NTAPI*)(HANDLE*, ACCESS_MASK, OBJECT_ATTRIBUTES*, BOOLEAN);

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

}  // namespace

const std::wstring kSetupNew = kFolder + L"setup.new";
const std::wstring kSetupDll = kFolder + L"setup.dll";

bool StartOtherWriter(OtherWriter& writer) {
    writer.held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
    writer.letGo = CreateEventW(nullptr, TRUE, FALSE, kLetGoEvent);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --hold-pending-lock";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &writer.process) != FALSE &&
           WaitForSingleObject(writer.held, kWaitMilliseconds) == WAIT_OBJECT_0;
}

bool LetOtherWriterGo(OtherWriter& writer) {
    SetEvent(writer.letGo);
    DWORD exitCode = 1;
    const bool ended =
        WaitForSingleObject(writer.process.hProcess, kWaitMilliseconds) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(writer.process.hProcess, &exitCode) && exitCode == 0;
    CloseHandle(writer.process.hProcess);
    CloseHandle(writer.process.hThread);
    CloseHandle(writer.held);
    CloseHandle(writer.letGo);
    writer = OtherWriter{};
    return ended;
}

int HoldPendingLock() {
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kHeldEvent);
    HANDLE letGo = CreateEventW(nullptr, TRUE, FALSE, kLetGoEvent);
    const auto createMutant = reinterpret_cast<NtCreateMutantCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtCreateMutant")));
    wchar_t name[] = L"\\PendingRenameMutex";
    UNICODE_STRING objectName{static_cast<USHORT>(sizeof name - sizeof(wchar_t)),
                              static_cast<USHORT>(sizeof name), name};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &objectName, 0, nullptr, nullptr);
    HANDLE mutant = nullptr;
    if (createMutant == nullptr ||
        createMutant(&mutant, MUTANT_ALL_ACCESS, &attributes, TRUE) < 0) {
        return 2;
    }
    SetEvent(held);
    if (WaitForSingleObject(letGo, 60000) != WAIT_OBJECT_0) {
        return 3;
    }
    // As MoveFileEx records a rename: under the lock.
    const BOOL recorded = MoveFileExW(kSetupNew.c_str(), kSetupDll.c_str(),
                                      MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
    ReleaseMutex(mutant);
    CloseHandle(mutant);
    return recorded ? 0 : 4;
}

void DrivePendingLock(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    Check(ClearPendingOperations(), "the pending operations in the registry are cleared");
    const std::string a = Narrow(kFolder) + "a.txt";
    const std::string b = Narrow(kFolder) + "b.txt";
    Check(MakeFile(a) && MakeFile(b) && MakeFile(Narrow(kSetupNew)), "the files are made");
    OtherWriter other;
    if (!Check(StartOtherWriter(other), "the other program holds \\PendingRenameMutex")) {
        return;
    }
    Check(WaitForDropFinished(DropFiles(mainWindow, {a, b})), "two files are dropped");
    if (!AskForRestartDeletion(mainWindow, IDOK)) {
        return;
    }
    Check(WaitUntil([&] {
              const std::vector<Row> rows = ReadRows(list);
              return rows.size() == 2 && rows[0].result == kWaitingForLock &&
                     rows[1].result == kWaitingForLock;
          }),
          "the rows say that the run waits for another program");
    // A while later: still nothing written, and the window answers.
    Sleep(1000);
    bool timedOut = true;
    SendWithTimeout(mainWindow, WM_NULL, 0, 0, &timedOut);
    Check(!timedOut, "the window answers while the run waits");
    Check(PendingDeletions().empty(), "nothing is written while the other program holds the lock");

    Check(LetOtherWriterGo(other), "the other program records its rename and lets go");
    HWND prompt = nullptr;
    if (Check(WaitUntil([&] { return (prompt = OtherDialog(mainWindow)) != nullptr; }),
              "the restart prompt comes")) {
        AnswerBox(prompt, GetDlgItem(prompt, IDNO) != nullptr ? IDNO : IDCANCEL);
    }
    const std::vector<Row> rows = ReadRows(list);
    Check(
        rows.size() == 2 && rows[0].result == kResultAccepted && rows[1].result == kResultAccepted,
        "both rows say 成功");
    std::wstring units;
    const std::wstring nul(1, L'\0');
    const std::wstring expected = L"\\??\\" + kSetupNew + nul + L"!\\??\\" + kSetupDll + nul +
                                  L"\\??\\" + kFolder + L"a.txt" + nul + nul + L"\\??\\" + kFolder +
                                  L"b.txt" + nul + nul + nul;
    Check(ReadPendingValueUnits(units) && units == expected,
          "the value holds the other program's rename, then the run's deletions");
    ClearPendingOperations();
}
