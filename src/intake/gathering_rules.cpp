#include "intake/gathering_rules.h"

#include <algorithm>
#include <utility>

#include "runtime/little_endian.h"

namespace {

// "RDLG": the helper's blocks.
constexpr uint32_t kBlockMark = 0x474C4452;
constexpr size_t kHeaderSize = 12;
constexpr size_t kMostTokenDigits = 16;

bool IsBlank(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

size_t SkipBlanks(const WideText& line, size_t at) {
    while (at < line.size() && IsBlank(line[at])) {
        ++at;
    }
    return at;
}

// The argument at at (after blanks), and where the text after it starts.
std::pair<WideText, size_t> ArgumentAt(const WideText& line, size_t at) {
    at = SkipBlanks(line, at);
    WideText argument;
    bool quoted = false;
    for (; at < line.size(); ++at) {
        const char16_t unit = line[at];
        if (unit == u'"') {
            quoted = !quoted;
        } else if (IsBlank(unit) && !quoted) {
            break;
        } else {
            argument += unit;
        }
    }
    return {argument, at};
}

void PutValue(ByteString& block, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) {
        block[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

uint64_t GatheringEnd(const Gathering& gathering) {
    return std::min(gathering.lastJoined + kQuietMilliseconds,
                    gathering.began + kLongestGatheringMilliseconds);
}

// The bytes a text takes in a block.
size_t TextSize(const WideText& text) {
    return 2 * (text.size() + 1);
}

bool IsHexDigit(char16_t unit) {
    return (unit >= u'0' && unit <= u'9') || (unit >= u'a' && unit <= u'f');
}

}  // namespace

WideText HelperBeside(const WideText& program) {
    const size_t folderEnd = program.find_last_of(u"\\/");
    const WideText folder = folderEnd == WideText::npos ? WideText() : program.substr(0, folderEnd);
    return folder + u"\\" + kMenuHelperName;
}

WideText VerbCommand(const WideText& program) {
    return u"\"" + HelperBeside(program) + u"\" \"" + program + u"\" \"%1\"";
}

HelperStart ReadHelperStart(const WideText& commandLine) {
    const size_t afterHelper = ArgumentAt(commandLine, 0).second;
    const auto [program, afterProgram] = ArgumentAt(commandLine, afterHelper);
    return HelperStart{program, commandLine.substr(SkipBlanks(commandLine, afterProgram))};
}

Gathering BeginGathering(const HelperStart& start, uint64_t now) {
    Gathering gathering;
    gathering.program = start.program;
    gathering.arguments.push_back(start.arguments);
    gathering.blockSize = kHeaderSize + TextSize(gathering.arguments.back());
    gathering.began = now;
    gathering.lastJoined = now;
    return gathering;
}

bool JoinGathering(Gathering& gathering, const HelperStart& start, uint64_t now) {
    if (GatheringWait(gathering, now) == 0 || start.program != gathering.program ||
        start.arguments.size() > kLongestStartArguments ||
        gathering.arguments.size() >= kMostGatheredStarts ||
        gathering.blockSize + TextSize(start.arguments) > kLargestGatheredBlock) {
        return false;
    }
    gathering.arguments.push_back(start.arguments);
    gathering.blockSize += TextSize(start.arguments);
    gathering.lastJoined = now;
    return true;
}

uint64_t GatheringWait(Gathering& gathering, uint64_t now) {
    const uint64_t end = GatheringEnd(gathering);
    if (gathering.over || now >= end) {
        gathering.over = true;
        return 0;
    }
    return end - now;
}

std::optional<ByteString> TextsBlock(const std::vector<WideText>& texts) {
    if (texts.size() > kMostGatheredStarts) {
        return std::nullopt;
    }
    ByteString block;
    AppendLittleEndian(block, kBlockMark, 4);
    AppendLittleEndian(block, 0, 4);
    AppendLittleEndian(block, static_cast<uint32_t>(texts.size()), 4);
    for (const WideText& text : texts) {
        if (text.find(u'\0') != WideText::npos ||
            block.size() + TextSize(text) > kLargestGatheredBlock) {
            return std::nullopt;
        }
        for (char16_t unit : text) {
            AppendLittleEndian(block, unit, 2);
        }
        AppendLittleEndian(block, 0, 2);
    }
    PutValue(block, 4, static_cast<uint32_t>(block.size()));
    return block;
}

std::optional<std::vector<WideText>> ReadTextsBlock(std::string_view bytes) {
    if (bytes.size() < kHeaderSize || LittleEndianAt(bytes, 0, 4) != kBlockMark) {
        return std::nullopt;
    }
    const size_t size = LittleEndianAt(bytes, 4, 4);
    const size_t count = LittleEndianAt(bytes, 8, 4);
    if (size < kHeaderSize || size > bytes.size() || size > kLargestGatheredBlock ||
        (size - kHeaderSize) % 2 != 0 || count > kMostGatheredStarts) {
        return std::nullopt;
    }
    std::vector<WideText> texts;
    WideText text;
    for (size_t at = kHeaderSize; at < size; at += 2) {
        const char16_t unit = static_cast<char16_t>(LittleEndianAt(bytes, at, 2));
        if (unit != u'\0') {
            text += unit;
            continue;
        }
        if (texts.size() == count) {
            return std::nullopt;
        }
        texts.push_back(std::move(text));
        text.clear();
    }
    // A text without its NUL, or fewer texts than counted: a block cut short.
    if (!text.empty() || texts.size() != count) {
        return std::nullopt;
    }
    return texts;
}

WideText GatheringToken(uint64_t number) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    WideText digits;
    do {
        digits.insert(digits.begin(), kDigits[number & 0xF]);
        number >>= 4;
    } while (number != 0);
    return digits;
}

WideText GatheredArgument(const WideText& token) {
    return kGatheredMark + token;
}

std::optional<WideText> GatheredToken(const WideText& argument) {
    const WideText mark = kGatheredMark;
    if (argument.rfind(mark, 0) != 0) {
        return std::nullopt;
    }
    const WideText token = argument.substr(mark.size());
    if (token.empty() || token.size() > kMostTokenDigits ||
        !std::all_of(token.begin(), token.end(), IsHexDigit)) {
        return std::nullopt;
    }
    return token;
}

WideText GatheredBlockName(const WideText& token) {
    return u"Local\\rebootdel.gathered." + token;
}

WideText GatheredReadName(const WideText& token) {
    return GatheredBlockName(token) + u".read";
}
