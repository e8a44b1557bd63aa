// The print job on a page in memory: colour matching (each intent maps the
// picture's colours its own way through the printer's profile; without
// matching the page holds the picture's own pixels), and a black-and-white
// copy that cannot be made.
#include "frame/colour_matching.h"
#include "frame/colour_matching_model.h"
#include "frame/print_device.h"
#include "frame/print_job.h"
#include "image/image_object.h"
#include "resources/strings.h"
#include "test_profile.h"
#include "ui/ui_port.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace quillon;

namespace {

// A page in memory at the screen's resolution, so the picture lands 1:1.
class ImagePage : public PrintDevice {
public:
    ImagePage() : page(200, 160, QImage::Format_RGB32) { page.fill(Qt::white); }
    int dpiX() const override { return dpi; }
    int dpiY() const override { return dpi; }
    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    bool blackOnly() const override { return black; }
    QPaintDevice* startDocument(const QString&) override {
        started = true;
        return &page;
    }
    int endDocument() override { return 1; }
    void abortDocument() override { aborted = true; }
    QImage page;
    int dpi = 96, width = 200, height = 160;
    bool black = false;
    bool started = false;
    bool aborted = false;
};

class CountingProgress : public PrintProgress {
public:
    void open(const QString& text) override {
        shown = text;
        ++opened;
    }
    void close() override { ++closed; }
    QString shown;
    int opened = 0, closed = 0;
};

class SilentUi : public UiPort {
public:
    MsgAnswer message(const QString& text, MsgButtons, MsgIcon) override {
        ++messages;
        last = text;
        return MsgAnswer::Ok;
    }
    void beep() override {}
    int messages = 0;
    QString last;
};

// 64 x 48 of saturated hues and greys.
void paintTestPicture(CImageObject& picture) {
    ASSERT_TRUE(picture.create(64, 48, 24));
    ASSERT_TRUE(picture.allocate());
    picture.setHasBitmap(true);
    QImage source(64, 48, QImage::Format_RGB888);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            source.setPixelColor(x, y, y < 32 ? QColor::fromHsv(x * 359 / 63, 255, 128 + y * 4)
                                              : QColor(x * 4, x * 4, x * 4));
    ASSERT_TRUE(picture.fromDeviceImage(source, false, false));
}

QImage printed(const CImageObject& picture, bool matching, int intent, const QByteArray& profile, int& messages) {
    ImagePage device;
    SilentUi ui;
    PrintRequest request;
    request.title = "t";
    request.colourMatching = matching;
    request.intent = intent;
    request.profile = profile;
    const PrintReport report = runPrintJob(picture, request, device, ui, nullptr);
    messages = ui.messages;
    EXPECT_TRUE(report.delivered);
    EXPECT_EQ(report.placed.width, 64);
    return device.page.copy(report.placed.left, report.placed.top, 64, 48).convertToFormat(QImage::Format_RGB888);
}

int differingPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

TEST(ColourMatching, IntentsGiveTheirOwnPixelsAndNoMatchingKeepsThePicture) {
    const QByteArray profile = frame_test::makeIntentProfile();
    ASSERT_FALSE(profile.isEmpty());
    ASSERT_TRUE(usablePrinterProfile(profile));
    CImageObject picture;
    paintTestPicture(picture);
    const QImage original = picture.toDeviceImage().convertToFormat(QImage::Format_RGB888);

    int messages = 0;
    EXPECT_EQ(differingPixels(printed(picture, false, 0, {}, messages), original), 0);
    // Matching on but no profile to match to is not something the dialog
    // offers; the pixels still go as they are when matching is off.
    const QImage saturation = printed(picture, true, kFavourSaturation, profile, messages);
    const QImage contrast = printed(picture, true, kFavourContrast, profile, messages);
    const QImage exact = printed(picture, true, kFavourExactColours, profile, messages);
    EXPECT_EQ(messages, 0);
    const int all = 64 * 48;
    EXPECT_GT(differingPixels(saturation, contrast), all / 3);
    EXPECT_GT(differingPixels(saturation, exact), all / 3);
    EXPECT_GT(differingPixels(contrast, exact), all / 3);
    EXPECT_GT(differingPixels(contrast, original), all / 3);
    // Perceptual pulls a saturated red toward grey, saturation pushes it out.
    const QColor redContrast = contrast.pixelColor(0, 20), redSaturation = saturation.pixelColor(0, 20);
    EXPECT_LT(redContrast.hsvSaturation(), redSaturation.hsvSaturation());
}

TEST(ColourMatching, UnusableProfileIsRefused) {
    EXPECT_FALSE(usablePrinterProfile(QByteArray()));
    EXPECT_FALSE(usablePrinterProfile(QByteArray("not a profile at all, not even close")));
    const QImage picture(4, 4, QImage::Format_RGB888);
    EXPECT_TRUE(matchColours(picture, QByteArray("junk"), kFavourContrast).isNull());
}

// A black-only printer whose printed rectangle is too large for a picture:
// the copy cannot be made, 5012 is shown and no document is started.
TEST(PrintJob, BlackAndWhiteCopyThatCannotBeMadeStartsNothing) {
    CImageObject picture;
    paintTestPicture(picture);
    ImagePage device;
    device.black = true;
    device.dpi = 30000;
    device.width = device.height = 30000;  // 30000 x 22500 dots: beyond any picture
    SilentUi ui;
    CountingProgress progress;
    PrintRequest request;
    request.title = QString::fromUtf8("写真");
    const PrintReport report = runPrintJob(picture, request, device, ui, &progress);
    EXPECT_EQ(report.result, 0);
    EXPECT_FALSE(report.delivered);
    EXPECT_FALSE(device.started);
    EXPECT_EQ(ui.messages, 1);
    EXPECT_EQ(ui.last, loadString(5012));
    EXPECT_EQ(progress.shown, QString::fromUtf8("写真を印刷中です。"));
    EXPECT_EQ(progress.opened, 1);
    EXPECT_EQ(progress.closed, 1);
    EXPECT_EQ(picture.width(), 64);
}

// The check box and the radios follow the printer; a click only counts
// while the check box is enabled.
TEST(ColourMatchingModel, FollowsThePrinter) {
    ColourMatchingModel m;
    m.initialise({true, true, true, 0});
    EXPECT_TRUE(m.checkEnabled());
    EXPECT_TRUE(m.checked());
    EXPECT_TRUE(m.radiosEnabled());
    EXPECT_EQ(m.selectedIntent(), 1);
    m.setChecked(false);
    EXPECT_FALSE(m.radiosEnabled());
    m.setChecked(true);
    m.selectIntent(3);
    // Another colour printer whose default intent is perceptual.
    m.refresh({true, true, true, 2});
    EXPECT_EQ(m.selectedIntent(), 2);
    // An intent the dialog does not know changes nothing.
    m.refresh({true, true, true, 7});
    EXPECT_EQ(m.selectedIntent(), 2);
    // No profile, or no colour: everything off, and a click does not turn it on.
    for (const PrinterColour off : {PrinterColour{true, false, true, 0}, PrinterColour{false, true, true, 0}}) {
        m.refresh(off);
        EXPECT_FALSE(m.checkEnabled());
        EXPECT_FALSE(m.checked());
        EXPECT_FALSE(m.radiosEnabled());
        m.setChecked(true);
        EXPECT_FALSE(m.checked());
    }
    // A printer that keeps colour matching off by default.
    m.refresh({true, true, false, 0});
    EXPECT_TRUE(m.checkEnabled());
    EXPECT_FALSE(m.checked());
    EXPECT_FALSE(m.radiosEnabled());
}

}  // namespace
