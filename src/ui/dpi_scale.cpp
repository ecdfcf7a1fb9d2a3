#include "ui/dpi_scale.h"

int ScaleForDpi(int pixelsAt96, int dpi) {
    if (dpi <= 0) {
        return pixelsAt96;
    }
    const long long scaled = static_cast<long long>(pixelsAt96) * dpi;
    return static_cast<int>((scaled + kBaseDpi / 2) / kBaseDpi);
}
