#pragma once

// Explorer starts a right-click verb once per chosen item, each in a process of its own, and each
// elevated start asks the user's consent again. So the verb starts a small helper that asks for
// no elevation: the first of a choice's starts gathers the others' arguments, and then makes one
// elevated start of the program with all of them, handed over in a block of its own whatever
// their length. These are the helper's rules, the block's, and the verb's command, which the
// program's system-menu item writes. Pure: no platform here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/text.h"

// The helper, in the program's folder.
inline constexpr char16_t kMenuHelperName[] = u"rebootdel-menu.exe";

// The helper in the folder of program.
WideText HelperBeside(const WideText& program);
// The command of the verb: the helper beside program, the program, and the item, each in quotes.
WideText VerbCommand(const WideText& program);

// What one start of the helper was given: the program to start, and the arguments after it
// exactly as written (the item Explorer chose, in quotes).
struct HelperStart {
    WideText program;
    WideText arguments;
};
// Reads a helper's command line (its own name, the program, the arguments), or a verb's command,
// as the shell writes one: an argument is in double quotes or runs to a space or tab, and holds
// no quote, so a backslash is only a backslash. An empty program when there is none.
HelperStart ReadHelperStart(const WideText& commandLine);

// A gathering waits for the next start this long after the last one joined, and this long in all
// (starts are slow where an antivirus looks at each).
inline constexpr uint64_t kQuietMilliseconds = 500;
inline constexpr uint64_t kLongestGatheringMilliseconds = 10000;
// Bounds no choice in Explorer comes near (it offers the verb for at most 100 items).
inline constexpr size_t kMostGatheredStarts = 32768;
inline constexpr size_t kLongestStartArguments = 32767;
inline constexpr size_t kLargestGatheredBlock = 16u << 20;

// The starts one gatherer has taken, its own first.
struct Gathering {
    WideText program;
    std::vector<WideText> arguments;
    size_t blockSize = 0;
    uint64_t began = 0;
    uint64_t lastJoined = 0;
    bool over = false;
};
// The gathering of the start that found none open; now is in milliseconds.
Gathering BeginGathering(const HelperStart& start, uint64_t now);
// A later start joins while the gathering waits, when it names the same program and the block
// stays within its bounds; false otherwise, and that start then gathers on its own.
bool JoinGathering(Gathering& gathering, const HelperStart& start, uint64_t now);
// How long the gathering still waits for another start; 0 once it is over, and from then on it
// takes no start.
uint64_t GatheringWait(Gathering& gathering, uint64_t now);

// The block of texts a start hands the gatherer (the program and the arguments), and the
// gatherer the program (each start's arguments): a mark, the block's length and the count, then
// each text in UTF-16 with its NUL, little-endian, no pointer-sized field (the i686 helper
// serves the x86_64 program). Nothing when the texts pass the bounds.
std::optional<ByteString> TextsBlock(const std::vector<WideText>& texts);
// The texts of a block the helper made: the mark, a length within the bytes given (a mapped
// view is longer, to the end of its page) and the bounds, exactly the counted texts filling it.
// Nothing for any other block.
std::optional<std::vector<WideText>> ReadTextsBlock(std::string_view bytes);

// The program's one argument when a gathering starts it: a mark that no path holds ('|' is in no
// file name) and the token of the gathering's block, a number in hexadecimal.
inline constexpr char16_t kGatheredMark[] = u"|gathered|";
WideText GatheringToken(uint64_t number);
WideText GatheredArgument(const WideText& token);
// The token of such an argument: at most 16 lower-case hexadecimal digits; nothing for a path.
std::optional<WideText> GatheredToken(const WideText& argument);
// The names of the block's file mapping and of the event the program sets once it has read the
// block, in the namespace of the user's session.
WideText GatheredBlockName(const WideText& token);
WideText GatheredReadName(const WideText& token);
