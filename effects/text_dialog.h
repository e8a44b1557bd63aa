// The text tool's dialog 1270 "文字": the font dialog with the text edit
// 1271 and the colour list 1139 added.
#pragma once

#include "effects/floating_build.h"

#include <QFontDialog>

#include <optional>

class QComboBox;
class QLineEdit;

namespace quillon {

class TextDialog : public QFontDialog {
public:
    TextDialog(const TextSettings& initial, QWidget* parent);
    // The font, colour and text chosen (valid after OK).
    TextSettings settings() const;
    QLineEdit* textEdit() const { return m_text; }
    QComboBox* colourList() const { return m_colour; }

private:
    QLineEdit* m_text;
    QComboBox* m_colour;
};

// Runs the dialog; nothing for Cancel.
std::optional<TextSettings> runTextDialog(const TextSettings& initial, QWidget* parent);

}  // namespace quillon
