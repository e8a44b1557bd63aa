// CQuillonView: the one view of an image document. It owns the picture's
// image object (shown by the image window that fills it), the undo copy and
// the selection, and offers the operations the document commands call.
#pragma once

#include "image/image_object.h"
#include "image/rect.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace quillon {

class CImageWindow;
class CQuillonDoc;
class DocumentHost;
class ViewEditor;

class CQuillonView : public QWidget {
    Q_OBJECT
public:
    CQuillonView(CQuillonDoc& doc, DocumentHost& host, QWidget* parent = nullptr);
    ~CQuillonView() override;

    CQuillonDoc& document() { return m_doc; }
    CImageObject& image() { return m_image; }
    CImageWindow* imageWindow() const { return m_window; }
    bool hasPicture() const { return m_image.hasBitmap(); }

    // Zoom of view and image, with redraw.
    int zoom() const { return m_zoom; }
    bool zoomed() const { return m_zoom != 100; }
    void setZoom(int percent);
    // After a new picture: zoom 100 and the picture centred.
    void resetZoom();
    // Sizes the view's frame window so its client area holds the picture.
    void fitFrameToPicture();
    void layoutView();

    // The selection tracker at work in this view (effects/view_editor.h).
    ViewEditor* editor() const { return m_editor.get(); }
    // The selection (none when empty), set without lifting its pixels, and
    // the tracker's Commit.
    std::optional<Rect> selection() const;
    void select(std::optional<Rect> rect);
    void finishPendingWork(bool eraseFirst, bool keepSelection, bool clearSelection);
    bool trackerIdle() const;
    // The tracker's state changed: commands are enabled anew.
    void selectionChanged() { emit stateChanged(); }
    // The view's modeless tool window (tilt correction), or none.
    QWidget* toolWindow() const { return m_toolWindow; }
    void setToolWindow(QWidget* w) { m_toolWindow = w; }

    // One-level undo: preparing copies the picture and the modified flag;
    // undoing swaps both with the copy, so a second undo redoes.
    bool prepareUndo();
    void undo();
    void dropUndo();
    bool undoAvailable() const { return m_undoAvailable; }

    // The common sequence of a picture-changing command: commit, undo
    // snapshot, wait cursor, the operation, error report, refresh, modified.
    bool applyChange(const std::function<bool(CImageObject&)>& operation);
    // Shows the last imaging error, if any; true when there was none.
    bool reportImagingError();

    // Set when the view becomes active while the left button is down over it.
    void noteActivation();
    bool ignoringNextClick() const { return m_ignoreNextClick; }

    // Whether the picture came from the scanner (the other captures clear it).
    bool scanned() const { return m_scanned; }
    void setScanned(bool scanned) { m_scanned = scanned; }

signals:
    void contextMenuRequested(QPoint globalPos);
    void stateChanged();

protected:
    void resizeEvent(QResizeEvent*) override;
    void focusInEvent(QFocusEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool pickForSaveAs(const QPoint& point);
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    CQuillonDoc& m_doc;
    DocumentHost& m_host;
    CImageObject m_image;
    CImageWindow* m_window;
    int m_zoom = 100;
    std::unique_ptr<ViewEditor> m_editor;
    QWidget* m_toolWindow = nullptr;
    std::unique_ptr<CImageObject> m_undo;
    bool m_undoAvailable = false;
    bool m_rememberedModified = false;
    bool m_ignoreNextClick = false;
    bool m_scanned = false;
};

}  // namespace quillon
