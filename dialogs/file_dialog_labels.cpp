#include "dialogs/file_dialog_labels.h"

#include "dialogs/dialog_texts.h"

#include <QFileDialog>

namespace quillon {

void setFileDialogLabels(QFileDialog& dialog, const char* accept) {
    dialog.setLabelText(QFileDialog::LookIn, QString::fromUtf8(dialog_text::kLookIn));
    dialog.setLabelText(QFileDialog::FileName, QString::fromUtf8(dialog_text::kFileName));
    dialog.setLabelText(QFileDialog::FileType, QString::fromUtf8(dialog_text::kFileType));
    dialog.setLabelText(QFileDialog::Accept, QString::fromUtf8(accept));
    dialog.setLabelText(QFileDialog::Reject, QString::fromUtf8(dialog_text::kCancel));
}

}  // namespace quillon
