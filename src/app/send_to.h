#pragma once

// The main window's system-menu item that puts the program in Explorer's Send To menu: a
// shortcut named "重启删除" in the user's Send To folder, pointing at this program. Explorer then
// starts the program with every file and folder sent.

#include "platform/win32.h"

void AddSendToMenuItem(HWND window);
// The item as things are when the menu opens: "从“发送到”菜单移除" while the shortcut points at
// this program, else "添加到“发送到”菜单".
void ShowSendToMenuItem(HMENU menu);
// Takes the program's shortcut out, or puts it in: a shortcut of the name that points elsewhere
// is pointed here, never deleted. A box says when the folder or the file cannot be changed.
void ToggleSendTo(HWND window);
