// The exact conversion of UTF-16 into the ANSI code page: over the system's converters (the
// stand-in's 936, 1252 and UTF-8, with their best fits), over converters that misbehave, the
// conversion character by character, and the choice of a file's name or its short form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "paths/exact_names.h"
#include "runtime/exact_text.h"
#include "standin/harness.h"

namespace {

class ExactText : public ::testing::Test {
protected:
    void SetUp() override { standin::Reset(); }

    static std::optional<Text> Exact(const WideText& wide) {
        return ExactAnsiText(wide, SystemAnsiConverters());
    }
};

struct ExactCase {
    int line;
    WideText wide;
    std::optional<Text> ansi;
};

void ExpectExact(unsigned codePage, const std::vector<ExactCase>& cases) {
    standin::SetCodePage(codePage);
    for (const ExactCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line << ", code page " << codePage);
        EXPECT_EQ(ExactAnsiText(c.wide, SystemAnsiConverters()), c.ansi);
    }
}

TEST_F(ExactText, CodePage936TakesOnlyWhatComesBackTheSame) {
    ExpectExact(936,
                {
                    {__LINE__, u"C:\\文件\\重启.txt", "C:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.txt"},
                    {__LINE__, u"\uffe5.txt", "\xa3\xa4.txt"},
                    // Best fit would make the yen sign the fullwidth one: another file.
                    {__LINE__, u"\u00a5.txt", std::nullopt},
                    // No form at all: the default character.
                    {__LINE__, u"\u0151.txt", std::nullopt},
                    {__LINE__, u"\U0001F600.txt", std::nullopt},
                    // Lone surrogates, high and low.
                    {__LINE__, u"a\xd800.txt", std::nullopt},
                    {__LINE__, u"a\xdc00", std::nullopt},
                    {__LINE__, u"", ""},
                    // A text ends at its first NUL; such a text has no ANSI form.
                    {__LINE__, std::u16string(u"a\0b", 3), std::nullopt},
                });
}

TEST_F(ExactText, CodePage1252RefusesItsBestFitsToo) {
    ExpectExact(1252, {
                          {__LINE__, u"caf\u00e9 \u00a5.txt", "caf\xe9 \xa5.txt"},
                          {__LINE__, u"o.txt", "o.txt"},
                          // Best fit: o with double acute becomes o, fullwidth yen the yen sign.
                          {__LINE__, u"\u0151.txt", std::nullopt},
                          {__LINE__, u"\uffe5.txt", std::nullopt},
                          {__LINE__, u"\u6587.txt", std::nullopt},
                          {__LINE__, u"\u20ac", "\x80"},
                      });
}

// The system's code page can be UTF-8, where the call refuses the no-best-fit flag and the
// default-character report: the converters must not pass them, and the round trip alone finds
// the lone surrogates, which UTF-8 turns into U+FFFD.
TEST_F(ExactText, Utf8AsTheCodePageTakesEveryCharacterButLoneSurrogates) {
    ExpectExact(CP_UTF8, {
                             {__LINE__, u"\u0151\U0001F600.txt", "\xc5\x91\xf0\x9f\x98\x80.txt"},
                             {__LINE__, u"\u00a5", "\xc2\xa5"},
                             {__LINE__, u"a\xd800", std::nullopt},
                             {__LINE__, u"\xdfff", std::nullopt},
                         });
}

// Converters that fail, or that hide a change, never have their answer taken.
TEST_F(ExactText, AnswersThatCannotStandAreRefused) {
    const AnsiConverters failing{[](const WideText&, Text&, bool&) { return false; },
                                 [](const Text&, WideText&) { return true; }};
    EXPECT_EQ(ExactAnsiText(u"a", failing), std::nullopt);

    // Says nothing about a change: only the way back shows it.
    const AnsiConverters silent{[](const WideText& wide, Text& ansi, bool& used) {
                                    ansi.assign(wide.size(), 'o');
                                    used = false;
                                    return true;
                                },
                                [](const Text& ansi, WideText& wide) {
                                    wide.assign(ansi.size(), u'o');
                                    return true;
                                }};
    EXPECT_EQ(ExactAnsiText(u"o", silent), Text("o"));
    EXPECT_EQ(ExactAnsiText(u"\u0151", silent), std::nullopt);

    // Reports a default character even though the way back matches.
    const AnsiConverters reporting{[](const WideText&, Text& ansi, bool& used) {
                                       ansi = "?";
                                       used = true;
                                       return true;
                                   },
                                   [](const Text&, WideText& wide) {
                                       wide = u"?";
                                       return true;
                                   }};
    EXPECT_EQ(ExactAnsiText(u"?", reporting), std::nullopt);

    // A NUL byte inside the answer would end the text early.
    const AnsiConverters nulInside{[](const WideText&, Text& ansi, bool& used) {
                                       ansi = std::string("a\0b", 3);
                                       used = false;
                                       return true;
                                   },
                                   [](const Text&, WideText& wide) {
                                       wide = u"x";
                                       return true;
                                   }};
    EXPECT_EQ(ExactAnsiText(u"x", nulInside), std::nullopt);
}

// The way back, as the list keeps its rows: an ANSI text has a UTF-16 form only when every byte
// converts and the form comes back as the same bytes.
TEST_F(ExactText, AnAnsiTextHasAUtf16FormOnlyWhenItComesBackAsTheSameBytes) {
    const struct {
        int line;
        unsigned codePage;
        Text ansi;
        std::optional<WideText> wide;
    } cases[] = {
        {__LINE__, 936, "C:\\\xce\xc4\xa3\xa4.txt", u"C:\\\u6587\uffe5.txt"},
        // A lead byte without its trail byte, at the end and before a space.
        {__LINE__, 936, "C:\\a\xce", std::nullopt},
        {__LINE__, 936, "\xce a", std::nullopt},
        {__LINE__, 1252, "caf\xe9 \x80", u"caf\u00e9 \u20ac"},
        {__LINE__, 65001, "\xf0\x9f\x98\x80\xed\x95\x9c", u"\U0001F600\ud55c"},
        // Ill-formed UTF-8: a stray trail byte, an overlong "/", an encoded surrogate.
        {__LINE__, 65001, "a\x80", std::nullopt},
        {__LINE__, 65001, "\xc0\xaf", std::nullopt},
        {__LINE__, 65001, "\xed\xa0\x80", std::nullopt},
        {__LINE__, 65001, "", u""},
        {__LINE__, 65001, std::string("a\0b", 3), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case at line " << c.line);
        standin::SetCodePage(c.codePage);
        EXPECT_EQ(ExactWideText(c.ansi, SystemAnsiConverters()), c.wide);
    }
}

TEST_F(ExactText, ByCharacterOnlyTheCharactersWithoutAFormBecomeTheSubstitute) {
    standin::SetCodePage(936);
    const AnsiConverters& system = SystemAnsiConverters();

    SubstitutedText text = AnsiTextByCharacter(u"C:\\文件\r\n", system, "?");
    EXPECT_EQ(text.text, "C:\\\xce\xc4\xbc\xfe\r\n");
    EXPECT_TRUE(text.substitutes.empty());

    // A surrogate pair is one character; positions count bytes of the converted text.
    text = AnsiTextByCharacter(u"文\u00a5x\U0001F600\xd800", system, "?");
    EXPECT_EQ(text.text, "\xce\xc4?x??");
    EXPECT_EQ(text.substitutes, (std::vector<int32_t>{3, 5, 6}));

    text = AnsiTextByCharacter(u"", system, "?");
    EXPECT_EQ(text.text, "");
    EXPECT_TRUE(text.substitutes.empty());

    standin::SetCodePage(1252);
    text = AnsiTextByCharacter(u"\u0151.txt", system, "?");
    EXPECT_EQ(text.text, "?.txt");
    EXPECT_EQ(text.substitutes, (std::vector<int32_t>{1}));
}

// The parts of a long text that convert exactly are converted whole, so a long paste with one
// character without a form costs a few conversions, not one per character.
TEST_F(ExactText, ByCharacterConvertsLongExactPartsWhole) {
    static int calls = 0;
    calls = 0;
    const AnsiConverters counting{[](const WideText& wide, Text& ansi, bool& used) {
                                      ++calls;
                                      return SystemAnsiConverters().toAnsi(wide, ansi, used);
                                  },
                                  SystemAnsiConverters().toWide};
    WideText wide(10000, u'a');
    wide[6000] = u'\u0151';
    const SubstitutedText text = AnsiTextByCharacter(wide, counting, "?");
    EXPECT_EQ(text.text, std::string(6000, 'a') + "?" + std::string(3999, 'a'));
    EXPECT_EQ(text.substitutes, (std::vector<int32_t>{6001}));
    EXPECT_LT(calls, 60);
}

// A file's name: itself when exact, else its short form, else nothing.
class ExactFileNameTest : public ExactText {
protected:
    static inline std::vector<WideText> asked;
    static inline WideText answer;
    static inline bool answers = true;

    static bool ShortPath(const WideText& path, WideText& shortPath) {
        asked.push_back(path);
        shortPath = answer;
        return answers;
    }

    void SetUp() override {
        ExactText::SetUp();
        asked.clear();
        answer.clear();
        answers = true;
    }

    static std::optional<Text> Name(const WideText& path) {
        return ExactFileName(path, SystemAnsiConverters(), ShortPath);
    }
};

TEST_F(ExactFileNameTest, AnExactNameIsTakenWithoutAskingForTheShortForm) {
    EXPECT_EQ(Name(u"C:\\dir\\\uffe5.txt"), Text("C:\\dir\\\xa3\xa4.txt"));
    EXPECT_TRUE(asked.empty());
}

TEST_F(ExactFileNameTest, ANameWithoutAFormIsGivenByItsShortFormWhenThatIsExact) {
    answer = u"C:\\DIR~1\\_~1.TXT";
    EXPECT_EQ(Name(u"C:\\dir\\\u00a5.txt"), Text("C:\\DIR~1\\_~1.TXT"));
    EXPECT_EQ(asked, (std::vector<WideText>{u"C:\\dir\\\u00a5.txt"}));
}

TEST_F(ExactFileNameTest, WithoutAnExactShortFormTheNameIsSkipped) {
    // No short form at all (the file is gone, or the volume makes none).
    answers = false;
    EXPECT_EQ(Name(u"C:\\\u0151.txt"), std::nullopt);
    // The short form is the long name itself.
    answers = true;
    answer = u"C:\\\u0151.txt";
    EXPECT_EQ(Name(u"C:\\\u0151.txt"), std::nullopt);
    // Its folder has no short name and no form either.
    answer = u"C:\\\u0151\\A~1.TXT";
    EXPECT_EQ(Name(u"C:\\\u0151\\a b.txt"), std::nullopt);
    answer.clear();
    EXPECT_EQ(Name(u"C:\\\u0151.txt"), std::nullopt);
    EXPECT_EQ(ExactFileName(u"C:\\\u0151.txt", SystemAnsiConverters(), nullptr), std::nullopt);
}

}  // namespace
