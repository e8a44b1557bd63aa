// Scanner and video requests without dialogs: SANE's "test" device and
// GStreamer's videotestsrc, and the paths where no device answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "orrery/core/config.h"
#include "orrery/sane/sane_scanner.h"
#include "orrery_fixture.h"

using namespace orrery_test;

namespace {

class OrreryCaptureDevices : public OrreryTest {
protected:
    std::string saneFolder() { return saneConfigFolder(); }
};

TEST_F(OrreryCaptureDevices, ScanWithoutDialogUsesTheTestDevice) {
    configure("scanner = test:0\nsane.config_dir = " + saneFolder());
    orrery::Picture picture = takeDib(GlobalHandle(call(ORRERY_SCAN, 0)));
    // The test device's default area is 80 x 100 mm; scanned at 150 dpi.
    EXPECT_NEAR(picture.width, 80 * 150 / 25.4, 3);
    EXPECT_NEAR(picture.height, 100 * 150 / 25.4, 3);
}

TEST_F(OrreryCaptureDevices, AutoFindsTheFirstScanner) {
    configure("scanner = auto\nsane.config_dir = " + saneFolder());
    orrery::Config config = orrery::Config::load();
    std::vector<orrery::ScannerInfo> devices = orrery::SaneScanner::devices(config);
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(orrery::SaneScanner::chosenDevice(config), devices[0].name);
    EXPECT_NE(call(ORRERY_SCAN, 0), 0);
    // The test device offers no calibration.
    EXPECT_EQ(call(ORRERY_CAPABILITIES) & 8, 0);
}

TEST_F(OrreryCaptureDevices, ScanSettingsAreHonoured) {
    configure("sane.config_dir = " + saneFolder());
    orrery::Config config = orrery::Config::load();
    orrery::Status status = 0;
    auto scanner = orrery::SaneScanner::open(config, "test:0", status);
    ASSERT_TRUE(scanner);
    orrery::ScannerChoices choices = scanner->choices();
    EXPECT_NE(std::find(choices.modes.begin(), choices.modes.end(), "Gray"), choices.modes.end());
    EXPECT_NE(std::find(choices.modes.begin(), choices.modes.end(), "Color"), choices.modes.end());
    EXPECT_GT(choices.maxArea[0], 100);
    EXPECT_FALSE(choices.canCalibrate);
    EXPECT_EQ(scanner->calibrate(), ORRERY_UNSUPPORTED);
    orrery::ScanSettings settings;
    settings.mode = "Gray";
    settings.resolution = 50;
    settings.area[0] = 0, settings.area[1] = 0, settings.area[2] = 20, settings.area[3] = 10;
    orrery::Picture picture;
    int lastPercent = -1;
    ASSERT_EQ(scanner->scan(settings, picture, [&](int p) { lastPercent = p; return true; }), ORRERY_OK);
    EXPECT_NEAR(picture.width, 20 * 50 / 25.4, 2);
    EXPECT_NEAR(picture.height, 10 * 50 / 25.4, 2);
    EXPECT_EQ(lastPercent, 100);
    // A progress callback that says no cancels the scan.
    EXPECT_EQ(scanner->scan(settings, picture, [](int) { return false; }), ORRERY_CANCELLED);
}

TEST(OrreryScanLines, ALineMustHoldThePixelsPromised) {
    struct Case {
        int bytesPerLine, pixels, channels, depth;
        bool fits;
    };
    const Case cases[] = {
        {300, 100, 3, 8, true},  {299, 100, 3, 8, false}, {600, 100, 3, 16, true}, {599, 100, 3, 16, false},
        {13, 100, 1, 1, true},   {12, 100, 1, 1, false},  {100, 100, 1, 8, true},  {0, 100, 1, 8, false},
        {400, 100, 3, 12, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orrery::SaneScanner::lineHoldsPixels(c.bytesPerLine, c.pixels, c.channels, c.depth), c.fits)
            << c.bytesPerLine << " " << c.pixels << " " << c.channels << " " << c.depth;
}

TEST_F(OrreryCaptureDevices, RefusedSettingIsNamedAndNothingScanned) {
    configure("sane.config_dir = " + saneFolder());
    orrery::Status status = 0;
    auto scanner = orrery::SaneScanner::open(orrery::Config::load(), "test:0", status);
    ASSERT_TRUE(scanner);
    orrery::ScannerChoices choices = scanner->choices();
    EXPECT_GE(choices.sources.size(), 2u);
    orrery::ScanSettings settings;
    settings.mode = "Sepia";
    settings.source = choices.sources.empty() ? "" : choices.sources.front();
    orrery::Picture picture;
    EXPECT_EQ(scanner->scan(settings, picture), ORRERY_REFUSED);
    EXPECT_EQ(scanner->refused(), std::vector<std::string>{"mode"});
    EXPECT_TRUE(picture.empty());
}

TEST_F(OrreryCaptureDevices, NoScanner) {
    for (const char* line : {"scanner = none", "scanner = nosuch:0"}) {
        configure(std::string(line) + "\nsane.config_dir = " + saneFolder());
        EXPECT_EQ(call(ORRERY_SCAN, 0), 0) << line;
        call(ORRERY_CALIBRATE, 0);  // nothing to calibrate: no crash, nothing returned
    }
}

TEST_F(OrreryCaptureDevices, VideoFrameFromTheTestSource) {
    configure("video = test\nvideo.pattern = smpte");
    orrery::Picture frame = takeDib(GlobalHandle(call(ORRERY_VIDEO_CAPTURE, 0)));
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    // SMPTE bars: white, then yellow, at the top left; not upside down (the
    // bottom rows hold the dark PLUGE strip).
    const uint8_t* white = frame.row(20) + 20 * 3;
    const uint8_t* yellow = frame.row(20) + 120 * 3;
    EXPECT_GT(white[0], 180);
    EXPECT_GT(white[2], 180);
    EXPECT_GT(yellow[0], 180);
    EXPECT_LT(yellow[2], 40);
    EXPECT_LT(frame.row(470)[20 * 3], 100);
}

TEST_F(OrreryCaptureDevices, VideoKeepsTheCamerasAspectAndDecodesMjpeg) {
    configure("video = test\nvideo.test_size = 1280x720");
    orrery::Picture wide = takeDib(GlobalHandle(call(ORRERY_VIDEO_CAPTURE, 0)));
    EXPECT_EQ(wide.width, 640);
    EXPECT_EQ(wide.height, 360);
    // A camera that sends only MJPEG: the white bar top left comes through.
    configure("video = test\nvideo.test_format = jpeg\nvideo.test_size = 320x240");
    orrery::Picture mjpeg = takeDib(GlobalHandle(call(ORRERY_VIDEO_CAPTURE, 0)));
    ASSERT_EQ(mjpeg.width, 320);
    ASSERT_EQ(mjpeg.height, 240);
    EXPECT_GT(mjpeg.row(10)[10 * 3], 180);
}

TEST_F(OrreryCaptureDevices, NoVideoSource) {
    for (const char* line : {"video = none", "video = /dev/video-missing", "video = /dev/null", "video = a b"}) {
        configure(line);
        EXPECT_EQ(call(ORRERY_VIDEO_CAPTURE, 0), 0) << line;
    }
}

TEST_F(OrreryCaptureDevices, DescribeNamesWhatAnswers) {
    configure("video = test\nscanner = test:0\nsane.config_dir = " + saneFolder());
    char text[2048] = {};
    ASSERT_GT(call(ORRERY_DESCRIBE, intptr_t(text), sizeof text), 0);
    std::string s = text;
    EXPECT_NE(s.find("camera: virtual QV-10"), std::string::npos) << s;
    EXPECT_NE(s.find("answers, 4 frames"), std::string::npos) << s;
    EXPECT_NE(s.find("scanner: test:0 answers"), std::string::npos) << s;
    EXPECT_NE(s.find("video: GStreamer test source answers"), std::string::npos) << s;
}

}  // namespace
