// The thumbnail grid's rules, driven without a widget.
#include "album/album_grid_model.h"
#include "album/album_reorder.h"
#include "album/caption_text.h"
#include "album/thumbnail_fit.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillon {
namespace {

using namespace album_state;

struct Recorder : AlbumGridObserver {
    void notify(int code) override { codes.push_back(code); }
    void okPressed() override { ++oks; }
    std::vector<int> codes;
    int oks = 0;
};

// Cells of 100 x 80 (thumbnail 96 x 64, caption line 12), a scroll bar of 16.
constexpr int kCellW = 100, kCellH = 80, kBar = 16;

struct Grid {
    Grid(int items, int columns, int rows) : model(&recorder) {
        model.setCellMetrics(96, 64, 12);
        model.setClientSize(columns * kCellW + kBar, rows * kCellH, kBar);
        for (int i = 0; i < items; ++i) model.append(QImage(4, 4, QImage::Format_RGB32));
        model.setHasFocus(true);
        recorder.codes.clear();
    }
    // The point in the middle of an item's cell, when it is on view.
    QPoint centre(int index) const {
        return {model.cellLeft(index) + kCellW / 2, model.cellTop(index) + kCellH / 2};
    }
    void click(int index, bool ctrl = false, bool shift = false) {
        const QPoint p = centre(index);
        model.press(p.x(), p.y(), ctrl, shift);
        model.release();
    }
    std::vector<int> selected() const {
        std::vector<int> out;
        for (int i = model.nextSelected(-1); i >= 0; i = model.nextSelected(i)) out.push_back(i);
        return out;
    }
    int focusMarks() const {
        int marks = 0;
        for (int i = 0; i < model.count(); ++i) marks += (model.state(i) & kFocus) ? 1 : 0;
        return marks;
    }
    Recorder recorder;
    AlbumGridModel model;
};

TEST(AlbumGrid, EmptyControlIgnoresClicksAndKeysAndHasNoScrollBar) {
    Grid g(0, 3, 2);
    g.model.press(10, 10, false, false);
    g.model.key(AlbumKey::End, false);
    g.model.key(AlbumKey::Space, false);
    EXPECT_TRUE(g.recorder.codes.empty());
    EXPECT_EQ(g.model.selectedCount(), 0);
    EXPECT_EQ(g.model.focusIndex(), -1);
    EXPECT_FALSE(g.model.scrollBar().enabled);
    EXPECT_EQ(g.model.hitTest(10, 10), -1);
}

TEST(AlbumGrid, ColumnsAndRowsFromTheClientSize) {
    AlbumGridModel model;
    model.setCellMetrics(96, 64, 12);
    model.setClientSize(kCellW / 2, 30, kBar);  // narrower than one cell plus the bar
    EXPECT_EQ(model.columns(), 1);
    EXPECT_EQ(model.visibleRows(), 0);
    model.setClientSize(3 * kCellW + kBar - 1, 2 * kCellH + 79, kBar);
    EXPECT_EQ(model.columns(), 2);
    EXPECT_EQ(model.visibleRows(), 2);
    // Points right of the grid or past the last item hit nothing.
    for (int i = 0; i < 3; ++i) model.append(QImage());
    EXPECT_EQ(model.hitTest(150, 10), 1);
    EXPECT_EQ(model.hitTest(2 * kCellW + 5, 10), -1);
    EXPECT_EQ(model.hitTest(150, 90), -1);
    EXPECT_EQ(model.hitTest(50, 90), 2);
}

// Ten items in three columns with two rows on view.
struct KeyCase {
    const char* name;
    int startFocus;
    std::vector<AlbumKey> keys;
    int focus;
    int firstRow;
};

class AlbumKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(AlbumKeys, MoveTheFocusAndTheView) {
    const KeyCase& c = GetParam();
    Grid g(10, 3, 2);
    g.model.selectItem(c.startFocus, true, false);
    for (AlbumKey k : c.keys) g.model.key(k, false);
    EXPECT_EQ(g.model.focusIndex(), c.focus);
    EXPECT_EQ(g.model.firstVisibleRow(), c.firstRow);
    EXPECT_EQ(g.selected(), std::vector<int>{c.focus}) << "the focus item alone is selected";
    EXPECT_EQ(g.focusMarks(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlbumKeys,
    ::testing::Values(KeyCase{"EndShowsRows2And3", 0, {AlbumKey::End}, 9, 2},
                      KeyCase{"PageUpFromTheEnd", 0, {AlbumKey::End, AlbumKey::PageUp}, 6, 2},
                      KeyCase{"PageUpInTheFirstRowStaysInItsColumn", 1, {AlbumKey::PageUp}, 1, 0},
                      KeyCase{"PageDownNearTheEndTakesTheLowestRowWithTheColumn", 1, {AlbumKey::PageDown, AlbumKey::PageDown}, 7, 1},
                      KeyCase{"PageDownIntoTheLastRow", 0, {AlbumKey::PageDown, AlbumKey::PageDown}, 9, 2},
                      KeyCase{"HomeFromTheEnd", 9, {AlbumKey::End, AlbumKey::Home}, 0, 0},
                      KeyCase{"RightPastTheViewScrollsARow", 5, {AlbumKey::Right}, 6, 1},
                      KeyCase{"RightStopsAtTheLast", 9, {AlbumKey::End, AlbumKey::Right}, 9, 2},
                      KeyCase{"LeftStopsAtTheFirst", 0, {AlbumKey::Left}, 0, 0},
                      KeyCase{"LeftAboveTheViewScrollsUp", 6, {AlbumKey::End, AlbumKey::Home, AlbumKey::End, AlbumKey::Left, AlbumKey::Left, AlbumKey::Left, AlbumKey::Left}, 5, 1},
                      KeyCase{"DownWhereTheColumnIsMissingStays", 7, {AlbumKey::Down, AlbumKey::Down}, 7, 1},
                      KeyCase{"DownFollowsByOneRow", 3, {AlbumKey::Down, AlbumKey::Down}, 9, 2},
                      KeyCase{"UpAtTheTopStays", 1, {AlbumKey::Up}, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AlbumGrid, ShiftKeysSelectFromTheAnchorAndSpaceTogglesReturnSendsOk) {
    Grid g(10, 3, 2);
    g.model.selectItem(2, true, false);
    g.model.key(AlbumKey::Down, true);
    g.model.key(AlbumKey::Right, true);
    EXPECT_EQ(g.selected(), (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_EQ(g.recorder.codes, (std::vector<int>{1, 2, 1, 2}));
    g.recorder.codes.clear();
    g.model.key(AlbumKey::Space, false);
    EXPECT_EQ(g.selected(), (std::vector<int>{2, 3, 4, 5}));
    g.model.key(AlbumKey::Delete, false);
    EXPECT_EQ(g.recorder.codes, (std::vector<int>{1, 4}));
    g.model.key(AlbumKey::Return, false);
    EXPECT_EQ(g.recorder.oks, 1);
    EXPECT_EQ(g.selected(), std::vector<int>{6}) << "Return ends like a movement key";
}

TEST(AlbumGrid, MouseWithCtrlAndShift) {
    Grid g(10, 3, 2);
    g.click(1);
    EXPECT_EQ(g.recorder.codes, (std::vector<int>{1, 2}));
    g.recorder.codes.clear();
    g.click(1);
    EXPECT_EQ(g.recorder.codes, std::vector<int>{1}) << "no focus change on the same item";
    g.click(4, true);
    EXPECT_EQ(g.selected(), (std::vector<int>{1, 4}));
    g.click(4, true);
    EXPECT_EQ(g.selected(), std::vector<int>{1}) << "Ctrl toggles";
    g.click(3, false, true);
    EXPECT_EQ(g.selected(), (std::vector<int>{3, 4})) << "Shift selects from the anchor Ctrl left";
    EXPECT_EQ(g.model.focusIndex(), 3);
    EXPECT_EQ(g.focusMarks(), 1);
}

TEST(AlbumGrid, RangeDragSelectsAndScrollsBelowTheView) {
    Grid g(10, 3, 2);
    const QPoint start = g.centre(1);
    g.model.press(start.x(), start.y(), false, false);
    const QPoint over = g.centre(5);
    g.model.drag(over.x(), over.y());
    EXPECT_EQ(g.selected(), (std::vector<int>{1, 2, 3, 4, 5}));
    g.model.drag(over.x(), 2 * kCellH + 5);  // below the view
    EXPECT_EQ(g.model.firstVisibleRow(), 1);
    g.model.drag(over.x(), 2 * kCellH + 5);
    EXPECT_EQ(g.model.firstVisibleRow(), 2);
    g.model.drag(over.x(), 2 * kCellH + 5);
    EXPECT_EQ(g.model.firstVisibleRow(), 2) << "the last row does not rise above the bottom";
    const QPoint last = g.centre(9);
    g.model.drag(last.x(), last.y());
    EXPECT_EQ(g.selected(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    g.model.release();
    g.model.drag(g.centre(8).x(), g.centre(8).y());
    EXPECT_EQ(g.model.focusIndex(), 9) << "no drag after the release";
}

TEST(AlbumGrid, AppendInsertRemoveAndMoveKeepTheirIndexRules) {
    Grid g(6, 3, 1);
    EXPECT_EQ(g.model.caption(5), "6");
    g.model.selectItem(4, true, false);
    EXPECT_EQ(g.model.insert(2, QImage()), 2);
    EXPECT_EQ(g.model.caption(2), "3");
    EXPECT_EQ(g.model.focusIndex(), 5) << "the focus moves up with its item";
    EXPECT_FALSE(g.model.state(2) & kHasThumbnail);

    // Moving in front of the item that stood at 'to'.
    for (int i = 0; i < g.model.count(); ++i) g.model.setCaption(i, QString(QChar(u'a' + i)));
    ASSERT_TRUE(g.model.move(0, 3));
    EXPECT_EQ(g.model.caption(2), "a");
    ASSERT_TRUE(g.model.move(6, 0));
    EXPECT_EQ(g.model.caption(0), "g");
    ASSERT_TRUE(g.model.move(1, 7));
    EXPECT_EQ(g.model.caption(6), "b");
    EXPECT_FALSE(g.model.move(7, 0));
    EXPECT_FALSE(g.model.move(0, 8));

    // Removing near the end moves the view back and clamps the focus.
    g.model.scrollToRow(2);
    EXPECT_EQ(g.model.firstVisible(), 6);
    g.model.selectItem(6, true, false);
    g.recorder.codes.clear();
    ASSERT_TRUE(g.model.remove(6));
    EXPECT_EQ(g.model.firstVisible(), 3);
    EXPECT_EQ(g.model.focusIndex(), 5);
    EXPECT_EQ(g.focusMarks(), 1);
    EXPECT_EQ(g.recorder.codes, (std::vector<int>{1, 2}));
    EXPECT_FALSE(g.model.remove(6));
    g.model.removeAll();
    EXPECT_EQ(g.model.focusIndex(), -1);
    EXPECT_FALSE(g.model.scrollBar().enabled);
}

TEST(AlbumGrid, ResizingKeepsTheLastRowAtTheBottom) {
    Grid g(10, 3, 2);
    g.model.key(AlbumKey::End, false);
    ASSERT_EQ(g.model.firstVisibleRow(), 2);
    g.model.setClientSize(5 * kCellW + kBar, 2 * kCellH, kBar);  // 5 columns: 2 rows in all
    EXPECT_EQ(g.model.firstVisible(), 0);
    EXPECT_FALSE(g.model.scrollBar().enabled);
    g.model.setClientSize(2 * kCellW + kBar, 2 * kCellH, kBar);
    EXPECT_EQ(g.model.scrollBar().maximum, 3);
    EXPECT_TRUE(g.model.scrollBar().enabled);
}

TEST(AlbumReorder, SameItemSendsNothingAndThePlaceholderTargetsTheEnd) {
    Grid g(5, 3, 2);
    AlbumReorder reorder(g.model);
    g.click(2);
    reorder.begin();
    EXPECT_EQ(g.model.count(), 6);
    EXPECT_TRUE(g.model.state(5) & kHidden);
    EXPECT_FALSE(reorder.end().has_value());
    EXPECT_EQ(g.model.count(), 5);

    g.click(2);
    reorder.begin();
    const QPoint over = g.centre(5);  // the placeholder
    reorder.drag(over.x(), over.y());
    EXPECT_TRUE(reorder.overOtherPlace());
    EXPECT_EQ(g.selected(), std::vector<int>{2}) << "the selection stays";
    const auto moved = reorder.end();
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(*moved, std::make_pair(2, 5));
    EXPECT_EQ(g.model.count(), 5);
}

TEST(CaptionText, CutAt32BytesOfTheJapaneseCodePage) {
    const struct {
        QString caption;
        QString shown;
    } cases[] = {
        {QString(40, u'x'), QString(29, u'x') + "..."},
        {QString(32, u'x'), QString(32, u'x')},
        // Byte 29 begins a double-byte character: 28 bytes are kept.
        {QString(28, u'a') + QString::fromUtf8("写真") + "bbbb", QString(28, u'a') + "..."},
        {QString(27, u'a') + QString::fromUtf8("写真") + "bbbb", QString(27, u'a') + QString::fromUtf8("写") + "..."},
        // Half-width katakana take one byte each.
        {QString::fromUtf8("ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺ.BMP"), QString::fromUtf8("ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹ...")},
    };
    for (const auto& c : cases) EXPECT_EQ(shownCaption(c.caption), c.shown) << c.caption.toStdString();
    EXPECT_EQ(shiftJisLength(QString::fromUtf8("写ｼｬa")), 5);
}

TEST(ThumbnailFit, SizesByTheMulDivRules) {
    const struct {
        int w, h, boxW, boxH, outW, outH;
    } cases[] = {
        {100, 400, 64, 44, 11, 44},  // taller than the box
        {400, 100, 64, 44, 64, 16},
        {64, 44, 64, 44, 64, 44},
        {1, 1000, 64, 44, 1, 44},    // at least 1
        {1000, 1, 64, 44, 64, 1},
        {1600, 1200, 96, 66, 88, 66},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fittedSize(c.w, c.h, c.boxW, c.boxH), QSize(c.outW, c.outH)) << c.w << "x" << c.h;
    EXPECT_EQ(mulDiv(7, 3, 2), 11);
    EXPECT_EQ(mulDiv(-7, 3, 2), -11);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
}

TEST(ThumbnailFit, CentredOnBlack) {
    QImage picture(100, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const QImage box = fitThumbnail(picture, picture.size(), QSize(64, 44));
    ASSERT_EQ(box.size(), QSize(64, 44));
    // 11 columns of white from x = 26 to 36, black around.
    EXPECT_EQ(box.pixel(25, 20), qRgb(0, 0, 0));
    EXPECT_EQ(box.pixel(26, 0), qRgb(255, 255, 255));
    EXPECT_EQ(box.pixel(36, 43), qRgb(255, 255, 255));
    EXPECT_EQ(box.pixel(37, 20), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace quillon
