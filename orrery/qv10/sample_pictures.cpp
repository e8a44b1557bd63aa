#include "orrery/qv10/sample_pictures.h"

#include <algorithm>
#include <cmath>

namespace orrery::qv {

namespace {

constexpr int kW = 640, kH = 480;

void set(Picture& p, int x, int y, int r, int g, int b) {
    uint8_t* px = p.row(y) + x * 3;
    px[0] = uint8_t(std::clamp(r, 0, 255));
    px[1] = uint8_t(std::clamp(g, 0, 255));
    px[2] = uint8_t(std::clamp(b, 0, 255));
}

Picture bars() {
    static const int colours[8][3] = {{235, 235, 235}, {235, 235, 16}, {16, 235, 235}, {16, 235, 16},
                                      {235, 16, 235},  {235, 16, 16},  {16, 16, 235},  {16, 16, 16}};
    Picture p(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (y < kH * 3 / 4) {
                const int* c = colours[x * 8 / kW];
                set(p, x, y, c[0], c[1], c[2]);
            } else {
                int v = x * 255 / (kW - 1);
                set(p, x, y, v, v, v);
            }
        }
    return p;
}

Picture sunset() {
    Picture p(kW, kH);
    const int horizon = kH * 3 / 5;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            double dx = x - kW / 2.0, dy = y - (horizon - 40.0);
            bool sun = dx * dx + dy * dy < 60.0 * 60.0 && y < horizon;
            if (sun) {
                set(p, x, y, 255, 230, 120);
            } else if (y < horizon) {
                double t = double(y) / horizon;
                set(p, x, y, int(60 + 195 * t), int(40 + 90 * t), int(120 - 60 * t));
            } else {
                double t = double(y - horizon) / (kH - horizon);
                int ripple = int(20 * std::sin(x * 0.05 + y * 0.3));
                set(p, x, y, int(180 - 150 * t) + ripple, int(90 - 60 * t) + ripple / 2, int(90 + 40 * t));
            }
        }
    return p;
}

Picture rings() {
    Picture p(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            double dx = x - kW / 2.0, dy = (y - kH / 2.0) * 1.6;
            double r = std::sqrt(dx * dx + dy * dy);
            int band = int(r / 24) % 2;
            bool planet = std::hypot(x - kW / 2.0, y - kH / 2.0) < 70;
            if (planet)
                set(p, x, y, 250, 190, 60);
            else
                set(p, x, y, band ? 20 : 40, band ? 30 : 60, band ? 80 : 140);
        }
    return p;
}

Picture floor() {
    Picture p(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            bool dark = ((x / 40) + (y / 40)) % 2 == 0;
            int shade = 255 - y * 120 / kH;
            if (dark) shade /= 3;
            set(p, x, y, shade, shade * 9 / 10, shade * 8 / 10);
        }
    return p;
}

}  // namespace

Picture samplePicture(int n) {
    switch (((n % kSamplePictureCount) + kSamplePictureCount) % kSamplePictureCount) {
    case 0: return bars();
    case 1: return sunset();
    case 2: return rings();
    default: return floor();
    }
}

Picture shotPicture(int number) {
    Picture p = samplePicture(number);
    int channel = number % 3;
    for (size_t i = size_t(channel); i < p.rgb.size(); i += 3) p.rgb[i] = uint8_t(std::min(255, p.rgb[i] + 40));
    return p;
}

}  // namespace orrery::qv
