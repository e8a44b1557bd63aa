// The selection tracker at work in one view: it answers the tracker's
// requests with the view's picture, undo copy and image window (lifting,
// burn-in with the undo snapshot first, scrolling, the auto-scroll timer 17,
// cursors, repaints), paints the overlay after each paint of the image
// window, and offers the edit operations that the document commands run.
#pragma once

#include "effects/floating_build.h"
#include "effects/geometry_models.h"
#include "effects/selection_tracker.h"

#include <QBasicTimer>
#include <QObject>
#include <QRect>

#include <functional>

class QPainter;

namespace quillon {

class CImageWindow;
class CQuillonView;
class UiPort;

class ViewEditor : public QObject, public TrackerHost {
public:
    static constexpr int kAutoScrollTimer = 17;

    ViewEditor(CQuillonView& view, CImageWindow& window, UiPort& ui);
    ~ViewEditor() override;

    SelectionTracker& tracker() { return m_tracker; }
    const SelectionTracker& tracker() const { return m_tracker; }

    // Events of the image window, in its client coordinates.
    void buttonDown(QPoint point);
    void mouseMove(QPoint point);
    void buttonUp(QPoint point);
    // Enter, Escape and the arrows (Shift: ten pixels); false for keys the
    // tracker does not take in its present state.
    bool key(int key, bool shift);
    void paint(QPainter& painter);
    void updateCursor();

    // The edit commands (each begins with the Commit its command asks for).
    void copy();
    void cut();
    void deleteContents();
    void paste(bool transparent);
    void selectAll();
    void deselect();
    void startPickTransparent();
    void writeText(const std::function<std::optional<TextSettings>(const TextSettings&)>& choose);

    // Called when a reference line was finished (the tilt dialog listens).
    std::function<void()> lineFinishedHandler;
    // The angle of the tilt line last drawn, in hundredths.
    int referenceAngle() const;

    // The rotation dialog's outline (degrees 0..359), drawn inverted over the
    // picture while no selection exists; none hides it.
    void showRotationOutline(std::optional<int> degrees);
    std::optional<int> rotationOutlineDegrees() const { return m_outline; }

    // TrackerHost
    TrackerView view() const override;
    bool liftPixels(const Rect& rect, FloatingObject& into) override;
    void commitPaste(const FloatingObject& object, int left, int top) override;
    void commitText(const FloatingObject& object, const Rect& rect) override;
    void commitMove(const Rect& home, const Rect& now) override;
    void pickTransparent(int x, int y) override;
    void scrollLine(int dx, int dy) override;
    void setCapture(bool on) override;
    void overlayChanged(bool now) override;
    void lineFinished() override;
    void setCursor(TrackerCursor cursor) override;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    // Undo snapshot, wait cursor, the pixel work, its message, refresh, modified.
    void burnIn(const std::function<bool()>& work);

    CQuillonView& m_view;
    CImageWindow& m_window;
    UiPort& m_ui;
    SelectionTracker m_tracker{*this};
    QBasicTimer m_autoScroll;
    QRect m_overlayShown;
    std::optional<int> m_outline;  // the window area the overlay covered at its last change
};

}  // namespace quillon
