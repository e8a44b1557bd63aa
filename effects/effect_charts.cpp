#include "effects/effect_charts.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace quillon {
namespace {

void dottedQuarters(QPainter& p, int w, int h) {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    for (int q = 1; q <= 3; ++q) {
        p.drawLine(q * w / 4, 0, q * w / 4, h);
        p.drawLine(0, q * h / 4, w, q * h / 4);
    }
}

const QColor kChannelColours[3] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};

}  // namespace

void paintHueCurves(QPainter& p, QSize size, const HueModel& model) {
    const int w = size.width(), h = size.height();
    p.fillRect(0, 0, w, h, Qt::white);
    p.setPen(Qt::black);
    p.drawLine(0, h - 1, w - 1, 0);
    dottedQuarters(p, w, h);
    for (int c = 0; c < 3; ++c) {
        p.setPen(QPen(kChannelColours[c], 1));
        const std::vector<QPoint> points = model.curve(c, w, h);
        p.drawPolyline(QPolygon(QList<QPoint>(points.begin(), points.end())));
    }
}

void paintHistogram(QPainter& p, QSize size, const Histogram& hist) {
    const int w = size.width(), h = size.height();
    p.fillRect(0, 0, w, h, Qt::white);
    dottedQuarters(p, w, h);
    const double m = std::max({hist.maxRed, hist.maxGreen, hist.maxBlue});
    const std::array<uint32_t, 256>* channels[3] = {&hist.red, &hist.green, &hist.blue};
    for (int i = 0; i < 256; ++i) {
        const int x = i * w / 256;
        for (int c = 0; c < 3; ++c) {
            // Counts above the maximum (at 0 and 255) reach past the top and are cut there.
            const int y = std::max(0, h - int((*channels[c])[size_t(i)] / m * h) - 2);
            p.setPen(QPen(kChannelColours[c], 1));
            p.drawLine(x, h - 2, x, y);
            p.drawPoint(x, y);
        }
    }
    p.setPen(Qt::black);
    p.drawLine(0, 0, 0, h - 1);
    p.drawLine(0, h - 1, w, h - 1);
}

}  // namespace quillon
