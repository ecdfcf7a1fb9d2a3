// Random UTF-16, lone surrogates included, through the exact conversion, over model code pages
// whose every mapping is known: a conversion is accepted exactly when every character has a form
// of its own in the code page, and what is accepted converts back to the very same text. The
// models misbehave the ways the platform does: silent best fits, default characters, UTF-8's
// U+FFFD without a report, and (by a flag) a converter that never reports a default character.
//
// Input: a flags byte (bits 0-1: the model, 0 single-byte, 1 double-byte, 2 UTF-8; bit 2: the
// converter hides default characters; bit 3: each following byte picks a code unit from a list
// of awkward ones, else two bytes are one code unit, low byte first), then the code units.

#include <vector>

#include "fuzz_support.h"
#include "runtime/exact_text.h"

namespace {

enum class Model { SingleByte, DoubleByte, Utf8 };

Model g_model = Model::SingleByte;
bool g_hidesDefault = false;

constexpr char32_t kReplacement = 0xFFFD;

// The code units a picked byte stands for: the characters of the platform's best fits, lone and
// paired surrogates, NUL, "?", "\" and the double-byte model's own characters.
constexpr char16_t kAwkward[] = {u'a',   u'?',   u'\\',  0x0000, 0x00A5, 0xFFE5, 0x0151, 0x00E9,
                                 0x0080, 0x4E00, 0x4E01, 0x4FFF, 0xD83D, 0xDE00, 0xD800, 0xDFFF,
                                 0xDBFF, 0xDC00, 0x20AC, 0xFFFD, u'\r',  u'\n',  0x0141, 0x5000};

// The double-byte model: U+4E00 .. U+4FFF as a lead byte 0x81.. and a trail byte 0x40..0xFD.
constexpr char32_t kDoubleFirst = 0x4E00;
constexpr char32_t kDoubleLast = 0x4FFF;
constexpr unsigned kTrails = 190;

// A character's own form in the model, or false when the model has none for it.
bool OwnForm(char32_t c, Text& bytes) {
    if (c == 0) {
        return false;
    }
    switch (g_model) {
        case Model::SingleByte:
            if (c < 0x100) {
                bytes.assign(1, static_cast<char>(c));
                return true;
            }
            return false;
        case Model::DoubleByte:
            if (c < 0x80) {
                bytes.assign(1, static_cast<char>(c));
                return true;
            }
            if (c >= kDoubleFirst && c <= kDoubleLast) {
                const unsigned index = static_cast<unsigned>(c - kDoubleFirst);
                bytes.clear();
                bytes += static_cast<char>(0x81 + index / kTrails);
                bytes += static_cast<char>(0x40 + index % kTrails);
                return true;
            }
            return false;
        case Model::Utf8:
            if (c >= 0xD800 && c <= 0xDFFF) {
                return false;
            }
            bytes.clear();
            if (c < 0x80) {
                bytes += static_cast<char>(c);
            } else if (c < 0x800) {
                bytes += static_cast<char>(0xC0 | (c >> 6));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                bytes += static_cast<char>(0xE0 | (c >> 12));
                bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                bytes += static_cast<char>(0xF0 | (c >> 18));
                bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                bytes += static_cast<char>(0x80 | (c & 0x3F));
            }
            return true;
    }
    return false;
}

// Best fits: another character's form, given without a report.
bool BestFit(char32_t c, Text& bytes) {
    if (g_model == Model::SingleByte && (c == 0x0151 || c == 0xFFE5 || c == 0x0141)) {
        bytes = c == 0x0151 ? "o" : c == 0x0141 ? "L" : "\xa5";
        return true;
    }
    if (g_model == Model::DoubleByte && (c == 0x00A5 || c == 0x00E9)) {
        return OwnForm(c == 0x00A5 ? kDoubleFirst : kDoubleFirst + 1, bytes);
    }
    return false;
}

// The characters of a UTF-16 text: a high surrogate followed by a low one is one; any other
// surrogate stands alone.
std::vector<char32_t> Characters(const WideText& wide, std::vector<size_t>* units = nullptr) {
    std::vector<char32_t> characters;
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        size_t count = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
            count = 2;
        }
        characters.push_back(c);
        if (units != nullptr) {
            units->push_back(count);
        }
    }
    return characters;
}

bool ModelToAnsi(const WideText& wide, Text& ansi, bool& usedDefault) {
    ansi.clear();
    usedDefault = false;
    std::vector<size_t> units;
    const std::vector<char32_t> characters = Characters(wide, &units);
    for (size_t k = 0; k < characters.size(); ++k) {
        const char32_t c = characters[k];
        Text bytes;
        if (c == 0) {
            ansi += '\0';
        } else if (OwnForm(c, bytes) || BestFit(c, bytes)) {
            ansi += bytes;
        } else if (g_model == Model::Utf8) {
            // A lone surrogate: U+FFFD, and UTF-8 reports nothing.
            OwnForm(kReplacement, bytes);
            ansi += bytes;
        } else {
            // Code unit by code unit, as the platform's code pages go.
            ansi += std::string(units[k], '?');
            usedDefault = !g_hidesDefault;
        }
    }
    return true;
}

bool ModelToWide(const Text& ansi, WideText& wide) {
    wide.clear();
    for (size_t i = 0; i < ansi.size();) {
        const unsigned char byte = static_cast<unsigned char>(ansi[i]);
        char32_t c = byte;
        size_t length = 1;
        if (g_model == Model::DoubleByte && byte >= 0x81 && i + 1 < ansi.size()) {
            const unsigned char trail = static_cast<unsigned char>(ansi[i + 1]);
            const unsigned index = (byte - 0x81u) * kTrails + (trail - 0x40u);
            c = trail >= 0x40 && trail < 0x40 + kTrails && index <= kDoubleLast - kDoubleFirst
                    ? kDoubleFirst + index
                    : U'?';
            length = 2;
        } else if (g_model == Model::DoubleByte && byte >= 0x80) {
            c = U'?';
        } else if (g_model == Model::Utf8 && byte >= 0x80) {
            const size_t extra = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
            c = extra == 0 ? kReplacement : byte & (0x3F >> extra);
            for (size_t k = 1; k <= extra && i + k < ansi.size(); ++k) {
                c = (c << 6) | (static_cast<unsigned char>(ansi[i + k]) & 0x3F);
            }
            length = extra + 1;
        }
        i += length;
        if (c >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(c);
        }
    }
    return true;
}

const AnsiConverters kModel{ModelToAnsi, ModelToWide};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size, 0};
    const uint8_t flags = TakeByte(bytes);
    g_model = static_cast<Model>((flags & 3) % 3);
    g_hidesDefault = (flags & 4) != 0;
    WideText wide;
    while (bytes.at < bytes.size) {
        if ((flags & 8) != 0) {
            wide += kAwkward[TakeByte(bytes) % (sizeof kAwkward / sizeof kAwkward[0])];
        } else {
            const uint8_t low = TakeByte(bytes);
            wide += static_cast<char16_t>(low | (TakeByte(bytes) << 8));
        }
    }

    // What the model says: each character's own form, or none.
    Text expected;
    Text shown;
    std::vector<int32_t> substitutes;
    bool allOwn = true;
    for (char32_t c : Characters(wide)) {
        Text form;
        if (OwnForm(c, form)) {
            expected += form;
            shown += form;
        } else {
            allOwn = false;
            substitutes.push_back(static_cast<int32_t>(shown.size()) + 1);
            shown += "?";
        }
    }

    const std::optional<Text> exact = ExactAnsiText(wide, kModel);
    FUZZ_REQUIRE(exact.has_value() == allOwn);
    if (exact) {
        FUZZ_REQUIRE(*exact == expected);
        WideText back;
        FUZZ_REQUIRE(ModelToWide(*exact, back) && back == wide);
    }

    const SubstitutedText byCharacter = AnsiTextByCharacter(wide, kModel, "?");
    FUZZ_REQUIRE(byCharacter.text == shown);
    FUZZ_REQUIRE(byCharacter.substitutes == substitutes);
    return 0;
}
