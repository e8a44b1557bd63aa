// The labels of the toolkit's file dialog in the program's language.
#pragma once

class QFileDialog;

namespace quillon {

// accept is the text of the dialog's OK button.
void setFileDialogLabels(QFileDialog& dialog, const char* accept);

}  // namespace quillon
