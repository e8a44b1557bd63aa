// A screenshot portal for tests, on the session bus it is started on:
//   fake_screenshot_portal file PICTURE   answers every request with PICTURE
//   fake_screenshot_portal refuse         answers every request as refused
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>
#include <QUrl>

class ScreenshotPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    explicit ScreenshotPortal(QString picture) : m_picture(std::move(picture)) {}

public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options, const QDBusMessage& call) {
        QString sender = call.service().mid(1);
        sender.replace(u'.', u'_');
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        // The answer comes after the reply, as a desktop's does once the user chose.
        QTimer::singleShot(50, this, [this, path] {
            QDBusMessage response =
                QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            QVariantMap results;
            if (!m_picture.isEmpty()) results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(m_picture).toString());
            response << uint(m_picture.isEmpty() ? 1 : 0) << results;
            QDBusConnection::sessionBus().send(response);
        });
        return QDBusObjectPath(path);
    }

private:
    QString m_picture;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    ScreenshotPortal portal(args.value(1) == QStringLiteral("file") ? args.value(2) : QString());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal, QDBusConnection::ExportAllSlots))
        return 1;
    if (!bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) return 1;
    return app.exec();
}

#include "fake_screenshot_portal.moc"
