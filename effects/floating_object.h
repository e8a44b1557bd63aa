// What floats over the picture in the paste, text and selection states: the
// picture drawn inside the tracker's rectangle (already masked: transparent
// where the mask is white) and what Commit needs to burn it in.
#pragma once

#include "image/image_object.h"
#include "imaging/bitmap.h"

#include <QImage>

#include <memory>

namespace quillon {

struct FloatingObject {
    // The floating bitmap in the screen's form; pixels the mask makes
    // transparent have alpha 0. Null for a selection that was not lifted.
    QImage shown;
    int width = 0;
    int height = 0;

    // Paste: the stored clipboard copy that Commit burns in.
    std::shared_ptr<const CImageObject> pasteSource;
    bool transparent = false;

    // Text: the glyph mask (black text on white, 1 bit) and the colour.
    QImage textMask;
    imaging::ColorRef textColour = 0;

    bool empty() const { return shown.isNull() && !pasteSource && textMask.isNull(); }
};

}  // namespace quillon
