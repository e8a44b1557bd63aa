// The About box's hidden extras (build stamp, companion program) and the
// help guide beside the program.
#include "frame/about_dlg.h"
#include "frame/help_opener.h"
#include "ui/ui_port.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QThread>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "frame_about_help_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    }
    void TearDown() override { delete app; }
    QApplication* app = nullptr;
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class RecordingUi : public UiPort {
public:
    MsgAnswer message(const QString& text, MsgButtons, MsgIcon icon) override {
        texts << text;
        icons.push_back(icon);
        return MsgAnswer::Ok;
    }
    void beep() override {}
    QStringList texts;
    std::vector<MsgIcon> icons;
};

void savedShot(QWidget* w, const QString& name) {
    QString dir = qEnvironmentVariable("QUILLON_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

// A stand-in companion on PATH that notes each start in a file.
class StandInCompanion {
public:
    StandInCompanion() {
        m_record = m_dir.filePath("starts");
        QFile script(m_dir.filePath("zerkan"));
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\necho started >> '" + m_record.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_oldPath = qgetenv("PATH");
        qputenv("PATH", m_dir.path().toUtf8() + ":" + m_oldPath);
    }
    ~StandInCompanion() { qputenv("PATH", m_oldPath); }
    int starts() const {
        QFile f(m_record);
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
    }
    // Waits until that many starts are noted (a started program runs on its own).
    bool reaches(int count) const {
        QElapsedTimer clock;
        clock.start();
        while (starts() < count && clock.elapsed() < 20000) QThread::msleep(20);
        return starts() == count;
    }

private:
    QTemporaryDir m_dir;
    QString m_record;
    QByteArray m_oldPath;
};

void doubleClick(QWidget* target, bool shift) {
    QTest::mouseDClick(target, Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                       target->rect().center());
}

TEST(AboutBox, EveryThirdShiftDoubleClickOnTheIconStartsTheCompanion) {
    StandInCompanion companion;
    RecordingUi ui;
    auto dialog = std::make_unique<CAboutDlg>(ui, nullptr);
    dialog->show();
    savedShot(dialog.get(), "about_box");

    enum Action { ShiftIcon, PlainIcon, Reopen, ShiftVersion };
    struct Step {
        Action action;
        int starts;  // starts noted after the step
    };
    const Step steps[] = {
        {ShiftIcon, 0}, {ShiftIcon, 0}, {ShiftIcon, 1},  // the third starts it
        {ShiftIcon, 1}, {ShiftIcon, 1}, {ShiftIcon, 2},  // the fourth and fifth do not, the sixth does
        {ShiftIcon, 2}, {ShiftIcon, 2},
        {PlainIcon, 2}, {PlainIcon, 2},                  // no Shift: neither counts nor resets
        {ShiftIcon, 3},                                  // so this is the third of the round
        {ShiftIcon, 3}, {ShiftIcon, 3}, {Reopen, 3},
        {ShiftIcon, 4},                                  // the count outlives the dialog
        {ShiftVersion, 4}, {ShiftVersion, 4},            // the stamp, nothing else
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(index++);
        switch (step.action) {
        case ShiftIcon: doubleClick(dialog->iconControl(), true); break;
        case PlainIcon: doubleClick(dialog->iconControl(), false); break;
        case ShiftVersion: doubleClick(dialog->versionControl(), true); break;
        case Reopen:
            dialog->accept();
            dialog = std::make_unique<CAboutDlg>(ui, nullptr);
            dialog->show();
            break;
        }
        EXPECT_TRUE(companion.reaches(step.starts)) << companion.starts();
    }
    QThread::msleep(300);
    EXPECT_EQ(companion.starts(), 4);
    ASSERT_EQ(ui.texts.size(), 2);
    EXPECT_TRUE(QRegularExpression("^DATE : [A-Z][a-z]{2} [ 123][0-9] [0-9]{4} TIME : [0-9]{2}:[0-9]{2}:[0-9]{2}$")
                    .match(ui.texts[0]).hasMatch())
        << ui.texts[0].toStdString();
    EXPECT_EQ(ui.icons[0], MsgIcon::None);
    // Without Shift the version text shows nothing.
    doubleClick(dialog->versionControl(), false);
    EXPECT_EQ(ui.texts.size(), 2);
}

TEST(AboutBox, MissingCompanionIsNothing) {
    const QByteArray oldPath = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toUtf8());
    EXPECT_TRUE(companionProgram().isEmpty());
    RecordingUi ui;
    CAboutDlg dialog(ui, nullptr);
    dialog.show();
    for (int i = 0; i < 3; ++i) doubleClick(dialog.iconControl(), true);
    EXPECT_TRUE(ui.texts.isEmpty());
    EXPECT_EQ(companionCounter().count(), 0);
    qputenv("PATH", oldPath);
}

TEST(AboutBox, ShowsVersionAndJpegLibrary) {
    RecordingUi ui;
    CAboutDlg dialog(ui, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_TRUE(dialog.versionControl()->text().contains("32bit"));
    EXPECT_FALSE(dialog.iconControl()->pixmap().isNull());
    QStringList lines;
    for (QLabel* label : dialog.findChildren<QLabel*>()) lines << label->text();
    EXPECT_TRUE(lines.join('\n').contains(QRegularExpression("libjpeg-turbo [0-9]+\\.[0-9]+\\.[0-9]+")))
        << lines.join('|').toStdString();
}

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
};

TEST(Help, GuideBesideTheProgramOpensInTheBrowser) {
    const QString page = helpContentsPath(QUILLON_PROGRAM_DIR);
    ASSERT_FALSE(page.isEmpty()) << "no guide beside " << QUILLON_PROGRAM_DIR;
    EXPECT_TRUE(page.endsWith("/help/ja/index.html"));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    RecordingUi ui;
    openHelpContents(ui, QUILLON_PROGRAM_DIR);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile(), page);
    EXPECT_TRUE(ui.texts.isEmpty());

    // No guide: a message, no browser.
    QTemporaryDir nowhere;
    openHelpContents(ui, nowhere.path());
    EXPECT_EQ(ui.texts.size(), 1);
    EXPECT_EQ(catcher.opened.size(), 1);
}

TEST(Help, InstalledUnderShareBesideBin) {
    QTemporaryDir prefix;
    QProcess install;
    install.start("cmake", {"--install", QUILLON_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    QDir(prefix.path()).mkpath("bin");
    const QString page = helpContentsPath(prefix.filePath("bin"));
    EXPECT_EQ(page, QFileInfo(prefix.filePath("share/doc/quillon/help/ja/index.html")).canonicalFilePath());
    EXPECT_TRUE(QFileInfo::exists(prefix.filePath("share/doc/quillon/help/en/index.html")));
}

// Every page in both languages links only to what exists, and shows.
TEST(Help, PagesLinkToWhatExists) {
    const QString ja = helpContentsPath(QUILLON_PROGRAM_DIR);
    ASSERT_FALSE(ja.isEmpty());
    const QString en = QFileInfo(ja).dir().filePath("../en/index.html");
    for (const QString& page : {ja, en}) {
        SCOPED_TRACE(page.toStdString());
        QFile f(page);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        QStringList ids;
        for (const auto& m : QRegularExpression("id=\"([^\"]+)\"").globalMatch(html)) ids << m.captured(1);
        int links = 0;
        for (const auto& m : QRegularExpression("(?:href)=\"([^\"]+)\"").globalMatch(html)) {
            const QString target = m.captured(1);
            ++links;
            if (target.startsWith('#')) EXPECT_TRUE(ids.contains(target.mid(1))) << target.toStdString();
            else EXPECT_TRUE(QFileInfo::exists(QFileInfo(page).dir().filePath(target))) << target.toStdString();
        }
        EXPECT_GE(links, 8);
        for (const char* must : {"orrery.conf", "orrery-tool devices", "quillon-cli print"})
            EXPECT_TRUE(html.contains(must)) << must;
    }
    QTextBrowser browser;
    browser.resize(820, 1100);
    browser.setSource(QUrl::fromLocalFile(ja));
    browser.show();
    savedShot(&browser, "help_contents_ja");
    browser.setSource(QUrl::fromLocalFile(en));
    savedShot(&browser, "help_contents_en");
}

}  // namespace

#include "about_help_test.moc"
