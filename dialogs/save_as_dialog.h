// The Save As dialog: the toolkit's own (non-native) save dialog with the
// GIF controls added below it: "ｲﾝﾀｰﾚｰｽ(&I)" (1082), "透明GIF(&G)" (1083)
// and the transparent-colour swatch (1085). A click on the swatch lets the
// user pick the transparent colour from the active view.
#pragma once

#include "dialogs/save_as_model.h"
#include "dialogs/transparent_pick.h"

#include <QCursor>
#include <QFileDialog>
#include <QPointer>

#include <memory>
#include <optional>

class QCheckBox;
class QLineEdit;

namespace quillon {

class CColourSwatch;
class ModalInputGate;
class UiPort;

// Where a pick happens: the active view's picture widget and the cursor it
// shows while the dialog picks. Without a view the swatch cannot pick.
struct PickSetup {
    QPointer<QWidget> view;
    QCursor cursor = QCursor(Qt::CrossCursor);
};

class CSaveAsDlg : public QFileDialog, public TransparentPick {
    Q_OBJECT
public:
    CSaveAsDlg(SaveAsModel& model, const QString& folder, const PickSetup& pick, UiPort& ui,
               QWidget* parent = nullptr);
    ~CSaveAsDlg() override;

    // Runs until OK or Cancel, holding off the program's other windows; the
    // chosen path, or nothing.
    std::optional<QString> run();

    void pickedInView(int pixelIndex) override;
    void reject() override;
    void done(int result) override;

    const SaveAsModel& model() const { return m_model; }
    QLineEdit* fileNameEdit() const;

private:
    void addGifControls();
    void typeChosen(int formatIndex);
    void swatchClicked();
    void endPick();
    void syncControls();

    SaveAsModel& m_model;
    PickSetup m_pick;
    UiPort& m_ui;
    QCheckBox* m_interlace = nullptr;
    QCheckBox* m_transparent = nullptr;
    CColourSwatch* m_swatch = nullptr;
    std::unique_ptr<ModalInputGate> m_gate;
};

}  // namespace quillon
