// Large inputs: a batch of 10,000 lines and a drop against a list of 5,000 rows, which is then
// scheduled row by row; an open-file selection that fills the 98,192-byte buffer to its last byte.
//
// Every intake scans the whole list for each path it adds, and the stand-in answers each step of
// a scan with a logged read-back, so filling 5,000 rows through an intake would cost 12.5 million
// read-backs. The 5,000 rows are therefore put in with the list's own AppendPath; what the
// intakes then add is scanned against all of them.

#include "runtime/wide_text.h"
#include "fault_scenario.h"
#include "intake/selection_rules.h"
#include "list/deletion_list.h"
#include "paths/exact_names.h"

namespace {

constexpr size_t kListRows = 5000;
constexpr size_t kBatchLines = 10000;
// Batch lines naming existing files not yet listed, and lines naming listed ones.
constexpr size_t kNewFiles = 20;
constexpr size_t kListedAgain = 20;

std::string ListedRow(size_t row) {
    return "C:\\listed\\row" + std::to_string(row) + ".txt";
}

// kBatchLines lines: kNewFiles existing files (every third one relative to the current
// directory) and kListedAgain paths of rows near the end of the list (so each is scanned almost
// to the end), spread among missing files, folders, empty lines and a line with a leading space.
// Returns the text; newRows receives the rows it must add, in order.
std::string LargeBatch(std::vector<std::string>& newRows) {
    std::string text;
    size_t added = 0;
    size_t listedAgain = 0;
    size_t other = 0;
    for (size_t line = 0; line < kBatchLines; ++line) {
        if (added * kBatchLines < line * kNewFiles) {
            const std::string name = "new" + std::to_string(added) + ".txt";
            const bool relative = added % 3 == 2;
            text += relative ? name : "C:\\data\\" + name;
            newRows.push_back(relative ? kWorkDirectory + "\\" + name : "C:\\data\\" + name);
            ++added;
        } else if (listedAgain * kBatchLines < line * kListedAgain) {
            text += ListedRow(kListRows - 1 - listedAgain);
            ++listedAgain;
        } else {
            switch (other++ % 4) {
                case 0:
                    text += "C:\\missing\\" + std::to_string(line) + ".txt";
                    break;
                case 1:
                    text += "C:\\data";
                    break;
                case 2:
                    break;
                default:
                    text += " " + ListedRow(0);
                    break;
            }
        }
        text += "\r\n";
    }
    return text;
}

class SizeTest : public FaultTest {};

TEST_F(SizeTest, ABatchOfTenThousandLinesAndADropAgainstFiveThousandRowsThenTheRestartRun) {
    std::vector<std::string> expected;
    for (size_t row = 0; row < kListRows; ++row) {
        expected.push_back(ListedRow(row));
        standin::AddFile(expected.back());
        record.received.insert(expected.back());
    }
    std::vector<std::string> newRows;
    const std::string text = LargeBatch(newRows);
    ASSERT_EQ(newRows.size(), kNewFiles);
    for (const std::string& path : newRows) {
        standin::AddFile(path);
        expected.push_back(path);
    }
    standin::AddDirectory("C:\\data");
    NoteBatchText(record, text);
    for (const char* dropped : {"C:\\dropped1.txt", "C:\\dropped2.txt"}) {
        standin::AddFile(dropped);
        expected.push_back(dropped);
    }

    standin::Do("fill the list", [] {
        for (size_t row = 0; row < kListRows; ++row) {
            AppendPath(WideFromAnsi(ListedRow(row)));
        }
    });
    standin::Click(IDD_MAIN, IDC_BATCH_ADD);
    standin::SetEditText(IDD_BATCH_ADD, IDC_BATCH_EDIT, text);
    standin::Click(IDD_BATCH_ADD, IDC_BATCH_OK);
    standin::AnswerBox(IDOK, UiText(kConfirmBatch));
    standin::AnswerBox(IDCANCEL, UiText(kConfirmFolders));
    DropPaths(record, {"C:\\dropped1.txt", ListedRow(kListRows - 1), "C:\\dropped2.txt"});
    LookBeforeRestart(record);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, UiText(kConfirmRestart));
    standin::Close(IDD_MAIN);
    RunProgram();

    ExpectListed(expected);
    EXPECT_EQ(standin::ScheduledDeletions().size(), expected.size());
    EXPECT_EQ(standin::CountCalls("RegSetValueExW"), 1u);
    EXPECT_EQ(standin::CountCalls("RestartDialog"), 1u);
    std::printf("[figures] a batch of %zu lines and a drop against %zu rows; %zu rows scheduled\n",
                kBatchLines, kListRows, expected.size());
}

TEST_F(SizeTest, ASelectionThatFillsTheWholeBufferArrivesWhole) {
    // The directory, then names of 240 bytes and one shorter last name, so that the names, the
    // NULs after each and the closing NUL end exactly at the buffer's last byte.
    const std::string directory = "C:\\selected";
    std::vector<std::string> names;
    size_t size = directory.size() + 2;
    while (size < static_cast<size_t>(SELECTION_BUFFER_SIZE)) {
        const size_t room = SELECTION_BUFFER_SIZE - size;
        const std::string number = std::to_string(names.size());
        const size_t length = room > 241 + 20 ? 240 : room - 1;
        names.push_back(number + std::string(length - number.size(), 'n'));
        size += length + 1;
    }
    ASSERT_EQ(SelectionBytes(directory, names).size(), static_cast<size_t>(SELECTION_BUFFER_SIZE));

    standin::Click(IDD_MAIN, IDC_ADD);
    ChooseInDialog(record, directory, names);
    LookBeforeRestart(record);
    standin::Click(IDD_MAIN, IDC_RESTART_DELETE);
    standin::AnswerBox(IDOK, UiText(kConfirmRestart));
    standin::Close(IDD_MAIN);
    RunProgram();

    std::vector<std::string> expected;
    for (const std::string& name : names) {
        expected.push_back(directory + "\\" + name);
    }
    ExpectListed(expected);
    EXPECT_EQ(standin::ScheduledDeletions().size(), names.size());
    std::printf("[figures] a full selection buffer: %zu files\n", names.size());
}

}  // namespace
