#include "doc/zoom.h"

namespace quillon {

int zoomedIn(int zoom) {
    if (zoom > 500) return zoom;
    const int doubled = zoom * 2;
    return doubled == 24 ? 25 : doubled;
}

int zoomedOut(int zoom) { return zoom >= 20 ? zoom / 2 : zoom; }

int fixedZoomOf(int id) {
    switch (id) {
    case 155: return 100;
    case 156: return 200;
    case 157: return 400;
    case 158: return 800;
    case 159: return 50;
    case 160: return 25;
    case 161: return 12;
    default: return 0;
    }
}

}  // namespace quillon
