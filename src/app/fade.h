#pragma once

// The main window fades in when it opens and out when it closes, one alpha unit per step, with a
// delay and a pass of the message pump after every step.

#include <cstdint>
#include <vector>

#include "platform/win32.h"

constexpr int kFadeDefaultAlpha = 255;
constexpr DWORD kFadeDefaultDelay = 0;

// The opacity values a fade sets, in order: fade-in starts at 0 before the window is shown.
std::vector<uint8_t> FadeInSequence(int targetAlpha);
std::vector<uint8_t> FadeOutSequence(int targetAlpha);

void FadeInWindow(HWND window, int alpha = kFadeDefaultAlpha, DWORD delay = kFadeDefaultDelay);
void FadeOutWindow(HWND window, int alpha = kFadeDefaultAlpha, DWORD delay = kFadeDefaultDelay);
