#pragma once

// The main window's system-menu item that puts the verb "重启时删除" in Explorer's right-click
// menu of every file and folder, for the current user only: one key of the program's own under
// HKCU\Software\Classes\*\shell and ...\Directory\shell, whose command starts the helper beside
// the program (intake/gathering_rules.h), which gathers the starts of one choice into one.

#include "platform/win32.h"

void AddContextMenuItem(HWND window);
// The item as things are when the menu opens: "从右键菜单移除" while both keys start this
// program, else "添加到右键菜单".
void ShowContextMenuItem(HMENU menu);
// Deletes exactly the verb's keys, or writes them afresh pointing here (keys that point at a copy
// moved or deleted since included). A box says when the helper is missing or the registry
// refuses; Explorer is told that the verbs changed.
void ToggleContextMenu(HWND window);
