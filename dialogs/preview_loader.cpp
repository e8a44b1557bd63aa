#include "dialogs/preview_loader.h"

#include "image/image_object.h"
#include "image/last_result.h"
#include "ui/ui_port.h"

#include <QFile>
#include <QFileInfo>

namespace quillon {

bool loadPreview(CImageObject& preview, const QString& path, const PictureOpener& open,
                 UiPort& ui) {
    preview.release();
    if (QFileInfo(path).isDir()) return false;
    QFile file(path);
    const bool readable = file.open(QIODevice::ReadOnly);
    file.close();
    if (readable && open && open(preview, path)) return true;
    preview.release();
    ui.beep();
    setLastImagingResult(1);
    return false;
}

}  // namespace quillon
