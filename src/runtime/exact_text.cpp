#include "runtime/exact_text.h"

namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// True when wide[begin, end) is a single character: one code unit or one surrogate pair.
bool IsOneCharacter(const WideText& wide, size_t begin, size_t end) {
    return end - begin == 1 ||
           (end - begin == 2 && IsHighSurrogate(wide[begin]) && IsLowSurrogate(wide[begin + 1]));
}

// Converts wide[begin, end) into result. A part that converts exactly as a whole is taken as a
// whole; the others are halved until single characters remain, so a long text with a few
// characters that have no exact form costs a few conversions per such character, not one per
// character of the text.
void ConvertPart(const WideText& wide, size_t begin, size_t end, const AnsiConverters& converters,
                 const Text& substitute, SubstitutedText& result) {
    if (begin == end) {
        return;
    }
    const std::optional<Text> exact = ExactAnsiText(wide.substr(begin, end - begin), converters);
    if (exact) {
        result.text += *exact;
        return;
    }
    if (IsOneCharacter(wide, begin, end)) {
        result.substitutes.push_back(static_cast<int32_t>(result.text.size()) + 1);
        result.text += substitute;
        return;
    }
    size_t middle = begin + (end - begin) / 2;
    // Never between the two halves of a surrogate pair.
    if (IsHighSurrogate(wide[middle - 1]) && IsLowSurrogate(wide[middle])) {
        ++middle;
    }
    ConvertPart(wide, begin, middle, converters, substitute, result);
    ConvertPart(wide, middle, end, converters, substitute, result);
}

}  // namespace

std::optional<Text> ExactAnsiText(const WideText& wide, const AnsiConverters& converters) {
    if (wide.empty()) {
        return Text();
    }
    if (wide.find(u'\0') != WideText::npos) {
        return std::nullopt;
    }
    Text ansi;
    bool usedDefault = false;
    if (!converters.toAnsi(wide, ansi, usedDefault) || usedDefault) {
        return std::nullopt;
    }
    // Best fit reports nothing: only the way back shows that the text became another one.
    WideText back;
    if (ansi.find('\0') != Text::npos || !converters.toWide(ansi, back) || back != wide) {
        return std::nullopt;
    }
    return ansi;
}

std::optional<WideText> ExactWideText(const Text& ansi, const AnsiConverters& converters) {
    if (ansi.find('\0') != Text::npos) {
        return std::nullopt;
    }
    WideText wide;
    if (!converters.toWide(ansi, wide) || ExactAnsiText(wide, converters) != ansi) {
        return std::nullopt;
    }
    return wide;
}

SubstitutedText AnsiTextByCharacter(const WideText& wide, const AnsiConverters& converters,
                                    const Text& substitute) {
    SubstitutedText result;
    ConvertPart(wide, 0, wide.size(), converters, substitute, result);
    return result;
}

std::optional<Text> ExactFileName(const WideText& path, const AnsiConverters& converters,
                                  ShortPathFunction shortPath) {
    if (std::optional<Text> exact = ExactAnsiText(path, converters)) {
        return exact;
    }
    // The short form is the file's other name, made of characters every code page holds; it is
    // the only name under which an ANSI program can still reach such a file.
    WideText shortForm;
    if (shortPath == nullptr || !shortPath(path, shortForm) || shortForm.empty() ||
        shortForm == path) {
        return std::nullopt;
    }
    return ExactAnsiText(shortForm, converters);
}
