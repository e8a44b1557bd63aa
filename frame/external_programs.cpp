#include "frame/external_programs.h"

#include <QProcess>

namespace quillon {

QStringList externalCommandLine(const QString& setting, const QStringList& files) {
    QStringList command = QProcess::splitCommand(setting);
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
