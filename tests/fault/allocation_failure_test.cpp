// An allocation that fails at any point of a run that adds, removes, batches and schedules: the
// program shows the out-of-memory box, releases what it holds and exits with code 0, and nothing
// happens after the box. Every allocation of the scenario is made to fail in turn.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "allocation_hook.h"
#include "fault_scenario.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"

namespace {

// A scenario as replayable steps: each step adds exactly one script action, so the script can
// be cut after any number of them.
struct Scenario {
    std::function<void(RunRecord&)> prepare;
    std::vector<std::function<void(RunRecord&)>> steps;
};

const std::string kBatchText =
    "C:\\b1.txt\r\nrel.txt\r\nC:\\dir\r\nC:\\missing.txt\r\nC:\\a.txt\r\n";

// Drops two files (one of them twice) and a folder, adds two files in the open-file dialog (one
// already listed), removes the first row, pastes a batch of lines (a relative one, a folder, a
// missing file, the removed file) and confirms it, then schedules the list, one path refused.
Scenario AddRemoveBatchSchedule() {
    Scenario scenario;
    scenario.prepare = [](RunRecord& record) {
        for (const char* file :
             {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt", "C:\\b1.txt", "C:\\work\\rel.txt"}) {
            standin::AddFile(file);
        }
        standin::AddDirectory("C:\\dir");
        standin::SetClipboardText(kBatchText);
        NoteBatchText(record, kBatchText);
        RenamePending(record, {"C:\\b.txt"});
    };
    scenario.steps = {
        [](RunRecord& r) {
            DropPaths(r, {"C:\\a.txt", "C:\\b.txt", "C:\\a.txt", "C:\\dir"});
        },
        [](RunRecord&) { standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders)); },
        [](RunRecord& r) { LookAtList(r); },
        [](RunRecord&) { standin::Click(IDD_MAIN, IDC_ADD); },
        [](RunRecord& r) {
            ChooseInDialog(r, "C:\\", {"c.txt", "a.txt"});
        },
        [](RunRecord& r) { LookAtList(r); },
        [](RunRecord&) { standin::FocusRow(0); },
        [](RunRecord&) { standin::Click(IDD_MAIN, IDC_REMOVE); },
        [](RunRecord& r) { LookAtList(r); },
        [](RunRecord&) { standin::Click(IDD_MAIN, IDC_BATCH_ADD); },
        [](RunRecord&) { standin::Click(IDD_BATCH_ADD, IDC_BATCH_PASTE); },
        [](RunRecord&) { standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK); },
        [](RunRecord&) { standin::AnswerBox(IDOK, UiText(kConfirmBatch)); },
        [](RunRecord&) { standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders)); },
        [](RunRecord& r) { LookBeforeRestart(r); },
        [](RunRecord&) { standin::Click(IDD_MAIN, IDC_RESTART_DELETE); },
        [](RunRecord&) { standin::AnswerBox(IDOK, UiText(kConfirmRestart)); },
        [](RunRecord&) { standin::Close(IDD_MAIN); },
    };
    return scenario;
}

// Scripts the first `count` steps (all of them by default).
void Script(const Scenario& scenario, RunRecord& record, size_t count) {
    scenario.prepare(record);
    for (size_t i = 0; i < count && i < scenario.steps.size(); ++i) {
        scenario.steps[i](record);
    }
}

// The out-of-memory box's text as the call log writes the UTF-16 texts of the W functions.
const std::string kOutOfMemoryUtf8 = "内存不足";

// For each allocation of the watched run, how many script actions had been used by then.
std::vector<uint16_t> g_actionsUsed;
size_t g_scriptLength = 0;

void NoteActionsUsed(uint64_t) {
    g_actionsUsed.push_back(static_cast<uint16_t>(g_scriptLength - standin::PendingActions()));
}

// What the end of a run must look like when the allocation failed: the box, the clean-up, the
// exit, and nothing else. Returns what went wrong; empty when all is well.
std::vector<std::string> CheckOutOfMemoryEnd(const standin::RunResult& result) {
    std::vector<std::string> wrong;
    if (!fault::AllocationFailed()) {
        wrong.push_back("the chosen allocation never happened");
    }
    if (result.aborted || !result.calledExitProcess || result.exitCode != 0) {
        wrong.push_back("the run did not end with ExitProcess(0): exit code " +
                        std::to_string(result.exitCode) + (result.aborted ? ", aborted" : "") +
                        (result.calledExitProcess ? "" : ", no ExitProcess"));
    }
    // The system closes the clipboard, unlocks its blocks and closes the files a listing was
    // asking about and the registry keys a survey was reading when the process ends.
    for (const std::string& failure : standin::Failures()) {
        const bool leftOpen = failure.find(" was left open") != std::string::npos;
        const bool releasedByExit =
            failure.find("clipboard was left open") != std::string::npos ||
            failure.find("was left locked") != std::string::npos ||
            (leftOpen && (failure.rfind("file ", 0) == 0 || failure.rfind("registry key", 0) == 0));
        if (!releasedByExit) {
            wrong.push_back("stand-in: " + failure);
        }
    }
    if (standin::PendingActions() != 0) {
        wrong.push_back("the box was answered before the failure, or not at all");
    }

    const std::vector<standin::Call>& log = standin::Log();
    size_t box = log.size();
    size_t boxes = 0;
    for (size_t i = 0; i < log.size(); ++i) {
        if (log[i].function == "MessageBoxW" && log[i].args.at(1) == kOutOfMemoryUtf8) {
            box = i;
            ++boxes;
        }
    }
    if (boxes != 1) {
        wrong.push_back(std::to_string(boxes) + " out-of-memory boxes");
        return wrong;
    }
    const std::vector<std::string> expectedBox = {"NULL", kOutOfMemoryUtf8, kErrorCaption,
                                                  std::to_string(MB_ICONERROR)};
    if (log[box].args != expectedBox) {
        wrong.push_back("the box has the wrong owner, caption or style");
    }
    if (box + 2 != log.size() || log[box + 1].function != "ExitProcess" ||
        log[box + 1].args != std::vector<std::string>{"0"}) {
        wrong.push_back("after the box: " +
                        (box + 1 < log.size() ? log[box + 1].function : std::string("nothing")) +
                        " and " + std::to_string(log.size() - box - 1) + " calls in all");
    }
    // The clean-up released every text, array and registry entry.
    if (!g_app.dropRegistry.empty() || !g_app.lastSelection.empty() ||
        !g_app.selectionPieces.empty() || !g_app.batchLines.empty() ||
        !g_app.clipboardText.empty() || !g_app.listedRows.empty() || g_app.mainWindow != nullptr) {
        wrong.push_back("the program state was not released");
    }
    return wrong;
}

class AllocationFailureTest : public FaultTest {};

TEST_F(AllocationFailureTest, TheScenarioRunsToItsEndWithoutAFailure) {
    Script(AddRemoveBatchSchedule(), record, SIZE_MAX);
    RunProgram();
    EXPECT_EQ(RowPaths(), (std::vector<std::string>{"C:\\b.txt", "C:\\c.txt", "C:\\b1.txt",
                                                    "C:\\work\\rel.txt", "C:\\a.txt"}));
    EXPECT_EQ(RowResults(),
              (std::vector<std::string>{kResultRefused, kResultAccepted, kResultAccepted,
                                        kResultAccepted, kResultAccepted}));
    EXPECT_EQ(standin::CountCalls("RestartDialog"), 1u);
}

// What a child process reports back: its exit status and the text it wrote.
struct ChildReport {
    int status = 0;
    std::string text;
};

// Runs body in a child process and collects the text it returns. Every child starts from the
// same memory as this process, so the stand-in's containers have the same room in each and
// the allocations of a run are numbered the same way every time; a child that crashes does
// not take the test program with it.
ChildReport InChild(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) {
        return ChildReport{-1, "pipe failed"};
    }
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return ChildReport{-1, "fork failed"};
    }
    if (child == 0) {
        close(channel[0]);
        const std::string text = body();
        size_t written = 0;
        while (written < text.size()) {
            const ssize_t n = write(channel[1], text.data() + written, text.size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<size_t>(n);
        }
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);
    ChildReport report;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) {
        report.text.append(buffer, static_cast<size_t>(n));
    }
    close(channel[0]);
    waitpid(child, &report.status, 0);
    return report;
}

std::string Describe(const ChildReport& report) {
    if (report.status == -1) {
        return report.text;
    }
    if (WIFSIGNALED(report.status)) {
        return "the run died of signal " + std::to_string(WTERMSIG(report.status));
    }
    if (!WIFEXITED(report.status) || WEXITSTATUS(report.status) != 0) {
        return "the run exited with status " + std::to_string(WEXITSTATUS(report.status));
    }
    return report.text;
}

// The watched run without a failure: the number of script actions used at each allocation.
std::string WatchedRun(const Scenario& scenario) {
    RunRecord record;
    standin::Reset();
    standin::SetCurrentDirectory(kWorkDirectory);
    Script(scenario, record, SIZE_MAX);
    g_scriptLength = standin::PendingActions();
    g_actionsUsed.clear();
    g_actionsUsed.reserve(1 << 20);
    fault::SetAllocationObserver(NoteActionsUsed);
    fault::StartCounting();
    const standin::RunResult result = standin::Run(RunProcess);
    fault::StopCounting();
    fault::SetAllocationObserver(nullptr);
    if (result.aborted || !standin::Failures().empty() ||
        !BrokenInvariants(record, false).empty()) {
        return "failed";
    }
    std::ostringstream used;
    for (uint16_t actions : g_actionsUsed) {
        used << actions << ' ';
    }
    return used.str();
}

// A run whose allocation k fails, with the out-of-memory box answered where the script stood
// at that allocation. Returns what went wrong, one line each; empty when nothing did.
std::string FailingRun(const Scenario& scenario, uint64_t k, size_t actionsUsed) {
    RunRecord record;
    standin::Reset();
    standin::SetCurrentDirectory(kWorkDirectory);
    Script(scenario, record, actionsUsed);
    standin::AnswerBox(IDOK, kOutOfMemory);

    fault::StartCounting(k);
    const standin::RunResult result = standin::Run(RunProcess);
    fault::StopCounting();

    std::vector<std::string> wrong = CheckOutOfMemoryEnd(result);
    for (const std::string& broken : BrokenInvariants(record, true)) {
        wrong.push_back("invariant: " + broken);
    }
    std::string text;
    for (const std::string& line : wrong) {
        text += line + "\n";
    }
    if (!wrong.empty()) {
        text += "last calls:";
        const std::vector<standin::Call>& log = standin::Log();
        for (size_t i = log.size() > 6 ? log.size() - 6 : 0; i < log.size(); ++i) {
            text += " " + log[i].function;
        }
        text += "\n";
    }
    return text;
}

// The failure points are shared out over a few tests, so that ctest can run them side by side.
constexpr int kShares = 4;

class EveryAllocationFails : public FaultTest, public testing::WithParamInterface<int> {};

TEST_P(EveryAllocationFails, InTurnWithTheBoxTheCleanUpAndTheExitEachTime) {
    const int share = GetParam();
    const Scenario scenario = AddRemoveBatchSchedule();

    const ChildReport watched = InChild([&scenario] { return WatchedRun(scenario); });
    std::vector<size_t> actionsUsed;
    std::istringstream numbers(Describe(watched));
    for (size_t actions; numbers >> actions;) {
        actionsUsed.push_back(actions);
    }
    ASSERT_FALSE(actionsUsed.empty()) << "the watched run: " << Describe(watched);

    size_t tried = 0;
    size_t wrongPoints = 0;
    for (uint64_t k = 1 + static_cast<uint64_t>(share); k <= actionsUsed.size(); k += kShares) {
        ++tried;
        const std::string wrong = Describe(InChild(
            [&scenario, k, &actionsUsed] { return FailingRun(scenario, k, actionsUsed[k - 1]); }));
        if (!wrong.empty() && ++wrongPoints <= 5) {
            ADD_FAILURE() << "allocation " << k << " of " << actionsUsed.size() << ":\n" << wrong;
        }
    }
    EXPECT_EQ(wrongPoints, 0u) << "of " << tried << " failure points";
    CountAllocationFailurePoints("add, remove, batch, schedule", tried);
    std::printf("[figures] allocations %d, %d+%d, ... of %zu made to fail: %zu, went wrong: %zu\n",
                share + 1, share + 1, kShares, actionsUsed.size(), tried, wrongPoints);
}

INSTANTIATE_TEST_SUITE_P(Shares, EveryAllocationFails, testing::Range(0, kShares));

}  // namespace
