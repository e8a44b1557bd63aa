// Small picture files for the dialog tests.
#pragma once

#include "imaging/file_io.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"

#include <QString>

namespace dialogs_test {

// An 8-bit picture whose pixel (x, y) has index (x + 2 * y) % 256 and whose
// palette entry i is (i, 255 - i, 40).
inline imaging::Bitmap indexedPicture(int width, int height) {
    imaging::Bitmap b;
    imaging::initialize(b, width, height, 8);
    imaging::allocate(b);
    b.paletteCount = 256;
    for (int i = 0; i < 256; ++i) b.palette[i] = imaging::RgbQuad{40, uint8_t(255 - i), uint8_t(i), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) imaging::setIndexAt(b.storedRow(y), x, 8, (x + 2 * y) % 256);
    return b;
}

inline bool writeBmp(const QString& path, const imaging::Bitmap& picture) {
    return imaging::save(path.toStdString(), picture, 6) == imaging::kSuccess;
}

}  // namespace dialogs_test
