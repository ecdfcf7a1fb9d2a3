// The batch text to the lines that are appended, with predicates the fuzzer answers.
//
// Input: a flags byte (bit 0: code page 936, else 1252), a 16-bit text length (low byte first),
// the text (NULs left out), then the answers: one bit per question the filter asks (is it a
// directory, does it exist, is it listed already, can its full path be found).

#include <set>
#include <vector>

#include "fuzz_support.h"
#include "intake/batch_rules.h"
#include "paths/literal_forms.h"

namespace {

// One thing the filter did, tagged with the line it was working on (the number of pumps so far).
struct BatchEvent {
    size_t line;
    char kind;  // 'F' full path, 'D' directory, 'E' exists, 'L' listed, 'A' append
    Text path;
    bool answer;
    Text asked;  // for 'F': the line that was to be resolved
};

struct BatchRun {
    FuzzBytes answers;
    uint8_t bits = 0;
    int bitsLeft = 0;
    size_t pumps = 0;
    std::set<Text> appended;
    std::vector<BatchEvent> events;
};

bool NextAnswer(BatchRun& run) {
    if (run.bitsLeft == 0) {
        run.bits = TakeByte(run.answers);
        run.bitsLeft = 8;
    }
    const bool answer = (run.bits & 1) != 0;
    run.bits = static_cast<uint8_t>(run.bits >> 1);
    --run.bitsLeft;
    return answer;
}

bool Record(BatchRun& run, char kind, const Text& path, bool answer, const Text& asked = {}) {
    run.events.push_back(BatchEvent{run.pumps, kind, path, answer, asked});
    return answer;
}

BatchLineSteps StepsOf(BatchRun& run) {
    BatchLineSteps steps;
    steps.isDirectory = [&run](const Text& path) {
        return Record(run, 'D', path, NextAnswer(run));
    };
    steps.exists = [&run](const Text& path) { return Record(run, 'E', path, NextAnswer(run)); };
    // Listed: appended by this batch, or (by the fuzzer's answer) a row from before it.
    steps.isListed = [&run](const Text& path) {
        const bool listed = NextAnswer(run) || run.appended.count(path) != 0;
        return Record(run, 'L', path, listed);
    };
    steps.fullPath = [&run](const Text& path) {
        const Text full = NextAnswer(run) ? "C:\\work\\" + path : Text();
        Record(run, 'F', full, !full.empty(), path);
        return full;
    };
    steps.append = [&run](const Text& path) {
        Record(run, 'A', path, true);
        run.appended.insert(path);
    };
    steps.pump = [&run] { ++run.pumps; };
    return steps;
}

// A form taken as it stands: a plain full path, or a literal one (then in its ordinary form).
bool IsTakenAsItStands(const Text& form, LeadBytePredicate isLeadByte) {
    return IsPlainFullPath(form, isLeadByte) || OrdinaryFormOf(form).has_value();
}

Text Unquoted(const Text& form) {
    const bool quoted = form.size() >= 2 && form.front() == '"' && form.back() == '"';
    return quoted ? form.substr(1, form.size() - 2) : form;
}

// The events of one line, in order: for each of its forms until one names a file, an optional
// resolution, then (for a path not tried before) the directory test and, when it is no
// directory, the existence test; then, for the file found, the list test, and an append exactly
// when it is not listed. The forms are the line itself first, and only the line trimmed or made
// ordinary after it.
void CheckLine(const Text& line, const std::vector<BatchEvent>& events,
               LeadBytePredicate isLeadByte) {
    const TextArray forms = BatchLineForms(line);
    FUZZ_REQUIRE(!forms.empty() && forms.front() == line);
    // After the line itself, only the line without spaces and tabs around it is not a full path.
    const size_t first = line.find_first_not_of(" \t");
    const Text trimmed =
        first == Text::npos ? Text() : line.substr(first, line.find_last_not_of(" \t") - first + 1);
    for (size_t k = 1; k < forms.size(); ++k) {
        FUZZ_REQUIRE(forms[k] == trimmed || OrdinaryFormOf(LiteralFormOf(forms[k])) == forms[k]);
    }
    size_t next = 0;
    std::set<Text> tried;
    Text found;
    for (const Text& form : forms) {
        const Text unquoted = Unquoted(form);
        Text path;
        if (!unquoted.empty() && !IsTakenAsItStands(unquoted, isLeadByte)) {
            FUZZ_REQUIRE(next < events.size() && events[next].kind == 'F');
            FUZZ_REQUIRE(events[next].asked == unquoted);
            path = events[next].path;
            ++next;
        } else {
            path = OrdinaryFormOf(unquoted).value_or(unquoted);
        }
        if (path.empty() || !tried.insert(path).second) {
            continue;
        }
        FUZZ_REQUIRE(next < events.size() && events[next].kind == 'D' && events[next].path == path);
        const bool directory = events[next++].answer;
        if (directory) {
            continue;
        }
        FUZZ_REQUIRE(next < events.size() && events[next].kind == 'E' && events[next].path == path);
        if (events[next++].answer) {
            found = path;
            break;
        }
    }
    if (!found.empty()) {
        FUZZ_REQUIRE(next < events.size() && events[next].kind == 'L' &&
                     events[next].path == found);
        if (!events[next++].answer) {
            FUZZ_REQUIRE(next < events.size() && events[next].kind == 'A' &&
                         events[next].path == found);
            ++next;
        }
    }
    // Nothing else happened for this line: no append without a file found and not listed.
    FUZZ_REQUIRE(next == events.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBytes bytes{data, size};
    const LeadBytePredicate isLeadByte = (TakeByte(bytes) & 1) != 0 ? Lead936 : Lead1252;
    const size_t textLength = TakeByte(bytes) | static_cast<size_t>(TakeByte(bytes)) << 8;
    const Text text = AsText(TakeBytes(bytes, textLength));

    // The lines and the CR LFs between them give back the text, up to a final CR LF.
    const TextArray lines = SplitBatchLines(text, isLeadByte);
    const std::string joined = JoinWith(lines, "\r\n");
    FUZZ_REQUIRE(joined == text || joined + "\r\n" == text);

    BatchRun run;
    run.answers = FuzzBytes{bytes.data + bytes.at, bytes.size - bytes.at};
    BatchLineSteps steps = StepsOf(run);
    steps.isLeadByte = isLeadByte;
    AddBatchLines(lines, steps);

    // One pump after every line, the last one included.
    FUZZ_REQUIRE(run.pumps == lines.size());
    std::vector<std::vector<BatchEvent>> byLine(lines.size());
    size_t appends = 0;
    for (const BatchEvent& event : run.events) {
        FUZZ_REQUIRE(event.line < lines.size());
        byLine[event.line].push_back(event);
        appends += event.kind == 'A' ? 1 : 0;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        CheckLine(lines[i], byLine[i], isLeadByte);
    }
    // No path is appended twice.
    FUZZ_REQUIRE(appends == run.appended.size());
    return 0;
}
