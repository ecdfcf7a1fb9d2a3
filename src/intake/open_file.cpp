#include "intake/open_file.h"

#include <cstddef>
#include <utility>

#include "app/app_state.h"
#include "app/shell.h"
#include "paths/file_names.h"
#include "paths/native_view.h"
#include "intake/selection_rules.h"
#include "list/deletion_list.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"

namespace {

// The record's form that ends with lpTemplateName, the one every version of the dialog accepts:
// OPENFILENAME_SIZE_VERSION_400W, which the SDK does not spell as a constant expression.
constexpr size_t kRecordSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

// The selection the dialog wrote in UTF-16, in the ANSI dialog's buffer format: every path where
// its file really is (a 32-bit process on 64-bit Windows sees the system folder redirected),
// converted exactly or by its short form, a path with neither form left out.
ByteString AnsiSelection(const WideText& buffer) {
    return AnsiSelectionBuffer(ReadWideSelection(buffer), SystemAnsiConverters(), SystemShortPath,
                               SystemLeadByte, ShownFileLocation);
}

// Appends every path not yet listed, in the order given. The count is read once: a command run
// by the duplicate scan's message pump cannot change how far this walk goes.
void AppendNewPaths(const TextArray& paths) {
    const int32_t count = ElementCount(paths);
    for (int32_t i = 1; i <= count; ++i) {
        const Text path = TextAt(paths, i);
        if (!ContainsPath(path)) {
            AppendPath(path);
        }
    }
}

}  // namespace

Text SelectFilesDialog(HWND owner, const Text& title, const Text& filter,
                       const Text& initialDirectory, int mode, TextArray* pathsOut) {
    PumpPendingMessages();

    // The title and the filter are the program's own texts; the folder is a path of the system's
    // code page.
    const WideText filterList = UiText(BuildFilterList(filter));
    WideText selectionBuffer(static_cast<size_t>(SELECTION_BUFFER_SIZE), u'\0');
    // The platform writes the chosen file's name here; it is never read.
    WideText fileTitle(static_cast<size_t>(SELECTION_BUFFER_SIZE), u' ');
    const WideText directoryText = WideFromAnsi(initialDirectory);
    const WideText titleText = UiText(title);

    OPENFILENAMEW record{};
    record.lStructSize = static_cast<DWORD>(kRecordSize);
    record.hwndOwner = owner;
    record.hInstance = nullptr;
    record.lpstrFilter = WideC(filterList);
    record.lpstrCustomFilter = nullptr;
    record.nMaxCustFilter = 0;
    record.nFilterIndex = 0;
    record.lpstrFile = WideData(selectionBuffer);
    record.nMaxFile = SELECTION_BUFFER_SIZE;
    record.lpstrFileTitle = WideData(fileTitle);
    record.nMaxFileTitle = SELECTION_BUFFER_SIZE;
    record.lpstrInitialDir = directoryText.empty() ? nullptr : WideC(directoryText);
    record.lpstrTitle = titleText.empty() ? nullptr : WideC(titleText);
    record.Flags = OpenFileFlags(mode);
    record.nFileOffset = 0;
    record.nFileExtension = 0;
    record.lpstrDefExt = nullptr;
    record.lCustData = 0;
    record.lpfnHook = nullptr;
    record.lpTemplateName = nullptr;

    // Cancel and every failure (a selection too long for the buffer among them) look the same:
    // nothing was chosen.
    if (!GetOpenFileNameW(&record)) {
        if (pathsOut != nullptr) {
            *pathsOut = TextArray();
        }
        return Text();
    }
    // From here on the selection is what the ANSI dialog would have given for the names that
    // have an exact form, and the same rules read it.
    const ByteString selection = AnsiSelection(selectionBuffer);
    if (pathsOut != nullptr) {
        *pathsOut = SelectedPaths(selection);
    }
    return JoinSelectedPaths(selection);
}

void AddSelectedFiles() {
    // The duplicate scan pumps messages, so a second Add could arrive in the middle of this one
    // and pull its pieces away; it is ignored until this one has finished.
    if (g_app.addRunning) {
        return;
    }
    g_app.addRunning = true;

    TextArray paths;
    g_app.lastSelection =
        SelectFilesDialog(g_app.mainWindow, kSelectTitle, Text(), Text(), 0, &paths);
    // The paths come from the dialog's buffer itself, not from the joined text: a name may hold
    // ";", and a name that ends with a lead byte would run into the next one. They are empty
    // exactly when nothing was chosen.
    if (ElementCount(paths) == 0) {
        g_app.addRunning = false;
        return;
    }
    g_app.selectionPieces = std::move(paths);
    HoldListRedraw();
    AppendNewPaths(g_app.selectionPieces);
    ReleaseListRedraw();
    g_app.selectionPieces = TextArray();

    g_app.addRunning = false;
}
