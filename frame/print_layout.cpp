#include "frame/print_layout.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace quillon {

int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const uint64_t magnitude = uint64_t(product < 0 ? -product : product);
    const uint64_t divisor = uint64_t(std::llabs(int64_t(c)));
    const uint64_t quotient = (magnitude + divisor / 2) / divisor;
    if (quotient > uint64_t(INT_MAX)) return -1;
    return negative ? -int(quotient) : int(quotient);
}

PrintRect layoutPicture(int width, int height, const PageGeometry& page) {
    const int screenX = page.screenDpiX > 0 ? page.screenDpiX : kFallbackScreenDpi;
    const int screenY = page.screenDpiY > 0 ? page.screenDpiY : kFallbackScreenDpi;
    const int pw = page.pageWidth, ph = page.pageHeight;
    const int w = mulDiv(width, page.printerDpiX, screenX);
    const int h = mulDiv(height, page.printerDpiY, screenY);
    if (w >= 0 && h >= 0 && w <= pw && h <= ph) return {(pw - w) / 2, (ph - h) / 2, w, h};
    // Too large: fit the side that runs out first.
    if (mulDiv(width, 100, height) < mulDiv(pw, 100, ph)) {
        const int fitted = mulDiv(ph, width, height);
        return {(pw - fitted) / 2, 0, fitted, ph};
    }
    const int fitted = mulDiv(pw, height, width);
    return {0, (ph - fitted) / 2, pw, fitted};
}

}  // namespace quillon
