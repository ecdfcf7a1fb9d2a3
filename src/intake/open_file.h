#pragma once

// The Add command: the multi-select open-file dialog and the paths it returns.

#include "platform/win32.h"
#include "runtime/text.h"

// Runs the open-file dialog. The result is the empty text (cancelled or failed), one full path,
// or several full paths joined by ";". When pathsOut is given it receives the chosen paths one
// by one, exactly as the dialog wrote them.
Text SelectFilesDialog(HWND owner = nullptr, const Text& title = {}, const Text& filter = {},
                       const Text& initialDirectory = {}, int mode = 0,
                       TextArray* pathsOut = nullptr);
// The command behind the Add button.
void AddSelectedFiles();
