// The Open dialog: the toolkit's own (non-native) open dialog with the
// preview check box 1053 "ﾌﾟﾚﾋﾞｭｰ(&V)" and, in area 1052, a 100 x 80
// stretched preview of the selected file. The check box state goes back to
// the settings when the dialog closes, on OK and on Cancel alike.
#pragma once

#include "dialogs/open_preview_model.h"
#include "dialogs/preview_loader.h"

#include <QFileDialog>

class QCheckBox;

namespace quillon {

class CPicturePreview;
class DialogSettings;
class UiPort;

class COpenFileDlg : public QFileDialog {
    Q_OBJECT
public:
    COpenFileDlg(const QString& initialName, DialogSettings& settings, PictureOpener open,
                 UiPort& ui, QWidget* parent = nullptr);

    void done(int result) override;
    CPicturePreview* preview() const { return m_preview; }
    QCheckBox* previewBox() const { return m_box; }

private:
    void apply(const OpenPreviewModel::Step& step);

    OpenPreviewModel m_model;
    DialogSettings& m_settings;
    PictureOpener m_open;
    UiPort& m_ui;
    QCheckBox* m_box = nullptr;
    CPicturePreview* m_preview = nullptr;
};

// Runs the Open dialog; the chosen path, or nothing for Cancel. On OK the
// caller opens the path and keeps its base name as the next initial name.
std::optional<QString> runOpenDialog(const QString& lastTitle, DialogSettings& settings,
                                     const PictureOpener& open, UiPort& ui,
                                     QWidget* parent = nullptr);

}  // namespace quillon
