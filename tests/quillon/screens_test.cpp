#include "program_fixture.h"

#include "image/file_dispatch.h"
#include "image/image_window.h"
#include "ui/progress_window.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QToolBar>

namespace quillon::test {
namespace {

// A colourful 24-bit picture written as BMP, to open like a user would.
QString writeSamplePicture(const QString& path) {
    QImage sample(320, 200, QImage::Format_RGB888);
    for (int y = 0; y < sample.height(); ++y)
        for (int x = 0; x < sample.width(); ++x)
            sample.setPixelColor(x, y, QColor::fromHsv((x * 360 / sample.width()) % 360, 80 + y * 175 / 200, 230));
    QPainter p(&sample);
    p.setPen(Qt::black);
    p.setFont(QFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 20));
    p.drawText(sample.rect(), Qt::AlignCenter, QString::fromUtf8("ｸｲﾛﾝ 写真"));
    p.end();
    CImageObject image;
    image.fromDeviceImage(sample, false, false);
    savePicture(image, path, 6, 24, 0);
    return path;
}

// Whether an area holds text pixels darker than the given grey (something
// was drawn); disabled menu items are drawn in grey.
bool hasInk(const QImage& image, QRect area, int grey = 100) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < grey) ++dark;
    return dark > 10;
}

TEST_F(ProgramTest, ScreenshotOfTheMainWindowWithAPictureOpen) {
    options.captureLibraryPath = QStringLiteral(FAKE_ORRERY_FULL);
    ASSERT_TRUE(start());
    frame().resize(760, 560);
    ASSERT_NE(app->openDocument(writeSamplePicture(home.filePath("sample.bmp"))), nullptr);
    QMdiSubWindow* sub = frame().mdiArea()->activeSubWindow();
    ASSERT_NE(sub, nullptr);
    sub->resize(420, 300);
    QCoreApplication::processEvents();
    const QImage shot = frame().grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(hasInk(shot, frame().menuBar()->geometry())) << "menu titles drawn";
    if (const QString path = shotPath(QStringLiteral("main-frame.png")); !path.isEmpty()) shot.save(path);

    // The capture popup opened from the menu bar, drawn over the frame.
    QMenu* capture = frame().popup(2);
    frame().menuBar()->setActiveAction(capture->menuAction());
    QCoreApplication::processEvents();
    ASSERT_TRUE(capture->isVisible());
    QImage composed = frame().grab().toImage();
    QPainter p(&composed);
    p.drawPixmap(frame().mapFromGlobal(capture->mapToGlobal(QPoint(0, 0))), capture->grab());
    p.end();
    const QImage menuShot = capture->grab().toImage();
    EXPECT_TRUE(hasInk(menuShot, menuShot.rect().adjusted(4, 4, -4, -4), 200));
    EXPECT_GE(capture->width(), capture->sizeHint().width()) << "nothing cut off";
    if (const QString path = shotPath(QStringLiteral("main-frame-capture-menu.png")); !path.isEmpty())
        composed.save(path);
    capture->hide();
}

TEST_F(ProgramTest, ProgressWindowShowsItsStepsAndAScreenshot) {
    ASSERT_TRUE(start());
    ProgressWindow progress(&frame());
    EXPECT_EQ(progress.windowTitle(), QString::fromUtf8("進行状況"));
    EXPECT_EQ(progress.textControl()->text(), QString::fromUtf8("ﾒｯｾｰｼﾞ"));
    EXPECT_EQ(progress.bar()->maximum(), 96);
    EXPECT_EQ(progress.bar()->value(), 0);
    EXPECT_FALSE(progress.isModal());
    progress.show();
    progress.showStep(QString::fromUtf8("3/12 取り込み中"), 3);
    progress.showStep(QString(), -1);  // only repaints
    EXPECT_EQ(progress.textControl()->text(), QString::fromUtf8("3/12 取り込み中"));
    EXPECT_EQ(progress.bar()->value(), 3);
    progress.setMaximum(12);
    progress.showStep(QString(), 5);
    EXPECT_EQ(progress.bar()->maximum(), 12);
    pumpMessages();
    const QImage shot = progress.grab().toImage();
    EXPECT_TRUE(hasInk(shot, progress.textControl()->geometry()));
    if (const QString path = shotPath(QStringLiteral("progress-window.png")); !path.isEmpty()) shot.save(path);
    progress.showStep(QString(), 40);
    EXPECT_EQ(progress.bar()->value(), 12) << "past the maximum the bar is full";
}

}  // namespace
}  // namespace quillon::test
