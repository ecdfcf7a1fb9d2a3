// e2e_suite.exe SCENARIO: runs the whole program on the main thread, as rebootdel.exe does, while
// a driver thread works its windows through one scenario. Exit code 0 when every check passed and
// the program ended with 0 after its main window was closed.
//
// e2e_suite.exe |gathered|TOKEN: the start the right-click verb's helper makes of the program that
// registered the verb, here the suite. It runs as the program does; when it opens a window of its
// own, the part of the scenario named in E2E_STARTED_BY drives it, its lines written to
// NAME-started.log in the current folder.

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/one_window.h"
#include "app/shell.h"
#include "driver.h"
#include "intake/command_line.h"
#include "scenarios.h"

namespace {

// Under Wine the first window of a process can take a few seconds to appear.
constexpr DWORD kStartMilliseconds = 30000;
// Closing fades the window out first; then the program has to come back from RunProcess.
constexpr DWORD kEndMilliseconds = 20000;

// Every scenario but context-menu ends with its window; that one goes on to start the program
// anew through the right-click verb, with no window open.
constexpr DWORD kDriverAfterEndMilliseconds = 90000;

HANDLE g_programEnded = nullptr;
// The driver found the window it drives.
std::atomic<bool> g_windowFound = false;

// Something is stuck: report, and end the process without waiting for the program's thread.
[[noreturn]] void Abandon(const char* scenario, UINT exitCode) {
    std::printf("scenario %s: abandoned (%d checks passed, %d failed)\n", scenario, PassCount(),
                FailureCount());
    std::fflush(stdout);
    ExitProcess(exitCode);
}

// What a driver thread does: a scenario, or its part that drives a start it made.
struct Drive {
    const char* name;
    void (*drive)(HWND mainWindow);
};

DWORD WINAPI DriveScenario(void* parameter) {
    const Drive& scenario = *static_cast<const Drive*>(parameter);
    // Found by its caption in UTF-16, which is the same on every code page.
    HWND mainWindow = WaitForTopWindowW("#32770", L"重启删除文件 -- quorvel", kStartMilliseconds);
    if (!Check(mainWindow != nullptr, "the main window appears with its caption")) {
        Abandon(scenario.name, 3);
    }
    g_windowFound = true;

    scenario.drive(mainWindow);

    if (IsWindow(mainWindow)) {
        // A failed scenario may leave a box or dialog open; the main window cannot close under it.
        CloseStrayWindows(mainWindow);
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
    if (!Check(WaitForSingleObject(g_programEnded, kEndMilliseconds) == WAIT_OBJECT_0,
               "the program ends after WM_CLOSE")) {
        Abandon(scenario.name, 4);
    }
    return 0;
}

const Scenario* FindScenario(const char* name) {
    for (const Scenario& scenario : kScenarios) {
        if (std::strcmp(scenario.name, name) == 0) {
            return &scenario;
        }
    }
    return nullptr;
}

// The after-restart part of a scenario: the program does not run; only the checks do.
int RunAfterRestart(const Scenario& scenario) {
    std::printf("scenario %s, after the restart\n", scenario.name);
    std::fflush(stdout);
    RememberOutputFolder();
    scenario.afterRestart();
    std::printf("scenario %s, after the restart: %s (%d checks passed, %d failed)\n", scenario.name,
                FailureCount() == 0 ? "passed" : "FAILED", PassCount(), FailureCount());
    std::fflush(stdout);
    return FailureCount() == 0 ? 0 : 1;
}

// The start of a gathering of the right-click verb's helper: the program as rebootdel.exe runs.
int RunStartedProgram() {
    char name[64] = {};
    const DWORD length = GetEnvironmentVariableA("E2E_STARTED_BY", name, sizeof name);
    const Scenario* scenario = length > 0 && length < sizeof name ? FindScenario(name) : nullptr;
    static Drive started{};
    HANDLE driver = nullptr;
    if (scenario != nullptr && scenario->driveStarted != nullptr) {
        started = {scenario->name, scenario->driveStarted};
        std::freopen((std::string(name) + "-started.log").c_str(), "w", stdout);
        RememberOutputFolder();
        g_programEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        driver = CreateThread(nullptr, 0, DriveScenario, &started, 0, nullptr);
    }
    const int exitCode = RunProcess(CommandLinePaths(GetCommandLineW()), HandToOpenWindow);
    // A start that handed its paths to the window open has nothing to drive.
    if (driver == nullptr || !g_windowFound) {
        return exitCode;
    }
    SetEvent(g_programEnded);
    WaitForSingleObject(driver, kEndMilliseconds);
    Check(exitCode == 0, "RunProcess returns 0");
    std::printf("started by %s: %s (%d checks passed, %d failed)\n", scenario->name,
                FailureCount() == 0 ? "passed" : "FAILED", PassCount(), FailureCount());
    std::fflush(stdout);
    return FailureCount() == 0 ? 0 : 1;
}

int ListScenarios() {
    std::printf(
        "usage: e2e_suite.exe SCENARIO | --list | --after-restart SCENARIO\n"
        "scenarios:\n");
    for (const Scenario& scenario : kScenarios) {
        std::printf("  %s\n", scenario.name);
    }
    ListFatalBoxScenarios("  ");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Another program of the scenarios: the pending values' other writer.
    if (argc == 2 && std::strcmp(argv[1], "--hold-pending-lock") == 0) {
        return HoldPendingLock();
    }
    if (argc == 3 && std::strcmp(argv[1], "--after-restart") == 0) {
        const Scenario* scenario = FindScenario(argv[2]);
        if (scenario == nullptr || scenario->afterRestart == nullptr) {
            return ListScenarios();
        }
        return RunAfterRestart(*scenario);
    }
    if (argc != 2) {
        return ListScenarios();
    }
    if (argv[1][0] == '|') {
        return RunStartedProgram();
    }
    if (std::strcmp(argv[1], "--list") == 0) {
        for (const Scenario& scenario : kScenarios) {
            std::printf("%s%s\n", scenario.name,
                        scenario.afterRestart != nullptr ? " after-restart" : "");
        }
        ListFatalBoxScenarios("");
        return 0;
    }
    RunFatalBoxScenario(argv[1]);
    const Scenario* scenario = FindScenario(argv[1]);
    if (scenario == nullptr) {
        return ListScenarios();
    }
    std::printf("scenario %s\n", scenario->name);
    std::fflush(stdout);

    RememberOutputFolder();
    if (scenario->beforeStart != nullptr) {
        scenario->beforeStart();
    }
    g_programEnded = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Drive drive{scenario->name, scenario->drive};
    HANDLE driver = CreateThread(nullptr, 0, DriveScenario, &drive, 0, nullptr);
    // The suite's own command line names the scenario; the program is handed a command line of
    // its own, read as the process entry reads one. Its window is always the one others hand to.
    std::vector<WideText> paths;
    if (scenario->commandLine != nullptr) {
        const std::wstring line = L"e2e_suite.exe " + scenario->commandLine();
        paths = CommandLinePaths(line.c_str());
    }
    const int exitCode = RunProcess(paths, nullptr);
    SetEvent(g_programEnded);
    if (WaitForSingleObject(driver, kDriverAfterEndMilliseconds) != WAIT_OBJECT_0) {
        Check(false, "the driver finishes after the program ended");
    }
    Check(exitCode == 0, "RunProcess returns 0");

    std::printf("scenario %s: %s (%d checks passed, %d failed)\n", scenario->name,
                FailureCount() == 0 ? "passed" : "FAILED", PassCount(), FailureCount());
    std::fflush(stdout);
    return FailureCount() == 0 ? 0 : 1;
}
