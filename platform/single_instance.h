// The single-copy check and the capture-driver check over local sockets.
//
// The first copy listens on a local server named for "QuillonDX" and the
// user; a second copy that reaches it asks it to come forward and exits.
// Capture programs of the family listen under their window titles and answer
// the query "QUILLON" with 0x12345678.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;

namespace quillon {

constexpr quint32 kCaptureDriverAnswer = 0x12345678;

// The socket name of a window class or title for this user (or for a scope
// given by tests).
QString localSocketName(const QString& name, const QString& scope);

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString scope, QObject* parent = nullptr);
    ~SingleInstance() override;
    enum class Claim {
        First,      // this copy now listens
        Second,     // another copy answered and was asked to come forward
        Unguarded,  // nobody answered, but this copy could not listen either
    };
    Claim claim();

signals:
    void comeForward();

private:
    QString m_name;
    QLocalServer* m_server = nullptr;
};

// Whether a peer listening under one of the titles answers the query with
// kCaptureDriverAnswer.
bool captureDriverActive(const QStringList& titles, const QString& scope, int timeoutMs = 1000);

}  // namespace quillon
