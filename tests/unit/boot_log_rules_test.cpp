// The session manager's log read from its bytes: real lines, names that hold ", ", renames'
// destinations, the byte-order mark, a read that starts inside the file, a last line cut short.

#include <gtest/gtest.h>

#include <string>

#include "pending/boot_log_rules.h"
#include "resources/texts.h"

namespace {

// The log's bytes: UTF-16 LE.
std::string Bytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string Ascii(std::u16string_view text) {
    std::string ascii;
    for (char16_t unit : text) {
        ascii += unit < 0x80 ? std::string(1, static_cast<char>(unit)) : "?";
    }
    return ascii;
}

// "<time> ok <n>: <source> [-> <destination>] <status>; ..." for each boot, " | " between them,
// then the unreadable lines' count.
std::string Rendered(const BootLog& log) {
    std::string text;
    for (const LoggedBoot& boot : log.boots) {
        text += Ascii(LogTimeText(boot.time, true));
        text += boot.succeeded ? " ok " + std::to_string(*boot.succeeded) : std::string(" open");
        text += ":";
        for (const LoggedFailure& failure : boot.failures) {
            text += " " + Ascii(failure.source);
            if (!failure.destination.empty()) {
                text += " -> " + Ascii(failure.destination);
            }
            text += " " + Ascii(StatusText(failure.status)).substr(2) + ";";
        }
        text += " | ";
    }
    return text + std::to_string(log.unreadableLines) + " unreadable";
}

const std::u16string kTemp =
    u"6/14/2016 19:14:22 - PFRO Error: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp, "
    u"|delete operation|, 0xc0000034\r\n";
const std::u16string kTempClosed =
    kTemp + u"6/14/2016 19:14:23 - 12 Successful PFRO operations\r\n\r\n";
const std::string kTempRead =
    "2016-06-14 19:14:23 ok 12: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp C0000034; | ";

TEST(BootLogRules, LinesAreReadFromTheirRightEndAndGatheredIntoBoots) {
    const struct {
        const char* what;
        std::string bytes;
        bool fromStart;
        std::string read;
    } cases[] = {
        {"real lines of two boots",
         Bytes(kTempClosed +
               u"3/15/2021 6:36:35 - PFRO Error: \\??\\C:\\Program Files\\Google\\Chrome, "
               u"|delete operation|, 0xc0000101\r\n"
               u"3/15/2021 6:36:36 - 3 Successful PFRO operations\r\n\r\n"),
         true,
         kTempRead +
             "2021-03-15 06:36:36 ok 3: \\??\\C:\\Program Files\\Google\\Chrome C0000101; | "
             "0 unreadable"},
        {"names that hold \", \", and renames' destinations after their markers",
         Bytes(u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\a, b.txt, |delete operation|, "
               u"0xC0000043\r\n"
               u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\x, y.txt, !\\??\\C:\\z, w.txt, 0x35\r\n"
               u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\m.txt, @\\??\\C:\\n.txt, 0xc000003a\r\n"
               u"1/2/2024 3:04:06 - 0 Successful PFRO operations\r\n\r\n"),
         true,
         "2024-01-02 03:04:06 ok 0: \\??\\C:\\a, b.txt C0000043; \\??\\C:\\x, y.txt -> "
         "!\\??\\C:\\z, w.txt 00000035; \\??\\C:\\m.txt -> @\\??\\C:\\n.txt C000003A; | 0 "
         "unreadable"},
        {"a line that splits two ways, and lines of no log",
         Bytes(
             u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\a, \\b.txt, |delete operation|, 0x1\r\n"
             u"hello\r\n"
             u"13/2/2024 3:04:05 - PFRO Error: \\??\\C:\\a.txt, |delete operation|, 0x1\r\n"
             u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\a.txt, |delete operation|, 0x123456789\r\n"
             u"1/2/2024 3:04:05 - PFRO Error: \\??\\C:\\a.txt, b.txt, 0x1\r\n"
             u"1/2/2024 3:04:05 - 1 Successful PFRO operations later\r\n"
             u"1/2/2024 3:04:06 - 4 Successful PFRO operations\r\n\r\n"),
         true, "2024-01-02 03:04:06 ok 4: | 6 unreadable"},
        {"a byte-order mark", "\xff\xfe" + Bytes(kTempClosed), true, kTempRead + "0 unreadable"},
        {"a read that starts between CR and LF", Bytes(u"\n" + kTempClosed), false,
         kTempRead + "0 unreadable"},
        {"a read that starts inside a line, which is left out",
         Bytes(u"TA\\~x.tmp, |delete operation|, 0xc0000034\r\n" + kTempClosed), false,
         kTempRead + "0 unreadable"},
        {"a last line cut short, and an odd last byte",
         Bytes(kTemp +
               u"6/14/2016 19:14:23 - PFRO Error: \\??\\C:\\b.txt, |delete operation|, 0xc00") +
             "\x30",
         true,
         "2016-06-14 19:14:22 open: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp "
         "C0000034; | 1 unreadable"},
        {"a last line that lost only its LF", Bytes(kTemp.substr(0, kTemp.size() - 1)), true,
         "2016-06-14 19:14:22 open: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp "
         "C0000034; | 0 unreadable"},
        {"an empty line ends a boot without its closing line", Bytes(kTemp + u"\r\n" + kTempClosed),
         true,
         "2016-06-14 19:14:22 open: \\??\\C:\\Users\\u1\\AppData\\Local\\Temp\\~nsu.tmp "
         "C0000034; | " +
             kTempRead + "0 unreadable"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Rendered(ReadBootLog(c.bytes, c.fromStart)), c.read) << c.what;
    }
}

TEST(BootLogRules, AStatusWithoutATextOfItsOwnIsShownByItsNumber) {
    EXPECT_STREQ(ReasonOfStatus(0xC0000101).text, kBootFolderNotEmpty);
    EXPECT_FALSE(ReasonOfStatus(0xC0000101).withStatus);
    EXPECT_STREQ(ReasonOfStatus(0x80000005).text, kBootErrorPrefix);
    EXPECT_TRUE(ReasonOfStatus(0x80000005).withStatus);
    EXPECT_EQ(StatusText(0xc000a0bf), u"0xC000A0BF");
    EXPECT_EQ(StatusText(0x1), u"0x00000001");
    EXPECT_EQ(LogTimeText({2021, 3, 5, 6, 7, 8}, false), u"2021-03-05 06:07");
}

}  // namespace
