// The right-click verb's helper: which start gathers, when it stops waiting and starts the
// program, what a late start does, and the block that carries any number of starts to the one
// elevated start.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "intake/gathering_rules.h"

namespace {

using namespace std::string_literals;

const std::u16string kProgram = u"C:\\tools\\rebootdel.exe";

struct Arrival {
    uint64_t at;
    std::u16string program;
    std::u16string arguments;
};

struct ProgramStart {
    uint64_t at;
    std::vector<std::u16string> arguments;
    bool operator==(const ProgramStart&) const = default;
};

// The session as the helper's starts meet it, a millisecond at a time: one start at a time
// holds the gathering (the mutex), the others join it; one it refuses waits until the holder
// has let go, then gathers itself, and those waiting with it join it.
std::vector<ProgramStart> StartsOf(const std::vector<Arrival>& arrivals, uint64_t until) {
    std::vector<ProgramStart> starts;
    std::optional<Gathering> open;
    std::vector<HelperStart> waiting;
    size_t next = 0;
    for (uint64_t now = 0; now <= until; ++now) {
        if (open && GatheringWait(*open, now) == 0) {
            starts.push_back({now, open->arguments});
            open.reset();
        }
        std::vector<HelperStart> arriving;
        if (!open) {
            arriving.swap(waiting);
        }
        for (; next < arrivals.size() && arrivals[next].at == now; ++next) {
            arriving.push_back({arrivals[next].program, arrivals[next].arguments});
        }
        for (const HelperStart& start : arriving) {
            if (!open) {
                open = BeginGathering(start, now);
            } else if (!JoinGathering(*open, start, now)) {
                waiting.push_back(start);
            }
        }
    }
    return starts;
}

std::u16string Item(int number) {
    return u"\"C:\\e2e\\" + std::u16string(1, static_cast<char16_t>(u'a' + number)) + u".txt\"";
}

// Starts of one program, one every step milliseconds.
std::vector<Arrival> Every(uint64_t step, int count) {
    std::vector<Arrival> arrivals;
    for (int i = 0; i < count; ++i) {
        arrivals.push_back({step * i, kProgram, Item(i % 26)});
    }
    return arrivals;
}

std::vector<std::u16string> Items(int from, int to) {
    std::vector<std::u16string> items;
    for (int i = from; i < to; ++i) {
        items.push_back(Item(i % 26));
    }
    return items;
}

TEST(Gathering, TheFirstStartGathersUntilNoneHasJoinedForHalfASecondAndTenSecondsAtMost) {
    std::vector<Arrival> otherProgram = Every(50, 3);
    otherProgram[1].program = u"D:\\copy\\rebootdel.exe";
    const std::u16string longest(kLongestStartArguments, u'x');
    std::vector<Arrival> longArguments;
    for (uint64_t i = 0; i < 300; ++i) {
        longArguments.push_back({i, kProgram, longest});
    }
    const struct {
        int line;
        std::vector<Arrival> arrivals;
        std::vector<ProgramStart> starts;
    } cases[] = {
        // Explorer's six starts for one choice: one start of the program with all six, in order.
        {__LINE__, Every(40, 6), {{200 + kQuietMilliseconds, Items(0, 6)}}},
        // Each start within half a second of the one before keeps the gathering open.
        {__LINE__, Every(499, 4), {{3 * 499 + 500, Items(0, 4)}}},
        // A start after the gathering stopped waiting is not lost: it gathers anew.
        {__LINE__,
         {{0, kProgram, Item(0)}, {500, kProgram, Item(1)}},
         {{500, {Item(0)}}, {1000, {Item(1)}}}},
        // Starts that never stop: the program starts after ten seconds with those gathered
        // until then, and the later ones gather again.
        {__LINE__, Every(400, 30), {{10000, Items(0, 25)}, {12100, Items(25, 30)}}},
        // A start naming another program waits for this gathering to end and gathers on its own.
        {__LINE__, otherProgram, {{600, {Item(0), Item(2)}}, {1100, {Item(1)}}}},
        // Arguments of the longest length: a start past the block's bound waits, and gathers next.
        {__LINE__,
         longArguments,
         {{754, std::vector<std::u16string>(255, longest)},
          {1254, std::vector<std::u16string>(45, longest)}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartsOf(c.arrivals, 20000), c.starts) << "line " << c.line;
    }
}

TEST(Gathering, TheVerbsCommandNamesTheHelperBesideTheProgramAndReadsBackAsTheHelpersStart) {
    const struct {
        int line;
        std::u16string commandLine;
        HelperStart start;
    } cases[] = {
        {__LINE__, VerbCommand(u"D:\\a b\\renamed.exe"), {u"D:\\a b\\renamed.exe", u"\"%1\""}},
        // Explorer's item in quotes, a drive's root with its backslash before the quote.
        {__LINE__,
         u"\"C:\\x\\rebootdel-menu.exe\" \"C:\\x\\rebootdel.exe\" \"C:\\\"",
         {u"C:\\x\\rebootdel.exe", u"\"C:\\\""}},
        // Unquoted names, tabs, several arguments kept as written.
        {__LINE__, u"helper\tC:\\p.exe  a \"b c\"", {u"C:\\p.exe", u"a \"b c\""}},
        {__LINE__, u"\"C:\\x\\rebootdel-menu.exe\"", {u"", u""}},
    };
    for (const auto& c : cases) {
        const HelperStart start = ReadHelperStart(c.commandLine);
        EXPECT_EQ(start.program, c.start.program) << "line " << c.line;
        EXPECT_EQ(start.arguments, c.start.arguments) << "line " << c.line;
    }
    EXPECT_EQ(VerbCommand(u"C:\\a\\b.exe"),
              u"\"C:\\a\\rebootdel-menu.exe\" \"C:\\a\\b.exe\" \"%1\"");
}

std::string Value(uint32_t value) {
    return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                       static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

std::string Units(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A block as the helper writes one: the mark, the length given, the count, the bytes.
std::string Block(uint32_t count, const std::string& texts, std::optional<uint32_t> size = {}) {
    return "RDLG" + Value(size.value_or(static_cast<uint32_t>(12 + texts.size()))) + Value(count) +
           texts;
}

TEST(Gathering, OnlyAWholeBlockWithinItsBoundsIsRead) {
    const std::string two = Units(u"\"C:\\a b.txt\"\0\"D:\\\u4e2d\"\0"s);
    const std::vector<std::u16string> both = {u"\"C:\\a b.txt\"", u"\"D:\\\u4e2d\""};
    const struct {
        int line;
        std::string bytes;
        std::optional<std::vector<std::u16string>> texts;
    } cases[] = {
        {__LINE__, Block(2, two), both},
        // A mapped view runs to the end of its page: the bytes past the length are not read.
        {__LINE__, Block(2, two) + std::string(4000, 'x'), both},
        // Cut short: the length past the bytes, a text without its NUL, fewer texts than counted.
        {__LINE__, Block(2, two).substr(0, 20), std::nullopt},
        {__LINE__, Block(2, two.substr(0, two.size() - 2)), std::nullopt},
        {__LINE__, Block(3, two), std::nullopt},
        // More than counted, half a unit, a length or count past the bounds, another mark.
        {__LINE__, Block(1, two), std::nullopt},
        {__LINE__, Block(2, two + "\0"s), std::nullopt},
        {__LINE__, Block(kMostGatheredStarts + 1, ""), std::nullopt},
        {__LINE__, Block(0, "", kLargestGatheredBlock + 12) + std::string(kLargestGatheredBlock, 0),
         std::nullopt},
        {__LINE__, Block(0, "", 8), std::nullopt},
        {__LINE__, "RDLH" + Block(2, two).substr(4), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadTextsBlock(c.bytes), c.texts) << "line " << c.line;
    }
}

TEST(Gathering, AnyNumberOfStartsTravelsInOneBlockBehindOneShortArgument) {
    // A hundred long paths: three times what a command line holds.
    std::vector<std::u16string> starts;
    for (int i = 0; i < 100; ++i) {
        starts.push_back(u"\"C:\\" + std::u16string(1000, static_cast<char16_t>(u'a' + i % 26)) +
                         u"\"");
    }
    const std::optional<ByteString> block = TextsBlock(starts);
    ASSERT_TRUE(block);
    EXPECT_EQ(ReadTextsBlock(*block), starts);
    EXPECT_FALSE(TextsBlock({u"a\0b"s}));
    EXPECT_FALSE(TextsBlock(std::vector<std::u16string>(kMostGatheredStarts + 1)));

    const std::u16string argument = GatheredArgument(GatheringToken(0x1234abcd00000042));
    EXPECT_EQ(argument, u"|gathered|1234abcd00000042");
    EXPECT_EQ(GatheredToken(argument), u"1234abcd00000042");
    EXPECT_EQ(GatheredBlockName(u"42"), u"Local\\rebootdel.gathered.42");
    // Paths, and marks that are not the helper's.
    for (const std::u16string path :
         {u"C:\\a.txt", u"|gathered|", u"|gathered|12g", u"|gathered|12345678901234567",
          u"|gathered|ABC", u"x|gathered|1", u"\\\\?\\C:\\|gathered|1"}) {
        EXPECT_FALSE(GatheredToken(path)) << std::string(path.begin(), path.end());
    }
}

}  // namespace
