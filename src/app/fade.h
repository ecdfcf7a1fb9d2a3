#pragma once

// The main window fades in when it opens and out when it closes, one alpha unit per step, with a
// delay and a pass of the message pump after every step so the window keeps painting.

#include "platform/win32.h"

constexpr int kFadeDefaultAlpha = 255;
constexpr DWORD kFadeDefaultDelay = 0;

// Shows the window fully transparent, then raises its opacity to alpha.
void FadeInWindow(HWND window, int alpha = kFadeDefaultAlpha, DWORD delay = kFadeDefaultDelay);
// Lowers the window's opacity from alpha - 1 to 0; the window stays shown.
void FadeOutWindow(HWND window, int alpha = kFadeDefaultAlpha, DWORD delay = kFadeDefaultDelay);
