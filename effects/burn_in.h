// What Commit does to the picture: a pasted picture or text burnt in, a
// selection moved or resized, a rectangle cleared to white. The pixel work
// runs at 24 bits: a picture below 24 bits goes up first and comes back to
// its depth afterwards (with an optimised palette; without one after a
// failure). Each returns false with the library's code as the last imaging
// result. The caller takes the undo snapshot first and marks the document.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"
#include "imaging/bitmap.h"

#include <QImage>

#include <optional>

namespace quillon {

// Places picture with its top-left at (left, top). Opaque: it replaces what
// is there. Transparent: its pure white pixels leave the picture unchanged.
// Into a 1-bit picture it goes reduced to black and white first.
bool pasteAt(CImageObject& image, const CImageObject& picture, int left, int top, bool transparent);

// mask: black glyphs on white, the size of the text; the glyph pixels at
// (left, top) take the colour (black or white by error diffusion on 1 bit).
bool burnInText(CImageObject& image, int left, int top, const QImage& mask, imaging::ColorRef colour);

// The pixels of from go to to, resized to its size; from becomes white first.
bool moveSelection(CImageObject& image, const Rect& from, const Rect& to);

// The area, or the whole picture, becomes white; the depth stays.
bool clearToWhite(CImageObject& image, std::optional<Rect> area);

}  // namespace quillon
