// The document's own small dialogs: New Image (1360), zoom (1240) and image
// information (1250). Controls carry their resource ids as object names.
#pragma once

#include "image/picture_info.h"

#include <QDialog>
#include <QString>

#include <optional>

class QSpinBox;
class QRadioButton;

namespace quillon {

struct NewImageChoice {
    int width = 640;
    int height = 480;
    int bits = 24;
};

// Radio buttons 1041 to 1045 stand for 1, 4, 8, 16 and 24 bits.
int bitsOfDepthButton(int controlId);

class NewImageDialog : public QDialog {
public:
    explicit NewImageDialog(QWidget* parent);
    NewImageChoice choice() const;

private:
    QSpinBox* m_width;
    QSpinBox* m_height;
    QRadioButton* m_depth[5];
};

class ZoomDialog : public QDialog {
public:
    ZoomDialog(int zoom, QWidget* parent);
    int zoom() const;

private:
    QSpinBox* m_zoom;
};

}  // namespace quillon
