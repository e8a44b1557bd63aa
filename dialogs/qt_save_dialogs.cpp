#include "dialogs/qt_save_dialogs.h"

#include "dialogs/quality_dialog.h"

namespace quillon {

std::optional<QString> QtSaveDialogPort::runSaveAs(SaveAsModel& model, const QString& folder) {
    CSaveAsDlg dialog(model, folder, m_pick, m_ui, m_parent);
    return dialog.run();
}

bool QtSaveDialogPort::runQuality(QualityModel& model) {
    CQualityDlg dialog(model, m_ui, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quillon
