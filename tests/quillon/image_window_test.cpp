#include "program_fixture.h"

#include "image/image_window.h"
#include "imaging/imaging.h"
#include "imaging/pixels.h"
#include "ui/progress_window.h"
#include "ui/scroll_model.h"

#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace quillon::test {
namespace {

void makePicture(CImageObject& image, int w, int h, int bits, imaging::ColorRef fill = 0x0000FF) {
    ASSERT_TRUE(image.create(w, h, bits));
    ASSERT_TRUE(image.allocate(1));
    if (bits <= 8) {
        imaging::RgbQuad palette[256] = {};
        for (int i = 0; i < (1 << bits); ++i)
            palette[i] = imaging::RgbQuad{uint8_t(i * 37), uint8_t(i * 91), uint8_t(255 - i * 13), 0};
        image.paletteSet(palette, 1 << bits, false);
    }
    image.fill(fill, false);
}

// Geometry without a widget.
TEST(QuillonScrollModel, SmallPictureIsCentredWithoutBars) {
    CImageObject image;
    makePicture(image, 100, 100, 24);
    ScrollModel model(image, 16);
    model.resized(300, 200);
    EXPECT_FALSE(model.horizontalShown());
    EXPECT_FALSE(model.verticalShown());
    EXPECT_EQ(image.scrollX, -100);
    EXPECT_EQ(image.scrollY, -50);
    const PaintGeometry g = model.paintGeometry();
    EXPECT_EQ(g.destination, (Rect{100, 50, 200, 150}));
    EXPECT_EQ(g.source, (Rect{0, 0, 100, 100}));
    EXPECT_TRUE(g.frame);
    EXPECT_EQ(g.frameRect, (Rect{99, 49, 200, 150}));
}

TEST(QuillonScrollModel, ShowingOneBarCanBringTheOther) {
    CImageObject image;
    makePicture(image, 1000, 200, 24);
    ScrollModel model(image, 16);
    model.resized(300, 200);
    EXPECT_TRUE(model.horizontalShown());
    EXPECT_TRUE(model.verticalShown()) << "the horizontal bar took 16 rows of 200";
    EXPECT_EQ(model.clientWidth(), 284);
    EXPECT_EQ(model.clientHeight(), 184);
    EXPECT_EQ(image.scrollRangeX, 1000 - 284);
    EXPECT_EQ(image.scrollRangeY, 16);
    // Wider and lower windows need no bars at all.
    model.resized(1000, 200);
    EXPECT_FALSE(model.horizontalShown());
    EXPECT_FALSE(model.verticalShown());
}

TEST(QuillonScrollModel, StepsAreClampedAndTheThumbMovesNothingUntilReleased) {
    CImageObject image;
    makePicture(image, 1000, 100, 24);
    ScrollModel model(image, 16);
    model.resized(300, 216);  // horizontal bar only: client 300 x 200
    ASSERT_TRUE(model.horizontalShown());
    ASSERT_FALSE(model.verticalShown());
    const int range = 700;
    ASSERT_EQ(image.scrollRangeX, range);
    struct Step { ScrollAction action; int thumb; int expectedStep; int origin; };
    const Step steps[] = {
        {ScrollAction::LineBack, 0, 0, 0},          // already at the start
        {ScrollAction::LineForward, 0, 4, 4},
        {ScrollAction::PageForward, 0, 298, 302},   // client width less 2
        {ScrollAction::ThumbTrack, 650, 0, 302},    // dragging moves nothing
        {ScrollAction::ThumbPosition, 650, 348, 650},
        {ScrollAction::PageForward, 0, 50, 700},    // clamped at the range
        {ScrollAction::ToStart, 0, -700, 0},
        {ScrollAction::ToEnd, 0, 700, 700},
        {ScrollAction::PageBack, 0, -298, 402},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(model.scroll(Qt::Horizontal, s.action, s.thumb), s.expectedStep) << int(s.action);
        EXPECT_EQ(image.scrollX, s.origin) << int(s.action);
    }
    EXPECT_EQ(model.scroll(Qt::Vertical, ScrollAction::LineForward), 0) << "no vertical range";
}

TEST(QuillonScrollModel, ZoomSetsDisplaySizeAndStretchBit) {
    CImageObject image;
    makePicture(image, 100, 60, 24);
    ScrollModel model(image, 16);
    model.resized(300, 200);
    model.setZoom(200, true);
    EXPECT_EQ(image.displayWidth, 200);
    EXPECT_EQ(image.displayHeight, 120);
    EXPECT_TRUE(image.bitmap().flags & imaging::flag::kStretched);
    EXPECT_EQ(image.scrollX, -50);
    int px = 0, py = 0;
    image.scrollX = image.scrollY = 0;
    model.clientToPicture(10, 10, px, py);
    EXPECT_EQ(px, 5);
    EXPECT_EQ(py, 5);
    model.setZoom(100, true);
    EXPECT_FALSE(image.bitmap().flags & imaging::flag::kStretched);
}

class ImageWindowTest : public ::testing::Test {
protected:
    void SetUp() override { qtApp(); }
};

TEST_F(ImageWindowTest, SmallPictureIsDrawnCentredInsideItsFrame) {
    CImageObject image;
    makePicture(image, 100, 100, 24, 0x0000FF);  // red (COLORREF is 0x00BBGGRR)
    CImageWindow window(image, nullptr);
    window.resize(300, 200);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.horizontalBar()->isVisible());
    EXPECT_FALSE(window.verticalBar()->isVisible());
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(100, 50), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(199, 149), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(99, 49), QColor(Qt::black)) << "the frame just outside";
    EXPECT_EQ(shot.pixelColor(200, 150), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(150, 49), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(98, 48), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(250, 100), QColor(Qt::white));
}

TEST_F(ImageWindowTest, WidePictureShowsBothBarsAndScrolls) {
    CImageObject image;
    makePicture(image, 1000, 200, 24, 0xFF0000);
    // The left 10 columns green, to see the scroll.
    for (int y = 0; y < 200; ++y) {
        std::vector<uint8_t> row(image.bitmap().bytesPerLine);
        image.getRow(row.data(), y, int(row.size()));
        for (int x = 0; x < 10; ++x) row[3 * x] = 0, row[3 * x + 1] = 255, row[3 * x + 2] = 0;
        image.putRow(row.data(), y, int(row.size()));
    }
    CImageWindow window(image, nullptr);
    window.resize(300, 200);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.horizontalBar()->isVisible());
    EXPECT_TRUE(window.verticalBar()->isVisible());
    QImage shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::green));
    window.horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    window.horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    window.horizontalBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(image.scrollX, 12);
    EXPECT_EQ(window.horizontalBar()->sliderPosition(), 12);
    shot = window.grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::blue)) << "three line steps of 4 moved 12 pixels";
    window.horizontalBar()->setSliderDown(true);
    window.horizontalBar()->setSliderPosition(400);
    EXPECT_EQ(image.scrollX, 12) << "the thumb moves nothing while held";
    window.horizontalBar()->setSliderDown(false);
    EXPECT_EQ(image.scrollX, 400);
}

TEST_F(ImageWindowTest, PaintsEveryDepthAndBothRowOrders) {
    // One picture per depth: the top row one colour, the rest another.
    const QColor top(255, 0, 0), rest(0, 0, 255);
    for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
        for (bool bottomUp : {false, true}) {
            CImageObject image;
            ASSERT_TRUE(image.create(8, 4, bits));
            if (bottomUp) image.bitmap().rowOrder = imaging::kBottomUp;
            ASSERT_TRUE(image.allocate(1));
            if (bits <= 8) {
                const imaging::RgbQuad palette[2] = {{0, 0, 255, 0}, {255, 0, 0, 0}};  // red, blue
                image.paletteSet(palette, 2, false);
            }
            imaging::Bitmap& b = image.bitmap();
            for (int y = 0; y < 4; ++y) {
                uint8_t* row = b.storedRow(image.storedRow(y));
                for (int x = 0; x < 8; ++x) {
                    if (bits <= 8) imaging::setIndexAt(row, x, bits, y == 0 ? 0 : 1);
                    else imaging::writePixel(b, row, x, y == 0 ? imaging::Rgb{255, 0, 0} : imaging::Rgb{0, 0, 255});
                }
            }
            CImageWindow window(image, nullptr);
            window.resize(8, 4);
            window.show();
            QCoreApplication::processEvents();
            const QImage shot = window.grab().toImage();
            EXPECT_EQ(shot.pixelColor(3, 0), top) << bits << " bottom-up " << bottomUp;
            EXPECT_EQ(shot.pixelColor(3, 3), rest) << bits << " bottom-up " << bottomUp;
        }
    }
}

TEST_F(ImageWindowTest, OverlaysArePaintedAfterThePicture) {
    CImageObject image;
    makePicture(image, 50, 50, 24, 0xFFFFFF);
    CImageWindow window(image, nullptr);
    int paints = 0;
    window.overlayPainter = [&](QPainter& p) {
        ++paints;
        p.fillRect(QRect(0, 0, 5, 5), Qt::green);
    };
    window.resize(50, 50);
    window.show();
    const QImage shot = window.grab().toImage();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::green));
}

// A 24-bit or 1-bit picture of 16 x 16 blocks whose colour follows the block.
void makeBlocks(CImageObject& image, int w, int h, int bits) {
    makePicture(image, w, h, bits, 0);
    if (bits == 1) {
        const imaging::RgbQuad palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        image.paletteSet(palette, 2, false);
    }
    imaging::Bitmap& b = image.bitmap();
    for (int y = 0; y < h; ++y) {
        uint8_t* row = b.storedRow(image.storedRow(y));
        for (int x = 0; x < w; ++x) {
            const int bx = x / 16, by = y / 16;
            if (bits == 1) imaging::setIndexAt(row, x, 1, (bx + by) & 1);
            else imaging::writePixel(b, row, x, imaging::Rgb{uint8_t(bx * 5), uint8_t(by * 7), uint8_t(bx ^ by)});
        }
    }
}

QColor blockColour(int bits, int px, int py) {
    const int bx = px / 16, by = py / 16;
    if (bits == 1) return ((bx + by) & 1) ? QColor(Qt::white) : QColor(Qt::black);
    return QColor(uint8_t(bx * 5), uint8_t(by * 7), uint8_t(bx ^ by));
}

TEST_F(ImageWindowTest, PaintsOnlyFromThePictureRowsAtAnyZoomAndScroll) {
    // The window converts just the exposed part of the picture; every
    // client point must still show the picture pixel under it.
    for (const int bits : {24, 1}) {
        for (const int zoom : {25, 100, 300}) {
            CImageObject image;
            makeBlocks(image, 1203, 801, bits);
            CImageWindow window(image, nullptr);
            window.resize(317, 211);
            window.setZoom(zoom, true);
            window.show();
            QCoreApplication::processEvents();
            window.horizontalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            window.verticalBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            const QImage shot = window.grab().toImage();
            int checked = 0;
            for (int y = 0; y < window.model().clientHeight(); y += 7) {
                for (int x = 0; x < window.model().clientWidth(); x += 5) {
                    int px = 0, py = 0;
                    window.model().clientToPicture(x, y, px, py);
                    // Only points well inside a block: scaling may round at the edges.
                    const int margin = zoom < 100 ? 5 : 2;
                    if (px >= image.width() || py >= image.height() || px % 16 < margin || px % 16 > 15 - margin ||
                        py % 16 < margin || py % 16 > 15 - margin)
                        continue;
                    ASSERT_EQ(shot.pixelColor(x, y), blockColour(bits, px, py))
                        << "bits " << bits << " zoom " << zoom << " at " << x << "," << y;
                    ++checked;
                }
            }
            EXPECT_GT(checked, 50) << bits << " " << zoom;
        }
    }
}

TEST_F(ImageWindowTest, TheWheelScrollsThePictureAndTheWheelOverABarMovesItToo) {
    CImageObject image;
    makePicture(image, 2000, 2000, 24);
    CImageWindow window(image, nullptr);
    window.resize(300, 200);
    window.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(image.scrollX, 0);
    ASSERT_EQ(image.scrollY, 0);
    const QPointF at(50, 50);
    QWheelEvent down(at, window.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &down);
    EXPECT_GT(image.scrollY, 0);
    EXPECT_EQ(window.verticalBar()->sliderPosition(), image.scrollY);
    const int afterOne = image.scrollY;
    QWheelEvent right(at, window.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &right);
    EXPECT_EQ(image.scrollX, afterOne) << "Shift turns the wheel sideways";
    EXPECT_EQ(image.scrollY, afterOne);

    // The wheel over the vertical bar moves the thumb, and the picture with it.
    QScrollBar* bar = window.verticalBar();
    const QPointF onBar(bar->width() / 2.0, bar->height() / 2.0);
    QWheelEvent overBar(onBar, bar->mapToGlobal(onBar), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(bar, &overBar);
    EXPECT_GT(bar->sliderPosition(), afterOne) << "the thumb steps on from where the picture is";
    EXPECT_EQ(image.scrollY, bar->sliderPosition()) << "the picture follows the thumb";
}

TEST_F(ImageWindowTest, ThePumpKeepsObjectsDeletedLaterAndStopsWhenQuitting) {
    setQuitting(false);
    auto* victim = new QObject;
    bool destroyed = false;
    QObject::connect(victim, &QObject::destroyed, [&] { destroyed = true; });
    victim->deleteLater();
    EXPECT_TRUE(pumpMessages());
    EXPECT_FALSE(destroyed) << "deleted under a caller that may still use it";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(destroyed);

    int handled = 0;
    QTimer::singleShot(0, [&] { ++handled; });
    setQuitting(true);
    EXPECT_FALSE(pumpMessages());
    EXPECT_EQ(handled, 0) << "nothing runs once the program quits";
    setQuitting(false);
    EXPECT_TRUE(pumpMessages());
    EXPECT_EQ(handled, 1);
}

}  // namespace
}  // namespace quillon::test
