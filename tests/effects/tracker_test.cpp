// The selection tracker over a recording host: no widgets, no pictures.
#include "effects/selection_tracker.h"
#include "effects/tracker_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace quillon {
namespace {

class RecordingHost : public TrackerHost {
public:
    TrackerView v{640, 480, 100, 0, 0, 640, 480};
    bool liftSucceeds = true;
    std::vector<std::string> calls;
    std::vector<Rect> lifted;
    struct Move {
        Rect home, now;
    };
    std::vector<Move> moves;
    std::vector<std::pair<int, int>> pastes, picks;
    std::vector<const CImageObject*> pastedSources;
    std::vector<Rect> texts;
    std::vector<std::pair<int, int>> scrolls;
    int captures = 0;
    int linesFinished = 0;

    TrackerView view() const override { return v; }
    bool liftPixels(const Rect& rect, FloatingObject& into) override {
        lifted.push_back(rect);
        if (!liftSucceeds) return false;
        into.width = rect.width();
        into.height = rect.height();
        into.shown = QImage(into.width, into.height, QImage::Format_ARGB32);
        return true;
    }
    void commitPaste(const FloatingObject& object, int left, int top) override {
        pastes.push_back({left, top});
        pastedSources.push_back(object.pasteSource.get());
    }
    void commitText(const FloatingObject&, const Rect& rect) override { texts.push_back(rect); }
    void commitMove(const Rect& home, const Rect& now) override { moves.push_back({home, now}); }
    void pickTransparent(int x, int y) override { picks.push_back({x, y}); }
    void scrollLine(int dx, int dy) override { scrolls.push_back({dx, dy}); }
    void setCapture(bool on) override { captures += on ? 1 : -1; }
    void overlayChanged(bool) override {}
    void lineFinished() override { ++linesFinished; }
    void setCursor(TrackerCursor) override {}
};

void drag(SelectionTracker& t, int x0, int y0, int x1, int y1) {
    t.buttonDown(x0, y0);
    t.mouseMove(x1, y1);
    t.buttonUp(x1, y1);
}

FloatingObject pasteObject(int w, int h, std::shared_ptr<const CImageObject> source = nullptr) {
    FloatingObject f;
    f.width = w;
    f.height = h;
    f.pasteSource = source ? source : std::make_shared<CImageObject>();
    return f;
}

TEST(MulDiv, RoundsHalfAwayFromZeroAsWindowsDoes) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {5, 1, 2, 3},   {-5, 1, 2, -3},  {7, 1, 2, 4},     {4, 1, 3, 1},  {5, 1, 3, 2},
        {2, 100, 400, 1}, {1, 100, 400, 0}, {10, 100, 200, 5}, {3, 200, 100, 6},
        {5, -1, 2, -3}, {5, 1, -2, -3}, {-5, -1, 2, 3},  {1, 1, 0, -1}, {INT_MAX, 2, 1, -1},
        {10, 96, 72, 13},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(TrackerView, ConvertsThroughZoomAndScroll) {
    TrackerView v{100, 100, 200, 0, 0, 300, 300};
    EXPECT_EQ(v.toPictureX(10), 5);  // zoom 200, client (10, 10) is pixel (5, 5)
    EXPECT_EQ(v.toPictureY(10), 5);
    v.zoom = 400;
    EXPECT_EQ(v.toPictureX(10), 3);  // 2.5 rounds up
    EXPECT_EQ(v.toWindowX(3), 12);
    v.scrollX = -20;  // centring margin
    EXPECT_EQ(v.toWindowX(0), 20);
    EXPECT_EQ(v.toPictureX(20), 0);
    v.zoom = 25;
    v.scrollX = 0;
    EXPECT_EQ(v.toWindowX(6), 2);  // 1.5 rounds up
}

TEST(HitTest, ZonesAtFourHundredPercentStayEightOrTenWindowPixels) {
    // Picture rectangle (10, 10, 20, 20) at 400 %: window (40, 40, 80, 80);
    // the middles start at 40 + (40 - 10) / 2 = 55.
    TrackerView v{100, 100, 400, 0, 0, 400, 400};
    const Rect w = v.toWindow(Rect{10, 10, 20, 20});
    ASSERT_EQ(w, (Rect{40, 40, 80, 80}));
    struct Case {
        int x, y, code;
    };
    const Case cases[] = {
        {40, 40, 1}, {47, 47, 1}, {48, 40, 5}, {55, 40, 2}, {64, 47, 2}, {65, 40, 5},
        {72, 40, 3}, {79, 47, 3}, {40, 55, 4}, {47, 64, 4}, {40, 65, 5}, {72, 55, 6},
        {40, 72, 7}, {55, 79, 8}, {79, 79, 9}, {71, 71, 5}, {60, 60, 5}, {80, 60, 0},
        {39, 40, 0}, {60, 80, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(hitTest(w, c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST(HitTest, SmallRectangleLetsTheFirstZoneWin) {
    // 10 x 10: the zones overlap and the order of trying decides; no point
    // is a move.
    const Rect w{0, 0, 10, 10};
    EXPECT_EQ(hitTest(w, 5, 5), 1);
    EXPECT_EQ(hitTest(w, 9, 0), 2);
    EXPECT_EQ(hitTest(w, 0, 9), 4);
    EXPECT_EQ(hitTest(w, 9, 9), 6);
}

TEST(HandleSquares, LayoutOfEachSizeClass) {
    struct Case {
        Rect window;
        std::vector<Rect> squares;
    };
    const Case cases[] = {
        // Both sides 18 or more: corners and middles, 6 x 6.
        {{0, 0, 40, 30},
         {{0, 0, 6, 6}, {17, 0, 23, 6}, {34, 0, 40, 6}, {0, 12, 6, 18}, {34, 12, 40, 18},
          {0, 24, 6, 30}, {17, 24, 23, 30}, {34, 24, 40, 30}}},
        // Narrow: bars at top and bottom, two squares at the middle height.
        {{0, 0, 14, 30}, {{0, 0, 14, 6}, {0, 24, 14, 30}, {0, 12, 6, 18}, {8, 12, 14, 18}}},
        // Narrower than 13: one bar at the middle height.
        {{0, 0, 12, 30}, {{0, 0, 12, 6}, {0, 24, 12, 30}, {0, 12, 12, 18}}},
        // Flat: bars at the sides, two squares at the middle x.
        {{0, 0, 30, 12}, {{0, 0, 6, 12}, {24, 0, 30, 12}, {12, 0, 18, 6}, {12, 6, 18, 12}}},
        // Flatter than 12: one bar of the full height.
        {{0, 0, 30, 11}, {{0, 0, 6, 11}, {24, 0, 30, 11}, {12, 0, 18, 11}}},
        // Both below 18: the whole rectangle.
        {{5, 5, 22, 22}, {{5, 5, 22, 22}}},
    };
    for (const Case& c : cases) EXPECT_EQ(handleSquares(c.window), c.squares);
}

TEST(HandleSquares, StaySixWindowPixelsAtFourHundredPercent) {
    TrackerView v{100, 100, 400, 0, 0, 400, 400};
    for (const Rect& r : handleSquares(v.toWindow(Rect{10, 10, 20, 20}))) {
        EXPECT_EQ(r.width(), 6);
        EXPECT_EQ(r.height(), 6);
    }
}

TEST(ReferenceLine, AngleInHundredthsTruncatedTowardZero) {
    struct Case {
        Rect line;
        int angle;
    };
    const Case cases[] = {
        {{0, 0, 100, 10}, 571},    {{100, 10, 0, 0}, 571},    // right to left: the same
        {{0, 10, 100, 0}, -571},   {{100, 0, 0, 10}, -571},   // toward zero, not -572
        {{0, 0, 10, 100}, 8428},   {{0, 100, 10, 0}, -8428},  // steeper than 45 degrees
        {{0, 0, 10, 10}, 4499},    // 9000 - 4500.00000001
        {{0, 0, 100, 0}, 0},       {{5, 0, 5, 100}, 9000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(referenceLineAngle(c.line), c.angle)
            << c.line.left << "," << c.line.top << " - " << c.line.right << "," << c.line.bottom;
}

class Tracker : public ::testing::Test {
protected:
    RecordingHost host;
    SelectionTracker tracker{host};
    void select(int l, int t, int r, int b) {
        drag(tracker, l, t, r, b);
        ASSERT_EQ(tracker.mode(), ToolMode::SelectionLifted);
        ASSERT_EQ(tracker.selection(), (Rect{l, t, r, b}));
    }
};

TEST_F(Tracker, ModesKeepTheirNumbers) {
    EXPECT_EQ(int(ToolMode::PickTransparent), 2);
    EXPECT_EQ(int(ToolMode::PasteFloating), 3);
    EXPECT_EQ(int(ToolMode::SelectionDragging), 8);
    EXPECT_EQ(int(ToolMode::LineDrawing), 10);
    EXPECT_FALSE(isFloatingMode(ToolMode::PickTransparent));
    EXPECT_TRUE(isFloatingMode(ToolMode::PasteFloating));
    EXPECT_TRUE(isFloatingMode(ToolMode::SelectionDragging));
    EXPECT_FALSE(isFloatingMode(ToolMode::LineReady));
}

TEST_F(Tracker, RubberBandReleasedOnItsStartSelectsNothing) {
    drag(tracker, 50, 50, 50, 50);
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
    EXPECT_TRUE(host.lifted.empty());
    EXPECT_EQ(host.captures, 0);
}

TEST_F(Tracker, RubberBandIsNormalisedClampedAndLifted) {
    drag(tracker, 100, 90, 20, 10);
    EXPECT_EQ(tracker.mode(), ToolMode::SelectionLifted);
    EXPECT_EQ(tracker.selection(), (Rect{20, 10, 100, 90}));
    EXPECT_EQ(tracker.home(), tracker.selection());
    ASSERT_EQ(host.lifted.size(), 1u);

    tracker.commit(true, true, true);
    drag(tracker, 600, 400, 900, 700);  // past the corner: clamped to the picture
    EXPECT_EQ(tracker.selection(), (Rect{600, 400, 640, 480}));
}

TEST_F(Tracker, FailedLiftLeavesNoSelection) {
    host.liftSucceeds = false;
    drag(tracker, 10, 10, 40, 40);
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
}

TEST_F(Tracker, PressOutsideThePictureDoesNothing) {
    host.v.scrollX = -100;  // the picture is centred with a 100-pixel margin
    tracker.buttonDown(50, 50);
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_EQ(host.captures, 0);
}

TEST_F(Tracker, ResizeByEachHandle) {
    // Selection (100, 100, 200, 200); each handle dragged 10 pixels out.
    struct Case {
        int x, y;  // where the handle is grabbed
        Rect expected;
    };
    const Case cases[] = {
        {101, 101, {90, 90, 200, 200}},  {150, 101, {100, 90, 200, 200}},
        {198, 101, {100, 90, 210, 200}}, {101, 150, {90, 100, 200, 200}},
        {198, 150, {100, 100, 210, 200}}, {101, 198, {90, 100, 200, 210}},
        {150, 198, {100, 100, 200, 210}}, {198, 198, {100, 100, 210, 210}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << "," << c.y);
        tracker.selectAll();
        tracker.commit(true, true, true);
        select(100, 100, 200, 200);
        tracker.buttonDown(c.x, c.y);
        EXPECT_EQ(tracker.mode(), ToolMode::SelectionDragging);
        const int dx = c.x < 120 ? -10 : c.x > 180 ? 10 : 0;
        const int dy = c.y < 120 ? -10 : c.y > 180 ? 10 : 0;
        const int toX = c.x < 120 ? 90 : c.x > 180 ? 210 : c.x + dx;
        const int toY = c.y < 120 ? 90 : c.y > 180 ? 210 : c.y + dy;
        tracker.mouseMove(toX, toY);
        tracker.buttonUp(toX, toY);
        EXPECT_EQ(tracker.selection(), c.expected);
        EXPECT_EQ(tracker.mode(), ToolMode::SelectionLifted);
    }
}

TEST_F(Tracker, ResizeByTopLeftPastTheOppositeCornerStopsOnePixelShort) {
    select(10, 10, 30, 30);
    tracker.buttonDown(10, 10);
    ASSERT_EQ(tracker.handleCode(), kHandleTopLeft);
    tracker.mouseMove(500, 400);
    EXPECT_EQ(tracker.selection(), (Rect{29, 29, 30, 30}));
    tracker.buttonUp(500, 400);
    EXPECT_TRUE(tracker.enterKey());
    ASSERT_EQ(host.moves.size(), 1u);
    EXPECT_EQ(host.moves[0].home, (Rect{10, 10, 30, 30}));
    EXPECT_EQ(host.moves[0].now, (Rect{29, 29, 30, 30}));
}

TEST_F(Tracker, DraggedFarLeftKeepsExactlyOneColumnOverThePicture) {
    select(10, 10, 30, 30);
    tracker.buttonDown(20, 20);
    ASSERT_EQ(tracker.handleCode(), kHandleMove);
    EXPECT_EQ(tracker.grabX(), 10);
    tracker.mouseMove(-500, 20);
    EXPECT_EQ(tracker.selection(), (Rect{-19, 10, 1, 30}));
    EXPECT_EQ(host.scrolls.back(), (std::pair{-1, 0}));  // left of the client area
    tracker.mouseMove(2000, 2000);
    EXPECT_EQ(tracker.selection(), (Rect{639, 479, 659, 499}));
    EXPECT_EQ(host.scrolls.back(), (std::pair{1, 1}));
}

TEST_F(Tracker, AutoScrollTickMovesOnlyOutsideTheClientArea) {
    select(10, 10, 30, 30);
    tracker.buttonDown(20, 20);
    tracker.timerTick(25, 25);
    EXPECT_EQ(tracker.selection(), (Rect{10, 10, 30, 30}));
    EXPECT_TRUE(host.scrolls.empty());
    tracker.timerTick(20, -3);
    EXPECT_EQ(host.scrolls.back(), (std::pair{0, -1}));
    EXPECT_EQ(tracker.selection(), (Rect{10, -13, 30, 7}));
}

TEST_F(Tracker, EscapeOnAMovedSelectionEditsNothing) {
    select(10, 10, 30, 30);
    drag(tracker, 20, 20, 60, 60);
    EXPECT_EQ(tracker.selection(), (Rect{50, 50, 70, 70}));
    EXPECT_TRUE(tracker.overlay().homeOutline.has_value());
    EXPECT_TRUE(tracker.escapeKey());
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
    EXPECT_TRUE(host.moves.empty());
    EXPECT_FALSE(tracker.escapeKey());  // not the tracker's key any more
}

TEST_F(Tracker, ClickOnASelectionDeselectsIt) {
    select(10, 10, 30, 30);
    drag(tracker, 20, 20, 20, 20);
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
    EXPECT_TRUE(host.moves.empty());
}

TEST_F(Tracker, ClickOutsideASelectionDropsItAndStartsARubberBand) {
    select(10, 10, 30, 30);
    tracker.buttonDown(100, 100);
    EXPECT_EQ(tracker.mode(), ToolMode::RubberBand);
    EXPECT_EQ(tracker.selection(), (Rect{100, 100, 100, 100}));
}

TEST_F(Tracker, FloatingPasteStartsCentredInTheVisiblePart) {
    host.v = {640, 480, 100, 100, 50, 300, 200};
    ASSERT_TRUE(tracker.start(ToolMode::PasteFloating, 1, pasteObject(100, 50)));
    EXPECT_EQ(tracker.mode(), ToolMode::PasteFloating);
    EXPECT_TRUE(tracker.floating().transparent);
    // Visible 100..400 x 50..250: left = 100 + (400 - 100 - 100) / 2.
    EXPECT_EQ(tracker.selection(), (Rect{200, 125, 300, 175}));
}

TEST_F(Tracker, FloatingLargerThanTheViewStartsLeftOfIt) {
    host.v = {100, 100, 100, -50, -50, 200, 200};  // small picture, centred
    ASSERT_TRUE(tracker.start(ToolMode::PasteFloating, 0, pasteObject(150, 20)));
    // Visible 0..99: left = (99 - 150) / 2 = -25 (toward zero).
    EXPECT_EQ(tracker.selection(), (Rect{-25, 39, 125, 59}));
}

TEST_F(Tracker, EmptyFloatingObjectChangesNothing) {
    EXPECT_FALSE(tracker.start(ToolMode::TextFloating, 0, FloatingObject{}));
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
}

TEST_F(Tracker, ClickOnFloatingPastePastesItWhereItStands) {
    ASSERT_TRUE(tracker.start(ToolMode::PasteFloating, 0, pasteObject(100, 50)));
    const Rect at = tracker.selection();
    drag(tracker, at.left + 5, at.top + 5, at.left + 5, at.top + 5);
    ASSERT_EQ(host.pastes.size(), 1u);
    EXPECT_EQ(host.pastes[0], (std::pair{at.left, at.top}));
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_TRUE(tracker.floating().empty());
}

TEST_F(Tracker, DraggedPasteIsPlacedWhereItWasDropped) {
    ASSERT_TRUE(tracker.start(ToolMode::PasteFloating, 0, pasteObject(100, 50)));
    const Rect at = tracker.selection();
    tracker.buttonDown(at.left + 10, at.top + 10);
    EXPECT_EQ(tracker.mode(), ToolMode::PasteDragging);
    tracker.mouseMove(30, 40);
    tracker.buttonUp(30, 40);
    EXPECT_EQ(tracker.mode(), ToolMode::PasteFloating);
    EXPECT_EQ(tracker.selection(), (Rect{20, 30, 120, 80}));
    EXPECT_TRUE(host.pastes.empty());
    // A click outside pastes it, keeps the pasted area selected no longer and
    // starts a new rubber band there.
    tracker.buttonDown(400, 400);
    ASSERT_EQ(host.pastes.size(), 1u);
    EXPECT_EQ(host.pastes[0], (std::pair{20, 30}));
    EXPECT_EQ(tracker.mode(), ToolMode::RubberBand);
    EXPECT_EQ(tracker.selection(), (Rect{400, 400, 400, 400}));
}

TEST_F(Tracker, EnterPastesTheStoredCopyThatIsShown) {
    auto shown = std::make_shared<CImageObject>();
    ASSERT_TRUE(tracker.start(ToolMode::PasteFloating, 0, pasteObject(10, 10, shown)));
    EXPECT_TRUE(tracker.enterKey());
    ASSERT_EQ(host.pastedSources.size(), 1u);
    EXPECT_EQ(host.pastedSources[0], shown.get());
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
}

TEST_F(Tracker, TextBurnsInAtItsRectangleAndEscapeDiscardsIt) {
    FloatingObject text;
    text.width = 40;
    text.height = 12;
    ASSERT_TRUE(tracker.start(ToolMode::TextFloating, 0, text));
    EXPECT_TRUE(tracker.escapeKey());
    EXPECT_TRUE(host.texts.empty());
    ASSERT_TRUE(tracker.start(ToolMode::TextFloating, 0, text));
    const Rect at = tracker.selection();
    EXPECT_TRUE(tracker.enterKey());
    ASSERT_EQ(host.texts.size(), 1u);
    EXPECT_EQ(host.texts[0], at);
}

TEST_F(Tracker, CommitClampsToThePicture) {
    struct Case {
        Rect moved;  // where a 20 x 20 selection was dragged
        bool keep, clear;
        Rect after;
        bool lifted;
    };
    const Case cases[] = {
        {{-19, -5, 1, 15}, true, false, {0, 0, 1, 15}, false},
        {{630, 470, 650, 490}, false, false, {630, 470, 640, 480}, true},
        {{50, 50, 70, 70}, true, true, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.moved.left << "," << c.moved.top);
        tracker.commit(true, true, true);
        select(100, 100, 120, 120);
        host.lifted.clear();
        drag(tracker, 110, 110, 110 + c.moved.left - 100, 110 + c.moved.top - 100);
        ASSERT_EQ(tracker.selection(), c.moved);
        tracker.commit(true, c.keep, c.clear);
        EXPECT_EQ(tracker.selection(), c.after);
        EXPECT_EQ(tracker.mode(), c.after == Rect{} ? ToolMode::Idle : ToolMode::SelectionLifted);
        EXPECT_EQ(!host.lifted.empty(), c.lifted);
        ASSERT_FALSE(host.moves.empty());
        EXPECT_EQ(host.moves.back().now, c.moved);
        if (c.after != Rect{}) {
            EXPECT_EQ(tracker.home(), c.after);
        }
    }
}

TEST_F(Tracker, SelectionOnItsHomeIsNotEdited) {
    select(10, 10, 30, 30);
    tracker.commit(true, false, false);
    EXPECT_TRUE(host.moves.empty());
    EXPECT_EQ(tracker.mode(), ToolMode::SelectionLifted);
}

TEST_F(Tracker, PickTransparentTakesTheReleasePointWithoutCapture) {
    host.v.zoom = 200;
    tracker.pickTransparentMode();
    tracker.buttonDown(21, 41);
    EXPECT_EQ(host.captures, 0);
    tracker.buttonUp(21, 41);
    ASSERT_EQ(host.picks.size(), 1u);
    EXPECT_EQ(host.picks[0], (std::pair{11, 21}));  // 10.5 and 20.5 round up
    EXPECT_EQ(tracker.mode(), ToolMode::Idle);
    EXPECT_FALSE(tracker.hasRect());
}

TEST_F(Tracker, ReferenceLineIsDrawnUnnormalisedAndAnnounced) {
    ASSERT_TRUE(tracker.start(ToolMode::LineReady, 1));
    EXPECT_EQ(tracker.lineOrientation(), 1);
    EXPECT_FALSE(tracker.overlay().line.has_value());
    tracker.buttonDown(300, 200);
    EXPECT_EQ(tracker.mode(), ToolMode::LineDrawing);
    tracker.mouseMove(100, 180);
    EXPECT_EQ(tracker.overlay().line, (Rect{300, 200, 100, 180}));
    tracker.buttonUp(100, 180);
    EXPECT_EQ(tracker.mode(), ToolMode::LineReady);
    EXPECT_EQ(host.linesFinished, 1);
    EXPECT_EQ(tracker.overlay().line, (Rect{300, 200, 100, 180}));
    EXPECT_EQ(referenceLineAngle(tracker.selection()), referenceLineAngle(Rect{100, 180, 300, 200}));
    // A press outside the old line does not commit in LineReady.
    tracker.buttonDown(600, 20);
    EXPECT_EQ(tracker.mode(), ToolMode::LineDrawing);
}

TEST_F(Tracker, OverlayOfEachState) {
    host.v.zoom = 400;
    host.v.clientWidth = host.v.clientHeight = 2000;
    tracker.buttonDown(40, 40);
    tracker.mouseMove(80, 60);
    OverlayPlan plan = tracker.overlay();
    EXPECT_EQ(plan.focusRect, (Rect{40, 40, 80, 60}));
    EXPECT_FALSE(plan.floatingAt.has_value());
    tracker.buttonUp(80, 60);
    plan = tracker.overlay();
    EXPECT_EQ(plan.focusRect, (Rect{40, 40, 80, 60}));
    EXPECT_EQ(plan.floatingAt, (Rect{40, 40, 80, 60}));
    EXPECT_EQ(plan.handles.size(), 8u);  // 40 x 20 window pixels
    EXPECT_FALSE(plan.homeOutline.has_value());
    tracker.buttonDown(60, 50);
    tracker.mouseMove(100, 50);
    plan = tracker.overlay();
    EXPECT_FALSE(plan.focusRect.has_value());  // no focus rectangle while dragging
    EXPECT_TRUE(plan.handles.empty());
    EXPECT_EQ(plan.floatingAt, (Rect{80, 40, 120, 60}));
    EXPECT_EQ(plan.homeOutline, (Rect{40, 40, 80, 60}));
}

}  // namespace
}  // namespace quillon
