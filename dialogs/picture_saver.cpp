#include "dialogs/picture_saver.h"

#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "ui/ui_port.h"

#include <QApplication>

namespace quillon {

SaveResult saveDocumentPicture(CImageObject& picture, const SaveChoice& choice, UiPort& ui) {
    if (const std::optional<QString> refusal =
            saveRefusal(choice.formatIndex, picture.bitsPerPixel())) {
        ui.message(*refusal, MsgButtons::Ok, MsgIcon::Information);
        return SaveResult::Refused;
    }
    if (choice.gif) picture.gifOptions = *choice.gif;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = savePictureOfView(picture, choice.path, choice.formatIndex,
                                           choice.quality, choice.progressive, &ui);
    QApplication::restoreOverrideCursor();
    return written ? SaveResult::Written : SaveResult::Failed;
}

PictureSaver pictureSaverFor(CImageObject& picture, UiPort& ui) {
    return [&picture, &ui](const SaveChoice& choice) {
        return saveDocumentPicture(picture, choice, ui);
    };
}

}  // namespace quillon
