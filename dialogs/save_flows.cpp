#include "dialogs/save_flows.h"

#include "dialogs/dialog_settings.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/file_names.h"
#include "dialogs/quality_model.h"
#include "ui/ui_port.h"

namespace quillon {

namespace {

constexpr int kDefaultSaveFormat = 3;  // BMP

// TIF and GIF writers take quality 1; the other library writers 0.
int fixedQuality(int index) {
    return index == kTifFormatIndex || index == kGifFormatIndex ? 1 : 0;
}

bool write(const SaveChoice& choice, UiPort& ui, const PictureSaver& save) {
    const SaveResult result = save(choice);
    if (result == SaveResult::Failed)
        ui.message(QString::fromUtf8(dialog_text::kSaveFailed), MsgButtons::Ok, MsgIcon::Exclamation);
    return result == SaveResult::Written;
}

}  // namespace

bool runSaveAs(const SaveAsDocument& document, DialogSettings& settings, SaveDialogPort& dialogs,
               UiPort& ui, const PictureSaver& save, const SaveFormatList& formats) {
    const bool fixed = document.fixedFormatIndex >= 0;
    int startIndex = fixed ? document.fixedFormatIndex : settings.initialSaveFormat();
    // A remembered index from elsewhere may lie outside the table.
    if (startIndex < 1 || startIndex > formats.count()) startIndex = kDefaultSaveFormat;

    const QString name = document.name.isEmpty()
                             ? QString()
                             : replaceExtension(document.name, nameExtensionOf(formats, startIndex));
    SaveAsModel model(formats, startIndex, name, document.picture);
    const std::optional<QString> path = dialogs.runSaveAs(model, settings.initialSavePath());
    if (!path) return false;

    SaveChoice choice;
    choice.path = *path;
    choice.formatIndex = formats.indexOf(nameExtension(*path));
    choice.progressive = document.progressive;
    choice.gif = model.acceptedGifOptions(document.picture.gif);
    if (choice.formatIndex == 0) {
        ui.message(QString::fromUtf8(dialog_text::kWrongExtension), MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    if (choice.formatIndex == kJpgFormatIndex) {
        QualityModel quality(settings.initialSaveQuality(), document.progressive);
        if (!dialogs.runQuality(quality)) return false;
        settings.setInitialSaveQuality(quality.quality());
        choice.quality = quality.quality();
        choice.progressive = quality.progressive();
    } else {
        choice.quality = fixedQuality(choice.formatIndex);
    }

    const bool written = write(choice, ui, save);
    if (!fixed) {
        settings.setInitialSavePath(folderOfPath(choice.path));
        settings.setInitialSaveFormat(choice.formatIndex);
    }
    return written;
}

bool runDocumentSave(const QString& path, bool progressive, SaveDialogPort& dialogs, UiPort& ui,
                     const PictureSaver& save, const SaveFormatList& formats) {
    SaveChoice choice;
    choice.path = path;
    choice.progressive = progressive;
    choice.formatIndex = formats.indexOf(nameExtension(path));
    if (choice.formatIndex == kJpgFormatIndex) {
        QualityModel quality(QualityModel::kMaximum, progressive);
        if (!dialogs.runQuality(quality)) return false;
        choice.quality = quality.quality();
        choice.progressive = quality.progressive();
    } else {
        choice.quality = fixedQuality(choice.formatIndex);
    }
    if (choice.formatIndex == 0) return false;
    return write(choice, ui, save);
}

}  // namespace quillon
