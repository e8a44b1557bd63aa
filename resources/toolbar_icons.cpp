#include "resources/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace quillon {
namespace {

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kBlue(0, 0, 160);
const QColor kRed(192, 0, 0);
const QColor kYellow(240, 208, 0);
const QColor kGreen(0, 128, 0);
const QColor kGrey(128, 128, 128);

void page(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygon({QPoint(2, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(2, 14)}));
    p.drawPolyline(QPolygon({QPoint(10, 1), QPoint(10, 4), QPoint(13, 4)}));
}

void folder(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(5, 4), QPoint(6, 5), QPoint(12, 5), QPoint(12, 13), QPoint(1, 13)}));
    p.setBrush(QColor(255, 240, 128));
    p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(12, 13), QPoint(1, 13)}));
}

void disk(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kBlue);
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(kGrey);
    p.drawRect(4, 9, 7, 5);
}

void copySheets(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(1, 1, 8, 10);
    p.drawRect(6, 5, 8, 10);
    for (int y = 8; y <= 12; y += 2) p.drawLine(8, y, 12, y);
}

void clipboard(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(160, 96, 32));
    p.drawRect(1, 2, 10, 12);
    p.setBrush(kGrey);
    p.drawRect(4, 1, 4, 2);
    p.setBrush(kPaper);
    p.drawRect(7, 6, 7, 9);
}

void undoArrow(QPainter& p) {
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(3, 4, 10, 9), 90 * 16, -250 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygon({QPoint(1, 4), QPoint(7, 1), QPoint(7, 8)}));
}

void scanner(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kGrey);
    p.drawRect(1, 7, 14, 6);
    p.setBrush(QColor(128, 192, 255));
    p.drawRect(2, 5, 12, 2);
    p.setPen(kGreen);
    p.drawLine(3, 11, 12, 11);
}

void videoCamera(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kGrey);
    p.drawRect(1, 5, 9, 7);
    p.drawPolygon(QPolygon({QPoint(10, 7), QPoint(14, 5), QPoint(14, 12), QPoint(10, 10)}));
    p.setBrush(kRed);
    p.drawEllipse(QPoint(3, 3), 1, 1);
}

void stillCamera(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(64, 64, 64));
    p.drawRect(1, 4, 14, 9);
    p.drawRect(3, 2, 4, 2);
    p.setBrush(QColor(128, 192, 255));
    p.drawEllipse(QPoint(9, 8), 3, 3);
}

void rotateArrow(QPainter& p, bool right) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(4, 6, 8, 8);
    p.setPen(QPen(kBlue, 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(3, 1, 10, 8), 20 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    if (right) p.drawPolygon(QPolygon({QPoint(15, 2), QPoint(15, 7), QPoint(10, 5)}));
    else p.drawPolygon(QPolygon({QPoint(0, 2), QPoint(0, 7), QPoint(5, 5)}));
}

void flip(QPainter& p, bool vertical) {
    p.setPen(kInk);
    p.setBrush(kBlue);
    if (vertical) {
        p.drawPolygon(QPolygon({QPoint(2, 6), QPoint(8, 1), QPoint(13, 6)}));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygon({QPoint(2, 9), QPoint(8, 14), QPoint(13, 9)}));
        p.setPen(QPen(kRed, 1, Qt::DotLine));
        p.drawLine(0, 7, 15, 7);
    } else {
        p.drawPolygon(QPolygon({QPoint(6, 2), QPoint(1, 8), QPoint(6, 13)}));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(QPolygon({QPoint(9, 2), QPoint(14, 8), QPoint(9, 13)}));
        p.setPen(QPen(kRed, 1, Qt::DotLine));
        p.drawLine(7, 0, 7, 15);
    }
}

void blurDots(QPainter& p, bool sharp) {
    p.setPen(Qt::NoPen);
    if (sharp) {
        p.setBrush(kInk);
        p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(14, 14), QPoint(2, 14)}));
        p.setBrush(kYellow);
        p.drawPolygon(QPolygon({QPoint(8, 6), QPoint(11, 12), QPoint(5, 12)}));
        return;
    }
    for (int r = 7; r >= 1; r -= 2) {
        const int shade = 80 + r * 22;
        p.setBrush(QColor(shade, shade, 255));
        p.drawEllipse(QPoint(8, 8), r, r);
    }
}

void sun(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawEllipse(QPoint(7, 7), 4, 4);
    p.setPen(QPen(QColor(224, 128, 0), 1));
    for (int i = 0; i < 8; ++i) {
        static const int dx[] = {0, 5, 7, 5, 0, -5, -7, -5}, dy[] = {-7, -5, 0, 5, 7, 5, 0, -5};
        p.drawPoint(7 + dx[i], 7 + dy[i]);
    }
    p.fillRect(QRect(8, 8, 7, 7), kInk);
    p.fillRect(QRect(9, 9, 5, 5), kPaper);
}

void histogram(QPainter& p) {
    p.setPen(kInk);
    p.drawLine(1, 14, 14, 14);
    static const int heights[] = {3, 6, 10, 12, 8, 5, 9, 4};
    for (int i = 0; i < 8; ++i) p.fillRect(QRect(2 + i * 3 / 2 + i / 2, 14 - heights[i], 1, heights[i]), kBlue);
}

void depthSteps(QPainter& p) {
    for (int i = 0; i < 4; ++i) {
        const int g = 255 - i * 80;
        p.fillRect(QRect(1 + i * 3, 2, 3, 12), QColor(g, g, g));
    }
    p.setPen(kInk);
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 2, 12, 12);
}

void sepia(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(QColor(176, 128, 80));
    p.drawRect(1, 2, 13, 11);
    p.setBrush(QColor(112, 72, 40));
    p.drawPolygon(QPolygon({QPoint(2, 12), QPoint(6, 6), QPoint(9, 10), QPoint(11, 8), QPoint(13, 12)}));
}

void balance(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 0, 0, 200));
    p.drawEllipse(QPoint(6, 5), 4, 4);
    p.setBrush(QColor(0, 200, 0, 200));
    p.drawEllipse(QPoint(10, 5), 4, 4);
    p.setBrush(QColor(0, 0, 255, 200));
    p.drawEllipse(QPoint(8, 10), 4, 4);
}

void magnifier(QPainter& p, bool in) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawEllipse(QPoint(6, 6), 5, 5);
    p.setPen(QPen(kInk, 2));
    p.drawLine(10, 10, 14, 14);
    p.setPen(QPen(kInk, 1));
    p.drawLine(4, 6, 8, 6);
    if (in) p.drawLine(6, 4, 6, 8);
}

void about(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRoundedRect(1, 1, 13, 10, 2, 2);
    p.drawPolygon(QPolygon({QPoint(4, 11), QPoint(4, 14), QPoint(7, 11)}));
    p.setPen(kBlue);
    p.drawLine(7, 3, 8, 3);
    p.drawLine(7, 5, 7, 9);
    p.drawLine(8, 5, 8, 9);
}

void help(QPainter& p) {
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawEllipse(QPoint(7, 7), 6, 6);
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(2, 1, 11, 13), Qt::AlignCenter, QStringLiteral("?"));
}

}  // namespace

QPixmap toolbarPixmap(int id) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (id) {
    case 57600: page(p); break;
    case 57601: folder(p); break;
    case 57604: disk(p); break;
    case 57634: copySheets(p); break;
    case 57637: clipboard(p); break;
    case 57643: undoArrow(p); break;
    case 110: scanner(p); break;
    case 111: videoCamera(p); break;
    case 112: stillCamera(p); break;
    case 120: rotateArrow(p, true); break;
    case 121: rotateArrow(p, false); break;
    case 127: flip(p, false); break;
    case 128: flip(p, true); break;
    case 129: blurDots(p, false); break;
    case 131: blurDots(p, true); break;
    case 134: sun(p); break;
    case 136: histogram(p); break;
    case 137: depthSteps(p); break;
    case 138: sepia(p); break;
    case 141: balance(p); break;
    case 163: magnifier(p, true); break;
    case 164: magnifier(p, false); break;
    case 57664: about(p); break;
    case 57670: help(p); break;
    default: p.end(); return {};
    }
    return pixmap;
}

QIcon toolbarIcon(int id) {
    const QPixmap pixmap = toolbarPixmap(id);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(size / 16.0, size / 16.0);
        p.setPen(kInk);
        p.setBrush(QColor(240, 232, 200));
        p.drawRect(1, 1, 13, 13);
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(4, 12), QPointF(12, 3));  // a quill across the page
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(12, 3), QPointF(14, 1), QPointF(13.5, 4)}));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace quillon
