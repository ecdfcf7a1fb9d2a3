// The fatal stops: an array read outside its elements and a failed allocation each show the box
// without an owner, run the clean-up routine after it and end the process with code 0.

#include <gtest/gtest.h>

#include <new>
#include <regex>
#include <string>

#include "resources/texts.h"
#include "runtime/fatal.h"
#include "runtime/text.h"
#include "standin/harness.h"

namespace {

int gCleanups = 0;
size_t gLogSizeAtCleanup = 0;

void CountCleanup() {
    ++gCleanups;
    gLogSizeAtCleanup = standin::Log().size();
}

int ReadElementZero() {
    RegisterCleanup(CountCleanup);
    const TextArray array = SplitText("a|b", "|");
    return static_cast<int>(TextAt(array, 0).size()) + 10;
}

int ReadElementAfterLast() {
    RegisterCleanup(CountCleanup);
    const TextArray array = SplitText("a|b", "|");
    return static_cast<int>(TextAt(array, ElementCount(array) + 1).size()) + 10;
}

int ReadElementOfEmptyArray() {
    RegisterCleanup(CountCleanup);
    return static_cast<int>(TextAt(TextArray(), 1).size()) + 10;
}

int RunOutOfMemory() {
    RegisterCleanup(CountCleanup);
    InstallOutOfMemoryHandler();
    std::get_new_handler()();
    return 10;
}

// A clean-up that fails again must not show a second box or recurse.
void FailingCleanup() {
    ++gCleanups;
    ReportOutOfMemory();
}

int FailAgainWhileCleaningUp() {
    RegisterCleanup(FailingCleanup);
    ReportInternalError(kErrorIndexAboveCount, 0x1234);
}

// A pattern that matches exactly this text.
std::string LiteralPattern(const std::string& text) {
    return std::regex_replace(text, std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)");
}

class FatalTest : public testing::Test {
protected:
    void SetUp() override {
        standin::Reset();
        gCleanups = 0;
        gLogSizeAtCleanup = 0;
    }
    void TearDown() override {
        RegisterCleanup(nullptr);
        std::set_new_handler(nullptr);
    }

    // The run ended through ExitProcess(0) after exactly one error box, and the clean-up ran once,
    // between the box and the exit.
    void ExpectFatalStop(const standin::RunResult& result, const std::string& textPattern) {
        EXPECT_FALSE(result.aborted);
        EXPECT_TRUE(standin::Failures().empty());
        EXPECT_EQ(standin::PendingActions(), 0u);
        EXPECT_TRUE(result.calledExitProcess);
        EXPECT_EQ(result.exitCode, 0);

        const std::vector<standin::Call> boxes = standin::CallsTo("MessageBoxW");
        ASSERT_EQ(boxes.size(), 1u);
        ASSERT_EQ(boxes[0].args.size(), 4u);
        EXPECT_EQ(boxes[0].args[0], "NULL");
        EXPECT_TRUE(std::regex_match(boxes[0].args[1], std::regex(textPattern)))
            << boxes[0].args[1];
        EXPECT_EQ(boxes[0].args[2], "error");
        EXPECT_EQ(boxes[0].args[3], std::to_string(MB_ICONERROR));

        const std::vector<standin::Call> exits = standin::CallsTo("ExitProcess");
        ASSERT_EQ(exits.size(), 1u);
        EXPECT_EQ(exits[0].args, std::vector<std::string>{"0"});

        EXPECT_EQ(gCleanups, 1);
        size_t boxAt = 0;
        size_t exitAt = 0;
        const std::vector<standin::Call>& log = standin::Log();
        for (size_t i = 0; i < log.size(); ++i) {
            if (log[i].function == "MessageBoxW")
                boxAt = i;
            if (log[i].function == "ExitProcess")
                exitAt = i;
        }
        EXPECT_LT(boxAt, gLogSizeAtCleanup);
        EXPECT_LE(gLogSizeAtCleanup, exitAt);
    }
};

TEST_F(FatalTest, IndexBelowOneIsErrorFour) {
    standin::AnswerBox(IDOK);
    const standin::RunResult result = standin::Run(ReadElementZero);
    ExpectFatalStop(result, R"(program internal error number is 4\. \(0x[0-9A-F]+h\))");
}

TEST_F(FatalTest, IndexAboveCountIsErrorOne) {
    standin::AnswerBox(IDOK);
    const standin::RunResult result = standin::Run(ReadElementAfterLast);
    ExpectFatalStop(result, R"(program internal error number is 1\. \(0x[0-9A-F]+h\))");
}

TEST_F(FatalTest, EmptyArrayHasNoFirstElement) {
    standin::AnswerBox(IDOK);
    const standin::RunResult result = standin::Run(ReadElementOfEmptyArray);
    ExpectFatalStop(result, R"(program internal error number is 1\. \(0x[0-9A-F]+h\))");
}

TEST_F(FatalTest, FailedAllocationShowsOutOfMemory) {
    standin::AnswerBox(IDOK, u"内存不足");
    const standin::RunResult result = standin::Run(RunOutOfMemory);
    // The call log writes the box's UTF-16 text in UTF-8.
    ExpectFatalStop(result, LiteralPattern("内存不足"));
}

// The boxes are shown in UTF-16, so their texts read the same on a system whose code page lacks
// the Chinese ones.
TEST_F(FatalTest, BothBoxesReadTheSameUnderAWesternCodePage) {
    standin::SetCodePage(1252);
    standin::AnswerBox(IDOK, u"内存不足");
    ExpectFatalStop(standin::Run(RunOutOfMemory), LiteralPattern("内存不足"));

    standin::Reset();
    gCleanups = 0;
    standin::SetCodePage(1252);
    standin::AnswerBox(IDOK, u"program internal error number is 4. (0x1234h)");
    ExpectFatalStop(standin::Run([]() -> int { ReportInternalError(kErrorIndexBelowOne, 0x1234); }),
                    LiteralPattern("program internal error number is 4. (0x1234h)"));
    EXPECT_EQ(standin::CallsTo("MessageBoxW").at(0).args.at(2), "error");
}

TEST_F(FatalTest, SecondFailureDuringCleanupExitsWithoutAnotherBox) {
    standin::AnswerBox(IDOK);
    const standin::RunResult result = standin::Run(FailAgainWhileCleaningUp);
    EXPECT_TRUE(result.calledExitProcess);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(standin::CountCalls("MessageBoxW"), 1u);
    EXPECT_EQ(gCleanups, 1);
    // After that exit the next fatal stop shows its box again.
    standin::Reset();
    gCleanups = 0;
    standin::AnswerBox(IDOK);
    ExpectFatalStop(standin::Run(ReadElementZero),
                    R"(program internal error number is 4\. \(0x[0-9A-F]+h\))");
}

}  // namespace
