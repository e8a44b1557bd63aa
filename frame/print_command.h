// Print (57607): the print dialog, then the picture on one page of the
// chosen printer through CUPS, with the progress window up meanwhile.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace quillon {

class CImageObject;
class CPrintFileDlg;
class UiPort;

// How the dialog is run; by default modally. Tests drive it themselves.
using PrintDialogRunner = std::function<void(CPrintFileDlg&)>;

// 1 when printing ran or the dialog was cancelled, 0 when there was no
// memory for the black-and-white copy.
int printPicture(const CImageObject& picture, const QString& title, const QString& path, UiPort& ui,
                 QWidget* parent, const PrintDialogRunner& runDialog = {});

}  // namespace quillon
