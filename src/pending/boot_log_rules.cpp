#include "pending/boot_log_rules.h"

#include "resources/texts.h"

namespace {

constexpr std::u16string_view kTimeEnd = u" - ";
constexpr std::u16string_view kFailureMark = u"PFRO Error: ";
constexpr std::u16string_view kClosingEnd = u" Successful PFRO operations";
constexpr std::u16string_view kStatusMark = u", 0x";
constexpr std::u16string_view kSeparator = u", ";
constexpr std::u16string_view kDeletionTarget = u"|delete operation|";
constexpr char16_t kByteOrderMark = 0xFEFF;

// Whole NTSTATUS values and the boot's own counts fit in these.
constexpr size_t kStatusDigits = 8;
constexpr size_t kCountDigits = 9;
// FILETIME, which the time is compared in, begins in 1601.
constexpr uint32_t kFirstYear = 1601;

enum class LineKind { kFailure, kClosing, kUnreadable };

bool IsDigit(char16_t unit) {
    return unit >= u'0' && unit <= u'9';
}

int HexValue(char16_t unit) {
    if (IsDigit(unit)) {
        return unit - u'0';
    }
    if (unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

// A number of fewest to most decimal digits from the front of text, which it leaves after them.
bool TakeNumber(std::u16string_view& text, size_t fewest, size_t most, uint32_t& value) {
    size_t digits = 0;
    value = 0;
    while (digits < text.size() && digits < most && IsDigit(text[digits])) {
        value = value * 10 + static_cast<uint32_t>(text[digits] - u'0');
        ++digits;
    }
    if (digits < fewest || (digits < text.size() && IsDigit(text[digits]))) {
        return false;
    }
    text.remove_prefix(digits);
    return true;
}

bool TakeText(std::u16string_view& text, std::u16string_view front) {
    if (text.substr(0, front.size()) != front) {
        return false;
    }
    text.remove_prefix(front.size());
    return true;
}

// "M/D/YYYY H:M:S - " from the front of line.
bool TakeTime(std::u16string_view& line, LogTime& time) {
    uint32_t month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
    const bool read =
        TakeNumber(line, 1, 2, month) && TakeText(line, u"/") && TakeNumber(line, 1, 2, day) &&
        TakeText(line, u"/") && TakeNumber(line, 4, 4, year) && TakeText(line, u" ") &&
        TakeNumber(line, 1, 2, hour) && TakeText(line, u":") && TakeNumber(line, 1, 2, minute) &&
        TakeText(line, u":") && TakeNumber(line, 1, 2, second) && TakeText(line, kTimeEnd);
    if (!read || month < 1 || month > 12 || day < 1 || day > 31 || year < kFirstYear || hour > 23 ||
        minute > 59 || second > 59) {
        return false;
    }
    time = {static_cast<uint16_t>(year),   static_cast<uint16_t>(month),
            static_cast<uint16_t>(day),    static_cast<uint16_t>(hour),
            static_cast<uint16_t>(minute), static_cast<uint16_t>(second)};
    return true;
}

bool ReadStatus(std::u16string_view hex, uint32_t& status) {
    if (hex.empty() || hex.size() > kStatusDigits) {
        return false;
    }
    status = 0;
    for (char16_t unit : hex) {
        const int value = HexValue(unit);
        if (value < 0) {
            return false;
        }
        status = status << 4 | static_cast<uint32_t>(value);
    }
    return true;
}

// Where a destination may begin: a recorded path, or one of the markers before it.
bool CouldBeDestination(std::u16string_view target) {
    if (target == kDeletionTarget) {
        return true;
    }
    return !target.empty() &&
           (target[0] == u'\\' || target[0] == u'!' || target[0] == u'@' || target[0] == u'*');
}

// "<source>, <target>, 0x<status>", read from its right end.
bool ReadFailure(std::u16string_view body, LoggedFailure& failure) {
    const size_t statusAt = body.rfind(kStatusMark);
    if (statusAt == std::u16string_view::npos ||
        !ReadStatus(body.substr(statusAt + kStatusMark.size()), failure.status)) {
        return false;
    }
    const std::u16string_view sides = body.substr(0, statusAt);
    size_t split = std::u16string_view::npos;
    // The source is never empty, so the first ", " that counts is after its first unit.
    for (size_t at = sides.find(kSeparator, 1); at != std::u16string_view::npos;
         at = sides.find(kSeparator, at + 1)) {
        if (!CouldBeDestination(sides.substr(at + kSeparator.size()))) {
            continue;
        }
        if (split != std::u16string_view::npos) {
            return false;
        }
        split = at;
    }
    if (split == std::u16string_view::npos) {
        return false;
    }
    const std::u16string_view target = sides.substr(split + kSeparator.size());
    failure.source = WideText(sides.substr(0, split));
    failure.destination = target == kDeletionTarget ? WideText() : WideText(target);
    return true;
}

LineKind ReadLine(std::u16string_view line, LoggedFailure& failure, uint32_t& succeeded) {
    if (!TakeTime(line, failure.time)) {
        return LineKind::kUnreadable;
    }
    if (TakeText(line, kFailureMark)) {
        return ReadFailure(line, failure) ? LineKind::kFailure : LineKind::kUnreadable;
    }
    if (TakeNumber(line, 1, kCountDigits, succeeded) && line == kClosingEnd) {
        return LineKind::kClosing;
    }
    return LineKind::kUnreadable;
}

// Gathers the lines into boots: a boot ends with its closing line, or at an empty line.
struct BootGathering {
    BootLog log;
    LoggedBoot open;
    bool opened = false;

    void End() {
        if (opened) {
            log.boots.push_back(std::move(open));
        }
        open = LoggedBoot{};
        opened = false;
    }

    void Take(std::u16string_view line) {
        if (line.empty()) {
            End();
            return;
        }
        LoggedFailure failure;
        uint32_t succeeded = 0;
        switch (ReadLine(line, failure, succeeded)) {
            case LineKind::kFailure:
                open.time = failure.time;
                open.failures.push_back(std::move(failure));
                opened = true;
                break;
            case LineKind::kClosing:
                open.time = failure.time;
                open.succeeded = succeeded;
                opened = true;
                End();
                break;
            case LineKind::kUnreadable:
                ++log.unreadableLines;
                break;
        }
    }
};

// The log's UTF-16 LE units; an odd last byte is half a unit, which no line can end with.
WideText UnitsOf(std::string_view bytes) {
    WideText units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return units;
}

}  // namespace

BootLog ReadBootLog(std::string_view bytes, bool fromStart) {
    const WideText units = UnitsOf(bytes);
    std::u16string_view text = units;
    if (fromStart) {
        if (!text.empty() && text[0] == kByteOrderMark) {
            text.remove_prefix(1);
        }
    } else {
        const size_t firstEnd = text.find(u'\n');
        text.remove_prefix(firstEnd == std::u16string_view::npos ? text.size() : firstEnd + 1);
    }
    BootGathering gathering;
    while (!text.empty()) {
        const size_t end = text.find(u'\n');
        std::u16string_view line = text.substr(0, end);
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
        const bool ended = !line.empty() && line.back() == u'\r';
        if (ended) {
            line.remove_suffix(1);
        }
        // A last line cut before its CR by a write that did not finish may read as another line
        // (a shorter status); only its line end tells that it is whole.
        if (end == std::u16string_view::npos && !ended) {
            ++gathering.log.unreadableLines;
            break;
        }
        gathering.Take(line);
    }
    gathering.End();
    return std::move(gathering.log);
}

StatusReason ReasonOfStatus(uint32_t status) {
    switch (status) {
        case 0xC0000034:
            return {kReasonNoFile};
        case 0xC000003A:
            return {kBootPathNotFound};
        case 0xC0000033:
            return {kBootPathInvalid};
        case 0xC0000101:
            return {kBootFolderNotEmpty};
        case 0xC0000022:
            return {kBootAccessDenied};
        case 0xC0000043:
            return {kBootFileInUse};
        case 0xC0000056:
            return {kBootDeletePending};
        case 0xC0000121:
            return {kBootCannotDelete};
        case 0xC0000035:
            return {kBootTargetExists};
        case 0xC000050B:
            return {kBootThroughLink};
        default:
            return {kBootErrorPrefix, true};
    }
}

WideText StatusText(uint32_t status) {
    constexpr char16_t kHex[] = u"0123456789ABCDEF";
    WideText text = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.push_back(kHex[(status >> shift) & 0xF]);
    }
    return text;
}

WideText LogTimeText(const LogTime& time, bool withSeconds) {
    const auto digits = [](WideText& text, unsigned value, int count) {
        WideText part;
        for (int i = 0; i < count; ++i, value /= 10) {
            part.insert(part.begin(), static_cast<char16_t>(u'0' + value % 10));
        }
        text += part;
    };
    WideText text;
    digits(text, time.year, 4);
    text += u'-';
    digits(text, time.month, 2);
    text += u'-';
    digits(text, time.day, 2);
    text += u' ';
    digits(text, time.hour, 2);
    text += u':';
    digits(text, time.minute, 2);
    if (withSeconds) {
        text += u':';
        digits(text, time.second, 2);
    }
    return text;
}
