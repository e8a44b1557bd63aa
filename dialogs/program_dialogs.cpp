#include "dialogs/program_dialogs.h"

#include "dialogs/file_names.h"
#include "dialogs/quality_dialog.h"
#include "dialogs/save_as_dialog.h"
#include "image/image_object.h"

namespace quillon {

SavePictureFacts savePictureFacts(const CImageObject& picture) {
    SavePictureFacts facts;
    facts.bitsPerPixel = picture.bitsPerPixel();
    if (const std::optional<PaintPalette> palette = picture.copyPalette()) facts.palette = *palette;
    facts.gif = picture.gifOptions;
    return facts;
}

std::optional<QString> chooseSaveAsPath(const QString& suggested, const QString& folder,
                                        CImageObject& picture, QWidget* pickView, UiPort& ui,
                                        QWidget* parent) {
    const SaveFormatList& formats = saveFormatList();
    int index = formats.indexOf(nameExtension(suggested));
    if (index == 0) index = 3;
    SaveAsModel model(formats, index, suggested, savePictureFacts(picture));
    CSaveAsDlg dialog(model, folder, PickSetup{pickView}, ui, parent);
    const std::optional<QString> path = dialog.run();
    if (path) picture.gifOptions = model.acceptedGifOptions(picture.gifOptions);
    return path;
}

std::optional<QualityChoice> chooseJpegQuality(QualityChoice start, UiPort& ui, QWidget* parent) {
    QualityModel model(start.quality, start.progressive);
    CQualityDlg dialog(model, ui, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return QualityChoice{model.quality(), model.progressive()};
}

}  // namespace quillon
