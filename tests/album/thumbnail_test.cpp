// Thumbnails: the reduced JPEG decode, the desktop's cache and the worker
// threads.
#include "album/reduced_decode.h"
#include "album/thumbnail_cache.h"
#include "album/thumbnail_loader.h"
#include "album/thumbnail_maker.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quillon {
namespace {

QGuiApplication& qtApp() {
    static int argc = 1;
    static char name[] = "thumbnail-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return *app;
}

// A picture written by the program's own writers (format code 10: JPEG).
QString writePicture(const QString& path, QSize size, int formatCode, QColor colour = QColor(200, 40, 40)) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    for (int y = 0; y < size.height(); y += 8)
        for (int x = 0; x < size.width(); ++x) image.setPixelColor(x, y, Qt::white);
    CImageObject object;
    object.fromDeviceImage(image, false, false);
    EXPECT_TRUE(savePicture(object, path, formatCode, 24, formatCode == 10 ? 85 : 0)) << path.toStdString();
    return path;
}

bool waitUntil(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class Thumbnails : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        ASSERT_TRUE(dir.isValid());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(Thumbnails, JpegIsDecodedAtTheSmallestDctScaleThatReachesTheSize) {
    const QString file = writePicture(path("big.jpg"), QSize(1600, 1200), 10);
    const struct {
        QSize need;
        QSize got;
    } cases[] = {{{128, 96}, {200, 150}}, {{201, 100}, {400, 300}}, {{700, 100}, {800, 600}}, {{1600, 1200}, {1600, 1200}}};
    for (const auto& c : cases) {
        const auto picture = decodeReduced(file, [&](QSize full) {
            EXPECT_EQ(full, QSize(1600, 1200));
            return c.need;
        });
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->image.size(), c.got) << c.need.width();
        EXPECT_EQ(picture->fullSize, QSize(1600, 1200));
        const QColor centre(picture->image.pixel(c.got.width() / 2, c.got.height() / 2 + 2));
        EXPECT_NEAR(centre.red(), 200, 40);
    }
    EXPECT_FALSE(decodeReduced(path("missing.jpg"), [](QSize s) { return s; }).has_value());
    QFile bad(path("bad.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\xFF\xD8\xFF\xE0 not really");
    bad.close();
    EXPECT_FALSE(decodeReduced(path("bad.jpg"), [](QSize s) { return s; }).has_value());
}

TEST_F(Thumbnails, TheDesktopCacheIsWrittenReadAndRecordsFailures) {
    const QString file = writePicture(path("photo.jpg"), QSize(640, 480), 10);
    const ThumbnailCache cache(path("cache"));
    const ThumbnailMaker maker(QSize(96, 66), cache);
    const auto cold = maker.make(file);
    ASSERT_TRUE(cold.has_value());
    EXPECT_EQ(cold->size(), QSize(96, 66));

    // The freedesktop name: MD5 of the file's URI, in normal/.
    const QString uri = QStringLiteral("file://") + QFileInfo(file).absoluteFilePath();
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(uri.toUtf8(), QCryptographicHash::Md5).toHex());
    const QString png = path("cache/normal/") + md5 + ".png";
    const QImage entry(png);
    ASSERT_FALSE(entry.isNull());
    EXPECT_EQ(entry.text("Thumb::URI"), uri);
    EXPECT_EQ(entry.text("Thumb::MTime"),
              QString::number(QFileInfo(file).fileTime(QFileDevice::FileModificationTime).toSecsSinceEpoch()));
    EXPECT_EQ(entry.size(), QSize(128, 96)) << "the cache keeps the shape within 128";
    EXPECT_EQ(QFileInfo(png).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);

    // While the file keeps its time the cache answers, even if the bytes could not be read now.
    const QDateTime stamp = QFileInfo(file).fileTime(QFileDevice::FileModificationTime);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("garbage");
        f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
    const auto warm = maker.make(file);
    ASSERT_TRUE(warm.has_value());
    EXPECT_EQ(*warm, *cold) << "cold and warm give the same pixels";

    // A new time makes the entry stale: the file is read, fails, and is recorded as failed.
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(stamp.addSecs(10), QFileDevice::FileModificationTime);
    }
    EXPECT_FALSE(maker.make(file).has_value());
    EXPECT_TRUE(QFileInfo::exists(cache.failurePath(file)));
    EXPECT_TRUE(cache.failedBefore(QFileInfo(file)));
}

TEST_F(Thumbnails, TheCachedPngIsHandedOnOnlyWhenItIsTheThumbnail) {
    const QString file = writePicture(path("photo.jpg"), QSize(640, 480), 10);
    // 128 x 96 is the cached size of a 4:3 picture; 96 x 66 is not.
    const struct {
        QSize box;
        bool bytes;
    } cases[] = {{{128, 96}, true}, {{96, 66}, false}, {{128, 128}, false}};
    for (const auto& c : cases) {
        for (const char* run : {"cold", "warm"}) {
            const ThumbnailMaker maker(c.box, ThumbnailCache(path("cache")));
            QByteArray png = "stale";
            const auto thumbnail = maker.make(file, &png);
            ASSERT_TRUE(thumbnail.has_value());
            EXPECT_EQ(!png.isEmpty(), c.bytes) << c.box.width() << "x" << c.box.height() << " " << run;
            if (!png.isEmpty())
                EXPECT_EQ(QImage::fromData(png).convertToFormat(QImage::Format_RGB32),
                          thumbnail->convertToFormat(QImage::Format_RGB32))
                    << run;
        }
        QDir(path("cache")).removeRecursively();
    }
}

TEST_F(Thumbnails, PicturesWithAlphaGiveTheSameThumbnailColdAndWarm) {
    QImage picture(60, 40, QImage::Format_ARGB32);
    picture.fill(qRgba(255, 0, 0, 128));
    ASSERT_TRUE(picture.save(path("glass.png")));
    const ThumbnailMaker maker(QSize(60, 40), ThumbnailCache(path("cache")));
    const auto cold = maker.make(path("glass.png"));
    const auto warm = maker.make(path("glass.png"));
    ASSERT_TRUE(cold && warm);
    EXPECT_EQ(*cold, *warm);
    EXPECT_EQ(cold->size(), QSize(60, 40));
}

TEST_F(Thumbnails, OtherFormatsGoThroughTheProgramsReaders) {
    const QString bmp = writePicture(path("tall.bmp"), QSize(100, 400), 6, QColor(0, 0, 255));
    const ThumbnailMaker maker(QSize(64, 44), std::nullopt);
    const auto thumbnail = maker.make(bmp);
    ASSERT_TRUE(thumbnail.has_value());
    ASSERT_EQ(thumbnail->size(), QSize(64, 44));
    // 11 columns of picture centred on black.
    EXPECT_EQ(thumbnail->pixel(25, 22), qRgb(0, 0, 0));
    EXPECT_EQ(QColor(thumbnail->pixel(30, 22)).blue() > 150, true);
    EXPECT_EQ(thumbnail->pixel(37, 22), qRgb(0, 0, 0));
}

TEST_F(Thumbnails, TheLoaderTakesTheFilesOnViewFirstAndDropsCancelledWork) {
    std::vector<QString> files;
    for (int i = 0; i < 24; ++i)
        files.push_back(writePicture(path(QStringLiteral("f%1.jpg").arg(i, 2, 10, QChar(u'0'))), QSize(800, 600), 10));
    ThumbnailLoader loader(ThumbnailMaker(QSize(96, 66), std::nullopt), nullptr, 1);
    std::vector<qint64> order;
    QObject::connect(&loader, &ThumbnailLoader::ready, [&](qint64 id, const QImage& image) {
        EXPECT_EQ(image.size(), QSize(96, 66));
        order.push_back(id);
    });
    for (int i = 0; i < 24; ++i) loader.add(i, files[size_t(i)]);
    loader.prioritise({20, 21});
    ASSERT_TRUE(waitUntil([&] { return loader.idle(); }));
    ASSERT_EQ(order.size(), 24u);
    const auto at = [&](qint64 id) { return std::find(order.begin(), order.end(), id) - order.begin(); };
    EXPECT_LT(at(20), at(5));
    EXPECT_LT(at(21), at(5));
    EXPECT_LT(at(20), at(21));

    // After a cancel nothing of the old queue arrives.
    order.clear();
    for (int i = 0; i < 24; ++i) loader.add(100 + i, files[size_t(i)]);
    loader.cancel();
    loader.add(500, files[0]);
    ASSERT_TRUE(waitUntil([&] { return loader.idle(); }));
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(order, std::vector<qint64>{500});
}

}  // namespace
}  // namespace quillon
