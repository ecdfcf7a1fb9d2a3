// The stand-in's UTF-16 side: the disk under UTF-16 names with short names, seen through the A
// calls as the platform shows it; wide drops, the UTF-16 clipboard, the edit box's UTF-16 text
// and the UTF-16 open-file dialog. Scenario tests of names outside the code page rely on these
// showing the platform's best fit where the A calls are used.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "standin/harness.h"

using namespace std::string_literals;

namespace {

class StandinNames : public ::testing::Test {
protected:
    void SetUp() override { standin::Reset(); }
};

std::u16string ShortPathOf(const std::u16string& path) {
    const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0) {
        return u"<none>";
    }
    std::u16string buffer(needed, u'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), buffer.data(), needed);
    EXPECT_EQ(written + 1, needed);
    buffer.resize(written);
    return buffer;
}

// ANSI paths name the UTF-16 names converted from the code page: under 936 the best fit of the
// yen sign names the file of the fullwidth yen sign, never the yen sign's own.
TEST_F(StandinNames, AnsiPathsNameWhatTheirConvertedNameNames) {
    standin::AddFileW(u"C:\\dir\\\uffe5.txt");
    standin::AddFileW(u"C:\\dir\\\u00a5.txt", u"_~1.TXT");
    standin::AddDirectoryW(u"C:\\\u6587\u4ef6");
    EXPECT_EQ(standin::FileNamedBy("C:\\dir\\\xa3\xa4.txt"), u"C:\\dir\\\uffe5.txt");
    EXPECT_EQ(standin::FileNamedBy("c:\\DIR\\_~1.txt"), u"C:\\dir\\\u00a5.txt");
    EXPECT_EQ(standin::FileNamedBy("C:\\dir\\?.txt"), std::nullopt);
    EXPECT_EQ(standin::FileNamedBy("C:\\\xce\xc4\xbc\xfe"), u"C:\\\u6587\u4ef6");
    EXPECT_EQ(GetFileAttributesW(u"C:\\dir\\_~1.TXT"), FILE_ATTRIBUTE_NORMAL);

    // Under 1252 the same bytes are other characters.
    standin::SetCodePage(1252);
    EXPECT_EQ(standin::FileNamedBy("C:\\dir\\\xa3\xa4.txt"), std::nullopt);
    EXPECT_EQ(standin::FileNamedBy("C:\\dir\\\xa5.txt"), u"C:\\dir\\\u00a5.txt");
}

TEST_F(StandinNames, ShortPathsUseEachPartsShortNameAndTheCallsRules) {
    standin::AddDirectoryW(u"C:\\Long Folder", u"LONGFO~1");
    standin::AddFileW(u"C:\\Long Folder\\\u0151.txt", u"_~1.TXT");
    standin::AddFileW(u"C:\\Long Folder\\a.txt");
    EXPECT_EQ(ShortPathOf(u"C:\\Long Folder\\\u0151.txt"), u"C:\\LONGFO~1\\_~1.TXT");
    EXPECT_EQ(ShortPathOf(u"c:\\long folder\\A.TXT"), u"C:\\LONGFO~1\\a.txt");
    EXPECT_EQ(ShortPathOf(u"C:\\LONGFO~1\\_~1.TXT"), u"C:\\LONGFO~1\\_~1.TXT");
    EXPECT_EQ(ShortPathOf(u"C:\\missing.txt"), u"<none>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A buffer without room for the terminator gets the size it needs.
    char16_t small[20];
    EXPECT_EQ(GetShortPathNameW(u"C:\\Long Folder\\\u0151.txt", small, 19), 20u);
    EXPECT_EQ(GetShortPathNameW(u"C:\\Long Folder\\\u0151.txt", small, 20), 19u);
    EXPECT_EQ(std::u16string(small), u"C:\\LONGFO~1\\_~1.TXT");
}

// A wide drop: DragQueryFileW gives the names as they are, cut to the buffer.
TEST_F(StandinNames, AWideDropGivesUtf16NamesAndTheirBestFit) {
    static std::vector<std::u16string> wide;
    static std::vector<UINT> answers;
    wide.clear();
    answers.clear();
    standin::DropW({u"C:\\\u00a5.txt", u"C:\\\U0001F600", std::nullopt});
    standin::Close(IDD_MAIN);
    standin::Run([] {
        return static_cast<int>(DialogBoxParamW(
            nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr,
            [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
                if (message == WM_INITDIALOG) {
                    DragAcceptFiles(dialog, TRUE);
                } else if (message == WM_DROPFILES) {
                    HDROP drop = reinterpret_cast<HDROP>(wParam);
                    answers.push_back(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
                    for (UINT i = 0; i < 3; ++i) {
                        char16_t name[16] = {};
                        answers.push_back(DragQueryFileW(drop, i, nullptr, 0));
                        DragQueryFileW(drop, i, name, 16);
                        wide.push_back(name);
                    }
                    char16_t cut[4];
                    answers.push_back(DragQueryFileW(drop, 0, cut, 4));
                    wide.push_back(cut);
                    DragFinish(drop);
                } else if (message == WM_CLOSE) {
                    EndDialog(dialog, 0);
                }
                return TRUE;
            },
            0));
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(answers, (std::vector<UINT>{3, 8, 5, 0, 3}));
    EXPECT_EQ(wide,
              (std::vector<std::u16string>{u"C:\\\u00a5.txt", u"C:\\\U0001F600", u"", u"C:\\"}));
}

std::optional<std::u16string> ReadWideClipboard() {
    std::optional<std::u16string> text;
    OpenClipboard(nullptr);
    if (HGLOBAL data = static_cast<HGLOBAL>(GetClipboardData(CF_UNICODETEXT))) {
        const char* bytes = static_cast<const char*>(GlobalLock(data));
        std::u16string units(GlobalSize(data) / 2, u'\0');
        std::memcpy(units.data(), bytes, units.size() * 2);
        text = units;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::optional<std::string> ReadAnsiClipboard() {
    std::optional<std::string> text;
    OpenClipboard(nullptr);
    if (HGLOBAL data = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT))) {
        text = std::string(static_cast<const char*>(GlobalLock(data)), GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// UTF-16 text comes with the CF_TEXT the system makes of it by best fit; ANSI text has no
// UTF-16 form here, so tests can offer a clipboard of CF_TEXT alone.
TEST_F(StandinNames, TheClipboardOffersUtf16TextAndItsBestFit) {
    standin::Run([] {
        standin::SetClipboardWideText(u"C:\\\u00a5.txt");
        EXPECT_EQ(ReadWideClipboard(), u"C:\\\u00a5.txt\0"s);
        EXPECT_EQ(ReadAnsiClipboard(), "C:\\\xa3\xa4.txt\0"s);
        standin::SetClipboardWideBlock(u"ab");  // no terminator
        EXPECT_EQ(ReadWideClipboard(), u"ab");
        EXPECT_EQ(ReadAnsiClipboard(), "ab\0"s);
        standin::SetClipboardText("x");
        EXPECT_EQ(ReadWideClipboard(), std::nullopt);
        standin::ClearClipboard();
        EXPECT_EQ(ReadAnsiClipboard(), std::nullopt);
        return 0;
    });
    EXPECT_TRUE(standin::Failures().empty());
}

// Typed UTF-16 reads back whole through the W calls; ANSI text typed reads back converted.
TEST_F(StandinNames, AnEditHoldsUtf16Text) {
    static std::vector<std::u16string> read;
    static int wideLength = 0;
    read.clear();
    const auto readEdit = [] {
        char16_t buffer[8] = {};
        GetWindowTextW(standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT), buffer, 8);
        read.push_back(buffer);
    };
    standin::SetEditTextW(IDD_BATCH_ADD, IDC_BATCH_EDIT, u"\u0151\U0001F600\u6587");
    standin::Do("read the edit", [readEdit] {
        HWND edit = standin::Control(IDD_BATCH_ADD, IDC_BATCH_EDIT);
        wideLength = GetWindowTextLengthW(edit);
        EXPECT_EQ(standin::Inspect(edit).text, "???\xce\xc4");  // by best fit
        readEdit();
        char16_t cut[3] = {};
        EXPECT_EQ(GetWindowTextW(edit, cut, 1), 0);
    });
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, "\xce\xc4");
    standin::Do("read it again", [readEdit] {
        readEdit();
        EndDialog(standin::Dialog(IDD_BATCH_ADD), 0);
    });
    standin::Run([] {
        return static_cast<int>(DialogBoxParamW(
            nullptr, MAKEINTRESOURCEW(IDD_BATCH_ADD), nullptr,
            [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
                return message == WM_INITDIALOG ? TRUE : FALSE;
            },
            0));
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(wideLength, 4);
    EXPECT_EQ(read, (std::vector<std::u16string>{u"\u0151\U0001F600\u6587", u"\u6587"}));
}

// The UTF-16 dialog: sizes in characters, and answers given in either character set.
TEST_F(StandinNames, TheUtf16OpenFileDialogAnswersInUtf16) {
    standin::ChooseFiles("C:\\\xce\xc4\0a\0\xd6\xd8\0\0"s);
    standin::ChooseFilesW(u"C:\\\u00a5\0\0"s);
    standin::ChooseFilesW(std::u16string(11, u'x'));
    standin::Run([] {
        char16_t file[10] = {};
        char16_t title[] = u"  ";
        OPENFILENAMEW ofn{};
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
        ofn.lpstrFilter = u"All\0*.*\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = 10;
        ofn.lpstrFileTitle = title;
        ofn.nMaxFileTitle = 2;
        ofn.lpstrTitle = u"\u9009";
        ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT;
        EXPECT_TRUE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(std::u16string(file, 10), u"C:\\\u6587\0a\0\u91cd\0\0"s);
        EXPECT_EQ(ofn.nFileOffset, 5);
        std::memset(file, 0, sizeof file);
        EXPECT_TRUE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(std::u16string(file), u"C:\\\u00a5");
        EXPECT_FALSE(GetOpenFileNameW(&ofn));  // 11 characters do not fit into 10
        EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
        ofn.lStructSize = 12;
        EXPECT_FALSE(GetOpenFileNameW(&ofn));
        EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
        return 0;
    });
    EXPECT_TRUE(standin::Failures().empty());
    EXPECT_EQ(standin::PendingActions(), 0u);
    const std::optional<standin::OpenFileRequestW> last = standin::LastOpenFileRequestW();
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(last->filter, u"All\0*.*\0\0"s);
    EXPECT_EQ(last->title, u"\u9009");
    EXPECT_EQ(last->fileTitleLength, 2u);
    EXPECT_EQ(standin::CallsTo("GetOpenFileNameW").at(0).args.at(12), "\xe9\x80\x89");
}

}  // namespace
