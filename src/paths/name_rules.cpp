#include "paths/name_rules.h"

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
