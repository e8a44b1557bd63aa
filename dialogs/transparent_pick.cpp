#include "dialogs/transparent_pick.h"

#include "image/image_object.h"

namespace quillon {

namespace {
TransparentPick* g_active = nullptr;
}

TransparentPick* TransparentPick::active() { return g_active; }

TransparentPick::~TransparentPick() {
    if (g_active == this) g_active = nullptr;
}

void TransparentPick::setActive(TransparentPick* pick) { g_active = pick; }

int pickTransparentAt(CImageObject& picture, int x, int y) {
    const int index = static_cast<int>(picture.pixelValue(x, y));
    picture.gifOptions.transparent = 1;
    picture.gifOptions.transparentIndex = index;
    return index;
}

}  // namespace quillon
