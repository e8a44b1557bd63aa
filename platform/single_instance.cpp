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

namespace {

// Asks a copy listening under name to come forward; false when none answers.
bool askToComeForward(const QString& name) {
    QLocalSocket peer;
    peer.connectToServer(name);
    if (!peer.waitForConnected(500)) return false;
    peer.write("forward\n");
    peer.waitForBytesWritten(500);
    peer.disconnectFromServer();
    return true;
}

}  // namespace

SingleInstance::Claim SingleInstance::claim() {
    if (askToComeForward(m_name)) return Claim::Second;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Another copy may have started listening since we asked; only a
        // socket nobody answers on is one left behind by a copy that crashed.
        if (askToComeForward(m_name)) {
            delete m_server;
            m_server = nullptr;
            return Claim::Second;
        }
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) {
            delete m_server;
            m_server = nullptr;
            return Claim::Unguarded;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().startsWith("forward")) emit comeForward();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    return Claim::First;
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
