#pragma once

// The session manager's own record of what a boot could not carry out: %SystemRoot%\PFRO.log,
// read from its text, and the reason each failure's status gives. Pure: no platform here.
//
// The file is UTF-16 LE without a byte-order mark (one is accepted), its lines ended by CR LF.
// The boot opens it at its first failure and appends, so it holds boot after boot, each as
//   6/14/2016 19:14:22 - PFRO Error: \??\C:\Temp\~nsu.tmp, |delete operation|, 0xc0000034
//   6/14/2016 19:14:22 - PFRO Error: \??\C:\a.txt, \??\C:\b.txt, 0xc0000035
//   6/14/2016 19:14:23 - 12 Successful PFRO operations
// and an empty line: local time without zero padding, a rename's destination as recorded. A boot
// in which nothing failed writes nothing.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/text.h"

// How much of the log's end is read: it grows over years of boots, and only the last matters.
inline constexpr size_t kBootLogTailBytes = 1 << 20;

// A local time as the log writes it.
struct LogTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    bool operator==(const LogTime&) const = default;
};

// One operation a boot could not carry out.
struct LoggedFailure {
    LogTime time;
    // As recorded ("\??\C:\a.txt"); the destination is a rename's, empty for a deletion.
    WideText source;
    WideText destination;
    // The NTSTATUS the operation failed with.
    uint32_t status = 0;
    bool operator==(const LoggedFailure&) const = default;
};

// What one boot logged: its failures in its order, and the count of its closing line.
struct LoggedBoot {
    std::vector<LoggedFailure> failures;
    // Its last line's.
    LogTime time;
    // The operations it did carry out; nothing when the log ends, or an empty line comes, before
    // its closing line.
    std::optional<uint32_t> succeeded;
    bool operator==(const LoggedBoot&) const = default;
};

struct BootLog {
    std::vector<LoggedBoot> boots;  // oldest first
    // Lines that are neither a failure, a closing line nor empty, a last line without its line
    // end included.
    size_t unreadableLines = 0;
};

// The boots of the log's bytes. fromStart: they begin the file. Otherwise they begin at an even
// offset inside it, and what comes before the first line end, a line the read may have cut, is
// left out. A failure's line is read from its right end: the status after the last ", 0x", then
// the destination after the one ", " that is followed by "|delete operation|" or by "\", "!",
// "@" or "*"; a line where more than one ", " could be that is unreadable.
BootLog ReadBootLog(std::string_view bytes, bool fromStart);

// The reason a failure's status gives: one of the program's texts, which for a status without a
// text of its own is kBootErrorPrefix, to be followed by StatusText.
struct StatusReason {
    const char* text = nullptr;
    bool withStatus = false;
};
StatusReason ReasonOfStatus(uint32_t status);
// "0xC0000034": eight hex digits, upper case.
WideText StatusText(uint32_t status);

// "2016-06-14 19:14:22", or without its seconds "2016-06-14 19:14".
WideText LogTimeText(const LogTime& time, bool withSeconds);
