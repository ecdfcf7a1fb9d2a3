// The text, byte-string and text-array operations. Pure: every operation reads its arguments and
// returns a new value; none keeps state or talks to the platform.

#include "runtime/text.h"

#include <cstring>

#include "runtime/fatal.h"

namespace {

// One piece of a split, as a range of the source text; the pieces are copied out once their
// number is known, so the result array is allocated at its final size.
struct PieceRange {
    size_t start;
    size_t length;
};

}  // namespace

Text TextFromC(const char* text) {
    if (text == nullptr) {
        return Text();
    }
    return Text(text);
}

const char* NullIfEmpty(const Text& text) {
    return text.empty() ? nullptr : text.c_str();
}

TextArray SplitText(const Text& text, const Text& delimiter, std::optional<int32_t> limit,
                    LeadBytePredicate isLeadByte) {
    // A limit below 0 counts as 0; no limit at all is unlimited.
    std::optional<int32_t> remaining = limit;
    if (remaining && *remaining < 0) {
        remaining = 0;
    }
    if (text.empty() || (remaining && *remaining == 0)) {
        return TextArray();
    }
    if (delimiter.empty()) {
        return TextArray{text};
    }

    const size_t end = text.size();
    const size_t delimiterLength = delimiter.size();
    std::vector<PieceRange> pieces;
    size_t pieceStart = 0;
    size_t p = 0;
    bool limitRunOut = false;
    while (end - p >= delimiterLength) {
        // The delimiter is tested before the double-byte rule, so a delimiter that begins with a
        // lead byte is still found at a character boundary.
        if (text.compare(p, delimiterLength, delimiter) == 0) {
            pieces.push_back({pieceStart, p - pieceStart});
            p += delimiterLength;
            pieceStart = p;
            if (remaining) {
                --*remaining;
                if (*remaining == 0) {
                    limitRunOut = true;
                    break;
                }
            }
            continue;
        }
        const unsigned char byte = static_cast<unsigned char>(text[p]);
        if (isLeadByte == nullptr || !isLeadByte(byte)) {
            ++p;
            continue;
        }
        // A lead byte takes the next byte with it, so the delimiter is never matched at the
        // second byte of a double-byte character. A lead byte at the very end stops the scan and
        // stays in the last piece.
        if (p + 1 == end) {
            break;
        }
        p += 2;
    }
    if (!limitRunOut && pieceStart < end) {
        pieces.push_back({pieceStart, end - pieceStart});
    }

    TextArray result;
    result.reserve(pieces.size());
    for (const PieceRange& piece : pieces) {
        result.push_back(text.substr(piece.start, piece.length));
    }
    return result;
}

int32_t TextLength(const Text& text) {
    return static_cast<int32_t>(text.size());
}

int32_t FindLastInText(const Text& text, const Text& part) {
    if (text.empty() || part.empty() || part.size() > text.size()) {
        return -1;
    }
    // Byte-exact and blind to double-byte characters: a match may start at a trail byte.
    const size_t found = text.rfind(part);
    if (found == Text::npos) {
        return -1;
    }
    return static_cast<int32_t>(found) + 1;
}

Text RightOfText(const Text& text, int32_t count) {
    if (text.empty() || count <= 0) {
        return Text();
    }
    const size_t wanted = static_cast<size_t>(count);
    if (wanted >= text.size()) {
        return text;
    }
    return text.substr(text.size() - wanted);
}

Text BlankText(int32_t count) {
    if (count <= 0) {
        return Text();
    }
    return Text(static_cast<size_t>(count), ' ');
}

Text CharText(int32_t code) {
    const char byte = static_cast<char>(static_cast<uint32_t>(code) & 0xFFu);
    if (byte == '\0') {
        return Text();
    }
    return Text(1, byte);
}

int32_t CompareText(const Text& left, const Text& right) {
    // Bytes compare as unsigned values, and the terminator (the end) sorts before every byte, so
    // a text that is a prefix of another comes first.
    const size_t shorter = left.size() < right.size() ? left.size() : right.size();
    for (size_t i = 0; i < shorter; ++i) {
        const unsigned char l = static_cast<unsigned char>(left[i]);
        const unsigned char r = static_cast<unsigned char>(right[i]);
        if (l != r) {
            return l < r ? -1 : 1;
        }
    }
    if (left.size() == right.size()) {
        return 0;
    }
    return left.size() < right.size() ? -1 : 1;
}

Text TextFromMemory(const void* address, int32_t count) {
    if (address == nullptr || count < 1) {
        return Text();
    }
    // A text holds no NUL byte: a block with a NUL inside ends its text there.
    const char* bytes = static_cast<const char*>(address);
    const void* nul = std::memchr(bytes, '\0', static_cast<size_t>(count));
    const size_t length = nul == nullptr
                              ? static_cast<size_t>(count)
                              : static_cast<size_t>(static_cast<const char*>(nul) - bytes);
    return Text(bytes, length);
}

ByteString TextToBytes(const Text& text) {
    return ByteString(text);
}

Text BytesToText(const ByteString& bytes) {
    const size_t nul = bytes.find('\0');
    if (nul == ByteString::npos) {
        return Text(bytes);
    }
    return Text(bytes, 0, nul);
}

int32_t FindBytes(const ByteString& haystack, const ByteString& needle) {
    if (haystack.empty() || needle.empty() || needle.size() > haystack.size()) {
        return -1;
    }
    const size_t found = haystack.find(needle);
    if (found == ByteString::npos) {
        return -1;
    }
    return static_cast<int32_t>(found) + 1;
}

ByteString LeftOfBytes(const ByteString& bytes, int32_t count) {
    if (bytes.empty() || count <= 0) {
        return ByteString();
    }
    return bytes.substr(0, static_cast<size_t>(count));
}

ByteString ReplaceBytes(const ByteString& source, const ByteString& pattern,
                        const ByteString& replacement) {
    if (source.empty()) {
        return ByteString();
    }
    if (pattern.empty() || pattern.size() > source.size()) {
        return source;
    }
    // Left to right without overlap: after an occurrence the search goes on behind it.
    size_t occurrences = 0;
    for (size_t at = source.find(pattern); at != ByteString::npos;
         at = source.find(pattern, at + pattern.size())) {
        ++occurrences;
    }
    if (occurrences == 0) {
        return source;
    }
    ByteString result;
    result.reserve(source.size() - occurrences * pattern.size() + occurrences * replacement.size());
    size_t copied = 0;
    for (size_t at = source.find(pattern); at != ByteString::npos;
         at = source.find(pattern, at + pattern.size())) {
        result.append(source, copied, at - copied);
        result.append(replacement);
        copied = at + pattern.size();
    }
    result.append(source, copied, ByteString::npos);
    return result;
}

ByteString BlankBytes(int32_t count) {
    if (count <= 0) {
        return ByteString();
    }
    return ByteString(static_cast<size_t>(count), '\0');
}

int32_t ElementCount(const TextArray& array) {
    return static_cast<int32_t>(array.size());
}

const Text& TextAt(const TextArray& array, int32_t index) {
    // The diagnostic word is the index that was asked for.
    if (index < 1) {
        ReportInternalError(kErrorIndexBelowOne, static_cast<uint32_t>(index));
    }
    if (index > ElementCount(array)) {
        ReportInternalError(kErrorIndexAboveCount, static_cast<uint32_t>(index));
    }
    return array[static_cast<size_t>(index) - 1];
}
