#include "frame/printer_colour.h"

#include "frame/colour_matching.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <cups/cups.h>
#include <cups/ppd.h>

namespace quillon {
namespace {

std::optional<PrinterProfile> profileFromFile(const QString& path, int intent) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    PrinterProfile profile{path, file.readAll(), intent};
    if (!usablePrinterProfile(profile.bytes)) return std::nullopt;
    return profile;
}

// colord keeps CUPS printers as devices "cups-NAME".
std::optional<PrinterProfile> colordProfile(const QString& printer) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return std::nullopt;
    const QString service = QStringLiteral("org.freedesktop.ColorManager");
    QDBusInterface manager(service, QStringLiteral("/org/freedesktop/ColorManager"), service, bus);
    if (!manager.isValid()) return std::nullopt;
    manager.setTimeout(2000);
    const QDBusReply<QDBusObjectPath> device = manager.call(QStringLiteral("FindDeviceById"), "cups-" + printer);
    if (!device.isValid()) return std::nullopt;
    QDBusInterface deviceIf(service, device.value().path(), service + QStringLiteral(".Device"), bus);
    deviceIf.setTimeout(2000);
    const QDBusReply<QDBusObjectPath> profile =
        deviceIf.call(QStringLiteral("GetProfileForQualifiers"), QStringList{QStringLiteral("*")});
    if (!profile.isValid()) return std::nullopt;
    QDBusInterface profileIf(service, profile.value().path(), service + QStringLiteral(".Profile"), bus);
    const QString filename = profileIf.property("Filename").toString();
    return filename.isEmpty() ? std::nullopt : profileFromFile(filename, 0);
}

int intentOfPpd(const QString& value) {
    if (value.startsWith(QLatin1String("Saturation"))) return kFavourSaturation;
    if (value.startsWith(QLatin1String("Perceptual"))) return kFavourContrast;
    if (value.startsWith(QLatin1String("Relative"))) return kFavourExactColours;
    return 0;
}

// What the printer's PPD says about colour and resolution.
struct PpdFacts {
    QString profile;  // "*cupsICCProfile Qualifiers/Text: "file""
    int intent = 0;   // "*cupsRenderingIntent: ..."
    int dpi = 0;      // "*DefaultResolution: 300dpi" (or "300x600dpi": the first)
};

std::optional<PpdFacts> readPpd(const QString& printer) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const char* fetched = cupsGetPPD2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData());
#pragma GCC diagnostic pop
    if (!fetched) return std::nullopt;
    const QString ppdPath = QString::fromLocal8Bit(fetched);
    QFile ppd(ppdPath);
    PpdFacts facts;
    if (ppd.open(QIODevice::ReadOnly)) {
        static const QRegularExpression profileLine(QStringLiteral("^\\*cupsICCProfile[^:]*:\\s*\"([^\"]+)\""));
        static const QRegularExpression intentLine(QStringLiteral("^\\*cupsRenderingIntent:\\s*(\\S+)"));
        static const QRegularExpression dpiLine(QStringLiteral("^\\*DefaultResolution:\\s*(\\d+)"));
        while (!ppd.atEnd()) {
            const QString line = QString::fromLatin1(ppd.readLine()).trimmed();
            if (const auto m = profileLine.match(line); m.hasMatch() && facts.profile.isEmpty())
                facts.profile = m.captured(1);
            else if (const auto i = intentLine.match(line); i.hasMatch())
                facts.intent = intentOfPpd(i.captured(1));
            else if (const auto d = dpiLine.match(line); d.hasMatch())
                facts.dpi = d.captured(1).toInt();
        }
        ppd.close();
    }
    QFile::remove(ppdPath);
    return facts;
}

// The PPD's profile: an absolute file, or one in CUPS's profile folder.
std::optional<PrinterProfile> ppdProfile(const QString& printer) {
    const std::optional<PpdFacts> facts = readPpd(printer);
    if (!facts || facts->profile.isEmpty()) return std::nullopt;
    QString profileName = facts->profile;
    if (QFileInfo(profileName).isRelative()) {
        const QByteArray dataDir = qgetenv("CUPS_DATADIR");
        profileName = QString::fromLocal8Bit(dataDir.isEmpty() ? QByteArray("/usr/share/cups") : dataDir) +
                      QStringLiteral("/profiles/") + profileName;
    }
    return profileFromFile(profileName, facts->intent);
}

}  // namespace

std::optional<PrinterProfile> findPrinterProfile(const QString& printerName) {
    if (printerName.isEmpty()) return std::nullopt;
    if (auto profile = colordProfile(printerName)) return profile;
    return ppdProfile(printerName);
}

std::optional<int> printerDefaultDpi(const QString& printerName) {
    const std::optional<PpdFacts> facts = readPpd(printerName);
    if (!facts || facts->dpi <= 0) return std::nullopt;
    return facts->dpi;
}

bool printerBlackOnly(const QString& printerName) {
    const QList<QPrinter::ColorMode> modes = QPrinterInfo::printerInfo(printerName).supportedColorModes();
    return !modes.isEmpty() && !modes.contains(QPrinter::Color);
}

bool printerPrintsColour(const QString& printerName) {
    return QPrinterInfo::printerInfo(printerName).supportedColorModes().contains(QPrinter::Color);
}

}  // namespace quillon
