#pragma once

// What the fault tests share: a record of what the user handed the program in one run and of
// the list as the test saw it, the invariants every run must keep, and the tally of figures the
// suite prints at its end.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "../scenario/scenario.h"

// One run as the test knows it from outside the program.
struct RunRecord {
    // Every path an intake was handed: dropped, chosen in the open-file dialog, or a batch line
    // (with the full path of a relative line).
    std::set<std::string> received;
    // The list's paths each time the test looked, in order.
    std::vector<std::vector<std::string>> seenLists;
    // The list's paths just before the restart command was given; empty when it never was.
    std::optional<std::vector<std::string>> rowsAtRestart;
    // The paths another program's pending renames touch, which the run refuses.
    std::set<std::string> renamed;
    // The write of the pending value is refused.
    bool writeRefused = false;
};

// The current directory relative batch lines resolve against.
inline const std::string kWorkDirectory = "C:\\work";

// Scripting helpers that also note what the program is handed. Each adds exactly one script
// action, so a scenario's steps can be replayed up to any point. A dropped or chosen path names
// a file on the disk, as what the shell and the dialog show does.
void DropPaths(RunRecord& record, const std::vector<std::optional<std::string>>& paths);
void ChooseInDialog(RunRecord& record, const std::string& directory,
                    const std::vector<std::string>& names);
// The bytes a multi-selection dialog writes: the directory, each name, NUL after each, one more.
std::string SelectionBytes(const std::string& directory, const std::vector<std::string>& names);
// Notes the lines of a batch text (split at CR LF), and the full path of each relative one.
void NoteBatchText(RunRecord& record, const std::string& text);
// A look at the list, kept in the record; before the restart command it is the rows of the run.
void LookAtList(RunRecord& record);
void LookBeforeRestart(RunRecord& record);
// Another program's pending rename of each of these ASCII paths, which the record knows.
void RenamePending(RunRecord& record, const std::vector<std::string>& paths);
// The run's write of the pending value is refused (access denied), and the record knows it.
void RefuseTheWrite(RunRecord& record);

// The paths (column 0) and results (column 1) of the main list now.
std::vector<std::string> RowPaths();
std::vector<std::string> RowResults();

// The invariants of every run, checked after it:
// - every deletion the pending value holds is the whole path of a row that existed when the
//   restart run started, each once, in row order; so is every such row whose file is on the
//   disk and that no rename touches, unless the run was cut short;
// - every row of the restart run shows "成功" when its deletion is held, or when its file's is
//   under another spelling, and the refusal otherwise (a run cut short may leave rows without
//   one); no other row shows a result;
// - no row the test ever saw holds a path that no intake received.
// Returns the broken invariants, one line each; empty when all hold.
std::vector<std::string> BrokenInvariants(const RunRecord& record, bool cutShort);

// The figures the suite reports: bad inputs tried per kind, allocation failure points, losses.
void CountBadInput(const std::string& kind, int cases = 1);
void CountAllocationFailurePoints(const std::string& scenario, uint64_t points);
void CountLoss(const std::string& what);

// The scenario fixture plus the run record, whose invariants are checked after every run.
class FaultTest : public ScenarioTest {
protected:
    RunRecord record;
    bool ran = false;

    void SetUp() override;
    void TearDown() override;
    standin::RunResult RunProgram();
    // For tests that run the program several times: checks the run just made as TearDown would
    // (stand-in failures, unused script actions, the invariants) and starts afresh.
    void EndRun();
    // Compares the list with the rows the user's inputs should have produced; each expected
    // path that is missing is counted as lost.
    void ExpectListed(const std::vector<std::string>& expected);
};
