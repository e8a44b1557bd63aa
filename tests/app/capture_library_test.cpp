#include "app/capture_library.h"
#include "resources/strings.h"
#include "scripted_ui.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

TEST(AppCaptureLibrary, EveryBindingOutcome) {
    struct Case {
        const char* path;
        BindOutcome outcome;
        int message;  // 0: none
        bool loaded, camera, calibration;
    };
    const Case cases[] = {
        {FAKE_ORRERY_FULL, BindOutcome::Bound, 0, true, true, true},
        {FAKE_ORRERY_CAMERA, BindOutcome::Bound, 0, true, true, false},  // only the low 16 bits count
        {"/nonexistent/liborrery32.so", BindOutcome::NotLoaded, 0, false, false, false},
        {FAKE_ORRERY_NOENTRY, BindOutcome::NoEntry, 0, false, false, false},
        {FAKE_ORRERY_VERSION, BindOutcome::WrongVersion, 5059, false, false, false},
        {FAKE_ORRERY_NOBOARD, BindOutcome::NoBoard, 5061, false, false, false},
    };
    for (const Case& c : cases) {
        test::ScriptedUi ui;
        CaptureLibrary library;
        EXPECT_EQ(library.bind(QString::fromUtf8(c.path), ui), c.outcome) << c.path;
        EXPECT_EQ(library.loaded(), c.loaded) << c.path;
        EXPECT_EQ(library.camera(), c.camera) << c.path;
        EXPECT_EQ(library.calibration(), c.calibration) << c.path;
        if (c.message) EXPECT_EQ(ui.messages, QStringList{loadString(c.message)}) << c.path;
        else EXPECT_TRUE(ui.messages.isEmpty()) << c.path;
        EXPECT_EQ(library.call(0), c.loaded ? (c.path == std::string(FAKE_ORRERY_CAMERA) ? 0x10102 : 258) : 0);
    }
}

TEST(AppCaptureLibrary, UnloadDropsEverything) {
    test::ScriptedUi ui;
    CaptureLibrary library;
    ASSERT_EQ(library.bind(QStringLiteral(FAKE_ORRERY_FULL), ui), BindOutcome::Bound);
    library.unload();
    EXPECT_FALSE(library.loaded());
    EXPECT_FALSE(library.camera());
    EXPECT_EQ(library.call(0), 0);
}

}  // namespace
}  // namespace quillon
