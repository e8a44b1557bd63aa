// Operation 19: the picture taken from the screen.
#include "image/image_object.h"

#include "image/last_result.h"
#include "imaging/imaging.h"

#include <QImage>

#include <algorithm>
#include <cstring>

namespace quillon {

bool CImageObject::fromScreenArea(const QImage& area, int screenDepth, bool redraw) {
    release();
    if (area.isNull()) {
        setLastImagingResult(imaging::kErrBadParameter);
        return false;
    }
    // 15- and 16-bit screens keep their words: the rows copy as they are.
    if (screenDepth == 15 || screenDepth == 16) {
        const QImage words = area.convertToFormat(screenDepth == 15 ? QImage::Format_RGB555 : QImage::Format_RGB16);
        imaging::Bitmap picture;
        imaging::initialize(picture, words.width(), words.height(), screenDepth);
        const int result = imaging::allocate(picture);
        setLastImagingResult(result);
        if (result != imaging::kSuccess) return false;
        const size_t bytes = std::min<size_t>(size_t(words.bytesPerLine()), size_t(picture.bytesPerLine));
        for (int y = 0; y < words.height(); ++y) std::memcpy(picture.storedRow(y), words.constScanLine(y), bytes);
        return adoptBitmap(std::move(picture), true, redraw);
    }
    if (screenDepth <= 8) return fromDeviceImage(area.convertToFormat(QImage::Format_Indexed8), true, redraw);
    return fromDeviceImage(area, true, redraw);
}

}  // namespace quillon
