// Colour matching in the printed page: each intent maps the picture's
// colours its own way through the printer's profile; without matching the
// page holds the picture's own pixels.
#include "frame/colour_matching.h"
#include "frame/colour_matching_model.h"
#include "frame/print_device.h"
#include "frame/print_job.h"
#include "image/image_object.h"
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
    int dpiX() const override { return 96; }
    int dpiY() const override { return 96; }
    int pageWidth() const override { return page.width(); }
    int pageHeight() const override { return page.height(); }
    bool blackOnly() const override { return false; }
    QPaintDevice* startDocument(const QString&) override { return &page; }
    int endDocument() override { return 1; }
    void abortDocument() override { aborted = true; }
    QImage page;
    bool aborted = false;
};

class SilentUi : public UiPort {
public:
    MsgAnswer message(const QString&, MsgButtons, MsgIcon) override {
        ++messages;
        return MsgAnswer::Ok;
    }
    void beep() override {}
    int messages = 0;
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
