#include "app/shell.h"

// The program takes no command line; everything happens in the main dialog.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunProcess();
}
