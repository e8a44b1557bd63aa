// The toolbar's 16 x 16 button pictures, drawn by the program itself.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillon {

// The button picture of a toolbar command; a null pixmap for other ids.
QPixmap toolbarPixmap(int commandId);
QIcon toolbarIcon(int commandId);
// The program icon (resource 2), drawn at the given size.
QIcon programIcon();

}  // namespace quillon
