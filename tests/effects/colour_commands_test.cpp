// The colour and tone commands through the real program: the menu command,
// its dialog, the picture of the document and Undo.
#include "tests/dialogs/widget_helpers.h"
#include "tests/quillon/program_fixture.h"

#include "effects/colour_dialogs.h"
#include "effects/tone_dialogs.h"
#include "image/image_window.h"
#include "resources/strings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <random>

namespace quillon::test {
namespace {

using dialogs_test::whenShown;

// A photo-like picture: sky to ground gradients, a sun, and grain.
QImage photoLike(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 grain(7);
    std::uniform_int_distribution<int> noise(-12, 12);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int r, g, b;
            if (y < h / 2) {
                r = 90 + 60 * y / h;
                g = 140 + 50 * y / h;
                b = 220 - 30 * y / h;
            } else {
                r = 70 + 40 * x / w;
                g = 110 - 30 * (y - h / 2) / h;
                b = 40 + 20 * x / w;
            }
            const double d = std::hypot(x - w * 0.7, y - h * 0.25);
            if (d < h / 10.0) r = g = 245, b = 200;
            img.setPixel(x, y, qRgb(std::clamp(r + noise(grain), 0, 255), std::clamp(g + noise(grain), 0, 255),
                                    std::clamp(b + noise(grain), 0, 255)));
        }
    return img;
}

class ColourCommandsTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
        auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        ASSERT_NE(sub, nullptr);
        sub->showNormal();
        sub->resize(560, 440);
        ASSERT_TRUE(view->image().fromDeviceImage(photoLike(480, 360), true, true));
        QCoreApplication::processEvents();
    }
    QImage picture() { return view->image().toDeviceImage().convertToFormat(QImage::Format_RGB32); }
    bool undoEnabled() {
        frame().updateCommandUi();
        return frame().action(57643)->isEnabled();
    }
    // The frame with the dialog drawn over it where it stands.
    void shotOver(QWidget* dialog, const QString& name) {
        const QString path = shotPath(name + ".png");
        if (path.isEmpty()) return;
        QCoreApplication::processEvents();
        QImage canvas = frame().grab().toImage();
        QPainter p(&canvas);
        const QPoint at = frame().mapFromGlobal(dialog->mapToGlobal(QPoint(0, 0)));
        const QPoint place = QRect(QPoint(0, 0), canvas.size()).contains(QRect(at, dialog->size()))
                                 ? at
                                 : QPoint(canvas.width() - dialog->width() - 10, 60);
        p.fillRect(QRect(place, dialog->size()).adjusted(-1, -1, 1, 1), Qt::darkGray);
        p.drawPixmap(place, dialog->grab());
        p.end();
        canvas.save(path);
    }
    template <typename T>
    static T* child(QWidget* dialog, const char* id) {
        T* w = dialog->findChild<T*>(QString::fromLatin1(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    static void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

// The colour filter at 50, 100, 150 from the pixel's values.
QRgb filtered(QRgb c) {
    return qRgb(std::min(qRed(c) * 50 / 100, 255), qGreen(c), std::min(qBlue(c) * 150 / 100, 255));
}

TEST_F(ColourCommandsTest, PreviewTwiceShowsTheEffectOnceAndCancelLeavesNothing) {
    const QImage before = picture();
    const QRgb probe = before.pixel(40, 300);
    whenShown<ColourFilterDialog>([&](ColourFilterDialog* d) {
        type(child<QLineEdit>(d, "1062"), QStringLiteral("50"));
        type(child<QLineEdit>(d, "1066"), QStringLiteral("150"));
        d->previewButton()->click();
        d->previewButton()->click();
        EXPECT_EQ(picture().pixel(40, 300), filtered(probe)) << "once, not twice";
        shotOver(d, QStringLiteral("colour-filter-dialog"));
        child<QPushButton>(d, "IDCANCEL")->click();
    });
    trigger(140);
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(doc->isModified());
}

TEST_F(ColourCommandsTest, OkAfterPreviewAppliesOnceAndOneUndoRestores) {
    const QImage before = picture();
    whenShown<SaturationDialog>([&](SaturationDialog* d) {
        type(child<QLineEdit>(d, "1091"), QStringLiteral("0"));
        d->previewButton()->click();
        d->previewButton()->click();
        shotOver(d, QStringLiteral("saturation-dialog"));
        child<QPushButton>(d, "IDOK")->click();
    });
    trigger(135);
    const QRgb c = before.pixel(100, 50), grey = picture().pixel(100, 50);
    const int t = (qRed(c) + qGreen(c) + qBlue(c)) / 3;
    EXPECT_EQ(grey, qRgb(t, t, t));
    EXPECT_TRUE(doc->isModified());
    ASSERT_TRUE(undoEnabled());
    trigger(57643);
    EXPECT_EQ(picture(), before);
}

TEST_F(ColourCommandsTest, BrightnessContrastRefusesOutOfRangeAndWorksOnTheSelection) {
    const QImage before = picture();
    view->select(Rect{10, 10, 110, 60});
    whenShown<BrightnessContrastDialog>([&](BrightnessContrastDialog* d) {
        type(child<QLineEdit>(d, "1011"), QStringLiteral("-"));
        child<QPushButton>(d, "IDOK")->click();
        EXPECT_TRUE(d->isVisible()) << "a refused value keeps the dialog";
        EXPECT_EQ(ui.messages.value(0), loadString(5000));
        type(child<QLineEdit>(d, "1011"), QStringLiteral("40"));
        child<QCheckBox>(d, "1015")->setChecked(true);
        d->previewButton()->click();
        shotOver(d, QStringLiteral("brightness-contrast-dialog"));
        child<QPushButton>(d, "IDOK")->click();
    });
    trigger(134);
    const QImage after = picture();
    const QRgb c = before.pixel(20, 20);
    const auto bright = [](int v) { return std::clamp(int(std::lround(255 - v + 280 * 255 / 1000.0)), 0, 255); };
    EXPECT_EQ(after.pixel(20, 20), qRgb(bright(qRed(c)), bright(qGreen(c)), bright(qBlue(c))));
    EXPECT_EQ(after.pixel(200, 200), before.pixel(200, 200)) << "outside the selection";
    EXPECT_EQ(view->selection(), (Rect{10, 10, 110, 60}));
}

TEST_F(ColourCommandsTest, HueDialogLinksTheChannelsAndDrawsItsCurves) {
    whenShown<HueDialog>([&](HueDialog* d) {
        type(child<QLineEdit>(d, "1062"), QStringLiteral("30"));
        type(child<QLineEdit>(d, "1064"), QStringLiteral("-60"));
        EXPECT_EQ(d->model.values, (std::array<int, 3>{30, -60, 0}));
        shotOver(d, QStringLiteral("hue-dialog"));
        if (const QString path = shotPath(QStringLiteral("hue-curves.png")); !path.isEmpty()) d->chart()->grab().save(path);
        child<QCheckBox>(d, "1068")->setChecked(true);
        EXPECT_EQ(d->model.values, (std::array<int, 3>{-10, -10, -10}));
        type(child<QLineEdit>(d, "1066"), QStringLiteral("250"));  // clamped to 100
        EXPECT_EQ(child<QLineEdit>(d, "1062")->text(), QStringLiteral("100"));
        child<QPushButton>(d, "IDCANCEL")->click();
    });
    trigger(141);
    EXPECT_FALSE(undoEnabled());
}

TEST_F(ColourCommandsTest, HistogramCancelAfterTwoCorrectionsRestoresAndLeavesNoUndo) {
    const QImage before = picture();
    whenShown<HistogramDialog>([&](HistogramDialog* d) {
        ASSERT_TRUE(d->correctButton()->isEnabled());
        shotOver(d, QStringLiteral("histogram-dialog"));
        d->correctButton()->click();
        EXPECT_NE(picture(), before);
        d->correctButton()->click();
        child<QPushButton>(d, "IDCANCEL")->click();
    });
    trigger(136);
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(doc->isModified());

    whenShown<HistogramDialog>([&](HistogramDialog* d) {
        d->correctButton()->click();
        child<QPushButton>(d, "IDOK")->click();
    });
    trigger(136);
    EXPECT_NE(picture(), before);
    EXPECT_TRUE(doc->isModified());
    trigger(57643);
    EXPECT_EQ(picture(), before);
}

TEST_F(ColourCommandsTest, ColourShiftAppliesOnOkWithOneUndo) {
    const QImage before = picture();
    whenShown<ColourShiftDialog>([&](ColourShiftDialog* d) {
        child<QRadioButton>(d, "1355")->click();
        for (int i = 0; i < 3; ++i) child<QToolButton>(d, "1353")->click();
        EXPECT_EQ(qRed(picture().pixel(50, 5)), qRed(before.pixel(47, 5))) << "rebuilt on each arrow";
        shotOver(d, QStringLiteral("colour-shift-dialog"));
        child<QPushButton>(d, "IDOK")->click();
    });
    trigger(143);
    const QImage after = picture();
    for (int x : {0, 2, 3, 100}) {
        const QRgb want = qRgb(qRed(before.pixel(x < 3 ? x : x - 3, 9)), qGreen(before.pixel(x, 9)), qBlue(before.pixel(x, 9)));
        EXPECT_EQ(after.pixel(x, 9), want) << x;
    }
    trigger(57643);
    EXPECT_EQ(picture(), before);
}

TEST_F(ColourCommandsTest, DepthConversionAndTheTableCommands) {
    whenShown<DepthDialog>([&](DepthDialog* d) {
        EXPECT_TRUE(child<QRadioButton>(d, "1045")->isChecked());
        shotOver(d, QStringLiteral("depth-dialog"));
        child<QPushButton>(d, "IDOK")->click();  // 24 to 24 without grey: nothing
    });
    trigger(137);
    EXPECT_FALSE(undoEnabled());

    const QImage before = picture();
    const QRgb c = before.pixel(30, 30);
    trigger(146);  // low light
    EXPECT_EQ(picture().pixel(30, 30),
              qRgb(std::min(qRed(c) + 17, 255), std::min(qGreen(c) + 17, 255), std::min(qBlue(c) + 17, 255)));
    trigger(57643);
    EXPECT_EQ(picture(), before);

    whenShown<DepthDialog>([&](DepthDialog* d) {
        child<QRadioButton>(d, "1043")->click();
        child<QPushButton>(d, "IDOK")->click();
    });
    trigger(137);
    EXPECT_EQ(view->image().bitsPerPixel(), 8);
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(145)->isEnabled()) << "the photo corrections want 24 bits";
    EXPECT_TRUE(frame().action(138)->isEnabled());
    const QImage eightBits = picture();
    trigger(138);  // sepia through the palette
    EXPECT_EQ(view->image().bitsPerPixel(), 8);
    const QRgb was = eightBits.pixel(30, 300), now = picture().pixel(30, 300);
    const auto curve = [](int v, double e) { return int(std::trunc(std::pow(v * 0.00392156862745098, e) * 255.0)); };
    EXPECT_EQ(now, qRgb(curve(qRed(was), std::pow(1.075222508, -12)), curve(qGreen(was), std::pow(1.075222508, -8)),
                        curve(qBlue(was), 1.0)));
}

}  // namespace
}  // namespace quillon::test
