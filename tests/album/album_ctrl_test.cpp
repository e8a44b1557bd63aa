// The grid widgets under real mouse and key events.
#include "album/album_ctrl.h"
#include "album/qv10_album_ctrl.h"
#include "album/thumbnail_fit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace quillon {
namespace {

QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "album-ctrl-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        QFont::insertSubstitution(QString::fromUtf8("ＭＳ 明朝"), QStringLiteral("IPAMincho"));
        return a;
    }();
    return *app;
}

QImage swatch(QColor colour, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::KeyboardModifiers mods = {}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, mods);
    QApplication::sendEvent(w, &e);
}

struct AppFirst {
    AppFirst() { qtApp(); }
};

template <typename Ctrl>
struct Shown : AppFirst {
    // Ten items in three columns, two rows on view.
    explicit Shown(int items = 10) {
        const int width = 2 * 2 + 3 * ctrl.model().cellWidth() + ctrl.scrollBar()->sizeHint().width();
        ctrl.resize(width + 4, 2 * 2 + 2 * ctrl.model().cellHeight() + 10);
        for (int i = 0; i < items; ++i)
            ctrl.appendItem(i == 3 ? QImage() : swatch(QColor::fromHsv(i * 36, 200, 220), ctrl.thumbnailSize()));
        ctrl.show();
        ctrl.activateWindow();
        ctrl.setFocus();
        QApplication::processEvents();
    }
    QPoint centre(int index) const { return ctrl.cellRect(index).center(); }
    std::vector<int> selected() const {
        std::vector<int> out;
        for (int i = ctrl.nextSelected(-1); i >= 0; i = ctrl.nextSelected(i)) out.push_back(i);
        return out;
    }
    Ctrl ctrl;
};

TEST(AlbumCtrl, GeometryComesFromTheCaptionFont) {
    Shown<CAlbumCtrl> s;
    const QFontMetrics metrics(albumMetrics(s.ctrl.logicalDpiX()).font);
    EXPECT_EQ(s.ctrl.thumbnailSize().width(), 16 * metrics.averageCharWidth());
    EXPECT_EQ(s.ctrl.thumbnailSize().height(), mulDiv(s.ctrl.thumbnailSize().width(), 36, 52));
    EXPECT_EQ(s.ctrl.model().cellHeight(), s.ctrl.thumbnailSize().height() + metrics.height() + 4);
    EXPECT_EQ(s.ctrl.model().columns(), 3);
    EXPECT_EQ(s.ctrl.model().visibleRows(), 2);
}

TEST(AlbumCtrl, ClicksWithCtrlAndShiftSelectAndNotify) {
    Shown<CAlbumCtrl> s;
    QSignalSpy spy(&s.ctrl, &CAlbumCtrl::notification);
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, {}, s.centre(1));
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, Qt::ControlModifier, s.centre(5));
    EXPECT_EQ(s.selected(), (std::vector<int>{1, 5}));
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, Qt::ShiftModifier, s.centre(2));
    EXPECT_EQ(s.selected(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(s.ctrl.focusIndex(), 2);
    std::vector<int> codes;
    for (const auto& args : spy) codes.push_back(args.at(0).toInt());
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 1, 2, 1, 2}));
    spy.clear();
    QTest::mouseDClick(&s.ctrl, Qt::LeftButton, {}, s.centre(2));
    ASSERT_FALSE(spy.isEmpty());
    EXPECT_EQ(spy.last().at(0).toInt(), 3);
    // A click beside the grid selects nothing and says nothing.
    spy.clear();
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, {}, s.centre(9) + QPoint(s.ctrl.model().cellWidth(), 0));
    EXPECT_TRUE(spy.isEmpty());
}

TEST(AlbumCtrl, RangeDragAndTheAutoScrollWhileHeldBelow) {
    Shown<CAlbumCtrl> s;
    mouse(&s.ctrl, QEvent::MouseButtonPress, s.centre(0));
    mouse(&s.ctrl, QEvent::MouseMove, s.centre(4));
    EXPECT_EQ(s.selected(), (std::vector<int>{0, 1, 2, 3, 4}));
    // Held below the control: the timer keeps scrolling without further moves.
    mouse(&s.ctrl, QEvent::MouseMove, QPoint(s.centre(4).x(), s.ctrl.height() + 20));
    QElapsedTimer clock;
    clock.start();
    while (s.ctrl.scrollBar()->value() < 2 && clock.elapsed() < 5000) QTest::qWait(20);
    EXPECT_EQ(s.ctrl.scrollBar()->value(), 2);
    mouse(&s.ctrl, QEvent::MouseButtonRelease, s.centre(9));
    const int after = s.ctrl.model().firstVisibleRow();
    mouse(&s.ctrl, QEvent::MouseMove, QPoint(5, -20));
    QTest::qWait(250);
    EXPECT_EQ(s.ctrl.model().firstVisibleRow(), after) << "no scrolling once released";
}

TEST(AlbumCtrl, KeysFollowTheTableAndMoveTheScrollBar) {
    Shown<CAlbumCtrl> s;
    QSignalSpy ok(&s.ctrl, &CAlbumCtrl::idOk);
    QTest::keyClick(&s.ctrl, Qt::Key_End);
    EXPECT_EQ(s.ctrl.focusIndex(), 9);
    EXPECT_EQ(s.ctrl.scrollBar()->value(), 2);
    EXPECT_TRUE(s.ctrl.scrollBar()->isEnabled());
    QTest::keyClick(&s.ctrl, Qt::Key_PageUp);
    EXPECT_EQ(s.ctrl.focusIndex(), 6);
    QTest::keyClick(&s.ctrl, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(s.selected(), (std::vector<int>{3, 4, 5, 6}));
    QTest::keyClick(&s.ctrl, Qt::Key_Return);
    EXPECT_EQ(ok.count(), 1);
    // The scroll bar moves the view by rows.
    s.ctrl.scrollBar()->setValue(0);
    EXPECT_EQ(s.ctrl.model().firstVisible(), 0);
}

TEST(AlbumCtrl, PaintsSelectionFocusCheckerboardEmptyBoxAndBorder) {
    Shown<CAlbumCtrl> s;
    s.ctrl.setCaption(0, QString::fromUtf8("とても長いファイル名の写真ですね_0001.JPG"));
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, {}, s.centre(1));
    QTest::mouseClick(&s.ctrl, Qt::LeftButton, Qt::ControlModifier, s.centre(4));
    QApplication::processEvents();
    const QImage shot = s.ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const QString dir = qEnvironmentVariable("QUILLON_SHOTS"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        shot.save(dir + "/album-ctrl.png");
    }
    const QColor highlight = s.ctrl.palette().color(QPalette::Highlight);
    // Item 1: selected, so its background is the highlight colour.
    const QRect one = s.ctrl.cellRect(1);
    EXPECT_EQ(shot.pixel(one.left() + 1, one.bottom() - 1), highlight.rgb());
    // Item 4 holds the focus: its frame is the 8 x 8 checkerboard.
    const QRect four = s.ctrl.cellRect(4);
    for (int x = four.left(); x < four.left() + 8; ++x) {
        const bool black = (x + four.top()) % 2 == 0;
        EXPECT_EQ(shot.pixel(x, four.top()), black ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x;
    }
    // Item 3 has no thumbnail yet: an outlined box on white.
    const QRect three = s.ctrl.cellRect(3);
    EXPECT_EQ(shot.pixel(three.left() + 2, three.top() + 10), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(three.left() + 10, three.top() + 10), qRgb(255, 255, 255));
    // The thumbnail of item 2 sits at (2, 2) inside its cell.
    const QRect two = s.ctrl.cellRect(2);
    EXPECT_EQ(shot.pixel(two.left() + 2, two.top() + 2), QColor::fromHsv(72, 200, 220).rgb());
    // The sunken border: inner top-left black.
    EXPECT_EQ(shot.pixel(1, 10), qRgb(0, 0, 0));
}

TEST(QV10AlbumCtrl, ReorderDragSendsSourceAndTarget) {
    Shown<CQV10AlbumCtrl> s(5);
    QSignalSpy spy(&s.ctrl, &CQV10AlbumCtrl::reorderRequested);
    // Onto itself: nothing.
    mouse(&s.ctrl, QEvent::MouseButtonPress, s.centre(2));
    mouse(&s.ctrl, QEvent::MouseMove, s.centre(2) + QPoint(3, 3));
    mouse(&s.ctrl, QEvent::MouseButtonRelease, s.centre(2) + QPoint(3, 3));
    EXPECT_TRUE(spy.isEmpty());
    EXPECT_EQ(s.ctrl.model().count(), 5);
    // Onto the placeholder after the last frame: (2, count).
    mouse(&s.ctrl, QEvent::MouseButtonPress, s.centre(2));
    ASSERT_EQ(s.ctrl.model().count(), 6);
    mouse(&s.ctrl, QEvent::MouseMove, s.centre(5));
    EXPECT_EQ(s.ctrl.cursor().shape(), Qt::DragMoveCursor);
    EXPECT_EQ(s.selected(), std::vector<int>{2}) << "only the focus mark moves";
    mouse(&s.ctrl, QEvent::MouseButtonRelease, s.centre(5));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 5);
    EXPECT_EQ(s.ctrl.model().count(), 5);
    EXPECT_EQ(s.ctrl.cursor().shape(), Qt::ArrowCursor);
    // Onto item 0.
    mouse(&s.ctrl, QEvent::MouseButtonPress, s.centre(4));
    mouse(&s.ctrl, QEvent::MouseMove, s.centre(0));
    mouse(&s.ctrl, QEvent::MouseButtonRelease, s.centre(0));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 4);
    EXPECT_EQ(spy.at(1).at(1).toInt(), 0);
}

TEST(AlbumCtrl, FewerThan15BitsShowTheThreeThreeTwoColours) {
    const std::vector<QRgb> table = albumScreenPalette();
    EXPECT_EQ(table[size_t(7 + 8 * 7 + 64 * 3)], qRgb(224, 224, 192));
    const QImage reduced = reducedToScreen(swatch(QColor(100, 150, 250), QSize(4, 4)), 8);
    const QColor c(reduced.pixel(0, 0));
    EXPECT_EQ(c.red() % 32, 0);
    EXPECT_EQ(c.green() % 32, 0);
    EXPECT_EQ(c.blue() % 64, 0);
    EXPECT_EQ(reducedToScreen(swatch(QColor(100, 150, 250), QSize(4, 4)), 16).pixel(0, 0), qRgb(100, 150, 250));
}

}  // namespace
}  // namespace quillon
