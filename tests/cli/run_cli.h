// quillon-cli run as a shell user runs it: its exit status (-1 when it did
// not end by itself), what it printed and its messages.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quillon::test {

struct CliOutcome {
    int status = -1;
    QString out, err;
};

inline CliOutcome runCli(const QStringList& arguments,
                         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                         int timeoutMs = 60000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QUILLON_CLI, arguments);
    process.waitForFinished(timeoutMs);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace quillon::test
