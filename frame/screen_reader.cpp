#include "frame/screen_reader.h"

#include "ui/progress_window.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QUrl>
#include <QUuid>

namespace quillon {
namespace {

constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

// Receives the portal request's one Response signal.
class PortalResponse : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint code = 2;
    QVariantMap results;

public slots:
    void response(uint responseCode, const QVariantMap& responseResults) {
        answered = true;
        code = responseCode;
        results = responseResults;
    }
};

}  // namespace

std::optional<ScreenPicture> readScreenThroughPortal() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return std::nullopt;
    // The request's path is known before the call, so the answer cannot be
    // missed: .../request/SENDER/TOKEN, the sender without ':' and with '_' for '.'.
    const QString token = QStringLiteral("quillon") + QUuid::createUuid().toString(QUuid::Id128);
    QString sender = bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    const QString requestPath = QStringLiteral("%1/request/%2/%3").arg(kPortalPath, sender, token);
    PortalResponse answer;
    if (!bus.connect(kPortalService, requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                     QStringLiteral("Response"), &answer, SLOT(response(uint, QVariantMap))))
        return std::nullopt;
    QDBusInterface portal(kPortalService, kPortalPath, QStringLiteral("org.freedesktop.portal.Screenshot"), bus);
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("interactive"), false},
                              {QStringLiteral("modal"), true}};
    const QDBusReply<QDBusObjectPath> reply = portal.call(QStringLiteral("Screenshot"), QString(), options);
    if (!reply.isValid()) return std::nullopt;
    // The desktop shows its consent prompt; the rest of the program stays alive.
    while (!answer.answered && pumpMessages())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    bus.disconnect(kPortalService, requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                   QStringLiteral("Response"), &answer, SLOT(response(uint, QVariantMap)));
    if (!answer.answered || answer.code != 0) return std::nullopt;
    const QUrl uri(answer.results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile()) return std::nullopt;
    ScreenPicture picture;
    picture.image = QImage(uri.toLocalFile());
    if (picture.image.isNull()) return std::nullopt;
    const QScreen* screen = QGuiApplication::primaryScreen();
    picture.depth = screen ? screen->depth() : 24;
    return picture;
}

std::optional<ScreenPicture> readWholeScreen() {
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) return readScreenThroughPortal();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return std::nullopt;
    const QPixmap grabbed = screen->grabWindow(0);
    if (grabbed.isNull()) return std::nullopt;
    return ScreenPicture{grabbed.toImage(), screen->depth()};
}

}  // namespace quillon

#include "screen_reader.moc"
