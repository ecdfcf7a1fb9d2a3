#include "intake/open_file.h"

#include <cstddef>
#include <utility>

#include "app/app_state.h"
#include "app/shell.h"
#include "intake/selection_rules.h"
#include "list/deletion_list.h"
#include "resources/texts.h"

namespace {

// The record's form that ends with lpTemplateName, the one every version of the dialog accepts.
constexpr size_t kRecordSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

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

    ByteString filterList = BuildFilterList(filter);
    ByteString selectionBuffer = BlankBytes(SELECTION_BUFFER_SIZE);
    // The platform writes the chosen file's name here; it is never read.
    Text fileTitle = BlankText(SELECTION_BUFFER_SIZE);
    const Text directoryCopy = initialDirectory;
    const Text titleCopy = title;

    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.hInstance = nullptr;
    record.lpstrFilter = filterList.data();
    record.lpstrCustomFilter = nullptr;
    record.nMaxCustFilter = 0;
    record.nFilterIndex = 0;
    record.lpstrFile = selectionBuffer.data();
    record.nMaxFile = SELECTION_BUFFER_SIZE;
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = SELECTION_BUFFER_SIZE;
    record.lpstrInitialDir = NullIfEmpty(directoryCopy);
    record.lpstrTitle = NullIfEmpty(titleCopy);
    record.Flags = OpenFileFlags(mode);
    record.nFileOffset = 0;
    record.nFileExtension = 0;
    record.lpstrDefExt = nullptr;
    record.lCustData = 0;
    record.lpfnHook = nullptr;
    record.lpTemplateName = nullptr;

    // Cancel and every failure (a selection too long for the buffer among them) look the same:
    // nothing was chosen.
    if (!GetOpenFileNameA(&record)) {
        if (pathsOut != nullptr) {
            *pathsOut = TextArray();
        }
        return Text();
    }
    if (pathsOut != nullptr) {
        *pathsOut = SelectedPaths(selectionBuffer);
    }
    return JoinSelectedPaths(selectionBuffer);
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
