#pragma once

// The shell's shortcut files and the user's Send To folder, through its COM objects: the
// program's one use of COM, kept here so that nothing else needs those headers; and the notice
// that tells Explorer its verbs changed. Elsewhere the stand-in supplies them.

#include <string>

// The user's Send To folder, created when it is missing; empty when the shell gives none.
std::u16string SendToFolder();
// The path the shortcut file points at; empty when there is none or it cannot be read.
std::u16string ShortcutTarget(const std::u16string& shortcut);
// Writes a shortcut file that points at target, in place of any file of that name; false when it
// could not be written.
bool SaveShortcut(const std::u16string& shortcut, const std::u16string& target);
bool DeleteShortcut(const std::u16string& shortcut);
// Tells Explorer that the verbs of files and folders changed, so that its menus show them now.
void TellShellVerbsChanged();
