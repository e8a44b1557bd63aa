#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

namespace quillon {

QString localSocketName(const QString& name, const QString& scope) {
    QString user = scope;
    if (user.isEmpty()) user = qEnvironmentVariable("USER", QStringLiteral("user"));
    // Titles carry Japanese text; a hash keeps the socket path plain.
    const QByteArray digest =
        QCryptographicHash::hash((name + u'/' + user).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("quillon-") + QString::fromLatin1(digest);
}

SingleInstance::SingleInstance(QString scope, QObject* parent)
    : QObject(parent), m_name(localSocketName(QStringLiteral("QuillonDX"), scope)) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

bool SingleInstance::claim() {
    QLocalSocket peer;
    peer.connectToServer(m_name);
    if (peer.waitForConnected(500)) {
        peer.write("forward\n");
        peer.waitForBytesWritten(500);
        peer.disconnectFromServer();
        return false;
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // A socket left behind by a copy that crashed.
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().startsWith("forward")) emit comeForward();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return true;
}

bool captureDriverActive(const QStringList& titles, const QString& scope, int timeoutMs) {
    for (const QString& title : titles) {
        QLocalSocket peer;
        peer.connectToServer(localSocketName(title, scope));
        if (!peer.waitForConnected(timeoutMs)) continue;
        peer.write("QUILLON");
        peer.waitForBytesWritten(timeoutMs);
        QByteArray answer;
        while (answer.size() < 4 && peer.waitForReadyRead(timeoutMs)) answer += peer.readAll();
        if (answer.size() >= 4 && qFromLittleEndian<quint32>(answer.constData()) == kCaptureDriverAnswer)
            return true;
    }
    return false;
}

}  // namespace quillon
