// The geometry and filter commands through the real program: the frame's
// commands on the view, their dialogs, the rotation outline, tilt
// correction with a drawn line, and one undo step each.
#include "tests/dialogs/widget_helpers.h"
#include "tests/quillon/program_fixture.h"

#include "effects/geometry_dialogs.h"
#include "effects/view_editor.h"
#include "image/image_effects.h"
#include "image/image_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace quillon::test {
namespace {

using dialogs_test::whenShown;

class GeometryViewTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
        auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        ASSERT_NE(sub, nullptr);
        frame().resize(1000, 760);
        sub->showNormal();
        sub->resize(700, 560);
        setPicture(640, 480);
    }
    // A photo-like picture: gradients, a dark band and a bright disc.
    void setPicture(int w, int h) {
        QImage img(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int dx = x - w * 2 / 3, dy = y - h / 3;
                const bool disc = dx * dx + dy * dy < (h / 6) * (h / 6);
                const bool band = y > h * 2 / 3 && y < h * 2 / 3 + 30;
                img.setPixel(x, y, disc ? qRgb(250, 240, 200) : band ? qRgb(30, 40, 70)
                                                                     : qRgb(x * 255 / w, 120 + y * 100 / h, 200 - x * 150 / w));
            }
        ASSERT_TRUE(view->image().fromDeviceImage(img, true, true));
        view->image().sizeChanged();
        doc->setModified(false);
        QCoreApplication::processEvents();
    }
    QImage picture() { return view->image().toDeviceImage().convertToFormat(QImage::Format_RGB32); }
    bool enabled(int id) {
        frame().updateCommandUi();
        return frame().action(id)->isEnabled();
    }
    CImageWindow* window() { return view->imageWindow(); }
    QPoint at(int x, int y) {
        const TrackerView v = view->editor()->view();
        return {v.toWindowX(x), v.toWindowY(y)};
    }
    void drag(int x0, int y0, int x1, int y1) {
        QTest::mousePress(window(), Qt::LeftButton, {}, at(x0, y0));
        for (int i = 1; i <= 2; ++i) {
            const QPoint p = at(x0 + (x1 - x0) * i / 2, y0 + (y1 - y0) * i / 2);
            QMouseEvent move(QEvent::MouseMove, p, window()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(window(), &move);
        }
        QTest::mouseRelease(window(), Qt::LeftButton, {}, at(x1, y1));
        QCoreApplication::processEvents();
    }
    // The program's window with the dialog drawn where it stands.
    void shotOver(const QString& name, QWidget* dialog) {
        const QString path = shotPath(name);
        if (path.isEmpty()) return;
        QCoreApplication::processEvents();
        QPixmap base = frame().grab();
        if (dialog) {
            QPainter p(&base);
            const QPoint place(base.width() - dialog->width() - 20, 60);
            p.drawPixmap(place, dialog->grab());
        }
        base.save(path);
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

TEST_F(GeometryViewTest, FixedRotationsAreOneUndoStepEach) {
    struct Case {
        int command;
        QSize size;
    } cases[] = {{120, {480, 640}}, {121, {480, 640}}, {122, {640, 480}}, {123, {640, 480}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        const QImage before = picture();
        ASSERT_TRUE(enabled(c.command));
        trigger(c.command);
        EXPECT_EQ(picture().size(), c.size);
        EXPECT_NE(picture(), before);
        EXPECT_TRUE(doc->isModified());
        trigger(57643);
        EXPECT_EQ(picture(), before);
        EXPECT_FALSE(doc->isModified());
    }
    // Fine rotation right is 2 degrees and left is 358, corners black.
    for (const auto& [command, degrees] : {std::pair{122, 2}, {123, 358}}) {
        auto expected = view->image().duplicate();
        ASSERT_TRUE(rotateDegrees(*expected, degrees, false, false));
        trigger(command);
        EXPECT_EQ(picture(), expected->toDeviceImage().convertToFormat(QImage::Format_RGB32)) << command;
        EXPECT_EQ(picture().pixel(0, 0), 0xFF000000u);
        EXPECT_EQ(picture().pixel(639, 479), 0xFF000000u);
        trigger(57643);
    }
}

TEST_F(GeometryViewTest, FilterOnTheSelectionKeepsItAndOneUndoRestores) {
    view->select(Rect{300, 100, 500, 260});
    const QImage before = picture();
    trigger(129);
    const QImage after = picture();
    EXPECT_EQ(view->selection(), (Rect{300, 100, 500, 260}));
    int changed = 0;
    for (int y = 0; y < 480; y += 3)
        for (int x = 0; x < 640; x += 3) {
            const bool inside = x >= 300 && x < 500 && y >= 100 && y < 260;
            if (!inside) ASSERT_EQ(after.pixel(x, y), before.pixel(x, y)) << x << "," << y;
            else changed += after.pixel(x, y) != before.pixel(x, y);
        }
    EXPECT_GT(changed, 0);
    trigger(57643);
    EXPECT_EQ(picture(), before);
    // With a selection the filters need 15 bits or more; 144 never takes a selection on 8 bits.
    EXPECT_TRUE(enabled(144));
}

TEST_F(GeometryViewTest, RotationDialogOutlinePreviewAndOk) {
    const QImage before = picture();
    QImage previewOnce;
    whenShown<RotationDlg>([&](RotationDlg* d) {
        auto* edit = d->findChild<QLineEdit*>("1021");
        ASSERT_NE(edit, nullptr);
        EXPECT_NE(d->findChild<QWidget*>("1022"), nullptr);
        EXPECT_EQ(d->windowTitle(), QString::fromUtf8("回転"));
        EXPECT_EQ(view->editor()->rotationOutlineDegrees(), 0) << "cleared and shown on opening";
        edit->setText("-");
        EXPECT_FALSE(view->editor()->rotationOutlineDegrees().has_value());
        edit->setText("-20");
        EXPECT_EQ(view->editor()->rotationOutlineDegrees(), 340);
        shotOver("geometry-rotation-outline.png", d);
        EXPECT_EQ(edit->text(), "-20");
        // Out of range: the range message and nothing changes.
        edit->setText("60");
        d->findChild<QPushButton*>("1016")->click();
        EXPECT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.icons.back(), MsgIcon::Information);
        EXPECT_EQ(picture(), before);
        edit->setText("-20");
        d->findChild<QPushButton*>("1016")->click();
        previewOnce = picture();
        EXPECT_NE(previewOnce, before);
        d->findChild<QPushButton*>("1016")->click();
        EXPECT_EQ(picture(), previewOnce) << "previews start from the backup";
        d->findChild<QPushButton*>("1")->click();
    });
    trigger(124);
    EXPECT_FALSE(view->editor()->rotationOutlineDegrees().has_value());
    EXPECT_EQ(picture(), previewOnce) << "OK applies once";
    EXPECT_EQ(picture().size(), QSize(640, 480));
    EXPECT_TRUE(doc->isModified());
    trigger(57643);
    EXPECT_EQ(picture(), before);
}

TEST_F(GeometryViewTest, RotationDialogCancelAfterPreviewChangesNothing) {
    const QImage before = picture();
    whenShown<RotationDlg>([&](RotationDlg* d) {
        d->findChild<QLineEdit*>("1021")->setText("15");
        d->findChild<QPushButton*>("1016")->click();
        EXPECT_NE(picture(), before);
        d->findChild<QPushButton*>("2")->click();
    });
    trigger(124);
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(enabled(57643));
    EXPECT_FALSE(doc->isModified());
}

TEST_F(GeometryViewTest, ResizeDialogLockAndPercent) {
    whenShown<ResizeDlg>([&](ResizeDlg* d) {
        auto* width = d->findChild<QLineEdit*>("1231");
        auto* height = d->findChild<QLineEdit*>("1234");
        ASSERT_NE(width, nullptr);
        ASSERT_NE(height, nullptr);
        EXPECT_EQ(width->text(), "640");
        EXPECT_EQ(height->text(), "480");
        EXPECT_TRUE(d->findChild<QCheckBox*>("1237")->isChecked());
        EXPECT_TRUE(d->findChild<QRadioButton*>("1238")->isChecked());
        EXPECT_EQ(d->findChild<QLabel*>("1233")->text(), QString::fromUtf8("ﾄﾞｯﾄ"));
        width->setText("320");
        emit d->findChild<NumberSpin*>("1232")->editingFinished();
        EXPECT_EQ(height->text(), "240");
        d->findChild<QRadioButton*>("1239")->click();
        EXPECT_EQ(width->text(), "50");
        EXPECT_EQ(height->text(), "50");
        EXPECT_EQ(d->findChild<QLabel*>("1236")->text(), "%");
        shotOver("geometry-resize-dialog.png", d);
        d->findChild<QPushButton*>("1")->click();
    });
    trigger(126);
    EXPECT_EQ(picture().size(), QSize(320, 240));
    trigger(57643);
    EXPECT_EQ(picture().size(), QSize(640, 480));
}

TEST_F(GeometryViewTest, TiltCorrectionWithADrawnLine) {
    trigger(125);
    auto* dialog = dialogs_test::shownWidget<TiltDlg>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(view->toolWindow(), dialog);
    EXPECT_FALSE(enabled(120)) << "the effect commands wait for the tool window";
    EXPECT_FALSE(enabled(125));
    auto* previewButton = dialog->findChild<QPushButton*>("1016");
    auto* ok = dialog->findChild<QPushButton*>("1");
    auto* prompt = dialog->findChild<QLabel*>("1223");
    EXPECT_FALSE(previewButton->isEnabled());
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(view->editor()->tracker().mode(), ToolMode::LineReady);
    const QImage before = picture();

    // A slanted line: 200 across, 20 down.
    drag(100, 200, 300, 220);
    ASSERT_TRUE(dialogs_test::waitFor([&] { return ok->isEnabled(); }));
    EXPECT_EQ(prompt->text(), QString::fromUtf8("実行を押すと、引いた線が水平になるように回転します。"));
    // atan2(20, 200) in hundredths of a degree, toward zero.
    const int t = int(std::atan2(20.0, 200.0) * 18000 / M_PI);
    EXPECT_EQ(dialog->model().correction(), -t);
    shotOver("geometry-tilt-line.png", dialog);
    previewButton->click();
    EXPECT_EQ(previewButton->text(), QString::fromUtf8("元に戻す"));
    EXPECT_NE(picture(), before);
    EXPECT_FALSE(enabled(57643)) << "a preview takes no snapshot";
    shotOver("geometry-tilt-preview.png", dialog);
    previewButton->click();
    EXPECT_EQ(previewButton->text(), QString::fromUtf8("ﾌﾟﾚﾋﾞｭｰ"));
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(ok->isEnabled()) << "a new line is needed";

    drag(100, 200, 300, 220);
    ASSERT_TRUE(dialogs_test::waitFor([&] { return ok->isEnabled(); }));
    ok->click();
    ASSERT_TRUE(dialogs_test::waitFor([&] { return view->toolWindow() == nullptr; }));
    EXPECT_EQ(view->editor()->tracker().mode(), ToolMode::Idle);
    EXPECT_NE(picture(), before);
    EXPECT_EQ(picture().size(), QSize(640, 480));
    EXPECT_TRUE(doc->isModified());
    trigger(57643);
    EXPECT_EQ(picture(), before);
}

TEST_F(GeometryViewTest, TiltAlongTheAxisTakesNoSnapshot) {
    trigger(125);
    auto* dialog = dialogs_test::shownWidget<TiltDlg>();
    ASSERT_NE(dialog, nullptr);
    const QImage before = picture();
    drag(50, 300, 400, 300);
    auto* ok = dialog->findChild<QPushButton*>("1");
    ASSERT_TRUE(dialogs_test::waitFor([&] { return ok->isEnabled(); }));
    EXPECT_EQ(dialog->model().correction(), 0);
    ok->click();
    ASSERT_TRUE(dialogs_test::waitFor([&] { return view->toolWindow() == nullptr; }));
    EXPECT_EQ(picture(), before);
    EXPECT_FALSE(enabled(57643));
    EXPECT_FALSE(doc->isModified());
}

TEST_F(GeometryViewTest, FlipAndInvertOfTheWholePicture) {
    const QImage before = picture();
    trigger(127);
    QImage after = picture();
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 7) ASSERT_EQ(after.pixel(639 - x, y), before.pixel(x, y));
    trigger(57643);
    trigger(133);
    after = picture();
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 7) ASSERT_EQ(after.pixel(x, y) & 0xFFFFFF, ~before.pixel(x, y) & 0xFFFFFF);
}

}  // namespace
}  // namespace quillon::test
