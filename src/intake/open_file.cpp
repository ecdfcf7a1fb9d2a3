#include "intake/open_file.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <utility>

#include "intake/selection_rules.h"
#include "list/deletion_list.h"
#include "paths/exact_names.h"
#include "paths/literal_forms.h"
#include "paths/native_view.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "state/app_state.h"
#include "ui/prompts.h"

namespace {

// The record's form that ends with lpTemplateName, the one every version of the dialog accepts:
// OPENFILENAME_SIZE_VERSION_400W, which the SDK does not spell as a constant expression.
constexpr size_t kRecordSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

// Room for the dialog's output: the folder, each name and its NUL, the closing NUL, which the
// file-name box's text ("a" "b" with its quotes and spaces) never takes less room than. Grown with
// a margin, so a selection that keeps growing does not move the buffer at every change.
size_t SelectionRoom(LRESULT folderUnits, LRESULT nameUnits) {
    return 2 * (static_cast<size_t>(folderUnits) + static_cast<size_t>(nameUnits) + 2);
}

// The selection has changed: makes the buffer large enough for it before the dialog writes it.
// The record is the caller's own, so the dialog writes into the new buffer.
void FitSelectionBuffer(HWND hook, OPENFILENAMEW* record) {
    HWND dialog = GetParent(hook);
    const LRESULT folder = SendMessageW(dialog, CDM_GETFOLDERPATH, 0, 0);
    const LRESULT names = SendMessageW(dialog, CDM_GETSPEC, 0, 0);
    if (record == nullptr || folder < 0 || names < 0 ||
        static_cast<size_t>(folder) + static_cast<size_t>(names) + 2 <= record->nMaxFile) {
        return;
    }
    const size_t room = SelectionRoom(folder, names);
    if (room > std::numeric_limits<DWORD>::max()) {
        return;
    }
    auto* buffer = reinterpret_cast<WideText*>(record->lCustData);
    buffer->assign(room, u'\0');
    record->lpstrFile = WideData(*buffer);
    record->nMaxFile = static_cast<DWORD>(room);
}

// Whether a pick names a file or folder in this process's view, the one the dialog shows: a 32-bit
// process on 64-bit Windows reaches the native system folder there through Sysnative, which the
// dialog's own existence check cannot see through. A link is asked about itself.
bool PickExists(const WideText& path) {
    HANDLE file = OpenToAsk(LiteralFormOf(OrdinaryPath{path}));
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// The first pick of the selection the dialog is about to hand over that names nothing.
std::optional<WideText> FirstMissingPick(const OPENFILENAMEW& record) {
    if (record.lpstrFile == nullptr) {
        return std::nullopt;
    }
    const auto* units = reinterpret_cast<const char16_t*>(record.lpstrFile);
    const WideSelection selection = ReadWideSelection(WideText(units, record.nMaxFile));
    for (const WideText& path : WideSelectedPaths(selection)) {
        if (!PickExists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

// Open was pressed: a typed name of no file is answered here, with the dialog still open, and
// never listed. Nonzero keeps the dialog open.
UINT_PTR OnSelectionConfirmed(HWND hook, const OPENFILENAMEW* record) {
    const std::optional<WideText> missing =
        record == nullptr ? std::nullopt : FirstMissingPick(*record);
    if (!missing) {
        return 0;
    }
    ShowWideMessage(GetParent(hook), *missing + u"\r\n" + UiText(kPickNotFound),
                    MB_OK | MB_ICONWARNING);
    SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
    return 1;
}

// The explorer-style hook: the selection's changes and the press of Open are looked at.
UINT_PTR CALLBACK SelectionHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) {
        return 0;
    }
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice == nullptr) {
        return 0;
    }
    switch (notice->hdr.code) {
        case CDN_SELCHANGE:
            FitSelectionBuffer(hook, notice->lpOFN);
            return 0;
        case CDN_FILEOK:
            return OnSelectionConfirmed(hook, notice->lpOFN);
        default:
            return 0;
    }
}

// Appends every path not yet listed, in the order given. The count is read once: a command run
// by the duplicate scan's message pump cannot change how far this walk goes.
void AppendNewPaths(const TextArray& paths) {
    const int32_t count = ElementCount(paths);
    for (int32_t i = 1; i <= count; ++i) {
        const std::optional<WideText> path = WideFileName(TextAt(paths, i));
        if (path && !ContainsPath(*path)) {
            AppendPath(*path);
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
    // The hook may move the selection into a larger buffer; lCustData is where it keeps it.
    record.lpstrFile = WideData(selectionBuffer);
    record.nMaxFile = SELECTION_BUFFER_SIZE;
    record.lpstrFileTitle = WideData(fileTitle);
    record.nMaxFileTitle = SELECTION_BUFFER_SIZE;
    record.lpstrInitialDir = directoryText.empty() ? nullptr : WideC(directoryText);
    record.lpstrTitle = titleText.empty() ? nullptr : WideC(titleText);
    // A chosen shortcut is what the user wants deleted, not the file it points to. The hook grows
    // the buffer with the selection and answers a typed name of no file; the dialog is not asked
    // to check existence, which it does in the shell's namespace, where a 32-bit process on 64-bit
    // Windows has no Sysnative folder (Wine's dialog faults there). Sizing is what the dialog
    // offers by itself without a hook.
    record.Flags = OpenFileFlags(mode) | OFN_NODEREFERENCELINKS | OFN_ENABLEHOOK | OFN_ENABLESIZING;
    record.nFileOffset = 0;
    record.nFileExtension = 0;
    record.lpstrDefExt = nullptr;
    record.lCustData = reinterpret_cast<LPARAM>(&selectionBuffer);
    record.lpfnHook = SelectionHook;
    record.lpTemplateName = nullptr;

    // Cancel and every failure look the same: nothing was chosen. A selection that still did not
    // fit (names typed, which the hook is not told about) is never dropped in silence.
    if (!GetOpenFileNameW(&record)) {
        if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
            ShowMessage(owner, kSelectionTooLarge, MB_OK | MB_ICONWARNING);
        }
        if (pathsOut != nullptr) {
            *pathsOut = TextArray();
        }
        return Text();
    }
    // Every pick where its file really is (a 32-bit process on 64-bit Windows sees the system
    // folder redirected), converted exactly or by its short form; a pick with neither, or whose
    // file cannot be told, is left out.
    const WideSelection selection = ReadWideSelection(selectionBuffer);
    TextArray paths =
        ChosenAnsiPaths(selection, SystemAnsiConverters(), SystemShortPath, ShownFileLocation);
    Text text = SelectionText(selection, paths, SystemAnsiConverters());
    if (pathsOut != nullptr) {
        *pathsOut = std::move(paths);
    }
    return text;
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
    // The paths are the picks themselves, not the joined text: a name may hold ";", and a name
    // that ends with a lead byte would run into the next one. They are empty when nothing was
    // chosen, or nothing chosen can be listed.
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
