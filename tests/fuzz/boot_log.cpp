// Random bytes of the session manager's log through its reader: it reads only the bytes it is
// given, and what it reads from them it reads again, every line whole, from a log written anew
// from it: each boot's failures and closing line, then an empty line. A line it took in a way
// that is not the only one would come back otherwise.
//
// Input: a byte whose bit 0 says whether the bytes begin the file and bit 1 whether the rest is a
// log's UTF-16 LE bytes as they are or one piece of a log's line per byte.

#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "pending/boot_log_rules.h"

namespace {

constexpr std::u16string_view kPieces[] = {
    u"6/14/2016 19:14:22 - ",
    u"1/2/2024 3:4:5 - ",
    u"PFRO Error: ",
    u"\\??\\C:\\a",
    u", ",
    u"|delete operation|",
    u", 0x",
    u"c0000034",
    u"!",
    u"@",
    u"*1",
    u"\\",
    u"12",
    u" Successful PFRO operations",
    u"\r\n",
    u"\r",
    u"\n",
    u"\uFEFF",
    u"x",
    u"0",
};

std::string Bytes(std::u16string_view text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::u16string Number(uint32_t value, unsigned base = 10) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), u"0123456789abcdef"[value % base]);
        value /= base;
    } while (value != 0);
    return digits;
}

// "M/D/YYYY H:M:S - " as the boot writes it.
std::u16string LineStart(const LogTime& time) {
    return Number(time.month) + u"/" + Number(time.day) + u"/" + Number(time.year) + u" " +
           Number(time.hour) + u":" + Number(time.minute) + u":" + Number(time.second) + u" - ";
}

std::u16string WrittenAnew(const BootLog& log) {
    std::u16string text;
    for (const LoggedBoot& boot : log.boots) {
        for (const LoggedFailure& failure : boot.failures) {
            text += LineStart(failure.time) + u"PFRO Error: " + failure.source + u", " +
                    (failure.destination.empty() ? u"|delete operation|" : failure.destination) +
                    u", 0x" + Number(failure.status, 16) + u"\r\n";
        }
        if (boot.succeeded) {
            text +=
                LineStart(boot.time) + Number(*boot.succeeded) + u" Successful PFRO operations\r\n";
        }
        text += u"\r\n";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes input{data, size, 0};
    const uint8_t mode = TakeByte(input);
    const bool fromStart = (mode & 1) != 0;
    std::string bytes = TakeRest(input);
    if (mode & 2) {
        std::u16string text;
        for (unsigned char byte : bytes) {
            text += kPieces[byte % std::size(kPieces)];
        }
        bytes = Bytes(text);
    }

    const BootLog log = ReadBootLog(bytes, fromStart);
    size_t lineEnds = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        lineEnds += bytes[i] == '\n' && bytes[i + 1] == '\0' ? 1 : 0;
    }
    FUZZ_REQUIRE(log.unreadableLines <= lineEnds + 1);

    const BootLog again = ReadBootLog(Bytes(WrittenAnew(log)), true);
    FUZZ_REQUIRE(again.unreadableLines == 0);
    FUZZ_REQUIRE(again.boots == log.boots);
    return 0;
}
