#include "app/context_menu.h"

#include <string>

#include "app/program_file.h"
#include "intake/gathering_rules.h"
#include "paths/exact_names.h"
#include "platform/shell_links.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "runtime/wide_text.h"
#include "ui/prompts.h"

namespace {

// The verb's key under each class: a name of the program's own, which no other program uses.
constexpr char16_t kVerbKey[] = u"rebootdel.DeleteAtRestart";
// Every file, and folders.
constexpr const char16_t* kClasses[] = {u"*", u"Directory"};

WideText VerbKeyPath(const char16_t* fileClass) {
    return WideText(u"Software\\Classes\\") + fileClass + u"\\shell\\" + kVerbKey;
}

LPCWSTR WideName(const char16_t* name) {
    return reinterpret_cast<LPCWSTR>(name);
}

// The command a class's verb runs; empty when there is none.
WideText RegisteredCommand(const char16_t* fileClass) {
    const WideText key = VerbKeyPath(fileClass) + u"\\command";
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, WideC(key), nullptr, RRF_RT_REG_SZ, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    WideText command(size / sizeof(char16_t) + 1, u'\0');
    size = static_cast<DWORD>(command.size() * sizeof(char16_t));
    if (RegGetValueW(HKEY_CURRENT_USER, WideC(key), nullptr, RRF_RT_REG_SZ, nullptr,
                     WideData(command), &size) != ERROR_SUCCESS) {
        return {};
    }
    command.resize(command.find(u'\0'));
    return command;
}

bool PointsHere(const WideText& program) {
    const WideText command = VerbCommand(program);
    for (const char16_t* fileClass : kClasses) {
        if (program.empty() ||
            !SameFoldedName(RegisteredCommand(fileClass), command, FileSystemCase())) {
            return false;
        }
    }
    return true;
}

// Deletes the verb's two keys of a class and nothing else; a key that is not there is deleted.
LONG DeleteVerb(const char16_t* fileClass) {
    const WideText verb = VerbKeyPath(fileClass);
    for (const WideText& key : {verb + u"\\command", verb}) {
        const LONG error = RegDeleteKeyW(HKEY_CURRENT_USER, WideC(key));
        if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
            return error;
        }
    }
    return ERROR_SUCCESS;
}

LONG SetText(HKEY key, const char16_t* name, const WideText& text) {
    return RegSetValueExW(key, WideName(name), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

LONG CreateKey(HKEY parent, const WideText& path, HKEY& key) {
    return RegCreateKeyExW(parent, WideC(path), 0, nullptr, 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                           nullptr, &key, nullptr);
}

// The verb of a class, as a key of its own made afresh: values another program left under the
// name (Extended, say, which hides the verb) do not stay.
LONG WriteVerb(const char16_t* fileClass, const WideText& program) {
    LONG error = DeleteVerb(fileClass);
    HKEY verb = nullptr;
    HKEY command = nullptr;
    if (error == ERROR_SUCCESS) {
        error = CreateKey(HKEY_CURRENT_USER, VerbKeyPath(fileClass), verb);
    }
    if (error == ERROR_SUCCESS) {
        error = SetText(verb, u"MUIVerb", UiText(kContextMenuVerb));
    }
    if (error == ERROR_SUCCESS) {
        error = SetText(verb, u"Icon", program + u",0");
    }
    // Shown for a choice of up to 100 items, each a start of its own.
    if (error == ERROR_SUCCESS) {
        error = SetText(verb, u"MultiSelectModel", u"Player");
    }
    if (error == ERROR_SUCCESS) {
        error = CreateKey(verb, u"command", command);
    }
    if (error == ERROR_SUCCESS) {
        error = SetText(command, nullptr, VerbCommand(program));
    }
    for (HKEY key : {command, verb}) {
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }
    return error;
}

// Both classes' verbs pointing at program, or neither.
LONG WriteVerbs(const WideText& program) {
    for (const char16_t* fileClass : kClasses) {
        if (const LONG error = WriteVerb(fileClass, program); error != ERROR_SUCCESS) {
            for (const char16_t* written : kClasses) {
                DeleteVerb(written);
            }
            return error;
        }
    }
    return ERROR_SUCCESS;
}

LONG DeleteVerbs() {
    LONG first = ERROR_SUCCESS;
    for (const char16_t* fileClass : kClasses) {
        const LONG error = DeleteVerb(fileClass);
        first = first == ERROR_SUCCESS ? error : first;
    }
    return first;
}

void TellRefusal(HWND window, LONG error) {
    const std::string number = std::to_string(error);
    ShowWideMessage(window,
                    UiText(kContextMenuFailed) + u"\r\n" + UiText(kReasonRefusedPrefix) +
                        WideText(number.begin(), number.end()) + u")",
                    MB_OK | MB_ICONERROR);
}

}  // namespace

void AddContextMenuItem(HWND window) {
    AppendMenuW(GetSystemMenu(window, FALSE), MF_STRING, IDM_CONTEXT_MENU,
                WideC(UiText(kMenuAddContextMenu)));
}

void ShowContextMenuItem(HMENU menu) {
    const char* text = PointsHere(ThisProgram()) ? kMenuRemoveContextMenu : kMenuAddContextMenu;
    ModifyMenuW(menu, IDM_CONTEXT_MENU, MF_BYCOMMAND | MF_STRING, IDM_CONTEXT_MENU,
                WideC(UiText(text)));
}

void ToggleContextMenu(HWND window) {
    const WideText program = ThisProgram();
    LONG error = ERROR_SUCCESS;
    if (PointsHere(program)) {
        error = DeleteVerbs();
    } else if (program.empty() ||
               GetFileAttributesW(WideC(HelperBeside(program))) == INVALID_FILE_ATTRIBUTES) {
        // A verb without its helper would do nothing when chosen.
        ShowWideMessage(window, UiText(kContextMenuHelperMissing) + u"\r\n" + HelperBeside(program),
                        MB_OK | MB_ICONERROR);
        return;
    } else {
        error = WriteVerbs(program);
    }
    TellShellVerbsChanged();
    if (error != ERROR_SUCCESS) {
        TellRefusal(window, error);
    }
}
