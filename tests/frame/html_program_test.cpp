// The HTML menu inside the running program: the picture list and the
// settings dialog through their widgets, pages and programs for real.
#include "tests/quillon/program_fixture.h"

#include "app/settings.h"
#include "frame/html_commands.h"
#include "resources/strings.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QThread>
#include <QPointer>
#include <QTimer>

namespace quillon::test {
namespace {

// Runs act on the first modal window that matches, once it is shown. A
// window that never comes would leave the test waiting in exec: after a
// long while any modal window is closed instead.
void whenShown(std::function<bool(QWidget*)> matches, std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, matches, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && matches(modal)) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (++*ticks > 3000) {
            timer->stop();
            timer->deleteLater();
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            ADD_FAILURE() << "the expected window never came";
        }
    });
    timer->start();
}

void whenDialog(const char* id, std::function<void(QWidget*)> act) {
    whenShown([id](QWidget* w) { return w->objectName() == QLatin1String(id); }, std::move(act));
}

void whenFileDialog(const QString& choose) {
    whenShown([](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
              [choose](QWidget* w) {
                  auto* dialog = static_cast<QFileDialog*>(w);
                  dialog->selectFile(choose);
                  // The whole path typed in the name field, as a user may type it: the
                  // choice does not wait for the folder view to load the folder.
                  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(choose);
                  QMetaObject::invokeMethod(dialog, "accept");
                  // A dialog that did not take the file (or a message it raised) is
                  // closed after a while, as a failure, instead of waiting for ever.
                  QTimer::singleShot(20000, [dialog = QPointer<QFileDialog>(dialog)] {
                      if (!dialog || !dialog->isVisible()) return;
                      ADD_FAILURE() << "the file dialog did not take the file";
                      while (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                          modal->reject();
                          if (modal == dialog) break;
                      }
                  });
              });
}

void click(QWidget* dialog, const char* id) {
    auto* button = dialog->findChild<QAbstractButton*>(QLatin1String(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

void saveShot(QWidget* w, const char* name) {
    if (const QString path = shotPath(QLatin1String(name)); !path.isEmpty()) w->grab().save(path);
}

class HtmlProgramTest : public ProgramTest {
protected:
    QString picture(const QString& name) {
        const QString path = home.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(200, 120, 40));
        EXPECT_TRUE(image.save(path, QFileInfo(path).suffix().toUpper() == "BMP" ? "BMP" : "PNG"));
        return path;
    }
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = home.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // A program that records its arguments, one "[argument]" a line.
    QString recorder(const QString& name) {
        const QByteArray out = home.filePath(name + ".txt").toUtf8();
        const QString script = writeFile(name + " dir/" + name + ".sh",
                                         "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + out +
                                             ".part'\nmv '" + out + ".part' '" + out + "'\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner);
        return script;
    }
    QByteArray recorded(const QString& name) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 20000) {
            QFile f(home.filePath(name + ".txt"));
            if (f.open(QIODevice::ReadOnly)) return f.readAll();
            QThread::msleep(20);
        }
        return {};
    }
    HtmlCommands& html() { return app->htmlCommands(); }
    QStringList documentPaths() {
        QStringList paths;
        for (CQuillonDoc* doc : frame().documents()) paths << doc->path();
        return paths;
    }
};

TEST_F(HtmlProgramTest, ThePictureListOpensTheSelectionInListOrder) {
    ASSERT_TRUE(start());
    const QString c = picture("c.png"), a = picture("a.png");
    picture("images/b.bmp");
    const QString page = writeFile("page.htm",
                                   "<HTML><BODY BACKGROUND=\"c.png\">\r\n<IMG SRC=\"images\\b.bmp\">"
                                   "<IMG SRC=\"http://example.com/a.png\"><EMBED SRC=\"a.png\"></BODY></HTML>");
    html().dialogs.chooseHtmlFile = [page](QWidget*) { return std::optional<QString>(page); };
    QStringList listed;
    whenDialog("1370", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("HTMLﾌｧｲﾙから開く"));
        auto* list = dialog->findChild<QListWidget*>("1371");
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < list->count(); ++i) listed << list->item(i)->text();
        saveShot(dialog, "html-picture-list.png");
        // Picked last to first: they still open in the list's order.
        list->item(2)->setSelected(true);
        list->item(0)->setSelected(true);
        click(dialog, "1");
    });
    trigger(153);
    EXPECT_EQ(listed, (QStringList{"c.png", "images\\b.bmp", "a.png"}));
    EXPECT_EQ(documentPaths(), (QStringList{QString(), c, a}));
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();

    // Cancel opens nothing.
    whenDialog("1370", [](QWidget* dialog) {
        dialog->findChild<QListWidget*>("1371")->selectAll();
        click(dialog, "2");
    });
    trigger(153);
    EXPECT_EQ(frame().documents().size(), 3);
}

TEST_F(HtmlProgramTest, APageWithoutPicturesOrUnreadableGivesItsMessages) {
    ASSERT_TRUE(start());
    const QString empty = writeFile("empty.htm", "<HTML><IMG SRC=\"none.gif\"></HTML>");
    const QString missing = home.filePath("missing.htm");
    QString chosen;
    html().dialogs.chooseHtmlFile = [&](QWidget*) { return std::optional<QString>(chosen); };
    chosen = empty;
    trigger(153);
    EXPECT_EQ(ui.messages, QStringList{loadString(5060)});
    EXPECT_EQ(ui.icons.back(), MsgIcon::Information);
    ui.messages.clear();
    chosen = missing;
    trigger(153);
    EXPECT_EQ(ui.messages, (QStringList{formatMessage(5028, missing), loadString(5060)}));
    EXPECT_EQ(ui.icons[ui.icons.size() - 2], MsgIcon::Stop);
    EXPECT_EQ(frame().documents().size(), 1);

    // No page chosen: nothing at all.
    ui.messages.clear();
    html().dialogs.chooseHtmlFile = [](QWidget*) { return std::optional<QString>(); };
    trigger(153);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(HtmlProgramTest, TheSettingsDialogBrowsesAndKeepsNothingOnCancel) {
    ASSERT_TRUE(start());
    Settings& settings = app->settings();
    settings.browserPath = "/usr/bin/old-browser";
    settings.htmlEditorPath.clear();
    settings.ftpPath.clear();
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(151)->isEnabled());
    EXPECT_FALSE(frame().action(152)->isEnabled());
    const QString editor = writeFile("bin/editor", "#!/bin/sh\n");
    const QString ftp = writeFile("bin/ftp client", "#!/bin/sh\n");

    QStringList fieldsAfterBrowse;
    whenDialog("1372", [&](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("HTML設定"));
        auto field = [dialog](const char* id) { return dialog->findChild<QLineEdit*>(QLatin1String(id)); };
        ASSERT_TRUE(field("1373") && field("1375") && field("1377"));
        EXPECT_EQ(field("1373")->text(), "/usr/bin/old-browser");
        saveShot(dialog, "html-settings.png");
        field("1373")->setText("typed, not taken");
        whenFileDialog(editor);
        click(dialog, "1376");
        for (const char* id : {"1373", "1375", "1377"}) fieldsAfterBrowse << field(id)->text();
        click(dialog, "2");
    });
    trigger(154);
    EXPECT_EQ(fieldsAfterBrowse, (QStringList{"/usr/bin/old-browser", editor, ""}));
    EXPECT_EQ(settings.browserPath, "/usr/bin/old-browser");
    EXPECT_TRUE(settings.htmlEditorPath.isEmpty());
    EXPECT_TRUE(settings.ftpPath.isEmpty());

    whenDialog("1372", [&](QWidget* dialog) {
        whenFileDialog(ftp);
        click(dialog, "1378");
        dialog->findChild<QLineEdit*>("1375")->setText("kate --new");
        click(dialog, "1");
    });
    trigger(154);
    EXPECT_EQ(settings.browserPath, "/usr/bin/old-browser");
    EXPECT_EQ(settings.htmlEditorPath, "kate --new");
    EXPECT_EQ(settings.ftpPath, ftp);
    EXPECT_TRUE(frame().action(152)->isEnabled()) << "enabled as soon as the dialog closes";
    EXPECT_TRUE(frame().action(151)->isEnabled());
}

TEST_F(HtmlProgramTest, TheEditorGetsThePageOfANewPictureSavedAsGif) {
    ASSERT_TRUE(start());
    app->dialogs.chooseNewImage = [] { return std::optional<NewImageChoice>(NewImageChoice{64, 48, 8}); };
    ASSERT_NE(app->newDocument(), nullptr);
    app->settings().htmlEditorPath = "\"" + recorder("editor") + "\" --edit";
    QStringList suggested;
    std::optional<QString> answer;
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString& name, const QString&) {
        suggested << name;
        return answer;
    };
    // Cancelled: no page, no message.
    trigger(151);
    ASSERT_EQ(suggested.size(), 1);
    EXPECT_TRUE(suggested[0].endsWith(".gif", Qt::CaseInsensitive)) << suggested[0].toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath("QL000000.HTM")));
    EXPECT_TRUE(ui.messages.isEmpty());

    answer = home.filePath("new picture.gif");
    trigger(151);
    CQuillonDoc* doc = frame().activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->path(), *answer);
    EXPECT_EQ(doc->fixedFormatIndex, -1);
    const QString page = home.filePath("QL000000.HTM");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<IMG SRC=\"new picture.gif\">\r\n"));
    EXPECT_EQ(recorded("editor"), "[--edit]\n[" + page.toUtf8() + "]\n");
    // The fixed GIF is not the user's choice: nothing is remembered.
    const SaveDefaults defaults = readSaveDefaults(*store());
    EXPECT_EQ(defaults.initialSaveFormat, 3);
    EXPECT_TRUE(defaults.initialSavePath.isEmpty());
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join('|').toStdString();
}

TEST_F(HtmlProgramTest, AModifiedPictureAsksForSaveAsAndGoesOnAfterCancel) {
    ASSERT_TRUE(start());
    const QString path = picture("shots/sea.png");
    CQuillonDoc* doc = app->openDocument(path);
    ASSERT_NE(doc, nullptr);
    doc->setModified(true);
    int asked = 0;
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString&, const QString&) {
        ++asked;
        return std::optional<QString>();
    };
    app->settings().htmlEditorPath = recorder("editor");
    trigger(151);
    EXPECT_EQ(asked, 1);
    const QString page = home.filePath("shots/QL000000.HTM");
    EXPECT_EQ(recorded("editor"), "[" + page.toUtf8() + "]\n");
    QFile f(page);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("<EMBED SRC=\"sea.png\">\r\n"));
}

TEST_F(HtmlProgramTest, TheBrowserGetsThePictureInAFolderWithBlanks) {
    ASSERT_TRUE(start());
    const QString path = picture("my pictures/a day out.png");
    ASSERT_NE(app->openDocument(path), nullptr);
    app->dialogs.chooseSavePath = [](CQuillonView&, const QString&, const QString&) -> std::optional<QString> {
        ADD_FAILURE() << "a saved picture needs no Save As";
        return std::nullopt;
    };
    app->settings().browserPath = recorder("browser");
    trigger(150);
    EXPECT_EQ(recorded("browser"), "[" + path.toUtf8() + "]\n");
    EXPECT_FALSE(QFile::exists(home.filePath("my pictures/QL000000.HTM")));

    // A program that cannot be started is not reported.
    app->settings().ftpPath = home.filePath("no such ftp program");
    trigger(152);
    EXPECT_TRUE(ui.messages.isEmpty());
}

}  // namespace
}  // namespace quillon::test
