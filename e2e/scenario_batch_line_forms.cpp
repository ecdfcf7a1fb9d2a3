// Batch lines in the forms a user copies them: a space after the path (from an editor), spaces
// or a tab before it, and the "\??\" form the pending value and registry tools show. Each is
// listed by the file's full ordinary path; a line that names nothing in any form is left out.

#include <string>

#include "driver.h"
#include "resources/resource.h"
#include "scenarios.h"

namespace {

const std::string kFolder = "C:\\e2e\\forms";
const std::string kSpaceAfter = kFolder + "\\space-after.txt";
const std::string kSpacesBefore = kFolder + "\\spaces-before.txt";
const std::string kNtForm = kFolder + "\\nt-form.txt";
const std::string kTrailingName = kFolder + "\\trailing.txt ";

}  // namespace

void DriveBatchLineForms(HWND mainWindow) {
    HWND list = ListOf(mainWindow);
    // The last file's name ends with a space: its line is taken as it stands, space and all.
    Check(MakeFile(kSpaceAfter) && MakeFile(kSpacesBefore) && MakeFile(kNtForm) &&
              MakeFile(kTrailingName),
          "the files are made, one whose name ends with a space");
    HWND dialog = OpenBatchDialog(mainWindow);
    if (dialog == nullptr) {
        return;
    }
    const std::string text = kSpaceAfter + " \r\n  " + kSpacesBefore + "\r\n\\??\\" + kNtForm +
                             "\r\n\t" + kFolder + "\\none.txt \r\n" + kTrailingName;
    Check(SetTextOf(GetDlgItem(dialog, IDC_BATCH_EDIT), text), "the lines are typed");
    if (ConfirmBatch(dialog, IDOK)) {
        Check(WaitUntilGone(dialog), "OK processes the lines and closes the dialog");
        CheckPaths(list, {kSpaceAfter, kSpacesBefore, kNtForm, kTrailingName},
                   "a space after, spaces or a tab before and the \\??\\ form each list the file "
                   "by its full ordinary path; a name that ends with a space is listed as itself; "
                   "a line that names nothing is left out");
    }
}
