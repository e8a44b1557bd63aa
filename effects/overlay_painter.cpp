#include "effects/overlay_painter.h"

#include <QPainter>

namespace quillon {
namespace {

QRect qRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

// DrawFocusRect: a dotted outline inverted onto the picture.
void focusRect(QPainter& p, const Rect& r) {
    if (r.isEmpty()) return;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white, 1, Qt::CustomDashLine);
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(r.left, r.top, r.width() - 1, r.height() - 1));
    p.restore();
}

}  // namespace

void paintOverlay(QPainter& p, const OverlayPlan& plan, const FloatingObject& floating,
                  const Rect& pictureArea) {
    p.save();
    if (plan.floatingAt && !plan.floatingAt->isEmpty()) {
        p.save();
        p.setClipRect(qRect(pictureArea));
        if (!floating.shown.isNull()) p.drawImage(qRect(*plan.floatingAt), floating.shown);
        p.restore();
    }
    if (plan.homeOutline) focusRect(p, *plan.homeOutline);
    if (plan.focusRect) focusRect(p, *plan.focusRect);
    if (!plan.handles.empty()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (const Rect& h : plan.handles) p.fillRect(qRect(h), Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (plan.line) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(plan.line->left, plan.line->top, plan.line->right, plan.line->bottom);
    }
    p.restore();
}

}  // namespace quillon
