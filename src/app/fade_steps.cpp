#include "app/fade_steps.h"

#include <algorithm>

namespace {

int ClampAlpha(int alpha) {
    return std::clamp(alpha, 0, 255);
}

}  // namespace

std::vector<uint8_t> FadeInSteps(int targetAlpha) {
    std::vector<uint8_t> steps;
    for (int alpha = 1; alpha <= ClampAlpha(targetAlpha); ++alpha) {
        steps.push_back(static_cast<uint8_t>(alpha));
    }
    return steps;
}

std::vector<uint8_t> FadeOutSteps(int targetAlpha) {
    std::vector<uint8_t> steps;
    for (int alpha = ClampAlpha(targetAlpha) - 1; alpha >= 0; --alpha) {
        steps.push_back(static_cast<uint8_t>(alpha));
    }
    return steps;
}
