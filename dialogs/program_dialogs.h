// The dialogs in the form the program's commands ask for them: a Save As
// chooser that binds the picture's GIF options and can pick the transparent
// colour from a view, and the JPEG quality chooser.
#pragma once

#include "dialogs/save_as_model.h"

#include <QString>

#include <optional>

class QWidget;

namespace quillon {

class CImageObject;
class UiPort;

// Depth, palette and GIF options of a picture, for the Save As dialog.
SavePictureFacts savePictureFacts(const CImageObject& picture);

// Runs the Save As dialog with the file type of suggested's extension (BMP
// when it has none in the table), in folder when suggested names none. On OK
// the dialog's interlace and transparency go into the picture's GIF options
// and the chosen path comes back. pickView is the view whose clicks pick the
// transparent colour.
std::optional<QString> chooseSaveAsPath(const QString& suggested, const QString& folder,
                                        CImageObject& picture, QWidget* pickView, UiPort& ui,
                                        QWidget* parent);

struct QualityChoice {
    int quality = 100;
    bool progressive = false;
};
// The quality dialog (template 1030); nothing for Cancel.
std::optional<QualityChoice> chooseJpegQuality(QualityChoice start, UiPort& ui, QWidget* parent);

}  // namespace quillon
