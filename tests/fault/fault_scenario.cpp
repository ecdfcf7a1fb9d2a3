#include "fault_scenario.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "allocation_hook.h"
#include "runtime/wide_text.h"

namespace {

struct Figures {
    std::map<std::string, int> badInputs;
    std::map<std::string, uint64_t> failurePoints;
    std::vector<std::string> losses;
};

Figures& TheFigures() {
    static Figures figures;
    return figures;
}

// Prints the figures once every test has run.
class FiguresReport : public ::testing::Environment {
public:
    void TearDown() override {
        const Figures& figures = TheFigures();
        int inputs = 0;
        for (const auto& [kind, cases] : figures.badInputs) {
            std::printf("[figures] bad inputs tried, %s: %d\n", kind.c_str(), cases);
            inputs += cases;
        }
        std::printf("[figures] bad inputs tried in all: %d\n", inputs);
        uint64_t points = 0;
        for (const auto& [scenario, count] : figures.failurePoints) {
            std::printf("[figures] allocation failure points tried, %s: %llu\n", scenario.c_str(),
                        static_cast<unsigned long long>(count));
            points += count;
        }
        std::printf("[figures] allocation failure points tried in all: %llu\n",
                    static_cast<unsigned long long>(points));
        std::printf("[figures] paths lost: %zu\n", figures.losses.size());
        for (const std::string& loss : figures.losses) {
            std::printf("[figures]   lost: %s\n", loss.c_str());
        }
    }
};

const ::testing::Environment* const g_report =
    ::testing::AddGlobalTestEnvironment(new FiguresReport);

std::vector<std::string> SplitAtCrLf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

bool IsRooted(const std::string& line) {
    return (line.size() >= 3 && line[1] == ':' && line[2] == '\\') ||
           (line.size() >= 2 && line[0] == '\\' && line[1] == '\\');
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

}  // namespace

// What the shell and the dialog show exists: a file, unless the disk holds something there.
void MakeExisting(const std::string& path) {
    if (!standin::FileNamedBy("\\\\?\\" + path)) {
        standin::AddFile("\\\\?\\" + path);
    }
}

void DropPaths(RunRecord& record, const std::vector<std::optional<std::string>>& paths) {
    for (const std::optional<std::string>& path : paths) {
        if (path) {
            record.received.insert(*path);
            MakeExisting(*path);
        }
    }
    standin::Drop(paths);
}

std::string SelectionBytes(const std::string& directory, const std::vector<std::string>& names) {
    std::string bytes = directory;
    bytes.push_back('\0');
    for (const std::string& name : names) {
        bytes += name;
        bytes.push_back('\0');
    }
    bytes.push_back('\0');
    return bytes;
}

void ChooseInDialog(RunRecord& record, const std::string& directory,
                    const std::vector<std::string>& names) {
    const std::string separator = directory.back() == '\\' ? "" : "\\";
    for (const std::string& name : names) {
        record.received.insert(directory + separator + name);
        MakeExisting(directory + separator + name);
    }
    standin::ChooseFiles(SelectionBytes(directory, names));
}

void NoteBatchText(RunRecord& record, const std::string& text) {
    for (const std::string& line : SplitAtCrLf(text)) {
        record.received.insert(line);
        if (!line.empty() && !IsRooted(line)) {
            record.received.insert(kWorkDirectory + "\\" + line);
        }
    }
}

void LookAtList(RunRecord& record) {
    standin::Do("look at the list", [&record] {
        fault::NotCounted quiet;
        record.seenLists.push_back(RowPaths());
    });
}

void LookBeforeRestart(RunRecord& record) {
    standin::Do("look at the list before the restart command", [&record] {
        fault::NotCounted quiet;
        record.seenLists.push_back(RowPaths());
        record.rowsAtRestart = record.seenLists.back();
    });
}

void RenamePending(RunRecord& record, const std::vector<std::string>& paths) {
    std::u16string units;
    for (const std::string& path : paths) {
        record.renamed.insert(path);
        units += u"\\??\\" + std::u16string(path.begin(), path.end()) + u'\0';
        units += u"\\??\\C:\\renamed\\" + std::u16string(path.begin() + 3, path.end()) + u'\0';
    }
    SetPendingOperations(units + u'\0');
}

void RefuseTheWrite(RunRecord& record) {
    record.writeRefused = true;
    standin::AnswerRegistryWrites({ERROR_ACCESS_DENIED});
}

std::vector<std::string> RowPaths() {
    std::vector<std::string> paths;
    HWND list = standin::Control(IDD_MAIN, IDC_FILE_LIST);
    if (list == nullptr) {
        return paths;
    }
    // A row the list never painted showed the user nothing.
    for (const standin::ListRow& row : standin::InspectList(list).rows) {
        if (!row.cells.empty()) {
            paths.push_back(row.cells[0]);
        }
    }
    return paths;
}

// The result cells, each as the program's own literal it shows; the results are written in UTF-16,
// so that they read alike on every code page.
std::vector<std::string> RowResults() {
    std::vector<std::string> results;
    HWND list = standin::Control(IDD_MAIN, IDC_FILE_LIST);
    if (list == nullptr) {
        return results;
    }
    for (const standin::ListRow& row : standin::InspectList(list).rows) {
        if (row.cells.empty()) {
            continue;
        }
        const std::u16string wide = row.wideCells.size() < 2 ? std::u16string() : row.wideCells[1];
        if (wide == UiText(kResultAccepted) || wide == UiText(kResultRefused)) {
            results.push_back(wide == UiText(kResultAccepted) ? kResultAccepted : kResultRefused);
        } else {
            results.push_back(row.cells.size() < 2 ? std::string() : row.cells[1]);
        }
    }
    return results;
}

std::vector<std::string> BrokenInvariants(const RunRecord& record, bool cutShort) {
    std::vector<std::string> broken;
    const std::vector<std::string> paths = RowPaths();
    const std::vector<std::string> results = RowResults();

    // No row holds a path that no intake received.
    std::vector<std::vector<std::string>> looks = record.seenLists;
    looks.push_back(paths);
    for (const std::vector<std::string>& look : looks) {
        for (const std::string& path : look) {
            if (record.received.count(path) == 0) {
                broken.push_back("a row holds " + Quoted(path) + ", which no intake received");
            }
        }
    }

    // The deletions recorded: rows of the run, each once, top to bottom; a row whose file is
    // not on the disk, or is renamed, is not. Each deletion's row, by its position.
    const std::string literal = "\\\\?\\";
    const std::vector<std::string> noRows;
    const std::vector<std::string>& runRows = record.rowsAtRestart ? *record.rowsAtRestart : noRows;
    std::vector<bool> requested(runRows.size(), false);
    std::set<std::u16string> recordedFiles;
    size_t nextRow = 0;
    size_t count = 0;
    for (const std::string& path : standin::ScheduledDeletions()) {
        ++count;
        while (nextRow < runRows.size() && runRows[nextRow] != path) {
            ++nextRow;
        }
        if (nextRow == runRows.size()) {
            broken.push_back("deletion " + std::to_string(count) + " is " + Quoted(path) +
                             ", not the whole path of a later row of the run");
            continue;
        }
        requested[nextRow++] = true;
        if (const std::optional<std::u16string> file = standin::FileNamedBy(literal + path)) {
            recordedFiles.insert(*file);
        }
    }
    // A row whose file another row recorded under another spelling needs no deletion of its own.
    const auto recordedElsewhere = [&](const std::string& row) {
        const std::optional<std::u16string> file = standin::FileNamedBy(literal + row);
        return file && recordedFiles.count(*file) != 0;
    };
    // Unless the run was cut short, every row of the run whose file exists was recorded.
    for (size_t row = 0; !cutShort && !record.writeRefused && row < runRows.size(); ++row) {
        if (!requested[row] && standin::FileNamedBy(literal + runRows[row]) &&
            record.renamed.count(runRows[row]) == 0 && !recordedElsewhere(runRows[row])) {
            broken.push_back("the run did not record " + Quoted(runRows[row]) + ", which exists");
        }
    }

    if (paths.size() < runRows.size()) {
        broken.push_back("the list has " + std::to_string(paths.size()) + " rows, the run had " +
                         std::to_string(runRows.size()));
    }
    // Each row of the run shows whether its deletion was recorded; the rows stay where they were. A
    // run cut short by the process ending may stop anywhere: a row without a result is then no
    // fault.
    for (size_t row = 0; row < paths.size(); ++row) {
        const bool ofTheRun = row < runRows.size();
        if (ofTheRun && paths[row] != runRows[row]) {
            broken.push_back("row " + std::to_string(row) + " changed from " +
                             Quoted(runRows[row]) + " to " + Quoted(paths[row]) + " in the run");
            continue;
        }
        std::string expected;
        if (ofTheRun && !record.writeRefused && (requested[row] || recordedElsewhere(paths[row]))) {
            expected = kResultAccepted;
        } else if (ofTheRun && record.rowsAtRestart) {
            expected = kResultRefused;
        }
        if (results[row] != expected && !(cutShort && results[row].empty())) {
            broken.push_back("row " + std::to_string(row) + " " + Quoted(paths[row]) + " shows " +
                             Quoted(results[row]) + ", expected " + Quoted(expected));
        }
    }
    return broken;
}

void CountBadInput(const std::string& kind, int cases) {
    TheFigures().badInputs[kind] += cases;
}

void CountAllocationFailurePoints(const std::string& scenario, uint64_t points) {
    TheFigures().failurePoints[scenario] += points;
}

void CountLoss(const std::string& what) {
    TheFigures().losses.push_back(what);
}

void FaultTest::SetUp() {
    ScenarioTest::SetUp();
    standin::SetCurrentDirectory(kWorkDirectory);
}

void FaultTest::TearDown() {
    if (ran) {
        for (const std::string& broken : BrokenInvariants(record, false)) {
            ADD_FAILURE() << "invariant: " << broken;
        }
    }
    ScenarioTest::TearDown();
}

void FaultTest::EndRun() {
    for (const std::string& failure : standin::Failures()) {
        ADD_FAILURE() << "stand-in: " << failure;
    }
    EXPECT_EQ(standin::PendingActions(), 0u) << "script actions left unused";
    if (ran) {
        for (const std::string& broken : BrokenInvariants(record, false)) {
            ADD_FAILURE() << "invariant: " << broken;
        }
    }
    ran = false;
    record = RunRecord{};
    standin::Reset();
    standin::SetCurrentDirectory(kWorkDirectory);
}

void FaultTest::ExpectListed(const std::vector<std::string>& expected) {
    const std::vector<std::string> paths = RowPaths();
    EXPECT_EQ(paths, expected);
    for (const std::string& path : expected) {
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) {
            CountLoss(path);
        }
    }
}

standin::RunResult FaultTest::RunProgram() {
    ran = true;
    return ScenarioTest::RunProgram();
}
