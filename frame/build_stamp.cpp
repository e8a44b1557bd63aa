// The build's date and time, kept in a file of its own so that only this
// file carries them.
#include "frame/about_dlg.h"

namespace quillon {

QString buildStamp() {
    return QStringLiteral("DATE : ") + QLatin1String(__DATE__) + QStringLiteral(" TIME : ") +
           QLatin1String(__TIME__);
}

}  // namespace quillon
