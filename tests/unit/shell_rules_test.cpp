// Rules of the window shell and the restart run that need no platform.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/fade_steps.h"
#include "intake/drop_rules.h"
#include "restart/restart_run.h"
#include "ui/dpi_scale.h"

namespace {

// The list's columns, 300 and 80 pixels at 96 DPI, at the DPIs displays run at.
TEST(DpiScale, LengthsGrowWithTheDpiRoundedToTheNearestPixel) {
    const struct {
        int pixels;
        int dpi;
        int scaled;
    } cases[] = {
        {300, 96, 300},
        {80, 96, 80},
        {300, 144, 450},
        {80, 144, 120},
        {300, 192, 600},
        // 390.625 and 104.17 at 125 DPI; a half (312.5, 82.5) rounds up.
        {300, 120, 375},
        {300, 125, 391},
        {80, 125, 104},
        {300, 100, 313},
        {80, 99, 83},
        // No DPI known: the length as given.
        {300, 0, 300},
        {80, -1, 80},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.scaled) << c.pixels << " at " << c.dpi << " DPI";
    }
}

TEST(FadeSteps, FadeInRisesOneUnitAtATimeToTheTarget) {
    std::vector<uint8_t> steps = FadeInSteps(255);
    ASSERT_EQ(steps.size(), 255u);
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i], i + 1);
    }
    EXPECT_EQ(FadeInSteps(3), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(FadeSteps, FadeOutFallsFromJustBelowTheTargetToZero) {
    std::vector<uint8_t> steps = FadeOutSteps(255);
    ASSERT_EQ(steps.size(), 255u);
    EXPECT_EQ(steps.front(), 254);
    EXPECT_EQ(steps.back(), 0);
    EXPECT_EQ(FadeOutSteps(100).front(), 99);
    EXPECT_EQ(FadeOutSteps(100).size(), 100u);
}

TEST(FadeSteps, TargetZeroTakesNoStepAndOutOfRangeTargetsAreClamped) {
    EXPECT_TRUE(FadeInSteps(0).empty());
    EXPECT_TRUE(FadeOutSteps(0).empty());
    EXPECT_TRUE(FadeInSteps(-5).empty());
    EXPECT_EQ(FadeInSteps(1000).size(), 255u);
    EXPECT_EQ(FadeOutSteps(1000).front(), 254);
}

TEST(DroppedPathExtension, TakesEverythingAfterTheLastDotOfTheWholePath) {
    EXPECT_EQ(DroppedPathExtension("C:\\docs\\report.txt"), "txt");
    EXPECT_EQ(DroppedPathExtension("C:\\v1.2\\readme"), "2\\readme");
    EXPECT_EQ(DroppedPathExtension("C:\\docs\\name."), "");
    EXPECT_EQ(DroppedPathExtension("C:\\a.tar.gz"), "gz");
    // Without a dot the whole path is handed on; the program's callback ignores it.
    EXPECT_EQ(DroppedPathExtension("C:\\docs\\readme"), "C:\\docs\\readme");
}

// A recorded restart run over rows whose paths say whether they are accepted.
struct RecordedRun {
    std::vector<std::string> events;
    bool anyAccepted = false;
    std::vector<int> deferred;
};

// The run over rows with these paths; with stopAfter, the window is closed after that row's pump.
RecordedRun RunOver(const std::vector<std::string>& paths, bool writeRefused = false,
                    int stopAfter = -1) {
    RecordedRun run;
    RestartRunSteps steps;
    steps.readPath = [&](int row) {
        run.events.push_back("read " + std::to_string(row));
        const std::string& path = paths[static_cast<size_t>(row)];
        return WideText(path.begin(), path.end());
    };
    steps.scheduleDeletion = [&](int row, const WideText& wide) {
        const std::string path(wide.begin(), wide.end());
        run.events.push_back("ask " + std::to_string(row) + " " + path);
        // An "ok" row waits for the run's one write, a "bad" one is refused at once.
        if (path.rfind("ok", 0) == 0) {
            run.deferred.push_back(row);
            return RowOutcome{false, "", true};
        }
        return RowOutcome{false, "why " + path};
    };
    steps.reportResult = [&](int row, const RowOutcome& outcome) {
        run.events.push_back("report " + std::to_string(row) +
                             (outcome.accepted ? " yes" : " no, " + outcome.reason));
    };
    int pumps = 0;
    steps.pump = [&] {
        run.events.push_back("pump");
        ++pumps;
    };
    steps.stopped = [&] { return stopAfter >= 0 && pumps > stopAfter; };
    steps.recordDeferred = [&] {
        run.events.push_back("record");
        std::vector<std::pair<int, RowOutcome>> outcomes;
        for (int row : run.deferred) {
            outcomes.emplace_back(row, RowOutcome{!writeRefused, writeRefused ? "refused" : ""});
        }
        return outcomes;
    };
    run.anyAccepted = ScheduleRows(static_cast<int>(paths.size()), steps);
    return run;
}

// A refused row is reported before the next is read; the rows that pass wait for the one write
// and are reported after it, in row order.
TEST(RestartRun, RefusedRowsAreReportedAtOnceTheOthersAfterTheWrite) {
    RecordedRun run = RunOver({"ok-a", "bad-b", "ok-c"});
    EXPECT_EQ(run.events, (std::vector<std::string>{"read 0", "ask 0 ok-a", "pump",  //
                                                    "read 1", "ask 1 bad-b",
                                                    "report 1 no, why bad-b", "pump",  //
                                                    "read 2", "ask 2 ok-c", "pump",    //
                                                    "record", "report 0 yes", "report 2 yes"}));
    EXPECT_TRUE(run.anyAccepted);
}

// A run whose window is closed reads no row after it and records nothing.
TEST(RestartRun, AStoppedRunReadsAndRecordsNothingMore) {
    RecordedRun run = RunOver({"ok-a", "ok-b", "bad-c"}, false, 0);
    EXPECT_EQ(run.events, (std::vector<std::string>{"read 0", "ask 0 ok-a", "pump"}));
    EXPECT_FALSE(run.anyAccepted);
}

TEST(RestartRun, OnlyARecordedRowCountsAsAccepted) {
    EXPECT_FALSE(RunOver({"bad-a", "bad-b"}).anyAccepted);
    EXPECT_TRUE(RunOver({"bad-a", "ok-last"}).anyAccepted);
    EXPECT_FALSE(RunOver({"ok-a", "ok-b"}, true).anyAccepted);
    EXPECT_FALSE(RunOver({}).anyAccepted);
}

}  // namespace
