#include "frame/external_programs.h"

#include <QFileInfo>
#include <QProcess>

namespace quillon {

QStringList externalCommandLine(const QString& setting, const QStringList& files) {
    // A browsed path names the program whole, blanks and all.
    QStringList command =
        QFileInfo(setting).isFile() ? QStringList{setting} : QProcess::splitCommand(setting);
    if (command.isEmpty()) return {};
    return command + files;
}

bool startExternalProgram(const QString& setting, const QStringList& files) {
    QStringList command = externalCommandLine(setting, files);
    if (command.isEmpty()) return false;
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command);
}

}  // namespace quillon
