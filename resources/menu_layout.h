// The menus and the toolbar of the main window as plain data. The frame builds
// its QMenuBar and QToolBar from these; the pruning for the capture library's
// capabilities works on the same data (frame/menu_pruning.h).
//
// A label is the Qt text of the item: the menu label with "&" before the
// Latin mnemonic letter of its pair, e.g. "終了(&Xﾘ)", then "..." where a
// dialog follows. The accelerator is kept apart.
#pragma once

#include <QString>
#include <vector>

namespace quillon {

struct MenuItemLayout {
    enum class Kind { Command, Separator, RecentFiles };
    Kind kind = Kind::Command;
    int id = 0;
    QString label;
    QString shortcut;  // "Ctrl+N" or empty

    bool isSeparator() const { return kind == Kind::Separator; }
};

struct PopupLayout {
    QString title;
    std::vector<MenuItemLayout> items;
};

// Menu resource 3: the main window's menu bar, popups in order. The capture
// popup is the third.
std::vector<PopupLayout> mainMenuLayout();
// Menu resource 6, first popup: the view's context menu.
std::vector<MenuItemLayout> contextMenuLayout();
// Toolbar resource 2: command ids in order, 0 for a separator.
std::vector<int> toolbarLayout();
// The menu label of a command (from the tables above), empty when none.
QString menuLabelOf(int commandId);
// A label as the user reads it: the mnemonic marker "&" removed ("&&" stays one "&").
QString plainLabel(const QString& label);

enum PopupIndex { kFilePopup = 0, kEditPopup = 1, kCapturePopup = 2 };

}  // namespace quillon
