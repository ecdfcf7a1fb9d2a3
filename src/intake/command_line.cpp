#include "intake/command_line.h"

#include "intake/command_line_rules.h"
#include "intake/gathered_starts.h"
#include "intake/gathering_rules.h"
#include "runtime/wide_text.h"

namespace {

WideText CurrentFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) {
        return {};
    }
    WideText folder(needed, u'\0');
    const DWORD written = GetCurrentDirectoryW(needed, WideData(folder));
    folder.resize(written < needed ? written : 0);
    return folder;
}

// The arguments after the program's name, split as the shell's quoting means them.
std::vector<WideText> ArgumentsAfterName(const WideText& commandLine) {
    int count = 0;
    LPWSTR* split = CommandLineToArgvW(WideC(WithLiteralBackslashes(commandLine)), &count);
    if (split == nullptr) {
        return {};
    }
    std::vector<WideText> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(reinterpret_cast<const char16_t*>(split[i]));
    }
    LocalFree(split);
    return arguments;
}

// A start the right-click verb's helper made: the arguments of every start it gathered, each
// split as that start's own command line.
std::vector<WideText> GatheredArguments(const WideText& token) {
    std::vector<WideText> arguments;
    for (const WideText& start : ReadGatheredStarts(token).value_or(std::vector<WideText>())) {
        const std::vector<WideText> more = ArgumentsAfterName(u"x " + start);
        arguments.insert(arguments.end(), more.begin(), more.end());
    }
    return arguments;
}

}  // namespace

std::vector<WideText> CommandLinePaths(LPCWSTR commandLine) {
    if (commandLine == nullptr) {
        return {};
    }
    std::vector<WideText> arguments =
        ArgumentsAfterName(reinterpret_cast<const char16_t*>(commandLine));
    const std::optional<WideText> token =
        arguments.size() == 1 ? GatheredToken(arguments[0]) : std::nullopt;
    if (token) {
        arguments = GatheredArguments(*token);
    }
    const WideText folder = CurrentFolder();
    std::vector<WideText> paths;
    for (const WideText& argument : arguments) {
        const WideText path = FullArgumentPath(argument, folder);
        if (!path.empty()) {
            paths.push_back(path);
        }
    }
    return paths;
}
