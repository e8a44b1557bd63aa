#include "frame/menu_pruning.h"

#include <algorithm>

namespace quillon {
namespace {

void removeCommand(std::vector<PopupLayout>& menu, int id) {
    for (PopupLayout& popup : menu)
        std::erase_if(popup.items, [id](const MenuItemLayout& item) {
            return item.kind == MenuItemLayout::Kind::Command && item.id == id;
        });
}

void removeAt(std::vector<PopupLayout>& menu, size_t popup, size_t position) {
    if (popup >= menu.size() || position >= menu[popup].items.size()) return;
    menu[popup].items.erase(menu[popup].items.begin() + position);
}

}  // namespace

void pruneMenu(std::vector<PopupLayout>& menu, CaptureCapabilities caps) {
    if (!caps.calibration) {
        removeCommand(menu, 118);
        removeAt(menu, kCapturePopup, 10);
    }
    if (!caps.camera) {
        removeAt(menu, kFilePopup, 6);
        removeAt(menu, kCapturePopup, 8);
        for (int id : {101, 112, 113, 114, 115, 116, 117}) removeCommand(menu, id);
    }
}

void pruneToolbar(std::vector<int>& buttons, CaptureCapabilities caps) {
    if (!caps.camera) std::erase(buttons, 112);
}

}  // namespace quillon
