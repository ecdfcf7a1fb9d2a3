#pragma once

// Scenario tests run the whole program over the stand-in: a script plays the user, the log and
// the windows left behind tell what the program did.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "standin/harness.h"

// The program's texts as the user reads them: UTF-16, as the platform gets them, and UTF-8, as
// the call log writes the texts of the W functions. Written out here, not converted from the
// program's code page 936 literals, so that a wrong conversion shows.
inline const std::u16string kClearQuestion = u"  确定清空列表?  ";
inline const std::u16string kBatchQuestion = u"  确定 ?  ";
inline const std::u16string kRestartQuestion = u"  确定重启删除列表中的文件 ?  ";
inline const std::u16string kAccepted = u"成功";
inline const std::u16string kRefused = u"失败";
inline const std::string kClearQuestionUtf8 = "  确定清空列表?  ";
inline const std::string kBatchQuestionUtf8 = "  确定 ?  ";

// Position of the count-th (from 1) logged call that `matches`, or the log size.
inline size_t PositionOf(const std::function<bool(const standin::Call&)>& matches,
                         size_t count = 1) {
    const std::vector<standin::Call>& log = standin::Log();
    for (size_t i = 0; i < log.size(); ++i) {
        if (matches(log[i]) && --count == 0) {
            return i;
        }
    }
    return log.size();
}

// Another program's pending operations, exactly these code units, before the program starts.
inline void SetPendingOperations(const std::u16string& units) {
    standin::SetRegistryValue(
        "HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager", "PendingFileRenameOperations",
        REG_MULTI_SZ, std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2));
}

class ScenarioTest : public ::testing::Test {
protected:
    void SetUp() override { standin::Reset(); }

    void TearDown() override {
        for (const std::string& failure : standin::Failures()) {
            ADD_FAILURE() << "stand-in: " << failure;
        }
        EXPECT_EQ(standin::PendingActions(), 0u) << "script actions left unused";
    }

    // Runs the program to its end; every scenario script closes the main window last.
    standin::RunResult RunProgram() {
        standin::RunResult result = standin::Run(RunProcess);
        EXPECT_FALSE(result.aborted);
        EXPECT_EQ(result.exitCode, 0);
        return result;
    }

    static HWND MainList() { return standin::Control(IDD_MAIN, IDC_FILE_LIST); }

    // Column 0 (or 1) of every row of the main list, top to bottom.
    static std::vector<std::string> ListColumn(size_t column) {
        std::vector<std::string> cells;
        for (const standin::ListRow& row : standin::InspectList(MainList()).rows) {
            cells.push_back(column < row.cells.size() ? row.cells[column] : std::string());
        }
        return cells;
    }
    static std::vector<std::string> ListedPaths() { return ListColumn(0); }
    static std::vector<std::string> ListedResults() { return ListColumn(1); }
    // Column 1 of every row as the W functions read it.
    static std::vector<std::u16string> ListedWideResults() { return WideColumn(1); }
    // Column 2, the reason of a refusal, as the W functions read it.
    static std::vector<std::u16string> ListedWideReasons() { return WideColumn(2); }
    static std::vector<std::u16string> WideColumn(size_t column) {
        std::vector<std::u16string> cells;
        for (const standin::ListRow& row : standin::InspectList(MainList()).rows) {
            cells.push_back(row.wideCells.size() > column ? row.wideCells[column]
                                                          : std::u16string());
        }
        return cells;
    }

    // Arguments of every logged call of a function, in order.
    static std::vector<std::vector<std::string>> ArgsOf(const std::string& function) {
        std::vector<std::vector<std::string>> all;
        for (const standin::Call& call : standin::CallsTo(function)) {
            all.push_back(call.args);
        }
        return all;
    }

    // Drops files that exist on the stand-in's disk under exactly these names (a final dot
    // too), as the shell drops files it shows.
    static void DropExisting(const std::vector<std::string>& paths) {
        std::vector<std::optional<std::string>> entries;
        for (const std::string& path : paths) {
            standin::AddFile("\\\\?\\" + path);
            entries.emplace_back(path);
        }
        standin::Drop(entries);
    }
};
