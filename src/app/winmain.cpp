#include "app/one_window.h"
#include "app/shell.h"
#include "intake/command_line.h"

// Windows hands a program the files dropped on its icon, or sent to it, on its command line.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunProcess(CommandLinePaths(GetCommandLineW()), HandToOpenWindow);
}
