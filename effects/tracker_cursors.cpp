#include "effects/tracker_cursors.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace quillon {
namespace {

// A four-way arrow: outlined while hovering (14), filled while moving (15).
QPixmap moveArrows(bool filled) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QPolygon arrows({QPoint(16, 1),  QPoint(21, 6),  QPoint(18, 6),  QPoint(18, 14), QPoint(26, 14),
                           QPoint(26, 11), QPoint(31, 16), QPoint(26, 21), QPoint(26, 18), QPoint(18, 18),
                           QPoint(18, 26), QPoint(21, 26), QPoint(16, 31), QPoint(11, 26), QPoint(14, 26),
                           QPoint(14, 18), QPoint(6, 18),  QPoint(6, 21),  QPoint(1, 16),  QPoint(6, 11),
                           QPoint(6, 14),  QPoint(14, 14), QPoint(14, 6),  QPoint(11, 6)});
    p.setPen(QPen(filled ? Qt::white : Qt::black, 1));
    p.setBrush(filled ? Qt::black : Qt::white);
    p.drawPolygon(arrows);
    return pixmap;
}

// A dropper whose tip is the hot spot at the bottom-left.
QPixmap dropper() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygon({QPoint(0, 31), QPoint(2, 25), QPoint(14, 13), QPoint(18, 17), QPoint(6, 29)}));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygon({QPoint(13, 10), QPoint(20, 3), QPoint(25, 3), QPoint(28, 6), QPoint(28, 11),
                            QPoint(21, 18)}));
    return pixmap;
}

}  // namespace

QCursor trackerCursor(TrackerCursor shape) {
    switch (shape) {
    case TrackerCursor::Arrow: return QCursor(Qt::ArrowCursor);
    case TrackerCursor::Cross: return QCursor(Qt::CrossCursor);
    case TrackerCursor::SizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case TrackerCursor::SizeNS: return QCursor(Qt::SizeVerCursor);
    case TrackerCursor::SizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case TrackerCursor::SizeWE: return QCursor(Qt::SizeHorCursor);
    case TrackerCursor::PickColour: {
        static const QCursor cursor(dropper(), 0, 31);
        return cursor;
    }
    case TrackerCursor::Move: {
        static const QCursor cursor(moveArrows(false), 16, 16);
        return cursor;
    }
    case TrackerCursor::Moving: {
        static const QCursor cursor(moveArrows(true), 16, 16);
        return cursor;
    }
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace quillon
