#include "program_fixture.h"

#include "doc/doc_dialogs.h"
#include "resources/strings.h"

#include <QFile>
#include <QRadioButton>
#include <QSpinBox>

namespace quillon::test {
namespace {

TEST(QuillonDialogs, NewImageRangesDefaultsAndDepthButtons) {
    qtApp();
    NewImageDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("新規イメージ"));
    auto* width = dialog.findChild<QSpinBox*>(QStringLiteral("1361"));
    auto* height = dialog.findChild<QSpinBox*>(QStringLiteral("1362"));
    ASSERT_TRUE(width && height);
    EXPECT_EQ(width->minimum(), 1);
    EXPECT_EQ(width->maximum(), 65535);
    EXPECT_EQ(height->maximum(), 65535);
    const NewImageChoice start = dialog.choice();
    EXPECT_EQ(start.width, 640);
    EXPECT_EQ(start.height, 480);
    EXPECT_EQ(start.bits, 24);
    const std::pair<const char*, int> buttons[] = {{"1041", 1}, {"1042", 4}, {"1043", 8}, {"1044", 16}, {"1045", 24}};
    for (auto [id, bits] : buttons) {
        auto* radio = dialog.findChild<QRadioButton*>(QLatin1String(id));
        ASSERT_NE(radio, nullptr) << id;
        radio->setChecked(true);
        EXPECT_EQ(dialog.choice().bits, bits) << id;
    }
    width->setValue(70000);
    EXPECT_EQ(dialog.choice().width, 65535);
}

TEST(QuillonDialogs, ZoomDialogAcceptsTenToThousand) {
    qtApp();
    ZoomDialog dialog(250, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("ｽﾞｰﾑ倍率"));
    auto* zoom = dialog.findChild<QSpinBox*>(QStringLiteral("1241"));
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(dialog.zoom(), 250);
    EXPECT_EQ(zoom->minimum(), 10);
    EXPECT_EQ(zoom->maximum(), 1000);
}

TEST_F(ProgramTest, OpeningABrokenFileShowsTheImagingErrorAndLeavesNoDocument) {
    ASSERT_TRUE(start());
    const QString path = home.filePath("broken.bmp");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BM this is not a bitmap at all");
    f.close();
    EXPECT_EQ(app->openDocument(path), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_NE(ui.messages.front(), loadString(5008));
    EXPECT_FALSE(ui.messages.front().isEmpty());
    EXPECT_EQ(frame().documents().size(), 1);
}

}  // namespace
}  // namespace quillon::test
