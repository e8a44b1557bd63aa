// Loading the Open dialog's preview picture.
#pragma once

#include <QString>

#include <functional>

namespace quillon {

class CImageObject;
class UiPort;

// Opens a picture file into an image object (the program passes its Open).
using PictureOpener = std::function<bool(CImageObject&, const QString&)>;

// Releases the preview's old picture and opens path into it. A file that
// cannot be read only beeps and leaves no imaging error behind, so that no
// message about it turns up later; a folder is skipped without a beep.
bool loadPreview(CImageObject& preview, const QString& path, const PictureOpener& open,
                 UiPort& ui);

}  // namespace quillon
