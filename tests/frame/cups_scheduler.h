// A CUPS scheduler of the test's own: its configuration, spool and socket in
// a temporary folder, queues whose device is a file there.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

namespace frame_test {

class CupsScheduler {
public:
    ~CupsScheduler() { stop(); }

    // Starts cupsd; false with the reason when it cannot run here.
    bool start(QString& why) {
        if (!QFileInfo(QStringLiteral("/usr/sbin/cupsd")).isExecutable()) {
            why = QStringLiteral("cupsd is not installed");
            return false;
        }
        if (!m_dir.isValid()) {
            why = QStringLiteral("no temporary folder");
            return false;
        }
        const QDir d(m_dir.path());
        for (const char* sub : {"root", "spool", "tmp", "cache", "state", "log", "out"}) d.mkpath(sub);
        // The scheduler's own user writes the spool and the device files.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                QFile::ExeOther);
        for (const char* sub : {"tmp", "out"})
            QFile::setPermissions(d.filePath(sub), QFile::Permissions(0x7777));
        const bool root = geteuid() == 0;
        write("root/cups-files.conf",
              "ServerRoot " + path("root") + "\nRequestRoot " + path("spool") + "\nTempDir " + path("tmp") +
                  "\nCacheDir " + path("cache") + "\nStateDir " + path("state") +
                  "\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\nAccessLog " + path("log/access_log") +
                  "\nErrorLog " + path("log/error_log") + "\nPageLog " + path("log/page_log") +
                  "\nPrintcap " + path("printcap") + "\nFileDevice Yes\n" +
                  (root ? "User lp\nGroup lp\nSystemGroup root\n" : ""));
        write("root/cupsd.conf",
              "LogLevel debug\nListen " + socket() +
                  "\nBrowsing No\nWebInterface No\nDefaultAuthType None\nMaxRequestSize " + m_maxRequest +
                  "\n<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
        m_cupsd.setProgram(QStringLiteral("/usr/sbin/cupsd"));
        m_cupsd.setArguments({"-f", "-c", path("root/cupsd.conf"), "-s", path("root/cups-files.conf")});
        m_cupsd.setWorkingDirectory(m_dir.path());
        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        m_cupsd.start();
        if (!m_cupsd.waitForStarted(10000)) {
            why = QStringLiteral("cupsd does not start: ") + m_cupsd.errorString();
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(socket())) {
            if (m_cupsd.state() != QProcess::Running || clock.elapsed() > 20000) {
                why = QStringLiteral("cupsd did not open its socket: ") +
                      QString::fromLocal8Bit(m_cupsd.readAll()) + log();
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    void setMaxRequestSize(const QString& size) { m_maxRequest = size; }

    void stop() {
        if (m_cupsd.state() == QProcess::NotRunning) return;
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(10000)) m_cupsd.kill();
        m_cupsd.waitForFinished(5000);
    }

    QString socket() const { return path("cups.sock"); }
    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QString deviceFile(const QString& queue) const { return path("out/" + queue + ".prn"); }
    QString log() const {
        QFile f(path("log/error_log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll().right(4000)) : QString();
    }

    // A queue printing to deviceFile(name) with that PPD.
    bool addQueue(const QString& name, const QByteArray& ppd) {
        write("ppd-" + name + ".ppd", ppd);
        return admin("lpadmin", {"-p", name, "-v", "file://" + deviceFile(name), "-P", path("ppd-" + name + ".ppd"),
                                 "-E"});
    }
    bool admin(const QString& program, const QStringList& arguments) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), socket());
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

private:
    void write(const QString& name, const QByteArray& text) {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) f.write(text);
    }
    void write(const QString& name, const QString& text) { write(name, text.toUtf8()); }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/quillon-cups-XXXXXX")};
    QProcess m_cupsd;
    QString m_maxRequest = QStringLiteral("0");
};

// A PPD for a test printer: colour or black only, with a colour profile
// file or none. Jobs reach the device file as the PDF they are.
inline QByteArray testPpd(bool colour, const QString& profile = QString()) {
    QByteArray ppd =
        "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
        "*LanguageEncoding: ISOLatin1\n*PCFileName: \"QTEST.PPD\"\n*Manufacturer: \"Quillon\"\n"
        "*Product: \"(Test)\"\n*ModelName: \"Quillon Test\"\n*ShortNickName: \"Quillon Test\"\n"
        "*NickName: \"Quillon Test\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
        "*FileSystem: False\n*Throughput: \"1\"\n*cupsVersion: 2.4\n"
        "*cupsFilter: \"application/pdf 0 gziptoany\"\n";
    ppd += colour ? "*ColorDevice: True\n*DefaultColorSpace: RGB\n" : "*ColorDevice: False\n*DefaultColorSpace: Gray\n";
    if (!profile.isEmpty())
        ppd += "*cupsICCProfile RGB../Test printer: \"" + profile.toUtf8() + "\"\n*cupsRenderingIntent: Perceptual\n";
    ppd += "*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n*DefaultPageSize: A4\n"
           "*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*CloseUI: *PageSize\n"
           "*OpenUI *PageRegion/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n"
           "*DefaultPageRegion: A4\n*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n"
           "*CloseUI: *PageRegion\n*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"18 36 577 806\"\n"
           "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n"
           "*OpenUI *Resolution/Resolution: PickOne\n*OrderDependency: 10 AnySetup *Resolution\n"
           "*DefaultResolution: 300dpi\n*Resolution 300dpi/300 DPI: \"<</HWResolution[300 300]>>setpagedevice\"\n"
           "*CloseUI: *Resolution\n*OpenUI *ColorModel/Color Mode: PickOne\n"
           "*OrderDependency: 10 AnySetup *ColorModel\n";
    ppd += colour ? "*DefaultColorModel: RGB\n*ColorModel RGB/Color: \"<</cupsColorSpace 1>>setpagedevice\"\n"
                    "*ColorModel Gray/Grayscale: \"<</cupsColorSpace 0>>setpagedevice\"\n"
                  : "*DefaultColorModel: Gray\n*ColorModel Gray/Grayscale: \"<</cupsColorSpace 0>>setpagedevice\"\n";
    ppd += "*CloseUI: *ColorModel\n";
    return ppd;
}

}  // namespace frame_test
