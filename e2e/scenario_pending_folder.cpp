// The restart's to-do list takes a folder's deletions back in one step on Wine: a small tree
// recorded as the restart run records a folder (its files, then its subfolder, then itself) and
// a deletion of a file whose name begins like the folder's; only the folder's own row chosen,
// the question counts the four deletions it takes back, and the value keeps just the other file.

#include <string>
#include <vector>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"
#include "wide_names.h"

namespace {

const std::string kFolder = "C:\\e2e\\pendingtree";
const std::string kNeighbour = "C:\\e2e\\pendingtree2.txt";
// The tree in the order it is recorded: deepest first, the folder last.
const std::vector<std::string> kTree = {kFolder + "\\a.txt", kFolder + "\\sub\\b.txt",
                                        kFolder + "\\sub", kFolder};

std::wstring W(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring Deletion(const std::string& path) {
    return L"\\??\\" + W(path) + L'\0' + L'\0';
}

// Records each deletion as any program does, the driver's own MoveFileExW.
bool RecordDeletions(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (!MoveFileExW(W(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
            return Check(false, "MoveFileExW records the deletion of " + path);
        }
    }
    return true;
}

}  // namespace

void DrivePendingFolder(HWND mainWindow) {
    std::vector<std::string> recorded = kTree;
    recorded.push_back(kNeighbour);
    std::wstring expected;
    for (const std::string& path : recorded) {
        expected += Deletion(path);
    }
    expected += L'\0';
    std::wstring before;
    const bool made = MakeFile(kTree[0]) && MakeFile(kTree[1]) && MakeFile(kNeighbour);
    const bool pending =
        ClearPendingOperations() && RecordDeletions(recorded) && ReadPendingValueUnits(before);
    if (!Check(made && pending && before == expected,
               "the tree, folder last, and the neighbour are pending: " + ShownUnits(before))) {
        return;
    }

    PostMessageW(mainWindow, WM_SYSCOMMAND, IDM_PENDING, 0);
    HWND dialog = WaitForTopWindowW("#32770", L"重启时待处理的文件");
    if (!Check(dialog != nullptr, "the system menu's item opens the to-do list")) {
        return;
    }
    HWND list = GetDlgItem(dialog, IDC_PENDING_LIST);
    Check(RowCountOf(list) == 5 && WideCellText(list, 3, 0) == W(kFolder),
          "one row per deletion, the folder's fourth");
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    SendWithTimeout(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(&none));
    SelectRow(list, 3);
    Click(dialog, IDC_PENDING_CANCEL);
    HWND question = WaitForMessageBoxW(L"  确定取消 4 项重启删除 (含文件夹中的内容) ?  ");
    if (Check(question != nullptr && AnswerBox(question, IDOK),
              "取消删除 of the folder's row asks to take back 4 deletions, answered OK")) {
        std::wstring after;
        const bool shown = WaitForRowCount(list, 1);
        const bool read = ReadPendingValueUnits(after);
        Check(shown && read && after == Deletion(kNeighbour) + L'\0',
              "the folder and everything under it are taken back; the file whose name begins "
              "the same stays: " +
                  ShownUnits(after));
    }
    Click(dialog, IDCANCEL);
    Check(WaitUntilGone(dialog) && ClearPendingOperations(), "the list closes");
}
