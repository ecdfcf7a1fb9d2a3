#pragma once

// One window for all the program's starts: the first holds a mutex of the session for as long as
// its window is open, and marks its main window with a property, so that a later start finds
// that window (not by its caption, which any program can copy) and hands it its paths.

#include <vector>

#include "platform/win32.h"
#include "runtime/text.h"

// The mutex's name, and the property's, on the main window.
inline constexpr char16_t kOneWindowMutex[] = u"Local\\rebootdel.one-window";
inline constexpr char16_t kWindowProperty[] = u"rebootdel.main-window";

struct OneWindowClaim {
    HANDLE mutex = nullptr;
    // Another start held the mutex already: its window is open, or about to be, or closing.
    bool anotherStart = false;
};
OneWindowClaim ClaimOneWindow();
void ReleaseOneWindow(const OneWindowClaim& claim);
// Marks the main window as the one later starts hand their paths to.
void MarkProgramWindow(HWND window);
// Hands a start's paths to the window another start has open (the HandOverCall of RunProcess):
// finds it by its mark within a few seconds and sends it the block; true when it took them.
bool HandToOpenWindow(const std::vector<WideText>& paths);
