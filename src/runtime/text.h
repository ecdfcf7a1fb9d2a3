#pragma once

// Texts, byte strings and text arrays, and the operations the window code uses on them.
// Pure functions: nothing here includes the platform header.
//
// Positions are 1-based, -1 means "not found", lengths and counts are in bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A NUL-free byte string in the ANSI code page. The empty text stands for a missing one too.
using Text = std::string;
// A counted sequence of bytes that may contain NUL bytes.
using ByteString = std::string;
// Ordered texts, read with TextAt from 1 to ElementCount.
using TextArray = std::vector<Text>;
// A text in UTF-16 code units, as the platform keeps names and hands them to its W functions.
using WideText = std::u16string;

// Tells whether a byte starts a double-byte character in the ANSI code page in use.
using LeadBytePredicate = bool (*)(unsigned char byte);
// The running system's lead-byte test (IsDBCSLeadByte).
bool SystemLeadByte(unsigned char byte);

// A text read from a C string; a null pointer gives the empty text.
Text TextFromC(const char* text);
// The C string of a text for the platform: nullptr when the text is empty.
const char* NullIfEmpty(const Text& text);

TextArray SplitText(const Text& text, const Text& delimiter = ",",
                    std::optional<int32_t> limit = std::nullopt,
                    LeadBytePredicate isLeadByte = SystemLeadByte);
int32_t TextLength(const Text& text);
int32_t FindLastInText(const Text& text, const Text& part);
Text RightOfText(const Text& text, int32_t count);
Text BlankText(int32_t count);
Text CharText(int32_t code);
int32_t CompareText(const Text& left, const Text& right);
Text TextFromMemory(const void* address, int32_t count);

ByteString TextToBytes(const Text& text);
Text BytesToText(const ByteString& bytes);
int32_t FindBytes(const ByteString& haystack, const ByteString& needle);
ByteString LeftOfBytes(const ByteString& bytes, int32_t count);
ByteString ReplaceBytes(const ByteString& source, const ByteString& pattern,
                        const ByteString& replacement);
ByteString BlankBytes(int32_t count);

// Joins two or more texts in order; the result is a text of its own even when it is empty.
template <typename... More>
Text ConcatText(const Text& first, const Text& second, const More&... more) {
    Text joined;
    joined.append(first).append(second);
    (joined.append(more), ...);
    return joined;
}

// Joins two or more byte strings in order.
template <typename... More>
ByteString ConcatBytes(const ByteString& first, const ByteString& second, const More&... more) {
    return ConcatText(first, second, more...);
}

// The unit with an ASCII lower-case letter made upper case; any other unit as it is. The object
// manager's own names ("UNC", a device, a volume's GUID, a drive letter) ignore ASCII case only.
template <typename Unit>
constexpr Unit AsciiUpper(Unit unit) {
    return unit >= 'a' && unit <= 'z' ? static_cast<Unit>(unit - ('a' - 'A')) : unit;
}

// True when text begins with front, ASCII letters compared without their case.
template <typename Unit, typename FrontUnit>
bool StartsWithIgnoringAsciiCase(std::basic_string_view<Unit> text,
                                 std::basic_string_view<FrontUnit> front) {
    if (text.size() < front.size()) {
        return false;
    }
    for (size_t i = 0; i < front.size(); ++i) {
        if (AsciiUpper(text[i]) != static_cast<Unit>(AsciiUpper(front[i]))) {
            return false;
        }
    }
    return true;
}

// The number of elements of an array.
int32_t ElementCount(const TextArray& array);
// Element index (1-based). Outside 1..ElementCount the process ends with an internal error.
const Text& TextAt(const TextArray& array, int32_t index);
