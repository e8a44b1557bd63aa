// The keys of the frame's commands. Each binding names the desktop's
// standard key where Qt has one (so the desktop's conventions apply) and
// the keys every user expects whatever the desktop says; the first key is
// the one the menus show.
#pragma once

#include <QKeySequence>
#include <QList>

#include <vector>

namespace quillon {

// Frame actions that are not commands of their own: the document window
// keys.
enum : int {
    kCloseWindowKeyId = -1,
    kNextWindowKeyId = -2,
    kPreviousWindowKeyId = -3,
};

struct ShortcutBinding {
    int id;
    QList<QKeySequence::StandardKey> standard;
    QList<QKeySequence> fixed;
};

const std::vector<ShortcutBinding>& shortcutBindings();

// The keys of every binding, the desktop's first; a key that an earlier
// binding already holds is left out, so no key is ever ambiguous.
std::vector<std::pair<int, QList<QKeySequence>>> resolvedShortcuts();

}  // namespace quillon
