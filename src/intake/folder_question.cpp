#include "intake/folder_question.h"

#include "list/deletion_list.h"
#include "paths/folder_rows.h"
#include "resources/texts.h"
#include "ui/prompts.h"

void ListFoldersAfterQuestion(HWND owner, const std::vector<WideText>& folders) {
    std::vector<WideText> rows;
    for (const WideText& folder : folders) {
        const WideText row = FolderRow(folder);
        if (!ContainsPath(row)) {
            rows.push_back(row);
        }
    }
    if (rows.empty() || !ConfirmPrompt(owner, kConfirmFolders)) {
        return;
    }
    HoldListRedraw();
    // Tested again: the question's own message loop may have listed one meanwhile, and the same
    // folder may come twice.
    for (const WideText& row : rows) {
        if (!ContainsPath(row)) {
            AppendPath(row);
        }
    }
    ReleaseListRedraw();
}
