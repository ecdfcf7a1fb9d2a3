// The text and byte-string operations: splitting with the double-byte rule, searching, cutting,
// replacing, converting, and the empty forms.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lead_bytes.h"
#include "runtime/text.h"

using namespace std::string_literals;

namespace {

struct SplitCase {
    int line;
    std::string text;
    std::string delimiter;
    std::optional<int32_t> limit;
    LeadBytePredicate isLeadByte;
    std::vector<std::string> pieces;
};

void ExpectSplit(const SplitCase& c) {
    SCOPED_TRACE(testing::Message() << "case at line " << c.line);
    const TextArray result = SplitText(c.text, c.delimiter, c.limit, c.isLeadByte);
    EXPECT_EQ(result, c.pieces);
}

TEST(SplitText, PiecesBetweenDelimiters) {
    const SplitCase cases[] = {
        {__LINE__, "a;b;c", ";", {}, Lead936, {"a", "b", "c"}},
        {__LINE__, "a;;b", ";", {}, Lead936, {"a", "", "b"}},
        {__LINE__, ";a", ";", {}, Lead936, {"", "a"}},
        {__LINE__, "a;", ";", {}, Lead936, {"a"}},
        {__LINE__, "a;;", ";", {}, Lead936, {"a", ""}},
        {__LINE__, ";", ";", {}, Lead936, {""}},
        {__LINE__, "abc", ";", {}, Lead936, {"abc"}},
        {__LINE__, "", ";", {}, Lead936, {}},
        {__LINE__, "a;b", "", {}, Lead936, {"a;b"}},
        {__LINE__, "ab", "abc", {}, Lead936, {"ab"}},
        // Lines as the batch dialog splits them: a lone CR or LF stays inside its line.
        {__LINE__, "a\r\n\r\nb\r\n", "\r\n", {}, Lead936, {"a", "", "b"}},
        {__LINE__, "a\rb\nc\r\nd", "\r\n", {}, Lead936, {"a\rb\nc", "d"}},
        {__LINE__, "a\r", "\r\n", {}, Lead936, {"a\r"}},
        {__LINE__, "\r\n", "\r\n", {}, Lead936, {""}},
        {__LINE__, "a||b", "||", {}, Lead936, {"a", "b"}},
        {__LINE__, "a|||b", "||", {}, Lead936, {"a", "|b"}},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(c);
    }
}

TEST(SplitText, LimitIsTheMostPieces) {
    const SplitCase cases[] = {
        {__LINE__, "a,b,c", ",", 2, Lead936, {"a", "b"}},
        {__LINE__, "a,b,c", ",", 3, Lead936, {"a", "b", "c"}},
        {__LINE__, "a,b,c", ",", 9, Lead936, {"a", "b", "c"}},
        {__LINE__, "a,b,c", ",", 1, Lead936, {"a"}},
        {__LINE__, "a,b,c", ",", 0, Lead936, {}},
        {__LINE__, "a,b,c", ",", -1, Lead936, {}},
        {__LINE__, "abc", ",", 1, Lead936, {"abc"}},
        {__LINE__, "a,,b", ",", 2, Lead936, {"a", ""}},
        {__LINE__, "a,b,", ",", 2, Lead936, {"a", "b"}},
        {__LINE__, ",a", ",", 1, Lead936, {""}},
        {__LINE__, "a,b", "", 0, Lead936, {}},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(c);
    }
}

// Only a lead byte of the code page in use pairs with the byte after it, and so hides a
// delimiter there.
TEST(SplitText, LeadBytePairsWithTheNextByte) {
    const SplitCase cases[] = {
        {__LINE__, "\xB0|A|B", "|", {}, Lead936, {"\xB0|A", "B"}},
        {__LINE__, "\xB0|A|B", "|", {}, Lead1252, {"\xB0", "A", "B"}},
        {__LINE__, "caf\xE9\r\nb", "\r\n", {}, Lead1252, {"caf\xE9", "b"}},
        {__LINE__, "caf\xE9\r\nb", "\r\n", {}, Lead936, {"caf\xE9\r\nb"}},
        {__LINE__, "a\xE9|b", "|", {}, Lead936, {"a\xE9|b"}},
        {__LINE__, "a\xE9|b", "|", {}, Lead1252, {"a\xE9", "b"}},
        // 0x80 and 0xFF are no lead bytes in 936.
        {__LINE__, "\x80|a", "|", {}, Lead936, {"\x80", "a"}},
        {__LINE__, "\xFF|a", "|", {}, Lead936, {"\xFF", "a"}},
        // A complete pair before the delimiter leaves it visible.
        {__LINE__, "\xD6\xD8|a", "|", {}, Lead936, {"\xD6\xD8", "a"}},
        // A lead byte at the very end stays at the end of the last piece.
        {__LINE__, "ab\xB0", "|", {}, Lead936, {"ab\xB0"}},
        {__LINE__, "a|b\xB0", "|", {}, Lead936, {"a", "b\xB0"}},
        {__LINE__, "\xB0", "|", {}, Lead936, {"\xB0"}},
        {__LINE__, "a|\xB0", "|", {}, Lead1252, {"a", "\xB0"}},
        // A double-byte delimiter is found at character boundaries only.
        {__LINE__,
         "a\xA1\xA1"
         "b\xA1\xA1"
         "c",
         "\xA1\xA1",
         {},
         Lead936,
         {"a", "b", "c"}},
        {__LINE__,
         "\xB0\xA1\xA1\xA1"
         "b",
         "\xA1\xA1",
         {},
         Lead936,
         {"\xB0\xA1", "b"}},
        {__LINE__,
         "\xB0\xA1\xA1\xA1"
         "b",
         "\xA1\xA1",
         {},
         Lead1252,
         {"\xB0",
          "\xA1"
          "b"}},
        // The delimiter is tested before the pair rule: a delimiter made of a lead byte matches.
        {__LINE__,
         "a\xB0"
         "b",
         "\xB0",
         {},
         Lead936,
         {"a", "b"}},
    };
    for (const SplitCase& c : cases) {
        ExpectSplit(c);
    }
}

TEST(SplitText, DelimiterDefaultsToComma) {
    EXPECT_EQ(SplitText("a,b"), (TextArray{"a", "b"}));
    EXPECT_EQ(SplitText("a;b"), (TextArray{"a;b"}));
}

TEST(TextArray, ElementsAreReadFromOne) {
    const TextArray array = SplitText("x|y", "|", std::nullopt, Lead936);
    ASSERT_EQ(ElementCount(array), 2);
    EXPECT_EQ(TextAt(array, 1), "x");
    EXPECT_EQ(TextAt(array, 2), "y");
    EXPECT_EQ(ElementCount(TextArray()), 0);
}

struct FindCase {
    int line;
    std::string haystack;
    std::string needle;
    int32_t position;
};

TEST(FindLastInText, LastOccurrenceOneBased) {
    const FindCase cases[] = {
        {__LINE__, "C:\\docs\\report.txt", ".", 15},
        {__LINE__, "C:\\docs\\report", ".", -1},
        {__LINE__, "a.b.c", ".", 4},
        {__LINE__, "aaa", "aa", 2},
        {__LINE__, "abc", "abc", 1},
        {__LINE__, "abc", "abcd", -1},
        {__LINE__, "", ".", -1},
        {__LINE__, "abc", "", -1},
        {__LINE__, "abc", "B", -1},
        // Blind to double-byte characters: a trail byte counts.
        {__LINE__, "\xB0|A", "|", 2},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(FindLastInText(c.haystack, c.needle), c.position);
    }
}

TEST(RightOfText, LastBytes) {
    const Text path = "C:\\docs\\report.txt";
    EXPECT_EQ(RightOfText(path, TextLength(path) - FindLastInText(path, ".")), "txt");
    EXPECT_EQ(RightOfText(path, 1), "t");
    EXPECT_EQ(RightOfText(path, 18), path);
    EXPECT_EQ(RightOfText(path, 100), path);
    EXPECT_EQ(RightOfText(path, 0), "");
    EXPECT_EQ(RightOfText(path, -3), "");
    EXPECT_EQ(RightOfText("", 3), "");
    // An empty extension reaches the platform as a null pointer.
    EXPECT_EQ(NullIfEmpty(RightOfText(path, 0)), nullptr);
}

TEST(MadeTexts, CharAndBlank) {
    EXPECT_EQ(CharText(65), "A");
    EXPECT_EQ(CharText(0x141), "A");  // only the low 8 bits count
    EXPECT_EQ(CharText(-1), "\xFF");
    EXPECT_EQ(CharText(0), "");
    EXPECT_EQ(CharText(0x100), "");
    EXPECT_EQ(NullIfEmpty(CharText(0)), nullptr);
    EXPECT_EQ(BlankText(3), "   ");
    EXPECT_EQ(BlankText(0), "");
    EXPECT_EQ(BlankText(-5), "");
    EXPECT_EQ(BlankBytes(3), "\0\0\0"s);
    EXPECT_EQ(BlankBytes(0), "");
    EXPECT_EQ(BlankBytes(-1), "");
}

TEST(CompareText, UnsignedBytesNoFolding) {
    struct Case {
        int line;
        std::string left;
        std::string right;
        int32_t result;
    };
    const Case cases[] = {
        {__LINE__, "", "", 0},           {__LINE__, "a", "a", 0},   {__LINE__, "a", "B", 1},
        {__LINE__, "B", "a", -1},        {__LINE__, "A", "a", -1},  {__LINE__, "ab", "a", 1},
        {__LINE__, "a", "ab", -1},       {__LINE__, "", "a", -1},   {__LINE__, "\x80", "z", 1},
        {__LINE__, "z", "\xB0\xA1", -1}, {__LINE__, "\\", "\\", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(CompareText(c.left, c.right), c.result);
    }
    EXPECT_EQ(CompareText(TextFromC(nullptr), Text()), 0);
}

TEST(TextFromMemory, CountedBytesUpToANul) {
    const char block[] = {'a', 'b', 'c', '\0', 'd'};
    EXPECT_EQ(TextFromMemory(block, 2), "ab");
    EXPECT_EQ(TextFromMemory(block, 3), "abc");
    EXPECT_EQ(TextFromMemory(block, 5), "abc");
    EXPECT_EQ(TextFromMemory(block, 0), "");
    EXPECT_EQ(TextFromMemory(block, -1), "");
    EXPECT_EQ(TextFromMemory(nullptr, 4), "");
}

TEST(TextFromC, NullPointerIsTheEmptyText) {
    EXPECT_EQ(TextFromC(nullptr), "");
    EXPECT_EQ(TextFromC("ab"), "ab");
    const Text text = "ab";
    EXPECT_STREQ(NullIfEmpty(text), "ab");
    EXPECT_EQ(NullIfEmpty(Text()), nullptr);
}

TEST(BytesAndTexts, Conversions) {
    EXPECT_EQ(TextToBytes(""), "");
    EXPECT_EQ(TextToBytes("a\xB0\xA1"), "a\xB0\xA1");
    EXPECT_EQ(BytesToText("ab\0c"s), "ab");
    EXPECT_EQ(BytesToText("\0ab"s), "");
    EXPECT_EQ(BytesToText("abc"), "abc");
    EXPECT_EQ(BytesToText(""), "");
}

TEST(FindBytes, FirstOccurrenceOneBased) {
    const FindCase cases[] = {
        {__LINE__, "a\0\0\0"s, "\0\0"s, 2},
        {__LINE__, "C:\\dir\0a.txt\0\0"s, "\0\0"s, 13},
        {__LINE__, "C:\\dir\0a.txt\0\0"s, "\0"s, 7},
        {__LINE__, "abcabc", "ca", 3},
        {__LINE__, "abc", "c", 3},
        {__LINE__, "abc", "abc", 1},
        {__LINE__, "abc", "abcd", -1},
        {__LINE__, "abc", "x", -1},
        {__LINE__, "", "a", -1},
        {__LINE__, "", "", -1},
        {__LINE__, "a", "", -1},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(FindBytes(c.haystack, c.needle), c.position);
    }
}

TEST(LeftOfBytes, FirstBytes) {
    const ByteString bytes = "\0a\0b"s;
    EXPECT_EQ(LeftOfBytes(bytes, 2), "\0a"s);
    EXPECT_EQ(LeftOfBytes(bytes, 4), bytes);
    EXPECT_EQ(LeftOfBytes(bytes, 9), bytes);
    EXPECT_EQ(LeftOfBytes(bytes, 0), "");
    EXPECT_EQ(LeftOfBytes(bytes, -2), "");
    EXPECT_EQ(LeftOfBytes("", 3), "");
}

TEST(ReplaceBytes, EveryOccurrenceWithoutOverlap) {
    struct Case {
        int line;
        std::string source;
        std::string pattern;
        std::string replacement;
        std::string result;
    };
    const Case cases[] = {
        {__LINE__, "C:\\dir\0a.txt\0b.txt"s, "\0"s, "|", "C:\\dir|a.txt|b.txt"},
        {__LINE__, "", "a", "b", ""},
        {__LINE__, "abc", "x", "y", "abc"},
        {__LINE__, "ab", "abc", "y", "ab"},
        {__LINE__, "abc", "", "y", "abc"},
        {__LINE__, "a", "a", "xyz", "xyz"},
        {__LINE__, "abc", "abc", "", ""},
        {__LINE__, "aaaa", "aa", "b", "bb"},
        {__LINE__, "aaa", "aa", "b", "ba"},
        {__LINE__, "a|b|", "|", "", "ab"},
        {__LINE__, "xab", "ab", "!", "x!"},
        // The replacement is not searched again.
        {__LINE__, "a\0b"s, "\0"s, "\0\0"s, "a\0\0b"s},
        // The filter list as the open-file dialog builds it.
        {__LINE__, "All|*.*|", "|", "\0"s, "All\0*.*\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        EXPECT_EQ(ReplaceBytes(c.source, c.pattern, c.replacement), c.result);
    }
}

TEST(Concat, JoinsInOrder) {
    EXPECT_EQ(ConcatBytes("", "\0\0"s).size(), 2u);
    EXPECT_EQ(ConcatBytes("", ""), "");
    EXPECT_EQ(ConcatBytes("a\0"s, "", "\0b"s), "a\0\0b"s);
    EXPECT_EQ(ConcatText("", ""), "");
    EXPECT_EQ(ConcatText("C:\\dir", "\\", "a.txt"), "C:\\dir\\a.txt");
    EXPECT_EQ(ConcatText("a", "", "b", "c"), "abc");
}

}  // namespace
