#include "paths/exact_names.h"

#include <climits>
#include <vector>

#include "platform/looked_up.h"
#include "runtime/exact_text.h"
#include "runtime/wide_text.h"

namespace {

// The default character of every ANSI code page Windows runs with, UTF-8 included.
constexpr char kDefaultCharacter[] = "?";

bool FitsInInt(size_t length) {
    return length <= static_cast<size_t>(INT_MAX);
}

bool SystemWideToAnsi(const WideText& wide, Text& ansi, bool& usedDefault) {
    usedDefault = false;
    ansi.clear();
    if (wide.empty()) {
        return true;
    }
    if (!FitsInInt(wide.size())) {
        return false;
    }
    // With UTF-8 as the system's code page the call refuses both the no-best-fit flag and the
    // default-character report; UTF-8 has no best fit, and the round trip catches the lone
    // surrogates it turns into U+FFFD.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaultUsed = FALSE;
    LPBOOL defaultReport = utf8 ? nullptr : &defaultUsed;
    const int length = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(CP_ACP, flags, WideC(wide), length, nullptr, 0, nullptr, defaultReport);
    if (needed <= 0) {
        return false;
    }
    ansi.assign(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_ACP, flags, WideC(wide), length, ansi.data(), needed,
                                            nullptr, defaultReport);
    if (written != needed) {
        ansi.clear();
        return false;
    }
    usedDefault = defaultUsed != FALSE;
    return true;
}

bool SystemAnsiToWide(const Text& ansi, WideText& wide) {
    wide.clear();
    if (ansi.empty()) {
        return true;
    }
    if (!FitsInInt(ansi.size())) {
        return false;
    }
    const int length = static_cast<int>(ansi.size());
    const int needed =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    wide.assign(static_cast<size_t>(needed), u'\0');
    const int written = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), length,
                                            WideData(wide), needed);
    if (written != needed) {
        wide.clear();
        return false;
    }
    return true;
}

}  // namespace

const AnsiConverters& SystemAnsiConverters() {
    static const AnsiConverters converters{SystemWideToAnsi, SystemAnsiToWide};
    return converters;
}

SubstitutedText AnsiUserText(const WideText& text) {
    return AnsiTextByCharacter(text, SystemAnsiConverters(), kDefaultCharacter);
}

WideText WideFromAnsi(const Text& text) {
    WideText wide;
    if (!text.empty() && FitsInInt(text.size())) {
        const int length = static_cast<int>(text.size());
        const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        if (needed > 0) {
            wide.assign(static_cast<size_t>(needed), u'\0');
            MultiByteToWideChar(CP_ACP, 0, text.data(), length, WideData(wide), needed);
        }
    }
    return wide;
}

std::optional<WideText> WideFileName(const Text& path) {
    return ExactWideText(path, SystemAnsiConverters());
}

CaseTable FileSystemCase() {
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> units(0x10000);
        const RtlUpcaseUnicodeCharCall upcase = LookUpRtlUpcaseUnicodeChar();
        for (size_t unit = 0; unit < units.size(); ++unit) {
            const auto wide = static_cast<WCHAR>(unit);
            // Every NT system has the call; without it, the case only ASCII letters have.
            units[unit] =
                static_cast<char16_t>(upcase != nullptr ? upcase(wide) : AsciiUpper(wide));
        }
        return units;
    }();
    return table.data();
}
