#pragma once

// The opacity values a fade walks through, one alpha unit per step. Pure: no platform here.

#include <cstdint>
#include <vector>

// 1, 2, ..., target: the steps after the window was shown at opacity 0.
std::vector<uint8_t> FadeInSteps(int targetAlpha);
// target-1, ..., 1, 0: the steps of a fade-out, whatever the window showed before.
std::vector<uint8_t> FadeOutSteps(int targetAlpha);
