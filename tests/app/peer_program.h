// A capture program of the family for tests, in a thread of its own.
#pragma once

#include "platform/single_instance.h"

#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <atomic>
#include <memory>
#include <thread>

namespace quillon::test {

// A capture program of the family in a thread of its own, listening under a
// title and answering every query with the given value.
class PeerProgram {
public:
    PeerProgram(const QString& title, const QString& scope, quint32 answer) {
        m_thread.reset(QThread::create([=, this] {
            QLocalServer server;
            QLocalServer::removeServer(localSocketName(title, scope));
            m_listening = server.listen(localSocketName(title, scope));
            QEventLoop loop;
            QObject::connect(&server, &QLocalServer::newConnection, &server, [&] {
                QLocalSocket* s = server.nextPendingConnection();
                QObject::connect(s, &QLocalSocket::readyRead, s, [s, answer] {
                    if (!s->readAll().startsWith("QUILLON")) return;
                    char bytes[4];
                    qToLittleEndian(answer, bytes);
                    s->write(bytes, 4);
                    s->flush();
                });
            });
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                if (m_stop) loop.quit();
            });
            poll.start(10);
            m_ready = true;
            loop.exec();
        }));
        m_thread->start();
        while (!m_ready) std::this_thread::yield();
    }
    ~PeerProgram() {
        m_stop = true;
        m_thread->wait();
    }
    bool listening() const { return m_listening; }

private:
    std::unique_ptr<QThread> m_thread;  // socket notifiers need a QThread
    std::atomic<bool> m_ready{false}, m_stop{false}, m_listening{false};
};

}  // namespace quillon::test
