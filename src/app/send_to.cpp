#include "app/send_to.h"

#include "app/program_file.h"
#include "paths/exact_names.h"
#include "platform/shell_links.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "ui/prompts.h"

namespace {

// The shortcut's path in the Send To folder; empty when the shell gives no such folder.
WideText ShortcutPath() {
    const WideText folder = SendToFolder();
    return folder.empty() ? WideText() : folder + u"\\" + UiText(kSendToShortcutName) + u".lnk";
}

bool PointsHere(const WideText& shortcut) {
    const WideText target = shortcut.empty() ? WideText() : ShortcutTarget(shortcut);
    const WideText program = ThisProgram();
    return !target.empty() && !program.empty() && SameFoldedName(target, program, FileSystemCase());
}

}  // namespace

void AddSendToMenuItem(HWND window) {
    AppendMenuW(GetSystemMenu(window, FALSE), MF_STRING, IDM_SEND_TO,
                WideC(UiText(kMenuAddSendTo)));
}

void ShowSendToMenuItem(HMENU menu) {
    const char* text = PointsHere(ShortcutPath()) ? kMenuRemoveSendTo : kMenuAddSendTo;
    ModifyMenuW(menu, IDM_SEND_TO, MF_BYCOMMAND | MF_STRING, IDM_SEND_TO, WideC(UiText(text)));
}

void ToggleSendTo(HWND window) {
    const WideText shortcut = ShortcutPath();
    const WideText program = ThisProgram();
    bool changed = false;
    if (!shortcut.empty() && !program.empty()) {
        changed = PointsHere(shortcut) ? DeleteShortcut(shortcut) : SaveShortcut(shortcut, program);
    }
    if (!changed) {
        ShowMessage(window, kSendToFailed, MB_OK | MB_ICONERROR);
    }
}
