// The image information dialog (template 1250): the path (1251), size
// (1252), depth (1253) and format (1254) of the picture.
#pragma once

#include "image/picture_info.h"

#include <QDialog>

namespace quillon {

class CImageInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CImageInfoDlg(const PictureInfoTexts& texts, QWidget* parent = nullptr);
};

}  // namespace quillon
