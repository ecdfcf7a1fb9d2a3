// The command-line rules, for any command line and argument another start can hand the program:
// doubling the backslashes before each quote loses nothing (halved again, they give the command
// line back); and an argument made full is empty, left as given (a device path, or a verbatim one
// with no ordinary form), or a full path with no empty, "." or ".." part and no "/", which made
// full again stays as it is.
//
// Input: one byte picks the current folder, then the argument's UTF-16 units, two bytes each,
// picked from a small alphabet so that separators, dots and quotes are common.

#include <vector>

#include "fuzz_support.h"
#include "intake/command_line_rules.h"
#include "paths/literal_forms.h"

namespace {

constexpr char16_t kAlphabet[] = {u'\\', u'\\', u'/', u'.', u'.', u'"', u' ', u'a',   u'C',
                                  u':',  u'?',  u'D', u'U', u'N', u'c', u'.', 0x6587, 0};

const WideText kFolders[] = {u"C:\\work\\dir", u"\\\\srv\\share\\dir", u"D:\\", u"c:"};

// The command line as it was before its backslashes were doubled.
WideText Halved(const WideText& doubled) {
    WideText line;
    size_t run = 0;
    for (char16_t unit : doubled) {
        if (unit == u'\\') {
            ++run;
            continue;
        }
        if (unit == u'"') {
            FUZZ_REQUIRE(run % 2 == 0);
            run /= 2;
        }
        line.append(run, u'\\');
        run = 0;
        line += unit;
    }
    line.append(run, u'\\');
    return line;
}

// Where a full path's root ends: after "C:\", or after a share's "\\server\share\" (the whole
// path when it names the share alone).
size_t RootEnd(const WideText& path) {
    if (RootOf(path) == PathRoot::kDrive) {
        return 3;
    }
    const size_t server = path.find(u'\\', 2);
    const size_t share = server == WideText::npos ? server : path.find(u'\\', server + 1);
    return share == WideText::npos ? path.size() : share + 1;
}

// A full path as the rule makes them: no empty, "." or ".." part after its root, no "/", and no
// final "\" but a root's.
void CheckFull(const WideText& path) {
    FUZZ_REQUIRE(RootOf(path) != PathRoot::kNone);
    FUZZ_REQUIRE(path.find(u'/') == WideText::npos);
    const size_t rootEnd = RootEnd(path);
    FUZZ_REQUIRE(path.size() <= rootEnd || path.back() != u'\\');
    size_t start = rootEnd;
    while (start < path.size()) {
        size_t end = path.find(u'\\', start);
        end = end == WideText::npos ? path.size() : end;
        const std::u16string_view part(path.data() + start, end - start);
        FUZZ_REQUIRE(!part.empty() && part != u"." && part != u"..");
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const WideText& folder = kFolders[TakeByte(bytes) % std::size(kFolders)];
    WideText argument;
    while (bytes.at < bytes.size) {
        argument += kAlphabet[TakeByte(bytes) % std::size(kAlphabet)];
    }

    FUZZ_REQUIRE(Halved(WithLiteralBackslashes(argument)) == argument);

    const WideText full = FullArgumentPath(argument, folder);
    if (argument.empty()) {
        FUZZ_REQUIRE(full.empty());
        return 0;
    }
    if (full.rfind(u"\\\\.\\", 0) == 0 || full.rfind(u"\\\\?\\", 0) == 0 ||
        full.rfind(u"\\??\\", 0) == 0) {
        return 0;
    }
    CheckFull(full);
    FUZZ_REQUIRE(FullArgumentPath(full, u"E:\\elsewhere") == full);
    return 0;
}
