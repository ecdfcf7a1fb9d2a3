// MultiByteToWideChar and WideCharToMultiByte for the code pages the tests select: 936 (through
// the host's iconv tables), 1252 and UTF-8. They keep the platform's rules where the program
// depends on them: lengths with and without the terminator, the size query, a buffer that is too
// small, UTF-8's refusal of best-fit flags and default characters, and a silent "best fit" for a
// few characters that the code page lacks, so that tests can show a name turning into another.

#include <iconv.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "internal.h"

namespace {

using standin::detail::S;

constexpr char32_t kReplacement = 0xFFFD;

// 1252's bytes 0x80..0x9F; the five the code page leaves undefined map to the C1 controls, as
// the platform maps them.
constexpr char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct BestFit {
    char32_t character;
    const char* bytes;
};
// A few of the platform's own best-fit mappings: each gives the bytes of another character.
constexpr BestFit k936BestFit[] = {
    {0x00A5, "\xA3\xA4"},  // YEN SIGN becomes FULLWIDTH YEN SIGN
};
constexpr BestFit k1252BestFit[] = {
    {0x0150, "O"},    {0x0151, "o"},  // O and o with double acute
    {0x0141, "L"},    {0x0142, "l"},  // L and l with stroke
    {0x0106, "C"},    {0x0107, "c"},  // C and c with acute
    {0xFFE5, "\xA5"},                 // FULLWIDTH YEN SIGN becomes YEN SIGN
};

unsigned Resolve(UINT codePage) {
    return codePage == CP_ACP ? S().codePage : codePage;
}

bool Known(unsigned codePage) {
    return codePage == 936 || codePage == 1252 || codePage == CP_UTF8;
}

iconv_t Converter(const char* to, const char* from) {
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error(std::string("stand-in: no iconv table for ") + from + " -> " + to);
    }
    return converter;
}

// One character of 936 from or to its bytes; false when the code page has no such character.
bool Decode936(const std::string& bytes, char32_t& character) {
    static iconv_t converter = Converter("UTF-32LE", "CP936");
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char in[4] = {};
    std::memcpy(in, bytes.data(), bytes.size());
    char* inPointer = in;
    size_t inLeft = bytes.size();
    char out[8] = {};
    char* outPointer = out;
    size_t outLeft = sizeof(out);
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0 || outLeft != 4) {
        return false;
    }
    std::memcpy(&character, out, 4);
    return true;
}

bool Encode936(char32_t character, std::string& bytes) {
    if (character < 0x80) {
        bytes.assign(1, static_cast<char>(character));
        return true;
    }
    static iconv_t converter = Converter("CP936", "UTF-32LE");
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char in[4];
    std::memcpy(in, &character, 4);
    char* inPointer = in;
    size_t inLeft = 4;
    char out[8] = {};
    char* outPointer = out;
    size_t outLeft = sizeof(out);
    if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) ||
        inLeft != 0) {
        return false;
    }
    bytes.assign(out, sizeof(out) - outLeft);
    // iconv spells a few characters that 936 lacks with another's bytes; take only round trips.
    char32_t back = 0;
    return Decode936(bytes, back) && back == character;
}

bool Encode1252(char32_t character, std::string& bytes) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        bytes.assign(1, static_cast<char>(character));
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (k1252High[i] == character) {
            bytes.assign(1, static_cast<char>(0x80 + i));
            return true;
        }
    }
    return false;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of a UTF-8 text at i, or false for an ill-formed sequence (i then moves past
// its first byte).
bool NextUtf8(const unsigned char* text, size_t length, size_t& i, char32_t& c) {
    const unsigned char lead = text[i];
    size_t extra = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
    } else if (lead >= 0x80) {
        ++i;
        return false;
    }
    c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (size_t k = 1; k <= extra; ++k) {
        if (i + k >= length || (text[i + k] & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        c = (c << 6) | (text[i + k] & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += extra + 1;
    return true;
}

void AppendUtf16(char32_t c, std::u16string& out) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

// Copies a converted text into the caller's buffer by the platform's rules: a target length of 0
// asks for the size; a buffer that is too small fails.
template <typename Char>
int Deliver(const std::basic_string<Char>& converted, Char* target, int targetLength) {
    if (targetLength == 0) {
        return static_cast<int>(converted.size());
    }
    if (static_cast<size_t>(targetLength) < converted.size()) {
        S().lastError = ERROR_INSUFFICIENT_BUFFER;
        return 0;
    }
    std::memcpy(target, converted.data(), converted.size() * sizeof(Char));
    return static_cast<int>(converted.size());
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH source, int sourceLength, LPWSTR target,
                        int targetLength) {
    const unsigned page = Resolve(codePage);
    if (source == nullptr || sourceLength == 0 || sourceLength < -1 || targetLength < 0 ||
        (targetLength > 0 && target == nullptr) || !Known(page)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    const bool strict = (flags & MB_ERR_INVALID_CHARS) != 0;
    const size_t length = sourceLength == -1 ? std::strlen(source) + 1 : size_t(sourceLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    std::u16string converted;
    for (size_t i = 0; i < length;) {
        char32_t c = 0;
        bool valid = true;
        if (page == CP_UTF8) {
            valid = NextUtf8(bytes, length, i, c);
        } else if (page == 1252) {
            c = bytes[i] >= 0x80 && bytes[i] < 0xA0 ? k1252High[bytes[i] - 0x80] : bytes[i];
            ++i;
        } else if (bytes[i] < 0x80) {
            c = bytes[i++];
        } else if (bytes[i] == 0x80) {
            c = 0x20AC;
            ++i;
        } else if (bytes[i] == 0xFF || i + 1 >= length) {
            valid = false;
            ++i;
        } else {
            valid = Decode936(std::string(source + i, 2), c);
            i += 2;
        }
        if (!valid) {
            if (strict) {
                S().lastError = ERROR_NO_UNICODE_TRANSLATION;
                return 0;
            }
            c = page == CP_UTF8 ? kReplacement : U'?';
        }
        AppendUtf16(c, converted);
    }
    return Deliver(converted, target, targetLength);
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH source, int sourceLength, LPSTR target,
                        int targetLength, LPCCH defaultChar, LPBOOL usedDefaultChar) {
    const unsigned page = Resolve(codePage);
    if (source == nullptr || sourceLength == 0 || sourceLength < -1 || targetLength < 0 ||
        (targetLength > 0 && target == nullptr) || !Known(page)) {
        S().lastError = ERROR_INVALID_PARAMETER;
        return 0;
    }
    if (page == CP_UTF8) {
        // UTF-8 has no best fit and no default character: asking for either is an error.
        if ((flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) != 0) {
            S().lastError = ERROR_INVALID_FLAGS;
            return 0;
        }
        if (defaultChar != nullptr || usedDefaultChar != nullptr) {
            S().lastError = ERROR_INVALID_PARAMETER;
            return 0;
        }
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = FALSE;
    }
    size_t length = 0;
    if (sourceLength == -1) {
        while (source[length] != 0) {
            ++length;
        }
        ++length;
    } else {
        length = static_cast<size_t>(sourceLength);
    }
    const std::string fallback = defaultChar != nullptr ? std::string(defaultChar) : "?";
    std::string converted;
    for (size_t i = 0; i < length;) {
        char32_t c = source[i];
        bool lone = false;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && source[i + 1] >= 0xDC00 &&
            source[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (source[i + 1] - 0xDC00);
            i += 2;
        } else {
            lone = c >= 0xD800 && c <= 0xDFFF;
            ++i;
        }
        if (page == CP_UTF8) {
            if (lone && (flags & WC_ERR_INVALID_CHARS) != 0) {
                S().lastError = ERROR_NO_UNICODE_TRANSLATION;
                return 0;
            }
            AppendUtf8(lone ? kReplacement : c, converted);
            continue;
        }
        std::string bytes;
        bool exact = !lone && (page == 936 ? Encode936(c, bytes) : Encode1252(c, bytes));
        if (!exact && !lone && (flags & WC_NO_BEST_FIT_CHARS) == 0) {
            const auto fits = [&](const auto& table) {
                for (const BestFit& fit : table) {
                    if (fit.character == c) {
                        bytes = fit.bytes;
                        return true;
                    }
                }
                return false;
            };
            exact = page == 936 ? fits(k936BestFit) : fits(k1252BestFit);
        }
        if (!exact) {
            // These code pages convert code unit by code unit: a surrogate pair without a form
            // becomes two default characters (measured so under Wine).
            bytes = c >= 0x10000 ? fallback + fallback : fallback;
            if (usedDefaultChar != nullptr) {
                *usedDefaultChar = TRUE;
            }
        }
        converted += bytes;
    }
    return Deliver(converted, target, targetLength);
}

namespace standin::detail {

std::u16string WideOfAnsi(const std::string& ansi) {
    return Widen(CP_ACP, ansi);
}

std::string AnsiOfWide(const std::u16string& wide) {
    return Narrow(CP_ACP, wide);
}

std::string Wtf8(const std::u16string& wide) {
    std::string bytes;
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(c, bytes);
    }
    return bytes;
}

std::u16string FromWtf8(const std::string& bytes) {
    std::u16string wide;
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char lead = text[i];
        const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
        for (size_t k = 1; k <= extra && i + k < bytes.size(); ++k) {
            c = (c << 6) | (text[i + k] & 0x3F);
        }
        i += extra + 1;
        AppendUtf16(c, wide);
    }
    return wide;
}

std::u16string Widen(unsigned codePage, const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const DWORD savedError = S().lastError;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::u16string wide(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    }
    S().lastError = savedError;
    return wide;
}

std::string Narrow(unsigned codePage, const std::u16string& text) {
    if (text.empty()) {
        return {};
    }
    const DWORD savedError = S().lastError;
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr,
                            nullptr);
    }
    S().lastError = savedError;
    return narrow;
}

std::string Utf8(const std::u16string& text) {
    return Narrow(CP_UTF8, text);
}

std::string WideArg(const char16_t* text) {
    // WTF-8, so that a lone surrogate shows in the log as itself.
    return text ? Wtf8(text) : std::string("NULL");
}

}  // namespace standin::detail
