// The stand-in's code-page conversions. Scenario tests of names outside the code page rely on
// them behaving as the platform does: exact where the code page has the character, a silent best
// fit for some characters it lacks, the default character for the rest, and UTF-8's own rules.

#include <gtest/gtest.h>

#include <string>

#include "standin/harness.h"

namespace {

struct ToBytes {
    std::string bytes;
    int result = 0;
    BOOL usedDefault = FALSE;
};

ToBytes Narrow(UINT codePage, DWORD flags, const std::u16string& text, bool askUsed = true) {
    ToBytes out;
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0,
                                           nullptr, askUsed ? &out.usedDefault : nullptr);
    out.bytes.assign(static_cast<size_t>(needed), '\0');
    out.result = WideCharToMultiByte(codePage, flags, text.data(), length, out.bytes.data(), needed,
                                     nullptr, askUsed ? &out.usedDefault : nullptr);
    return out;
}

std::u16string Widen(UINT codePage, const std::string& bytes, DWORD flags = 0) {
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    std::u16string text(static_cast<size_t>(needed), u'\0');
    if (needed > 0) {
        MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), needed);
    }
    return text;
}

class CodePages : public ::testing::Test {
protected:
    void SetUp() override { standin::Reset(); }
};

TEST_F(CodePages, ChineseConvertsBothWaysIn936) {
    const std::u16string chinese = u"C:\\文件\\重启.txt";
    const ToBytes narrow = Narrow(936, WC_NO_BEST_FIT_CHARS, chinese);
    EXPECT_EQ(narrow.bytes, "C:\\\xce\xc4\xbc\xfe\\\xd6\xd8\xc6\xf4.txt");
    EXPECT_FALSE(narrow.usedDefault);
    EXPECT_EQ(Widen(936, narrow.bytes), chinese);
    // CP_ACP is the selected code page.
    EXPECT_EQ(Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, chinese).bytes, narrow.bytes);
}

TEST_F(CodePages, BestFitGivesAnotherCharacterSilentlyUnlessRefused) {
    // Under 936 the yen sign becomes the fullwidth yen sign, and nothing says so.
    const ToBytes fitted = Narrow(936, 0, u"\u00a5.txt");
    EXPECT_EQ(fitted.bytes, "\xa3\xa4.txt");
    EXPECT_FALSE(fitted.usedDefault);
    EXPECT_EQ(Widen(936, fitted.bytes), u"\uffe5.txt");

    const ToBytes refused = Narrow(936, WC_NO_BEST_FIT_CHARS, u"\u00a5.txt");
    EXPECT_EQ(refused.bytes, "?.txt");
    EXPECT_TRUE(refused.usedDefault);

    standin::SetCodePage(1252);
    EXPECT_EQ(Narrow(CP_ACP, 0, u"\u0151.txt").bytes, "o.txt");
    EXPECT_EQ(Narrow(CP_ACP, WC_NO_BEST_FIT_CHARS, u"\u0151.txt").bytes, "?.txt");
}

TEST_F(CodePages, CharactersWithoutAnyFormBecomeTheDefaultCharacter) {
    for (const std::u16string& text :
         {std::u16string(u"\U0001F600.txt"), std::u16string(u"\u0151"),
          std::u16string(1, char16_t(0xD800)), std::u16string(1, char16_t(0xDC00)) + u"a"}) {
        const ToBytes narrow = Narrow(936, 0, text);
        EXPECT_TRUE(narrow.usedDefault);
        EXPECT_EQ(narrow.bytes.find('?'), 0u);
    }
    // The code page converts code unit by code unit: a surrogate pair gives two default
    // characters, as the platform's do.
    EXPECT_EQ(Narrow(1252, 0, u"\U0001F600").bytes, "??");
}

TEST_F(CodePages, Utf8RefusesBestFitFlagsAndDefaultCharacters) {
    const std::u16string text = u"\u00a5";
    BOOL used = FALSE;
    char buffer[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_NO_BEST_FIT_CHARS, text.data(), 1, buffer, 8, nullptr,
                                  nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), 1, buffer, 8, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    // The same rules hold for CP_ACP when the system code page is UTF-8.
    standin::SetCodePage(CP_UTF8);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), 1, buffer, 8, nullptr,
                                  &used),
              0);
    EXPECT_EQ(Narrow(CP_ACP, 0, u"\u00a5\u6587", false).bytes, "\xc2\xa5\xe6\x96\x87");
    // A lone surrogate becomes U+FFFD, which does not come back as itself.
    EXPECT_EQ(Narrow(CP_ACP, 0, std::u16string(1, char16_t(0xD800)), false).bytes, "\xef\xbf\xbd");
    EXPECT_EQ(Widen(CP_ACP, "\xe6\x96\x87\xff"), u"\u6587\ufffd");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\xff", 1, nullptr, 0), 0);
}

TEST_F(CodePages, LengthsAndBuffersFollowThePlatform) {
    // -1 takes the terminator along, and counts it.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xce\xc4x", -1, nullptr, 0), 3);
    char16_t wide[3];
    ASSERT_EQ(MultiByteToWideChar(936, 0, "\xce\xc4x", -1, wide, 3), 3);
    EXPECT_EQ(std::u16string(wide, 3), std::u16string(u"\u6587x\0", 3));
    // A buffer one short fails.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xce\xc4x", -1, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u6587", -1, nullptr, 0, nullptr, nullptr), 3);
    char narrow[2];
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u6587", -1, narrow, 2, nullptr, nullptr), 0);
    // A zero length is an error, not an empty result.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "x", 0, wide, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePages, EveryByteOf1252HasAnExactCharacter) {
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::u16string wide = Widen(1252, one);
        ASSERT_EQ(wide.size(), 1u) << byte;
        const ToBytes back = Narrow(1252, WC_NO_BEST_FIT_CHARS, wide);
        EXPECT_EQ(back.bytes, one) << byte;
        EXPECT_FALSE(back.usedDefault) << byte;
    }
}

}  // namespace
