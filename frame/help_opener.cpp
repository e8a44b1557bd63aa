#include "frame/help_opener.h"

#include "ui/ui_port.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace quillon {

QString helpContentsPath(const QString& programDir) {
    const QDir dir(programDir);
    for (const QString& candidate : {QStringLiteral("help/ja/index.html"),
                                     QStringLiteral("../share/doc/quillon/help/ja/index.html")}) {
        const QFileInfo page(dir.filePath(candidate));
        if (page.isFile()) return page.canonicalFilePath();
    }
    return {};
}

void openHelpContents(UiPort& ui, const QString& programDir) {
    const QString page =
        helpContentsPath(programDir.isEmpty() ? QCoreApplication::applicationDirPath() : programDir);
    if (page.isEmpty()) {
        ui.message(QString::fromUtf8("ﾍﾙﾌﾟﾌｧｲﾙが見つかりません。"), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

}  // namespace quillon
