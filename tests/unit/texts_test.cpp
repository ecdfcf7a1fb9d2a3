// Every literal text of the program, decoded from code page 936 and compared with the Chinese
// text in the comment above it. The header is read as a file, so a text added later is checked
// too, and a text without its comment is an error unless it is plain ASCII. The UTF-16 form the
// program hands to the platform is compared with the same comments.

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "resources/texts.h"
#include "runtime/wide_text.h"

namespace {

const char kTextsHeader[] = SOURCE_DIR "/src/resources/texts.h";

struct Entry {
    int line = 0;
    std::string name;
    std::string literal;                 // the bytes between the quotes, escapes undecoded
    std::optional<std::string> comment;  // the quoted text of the comment right above
};

std::vector<Entry> ReadEntries(const std::string& path) {
    std::ifstream file(path);
    EXPECT_TRUE(file.good()) << "cannot open " << path;
    // "// what it is: "<text>"" and "inline constexpr char kName[] = "...";"
    const std::regex commentLine(R"re(^\s*//[^"]*:\s*"(.*)"\s*$)re");
    const std::regex constantLine(
        R"re(^\s*inline\s+constexpr\s+char\s+(\w+)\[\]\s*=\s*"(.*)";\s*$)re");
    const std::regex anyConstant(R"re(\bconstexpr\b)re");
    std::vector<Entry> entries;
    std::optional<std::string> pendingComment;
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        std::smatch match;
        if (std::regex_match(line, match, commentLine)) {
            pendingComment = match[1].str();
            continue;
        }
        if (std::regex_match(line, match, constantLine)) {
            entries.push_back({number, match[1].str(), match[2].str(), pendingComment});
        } else if (std::regex_search(line, anyConstant)) {
            ADD_FAILURE() << path << ":" << number
                          << ": a constant this test cannot read: " << line;
        }
        pendingComment.reset();
    }
    return entries;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the escapes of a C string literal as the compiler does: \x takes every hex digit that
// follows, an octal escape up to three digits. Returns nullopt for an escape the compiler would
// reject or misread (for instance \xfdA, which is one out-of-range escape, not two bytes).
std::optional<std::string> DecodeLiteral(const std::string& literal) {
    std::string bytes;
    for (size_t i = 0; i < literal.size(); ++i) {
        if (literal[i] == '"') {
            return std::nullopt;  // joined literals are not expected here
        }
        if (literal[i] != '\\') {
            bytes.push_back(literal[i]);
            continue;
        }
        if (++i == literal.size()) {
            return std::nullopt;
        }
        const char c = literal[i];
        switch (c) {
            case 'n':
                bytes.push_back('\n');
                break;
            case 'r':
                bytes.push_back('\r');
                break;
            case 't':
                bytes.push_back('\t');
                break;
            case '\\':
                bytes.push_back('\\');
                break;
            case '"':
                bytes.push_back('"');
                break;
            case '\'':
                bytes.push_back('\'');
                break;
            case '?':
                bytes.push_back('?');
                break;
            case 'x': {
                unsigned value = 0;
                size_t digits = 0;
                while (i + 1 < literal.size() && HexValue(literal[i + 1]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexValue(literal[++i]));
                    if (value > 0xFF)
                        return std::nullopt;
                    ++digits;
                }
                if (digits == 0)
                    return std::nullopt;
                bytes.push_back(static_cast<char>(value));
                break;
            }
            default: {
                if (c < '0' || c > '7')
                    return std::nullopt;
                unsigned value = static_cast<unsigned>(c - '0');
                for (int more = 0; more < 2 && i + 1 < literal.size() && literal[i + 1] >= '0' &&
                                   literal[i + 1] <= '7';
                     ++more) {
                    value = value * 8 + static_cast<unsigned>(literal[++i] - '0');
                }
                if (value > 0xFF)
                    return std::nullopt;
                bytes.push_back(static_cast<char>(value));
            }
        }
    }
    return bytes;
}

// Converts code page 936 bytes to UTF-8 with glibc's iconv; nullopt when they are not valid 936.
std::optional<std::string> DecodeCp936(const std::string& bytes) {
    iconv_t converter = iconv_open("UTF-8", "CP936");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        converter = iconv_open("UTF-8", "GBK");
    }
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv knows neither CP936 nor GBK";
        return std::nullopt;
    }
    std::string input = bytes;
    std::string output(bytes.size() * 4 + 4, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return output;
}

bool IsAscii(const std::string& bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

TEST(Texts, EveryTextDecodesToItsComment) {
    const std::vector<Entry> entries = ReadEntries(kTextsHeader);
    ASSERT_FALSE(entries.empty()) << "no texts found in " << kTextsHeader;
    for (const Entry& entry : entries) {
        SCOPED_TRACE(testing::Message() << "texts.h:" << entry.line << " " << entry.name);
        const std::optional<std::string> bytes = DecodeLiteral(entry.literal);
        ASSERT_TRUE(bytes.has_value()) << "bad escape in " << entry.literal;
        EXPECT_EQ(bytes->find('\0'), std::string::npos) << "a text holds no NUL byte";
        if (!entry.comment) {
            // Only a text that reads the same in every code page may go without its comment.
            EXPECT_TRUE(IsAscii(*bytes)) << "needs a comment with its Chinese text";
            continue;
        }
        const std::optional<std::string> decoded = DecodeCp936(*bytes);
        ASSERT_TRUE(decoded.has_value()) << "not valid code page 936";
        EXPECT_EQ(*decoded, *entry.comment);
    }
}

// The decoder above must itself tell good bytes from bad, or the comparison proves nothing.
TEST(Texts, DecoderRejectsWhatTheCompilerWould) {
    EXPECT_EQ(DecodeLiteral(R"(\xd6\xd8 -- a)"), std::optional<std::string>("\xd6\xd8 -- a"));
    EXPECT_EQ(DecodeLiteral(R"(\101\t\\)"), std::optional<std::string>("A\t\\"));
    EXPECT_EQ(DecodeLiteral(R"(\xfdA)"), std::nullopt);
    EXPECT_EQ(DecodeLiteral(R"(\q)"), std::nullopt);
    EXPECT_EQ(DecodeCp936("\xd6\xd8"), std::optional<std::string>("\xe9\x87\x8d"));  // 重
    EXPECT_EQ(DecodeCp936("\xd6"), std::nullopt);
}

// Every text of the header by its name, for the tests of the program's own conversion.
struct Literal {
    const char* name;
    const char* bytes;
};
constexpr Literal kLiterals[] = {
    {"kMainCaption", kMainCaption},
    {"kColumnPath", kColumnPath},
    {"kColumnResult", kColumnResult},
    {"kConfirmClear", kConfirmClear},
    {"kConfirmRestart", kConfirmRestart},
    {"kResultAccepted", kResultAccepted},
    {"kResultRefused", kResultRefused},
    {"kSelectTitle", kSelectTitle},
    {"kBatchCaption", kBatchCaption},
    {"kConfirmBatch", kConfirmBatch},
    {"kMenuPending", kMenuPending},
    {"kPendingCaption", kPendingCaption},
    {"kColumnPendingFile", kColumnPendingFile},
    {"kColumnPendingAction", kColumnPendingAction},
    {"kPendingDeletion", kPendingDeletion},
    {"kPendingMoveTo", kPendingMoveTo},
    {"kConfirmCancelDeletion", kConfirmCancelDeletion},
    {"kResultCancelled", kResultCancelled},
    {"kColumnReason", kColumnReason},
    {"kReasonNoFile", kReasonNoFile},
    {"kReasonMovedSinceListing", kReasonMovedSinceListing},
    {"kReasonFolder", kReasonFolder},
    {"kReasonNetwork", kReasonNetwork},
    {"kReasonSubst", kReasonSubst},
    {"kReasonRemovable", kReasonRemovable},
    {"kReasonOptical", kReasonOptical},
    {"kReasonNoBootVolume", kReasonNoBootVolume},
    {"kReasonLink", kReasonLink},
    {"kReasonSpecialFile", kReasonSpecialFile},
    {"kReasonRenameConflict", kReasonRenameConflict},
    {"kReasonSystemMayNotDelete", kReasonSystemMayNotDelete},
    {"kReasonNeedsAdministrator", kReasonNeedsAdministrator},
    {"kReasonRefusedPrefix", kReasonRefusedPrefix},
    {"kReasonPendingUnrecognised", kReasonPendingUnrecognised},
    {"kCancelUnrecognised", kCancelUnrecognised},
    {"kCancelGone", kCancelGone},
    {"kConfirmCancelCountBefore", kConfirmCancelCountBefore},
    {"kConfirmCancelCountAfter", kConfirmCancelCountAfter},
    {"kFastStartupPrompt", kFastStartupPrompt},
    {"kSelectionTooLarge", kSelectionTooLarge},
    {"kPickNotFound", kPickNotFound},
    {"kOutOfMemory", kOutOfMemory},
    {"kErrorCaption", kErrorCaption},
    {"kInternalErrorFormat", kInternalErrorFormat},
    {"kConfirmFolders", kConfirmFolders},
    {"kReasonSystemFolder", kReasonSystemFolder},
    {"kReasonUnlistedFolder", kReasonUnlistedFolder},
    {"kCountPrefix", kCountPrefix},
    {"kCountSuffix", kCountSuffix},
    {"kWalkProgressPrefix", kWalkProgressPrefix},
    {"kWalkProgressSuffix", kWalkProgressSuffix},
    {"kOtherLinksPrefix", kOtherLinksPrefix},
    {"kOtherLinksSuffix", kOtherLinksSuffix},
    {"kRefusedEntriesHeading", kRefusedEntriesHeading},
    {"kMoreEntries", kMoreEntries},
    {"kReasonUnknowable", kReasonUnknowable},
    {"kReasonOverCap", kReasonOverCap},
    {"kWaitingForLock", kWaitingForLock},
    {"kResultUnconfirmed", kResultUnconfirmed},
    {"kReasonUnconfirmed", kReasonUnconfirmed},
    {"kReasonReadOnlyKept", kReasonReadOnlyKept},
    {"kReasonFileChanged", kReasonFileChanged},
    {"kMissingPathsHeading", kMissingPathsHeading},
    {"kMorePathsPrefix", kMorePathsPrefix},
    {"kMorePathsSuffix", kMorePathsSuffix},
    {"kMenuAddSendTo", kMenuAddSendTo},
    {"kMenuRemoveSendTo", kMenuRemoveSendTo},
    {"kSendToShortcutName", kSendToShortcutName},
    {"kSendToFailed", kSendToFailed},
    {"kUnlistedPathsHeading", kUnlistedPathsHeading},
    {"kMenuBootLog", kMenuBootLog},
    {"kBootLogCaption", kBootLogCaption},
    {"kColumnBootLogTime", kColumnBootLogTime},
    {"kColumnBootLogAction", kColumnBootLogAction},
    {"kLastRestartBefore", kLastRestartBefore},
    {"kLastRestartFailuresBefore", kLastRestartFailuresBefore},
    {"kLastRestartFailuresAfter", kLastRestartFailuresAfter},
    {"kLastRestartDoneBefore", kLastRestartDoneBefore},
    {"kLastRestartDoneAfter", kLastRestartDoneAfter},
    {"kSentenceEnd", kSentenceEnd},
    {"kLastRestartNothingFailed", kLastRestartNothingFailed},
    {"kBootLogMissing", kBootLogMissing},
    {"kBootLogUnreadable", kBootLogUnreadable},
    {"kBootLogUnrecognised", kBootLogUnrecognised},
    {"kStillPendingBefore", kStillPendingBefore},
    {"kStillPendingAfter", kStillPendingAfter},
    {"kSkippedLinesAfter", kSkippedLinesAfter},
    {"kLastRestartNotDeleted", kLastRestartNotDeleted},
    {"kBootPathNotFound", kBootPathNotFound},
    {"kBootPathInvalid", kBootPathInvalid},
    {"kBootFolderNotEmpty", kBootFolderNotEmpty},
    {"kBootAccessDenied", kBootAccessDenied},
    {"kBootFileInUse", kBootFileInUse},
    {"kBootDeletePending", kBootDeletePending},
    {"kBootCannotDelete", kBootCannotDelete},
    {"kBootTargetExists", kBootTargetExists},
    {"kBootThroughLink", kBootThroughLink},
    {"kBootErrorPrefix", kBootErrorPrefix},
    {"kMenuAddContextMenu", kMenuAddContextMenu},
    {"kMenuRemoveContextMenu", kMenuRemoveContextMenu},
    {"kContextMenuVerb", kContextMenuVerb},
    {"kContextMenuFailed", kContextMenuFailed},
    {"kContextMenuHelperMissing", kContextMenuHelperMissing},
};

// UTF-8 to UTF-16 with glibc's iconv, apart from the stand-in's own conversions.
std::u16string Utf16(const std::string& utf8) {
    iconv_t converter = iconv_open("UTF-16LE", "UTF-8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string input = utf8;
    std::string output(utf8.size() * 2 + 2, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    EXPECT_NE(converted, static_cast<size_t>(-1));
    std::u16string wide;
    for (size_t i = 0; i + 1 < output.size() - outLeft; i += 2) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(output[i]) |
                                             static_cast<unsigned char>(output[i + 1]) << 8));
    }
    return wide;
}

TEST(Texts, TheUtf16FormOfEveryTextIsItsChineseText) {
    const std::vector<Entry> entries = ReadEntries(kTextsHeader);
    ASSERT_EQ(entries.size(), std::size(kLiterals)) << "a text of the header is missing here";
    for (const Entry& entry : entries) {
        SCOPED_TRACE(entry.name);
        const Literal* literal = nullptr;
        for (const Literal& candidate : kLiterals) {
            if (entry.name == candidate.name) {
                literal = &candidate;
            }
        }
        ASSERT_NE(literal, nullptr) << "a text of the header is missing here";
        const std::string expected = entry.comment ? *entry.comment : literal->bytes;
        EXPECT_EQ(UiText(literal->bytes), Utf16(expected));
    }
}

TEST(Texts, EachTextIsConvertedOnceAndKeptByItsBytes) {
    const WideText& caption = UiText(kMainCaption);
    EXPECT_EQ(&UiText(kMainCaption), &caption);
    // The same bytes elsewhere find the same conversion; new bytes in the same buffer do not.
    char buffer[8] = "abc";
    const WideText& first = UiText(buffer);
    EXPECT_EQ(&UiText(std::string("abc").c_str()), &first);
    std::memcpy(buffer, "xyz", 4);
    EXPECT_EQ(UiText(buffer), u"xyz");
    EXPECT_EQ(first, u"abc");
    EXPECT_EQ(UiText(nullptr), u"");
    EXPECT_EQ(UiText(""), u"");
}

TEST(Texts, TheFatalBoxesConvertIntoTheirOwnBuffer) {
    WCHAR buffer[8];
    EXPECT_TRUE(UiTextInto(kOutOfMemory, buffer, 8));
    EXPECT_EQ(std::u16string(buffer), u"内存不足");
    EXPECT_TRUE(UiTextInto("", buffer, 8));
    EXPECT_EQ(buffer[0], u'\0');
    // Four characters and the terminator need five units.
    EXPECT_FALSE(UiTextInto(kOutOfMemory, buffer, 4));
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_TRUE(UiTextInto(kOutOfMemory, buffer, 5));
}

}  // namespace
