// The Save As and Save flows of a document, apart from the widgets: which
// format the dialog starts with, the quality for each format, the checks on
// the chosen name, what is remembered afterwards, and the message when the
// write fails. The dialogs come through SaveDialogPort, the write through a
// PictureSaver, messages through the UI port.
#pragma once

#include "dialogs/save_as_model.h"

#include <QString>

#include <functional>
#include <optional>

namespace quillon {

class DialogSettings;
class QualityModel;
class UiPort;

class SaveDialogPort {
public:
    virtual ~SaveDialogPort() = default;
    // The Save As dialog over the model, opening in folder when the model's
    // name holds none (empty: the dialog's own choice). The chosen path, or
    // nothing for Cancel.
    virtual std::optional<QString> runSaveAs(SaveAsModel& model, const QString& folder) = 0;
    // The quality dialog; false for Cancel.
    virtual bool runQuality(QualityModel& model) = 0;
};

// One save the user asked for.
struct SaveChoice {
    QString path;
    int formatIndex = 0;  // 1 to 20
    int quality = 0;
    bool progressive = false;
    std::optional<GifOptions> gif;  // from Save As: the options to keep with the picture
};

enum class SaveResult {
    Written,
    Refused,  // the saver said why (a format the picture cannot be saved in)
    Failed,   // the write failed; the old file is still there
};
using PictureSaver = std::function<SaveResult(const SaveChoice&)>;

struct SaveAsDocument {
    QString name;                // the document's path, or its title when it has none
    int fixedFormatIndex = -1;   // 0 or more: Save As uses it and remembers nothing
    SavePictureFacts picture;
    bool progressive = false;    // the picture's progressive flag
};

// "名前を付けて保存". True when the picture was written.
bool runSaveAs(const SaveAsDocument& document, DialogSettings& settings, SaveDialogPort& dialogs,
               UiPort& ui, const PictureSaver& save,
               const SaveFormatList& formats = saveFormatList());

// "上書き保存" of a document that has a path. True when the picture was
// written; a name whose extension is not a save format saves nothing.
bool runDocumentSave(const QString& path, bool progressive, SaveDialogPort& dialogs, UiPort& ui,
                     const PictureSaver& save, const SaveFormatList& formats = saveFormatList());

}  // namespace quillon
