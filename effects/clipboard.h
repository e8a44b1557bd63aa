// Pictures on the system clipboard. Ours travel as image/bmp (a file header
// and our packed DIB, which keeps depth, palette and resolution) beside a
// plain image for other programs. Reading takes our DIB when it is there,
// else any picture another program offers.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QMimeData;

namespace quillon {

// The clipboard data for a copy; null when the picture cannot be made.
std::unique_ptr<QMimeData> clipboardDataOf(const CImageObject& picture, std::optional<Rect> area);
// Puts the area on the clipboard; false when the data could not be made.
bool copyToClipboard(const CImageObject& picture, std::optional<Rect> area);

// Whether the clipboard offers a picture.
bool clipboardOffersPicture();
// The clipboard's picture; null when it offers none.
std::shared_ptr<CImageObject> pictureOfMimeData(const QMimeData* data);
std::shared_ptr<CImageObject> clipboardPicture();

}  // namespace quillon
