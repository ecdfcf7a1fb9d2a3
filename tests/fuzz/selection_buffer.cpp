// The open-file dialog's output buffer, as the chosen paths and as the joined selection text.
//
// Input: a flags byte (bit 0: code page 936, else 1252; bit 1: the written bytes are followed by
// zeros up to the dialog's full buffer size, else by (flags >> 2) zero bytes), then the bytes the
// dialog wrote, NULs and all.

#include "fuzz_support.h"
#include "intake/selection_rules.h"

namespace {

const std::string kNulPair(2, '\0');

// The selection: the bytes before the first pair of NULs; nothing when there is no pair or the
// buffer starts with one.
std::string SelectionOf(const ByteString& buffer) {
    const size_t pair = buffer.find(kNulPair);
    return pair == std::string::npos ? std::string() : buffer.substr(0, pair);
}

std::vector<std::string> NulSeparatedParts(const std::string& selection) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t nul = selection.find('\0'); nul != std::string::npos;
         nul = selection.find('\0', start)) {
        parts.push_back(selection.substr(start, nul - start));
        start = nul + 1;
    }
    parts.push_back(selection.substr(start));
    return parts;
}

// Walks a text character by character: true when its last character is the single-byte "\",
// and in closed, whether the walk ends exactly at its end (no lead byte left without its pair).
bool EndsWithSeparatorCharacter(const std::string& text, LeadBytePredicate isLeadByte,
                                bool& closed) {
    size_t at = 0;
    size_t lastCharacter = std::string::npos;
    while (at < text.size()) {
        lastCharacter = at;
        at += isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    }
    closed = at == text.size();
    return !text.empty() && lastCharacter == text.size() - 1 && text[lastCharacter] == '\\';
}

// The paths are exactly the NUL-separated parts: the directory joined to each name.
void CheckPaths(const std::string& selection, const TextArray& paths,
                LeadBytePredicate isLeadByte) {
    if (selection.empty()) {
        FUZZ_REQUIRE(paths.empty());
        return;
    }
    const std::vector<std::string> parts = NulSeparatedParts(selection);
    if (parts.size() == 1) {
        FUZZ_REQUIRE(paths.size() == 1 && paths[0] == selection);
        return;
    }
    bool closed = false;
    const std::string& directory = parts[0];
    const std::string separator =
        EndsWithSeparatorCharacter(directory, isLeadByte, closed) ? "" : "\\";
    FUZZ_REQUIRE(paths.size() == parts.size() - 1);
    for (size_t i = 0; i < paths.size(); ++i) {
        FUZZ_REQUIRE(paths[i] == directory + separator + parts[i + 1]);
        FUZZ_REQUIRE(!HasNul(paths[i]));
    }
}

// The joined text is the paths joined by ";" whenever the names leave the "|" pieces intact:
// no name holds a "|", none but the last ends with an unpaired lead byte, and the directory's
// last byte tells the same as its last character.
void CheckJoined(const std::string& selection, const Text& joined, const TextArray& paths,
                 LeadBytePredicate isLeadByte) {
    FUZZ_REQUIRE(!HasNul(joined));
    if (selection.empty()) {
        FUZZ_REQUIRE(joined.empty());
        return;
    }
    const std::vector<std::string> parts = NulSeparatedParts(selection);
    if (parts.size() == 1) {
        FUZZ_REQUIRE(joined == selection);
        return;
    }
    if (selection.find('|') != std::string::npos) {
        return;
    }
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        bool closed = false;
        EndsWithSeparatorCharacter(parts[i], isLeadByte, closed);
        if (!closed) {
            return;
        }
    }
    bool closed = false;
    const bool separatorCharacter = EndsWithSeparatorCharacter(parts[0], isLeadByte, closed);
    const bool separatorByte = !parts[0].empty() && parts[0].back() == '\\';
    if (separatorCharacter != separatorByte) {
        return;
    }
    FUZZ_REQUIRE(joined == JoinWith(paths, ";"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const uint8_t flags = TakeByte(bytes);
    const LeadBytePredicate isLeadByte = (flags & 1) != 0 ? Lead936 : Lead1252;
    const std::string written = TakeRest(bytes);

    ByteString buffer = written;
    if ((flags & 2) != 0 && buffer.size() < static_cast<size_t>(SELECTION_BUFFER_SIZE)) {
        buffer.resize(static_cast<size_t>(SELECTION_BUFFER_SIZE), '\0');
    } else {
        buffer.append(static_cast<size_t>(flags >> 2), '\0');
    }

    const std::string selection = SelectionOf(buffer);
    const TextArray paths = SelectedPaths(buffer, isLeadByte);
    const Text joined = JoinSelectedPaths(buffer, isLeadByte);
    CheckPaths(selection, paths, isLeadByte);
    CheckJoined(selection, joined, paths, isLeadByte);

    // Zeros after a selection that is already ended change nothing.
    if (!selection.empty()) {
        const ByteString shortest = written.substr(0, selection.size()) + kNulPair;
        FUZZ_REQUIRE(SelectedPaths(shortest, isLeadByte) == paths);
        FUZZ_REQUIRE(JoinSelectedPaths(shortest, isLeadByte) == joined);
    }
    return 0;
}
