// An Xvfb of the test process's own, on a display number it chooses itself
// (-displayfd), so tests running in parallel never meet on one display.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace quillon::test {

class Xvfb {
public:
    ~Xvfb() { stop(); }

    // Starts a server with one screen such as "640x480x24"; the display
    // (":N"), or empty when Xvfb is missing or did not come up.
    QString start(const QString& screen) {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty()) return {};
        m_server.start("Xvfb", {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"});
        if (!m_server.waitForStarted(10000)) return {};
        QByteArray number;
        QElapsedTimer clock;
        clock.start();
        while (!number.contains('\n') && clock.elapsed() < 20000) {
            m_server.waitForReadyRead(500);
            number += m_server.readAllStandardOutput();
        }
        if (!number.contains('\n')) return {};
        return ":" + QString::fromLatin1(number.trimmed());
    }
    void stop() {
        if (m_server.state() == QProcess::NotRunning) return;
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

private:
    QProcess m_server;
};

}  // namespace quillon::test
