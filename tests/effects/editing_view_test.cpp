// Editing through the real program: mouse and keys on the view, the edit
// commands of the frame, undo after each.
#include "tests/quillon/program_fixture.h"

#include "effects/clipboard.h"
#include "effects/edit_commands.h"
#include "effects/text_dialog.h"
#include "effects/view_editor.h"
#include "image/image_window.h"
#include "resources/strings.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

namespace quillon::test {
namespace {

constexpr QRgb kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF;

class EditingTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        openView(onlyDocument());
        paintRect(Rect{100, 100, 140, 140}, kRed);
    }
    void openView(CQuillonDoc* document) {
        ASSERT_NE(document, nullptr);
        doc = document;
        view = doc->view();
        auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
        ASSERT_NE(sub, nullptr);
        sub->showNormal();
        sub->resize(760, 600);
        QCoreApplication::processEvents();
        view->setFocus();
    }
    ViewEditor& editor() { return *view->editor(); }
    SelectionTracker& tracker() { return editor().tracker(); }
    CImageWindow* window() { return view->imageWindow(); }
    // A picture pixel's place in the image window.
    QPoint at(int x, int y) {
        const TrackerView v = editor().view();
        return {v.toWindowX(x), v.toWindowY(y)};
    }
    void press(int x, int y) {
        QTest::mousePress(window(), Qt::LeftButton, {}, at(x, y));
        buttons = Qt::LeftButton;
    }
    // A move as the system sends it, with the buttons held (QTest's own may not arrive).
    void moveTo(int x, int y) {
        const QPoint p = at(x, y);
        QMouseEvent move(QEvent::MouseMove, p, window()->mapToGlobal(p), Qt::NoButton, buttons, {});
        QApplication::sendEvent(window(), &move);
    }
    void release(int x, int y) {
        QTest::mouseRelease(window(), Qt::LeftButton, {}, at(x, y));
        buttons = Qt::NoButton;
    }
    void drag(int x0, int y0, int x1, int y1) {
        press(x0, y0);
        moveTo((x0 + x1) / 2, (y0 + y1) / 2);
        moveTo(x1, y1);
        release(x1, y1);
    }
    void key(Qt::Key k) { QTest::keyClick(window(), k); }
    void paintRect(const Rect& r, QRgb colour) {
        QImage block(r.width(), r.height(), QImage::Format_RGB32);
        block.fill(colour);
        CImageObject piece;
        ASSERT_TRUE(piece.fromDeviceImage(block, false, false));
        ASSERT_TRUE(view->image().combine(r.left, r.top, r.width(), r.height(), piece, 0, 0, 288, true));
    }
    QRgb pixel(int x, int y) { return view->image().toDeviceImage().pixel(x, y) & 0xFFFFFF; }
    // Every pixel of the rectangle has the colour.
    bool filled(const Rect& r, QRgb colour) {
        const QImage img = view->image().toDeviceImage().convertToFormat(QImage::Format_RGB32);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) != colour) return false;
        return true;
    }
    bool undoEnabled() {
        frame().updateCommandUi();
        return frame().action(57643)->isEnabled();
    }
    void shot(const QString& name) {
        const QString path = shotPath(name);
        if (!path.isEmpty()) window()->grab().save(path);
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
    Qt::MouseButtons buttons = Qt::NoButton;
};

TEST_F(EditingTest, SelectMoveByEnterAndUndo) {
    drag(100, 100, 140, 140);
    EXPECT_EQ(tracker().mode(), ToolMode::SelectionLifted);
    EXPECT_EQ(view->selection(), (Rect{100, 100, 140, 140}));
    drag(120, 120, 320, 220);
    EXPECT_EQ(view->selection(), (Rect{300, 200, 340, 240}));
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed)) << "nothing is edited before the commit";
    EXPECT_FALSE(undoEnabled());
    key(Qt::Key_Return);
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    EXPECT_TRUE(filled(Rect{300, 200, 340, 240}, kRed));
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kWhite));
    EXPECT_TRUE(doc->isModified());
    ASSERT_TRUE(undoEnabled());
    trigger(57643);
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed));
    EXPECT_TRUE(filled(Rect{300, 200, 340, 240}, kWhite));
}

TEST_F(EditingTest, ResizeByEachHandleThenCommitByAClickOutside) {
    drag(100, 100, 140, 140);
    // Each handle grabbed inside its zone (edge pixels) and pulled 10 pixels out.
    struct Case {
        int x, y, toX, toY;
        Rect after;
    };
    const Case cases[] = {
        {100, 100, 90, 90, {90, 90, 140, 140}},   {112, 90, 112, 80, {90, 80, 140, 140}},
        {139, 80, 149, 70, {90, 70, 149, 140}},   {90, 102, 80, 102, {80, 70, 149, 140}},
        {148, 102, 158, 102, {80, 70, 158, 140}}, {80, 139, 70, 149, {70, 70, 158, 149}},
        {112, 148, 112, 158, {70, 70, 158, 158}}, {157, 157, 167, 167, {70, 70, 167, 167}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        drag(c.x, c.y, c.toX, c.toY);
        EXPECT_EQ(view->selection(), c.after);
    }
    press(400, 400);  // outside: the resize is applied and a rubber band starts
    EXPECT_EQ(tracker().mode(), ToolMode::RubberBand);
    release(400, 400);
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    EXPECT_TRUE(filled(Rect{72, 72, 165, 165}, kRed)) << "40 x 40 red stretched to 97 x 97";
    EXPECT_EQ(pixel(69, 69), kWhite);
    EXPECT_EQ(pixel(167, 167), kWhite);
    trigger(57643);
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed));
    EXPECT_EQ(pixel(99, 99), kWhite);
}

TEST_F(EditingTest, PointerShapesFollowTheHandles) {
    moveTo(300, 300);
    EXPECT_EQ(window()->cursor().shape(), Qt::CrossCursor);
    drag(100, 100, 140, 140);
    const std::pair<QPoint, Qt::CursorShape> cases[] = {
        {{101, 101}, Qt::SizeFDiagCursor}, {{138, 101}, Qt::SizeBDiagCursor},
        {{122, 101}, Qt::SizeVerCursor},   {{101, 122}, Qt::SizeHorCursor},
        {{120, 120}, Qt::BitmapCursor},    {{300, 300}, Qt::ArrowCursor},
    };
    for (const auto& [p, shape] : cases) {
        moveTo(p.x(), p.y());
        EXPECT_EQ(window()->cursor().shape(), shape) << p.x() << "," << p.y();
    }
    trigger(106);
    trigger(107);
    moveTo(5, 5);
    EXPECT_EQ(window()->cursor().shape(), Qt::CrossCursor) << "24 bits: no transparent colour to pick";
}

TEST_F(EditingTest, DraggingPastTheWindowEdgeScrollsOneLine) {
    view->setZoom(400);
    QCoreApplication::processEvents();
    while (view->image().scrollX < 300) window()->scrollLine(Qt::Horizontal, 1);
    const int before = view->image().scrollX;
    press(100, 100);
    EXPECT_TRUE(tracker().dragging());
    const QPoint outside(-5, at(100, 100).y());
    QMouseEvent move(QEvent::MouseMove, outside, window()->mapToGlobal(outside), Qt::NoButton, buttons, {});
    QApplication::sendEvent(window(), &move);
    EXPECT_LT(view->image().scrollX, before) << "one line to the left";
    release(90, 100);
    EXPECT_FALSE(tracker().dragging());
}

TEST_F(EditingTest, EscapeOnAMovedSelectionChangesNothing) {
    drag(100, 100, 140, 140);
    drag(110, 110, 210, 110);
    key(Qt::Key_Escape);
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    EXPECT_FALSE(view->selection().has_value());
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed));
    EXPECT_TRUE(filled(Rect{200, 100, 240, 140}, kWhite));
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(doc->isModified());
}

TEST_F(EditingTest, ArrowKeysNudgeWhatFloatsAndCommitLikeADrag) {
    // A lifted selection: Right twice, Shift+Down once; nothing is edited
    // before Enter, then one undo step brings the old picture back.
    drag(100, 100, 140, 140);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    QTest::keyClick(window(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(view->selection(), (Rect{102, 110, 142, 150}));
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed));
    EXPECT_FALSE(undoEnabled());
    key(Qt::Key_Return);
    EXPECT_TRUE(filled(Rect{102, 110, 142, 150}, kRed));
    EXPECT_EQ(pixel(101, 105), kWhite);
    trigger(57643);
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed)) << "one undo step takes back the nudges and the commit";
    EXPECT_EQ(pixel(141, 145), kWhite);

    // A selection made by the command, its pixels not lifted yet: the first
    // arrow lifts them, as the first drag does.
    view->select(Rect{100, 100, 140, 140});
    QTest::keyClick(window(), Qt::Key_Left, Qt::ShiftModifier);
    key(Qt::Key_Up);
    EXPECT_EQ(view->selection(), (Rect{90, 99, 130, 139}));
    key(Qt::Key_Return);
    EXPECT_TRUE(filled(Rect{90, 99, 130, 139}, kRed));
    EXPECT_EQ(pixel(135, 135), kWhite);
    trigger(57643);

    // A floating paste stays over the picture by one column however far it is pushed.
    drag(100, 100, 140, 140);
    trigger(57634);
    trigger(106);
    trigger(57637);
    ASSERT_EQ(tracker().mode(), ToolMode::PasteFloating);
    for (int i = 0; i < 200; ++i) QTest::keyClick(window(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(tracker().selection().right, 1);
    EXPECT_EQ(tracker().mode(), ToolMode::PasteFloating);

    // With nothing floating the arrows change nothing.
    key(Qt::Key_Escape);
    const QImage before = view->image().toDeviceImage();
    key(Qt::Key_Right);
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    EXPECT_EQ(view->image().toDeviceImage(), before);
}

TEST_F(EditingTest, CopyPasteDragAndClickBurnsIn) {
    drag(100, 100, 140, 140);
    trigger(57634);
    EXPECT_EQ(tracker().mode(), ToolMode::SelectionLifted) << "the copied area stays selected";
    trigger(106);
    EXPECT_FALSE(view->selection().has_value());
    trigger(57637);
    ASSERT_EQ(tracker().mode(), ToolMode::PasteFloating);
    const Rect floating = tracker().selection();
    EXPECT_EQ(floating.width(), 40);
    drag(floating.left + 5, floating.top + 5, 305, 305);
    EXPECT_EQ(tracker().selection(), (Rect{300, 300, 340, 340}));
    EXPECT_TRUE(filled(Rect{300, 300, 340, 340}, kWhite));
    drag(320, 320, 320, 320);  // a click without movement
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    EXPECT_TRUE(filled(Rect{300, 300, 340, 340}, kRed));
    EXPECT_TRUE(filled(Rect{100, 100, 140, 140}, kRed));
    trigger(57643);
    EXPECT_TRUE(filled(Rect{300, 300, 340, 340}, kWhite));
}

TEST_F(EditingTest, ClickOutsideAFloatingPastePlacesItAndStartsARubberBand) {
    drag(100, 100, 140, 140);
    trigger(57634);
    trigger(57637);
    const Rect floating = tracker().selection();
    press(10, 10);
    EXPECT_EQ(tracker().mode(), ToolMode::RubberBand);
    EXPECT_TRUE(filled(floating, kRed));
    moveTo(30, 20);
    release(30, 20);
    EXPECT_EQ(view->selection(), (Rect{10, 10, 30, 20}));
    trigger(57643);
    EXPECT_EQ(pixel(floating.left + 1, floating.top + 1), kWhite);
    // Select all places a floating paste before it selects.
    trigger(57637);
    const Rect again = tracker().selection();
    trigger(105);
    EXPECT_EQ(view->selection(), (Rect{0, 0, 640, 480}));
    EXPECT_TRUE(filled(again, kRed));
}

TEST_F(EditingTest, CutLeavesWhiteAndDeleteKeepsTheSelection) {
    drag(100, 100, 120, 120);
    trigger(57635);
    EXPECT_TRUE(filled(Rect{100, 100, 120, 120}, kWhite));
    EXPECT_TRUE(filled(Rect{120, 120, 140, 140}, kRed));
    const std::shared_ptr<CImageObject> cut = clipboardPicture();
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->width(), 20);
    EXPECT_EQ(cut->toDeviceImage().pixel(5, 5) & 0xFFFFFF, kRed);
    trigger(57643);
    EXPECT_TRUE(filled(Rect{100, 100, 120, 120}, kRed));
    trigger(105);
    EXPECT_EQ(view->selection(), (Rect{0, 0, 640, 480}));
    trigger(57632);
    EXPECT_TRUE(filled(Rect{0, 0, 640, 480}, kWhite));
    EXPECT_EQ(view->selection(), (Rect{0, 0, 640, 480}));
}

TEST_F(EditingTest, TransparentPasteShowsThePictureThroughItsWhite) {
    paintRect(Rect{0, 0, 640, 480}, kBlue);
    QImage source(60, 40, QImage::Format_RGB32);
    source.fill(Qt::white);
    for (int y = 10; y < 30; ++y)
        for (int x = 20; x < 40; ++x) source.setPixel(x, y, qRgb(255, 0, 0));
    auto data = std::make_unique<QMimeData>();
    data->setImageData(source);
    QGuiApplication::clipboard()->setMimeData(data.release());
    trigger(104);
    ASSERT_EQ(tracker().mode(), ToolMode::PasteFloating);
    const Rect r = tracker().selection();
    shot("editing-floating-transparent-paste.png");
    const QImage seen = window()->grab().toImage();
    const QPoint corner = at(r.left + 2, r.top + 2), middle = at(r.left + 30, r.top + 20);
    EXPECT_EQ(seen.pixel(corner) & 0xFFFFFF, kBlue) << "white is transparent while floating";
    EXPECT_EQ(seen.pixel(middle) & 0xFFFFFF, kRed);
    key(Qt::Key_Return);
    EXPECT_EQ(pixel(r.left + 2, r.top + 2), kBlue);
    EXPECT_EQ(pixel(r.left + 30, r.top + 20), kRed);
}

TEST_F(EditingTest, TransparentColourIsPickedOnAnEightBitPicture) {
    app->dialogs.chooseNewImage = []() -> std::optional<NewImageChoice> { return NewImageChoice{64, 48, 8}; };
    trigger(57600);
    openView(frame().activeDocument());
    ASSERT_EQ(view->image().bitsPerPixel(), 8);
    paintRect(Rect{10, 10, 20, 20}, 0x000000);
    frame().updateCommandUi();
    ASSERT_TRUE(frame().action(107)->isEnabled());
    trigger(107);
    EXPECT_EQ(tracker().mode(), ToolMode::PickTransparent);
    press(15, 15);
    release(15, 15);
    const GifOptions& gif = view->image().gifOptions;
    EXPECT_EQ(gif.transparent, 1);
    EXPECT_EQ(gif.transparentIndex, int(view->image().pixelValue(15, 15)));
    EXPECT_NE(view->image().pixelValue(15, 15), view->image().pixelValue(30, 30));
    EXPECT_EQ(ui.beeps, 1);
    EXPECT_EQ(tracker().mode(), ToolMode::Idle);
    trigger(107);
    press(30, 30);
    release(30, 30);
    EXPECT_EQ(gif.transparentIndex, int(view->image().pixelValue(30, 30)));
    EXPECT_FALSE(undoEnabled()) << "picking changes no pixel";
}

TEST_F(EditingTest, TextFloatsCentredAndBurnsInInItsColour) {
    std::vector<TextSettings> offered;
    app->editDialogs.chooseText = [&](const TextSettings& initial) -> std::optional<TextSettings> {
        offered.push_back(initial);
        TextSettings chosen = initial;
        chosen.font.setPixelSize(28);
        chosen.font.setUnderline(true);
        chosen.colour = imaging::makeColorRef(255, 0, 0);
        chosen.text = QString::fromUtf8("日本語の文字");
        return chosen;
    };
    trigger(142);
    ASSERT_EQ(tracker().mode(), ToolMode::TextFloating);
    const Rect r = tracker().selection();
    shot("editing-floating-japanese-text.png");
    key(Qt::Key_Escape);
    EXPECT_FALSE(undoEnabled()) << "Escape discards the text";
    trigger(142);
    key(Qt::Key_Return);
    ASSERT_EQ(offered.size(), 2u);
    for (const TextSettings& s : offered) {
        EXPECT_EQ(s.font.family(), QString::fromUtf8("ＭＳ 明朝"));
        EXPECT_EQ(s.font.pixelSize(), 13);
        EXPECT_FALSE(s.font.underline()) << "the dialog opens on the same font every time";
        EXPECT_EQ(s.colour, 0u);
    }
    int red = 0, other = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const QRgb c = pixel(x, y);
            red += c == kRed;
            other += c != kRed && c != kWhite;
        }
    EXPECT_GT(red, r.width());  // glyphs and the underline
    EXPECT_EQ(other, 0);
    trigger(57643);
    EXPECT_EQ(pixel(r.left + r.width() / 2, r.bottom - 2), kWhite);
}

TEST_F(EditingTest, TextDialogCarriesItsOwnControls) {
    TextDialog dialog(initialTextSettings(96), nullptr);
    EXPECT_EQ(dialog.objectName(), "1270");
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("文字"));
    EXPECT_TRUE(dialog.testOption(QFontDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.currentFont().family(), "IPAMincho") << "the IPA font stands in for ＭＳ 明朝";
    EXPECT_EQ(dialog.currentFont().pointSize(), 10);
    EXPECT_FALSE(dialog.currentFont().bold());
    auto* edit = dialog.findChild<QLineEdit*>("1271");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->maxLength(), 255);
    ASSERT_NE(dialog.findChild<QComboBox*>("1139"), nullptr);
    EXPECT_NE(dialog.findChild<QWidget*>("1040"), nullptr);
    EXPECT_NE(dialog.findChild<QWidget*>("1041"), nullptr);
    edit->setText(QString::fromUtf8("かな漢字"));
    dialog.colourList()->setCurrentIndex(9);
    dialog.show();
    QCoreApplication::processEvents();
    const QString path = shotPath("editing-text-dialog.png");
    if (!path.isEmpty()) dialog.grab().save(path);
    const TextSettings s = dialog.settings();
    EXPECT_EQ(s.text, QString::fromUtf8("かな漢字"));
    EXPECT_EQ(s.colour, imaging::makeColorRef(255, 0, 0));
}

TEST_F(EditingTest, PasteIntoANewFileMakesADocumentOfTheClipboardPicture) {
    const int before = frame().documents().size();
    QGuiApplication::clipboard()->clear();
    trigger(103);
    EXPECT_EQ(frame().documents().size(), before) << "no picture: nothing happens";
    CImageObject small;
    small.create(30, 20, 8);
    small.allocate(1);
    ASSERT_TRUE(copyToClipboard(small, std::nullopt));
    trigger(103);
    ASSERT_EQ(frame().documents().size(), before + 1);
    CQuillonView* made = frame().activeView();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->image().width(), 30);
    EXPECT_EQ(made->image().bitsPerPixel(), 8);
    EXPECT_EQ(made->zoom(), 100);
    EXPECT_FALSE(made->document().isModified());
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(EditingTest, ScreenshotsOfASelectionAtOneAndFourHundredPercent) {
    drag(100, 100, 140, 140);
    shot("editing-selection-100.png");
    QImage seen = window()->grab().toImage();
    // The top-left handle inverts the red to cyan.
    const QPoint corner = at(100, 100);
    EXPECT_EQ(seen.pixel(corner + QPoint(2, 2)) & 0xFFFFFF, 0x00FFFFu);
    view->setZoom(400);
    QCoreApplication::processEvents();
    while (view->image().scrollX < 300) window()->scrollLine(Qt::Horizontal, 1);
    while (view->image().scrollY < 300) window()->scrollLine(Qt::Vertical, 1);
    QCoreApplication::processEvents();
    shot("editing-selection-400.png");
    seen = window()->grab().toImage();
    const QPoint c4 = at(100, 100);
    EXPECT_EQ(seen.pixel(c4 + QPoint(5, 5)) & 0xFFFFFF, 0x00FFFFu) << "handles stay 6 x 6";
    EXPECT_EQ(seen.pixel(c4 + QPoint(7, 7)) & 0xFFFFFF, kRed);
}

}  // namespace
}  // namespace quillon::test
