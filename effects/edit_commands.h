// The document's edit commands: copy 57634, cut 57635, paste 57637,
// transparent paste 104, delete 57632, select all 105, deselect 106,
// transparent colour 107, text 142, and the frame's paste into a new file 103.
#pragma once

#include "effects/floating_build.h"

#include <functional>
#include <optional>

namespace quillon {

class CMainFrame;
class CQuillonApp;

struct EditDialogs {
    // The text dialog 1270; tests replace it.
    std::function<std::optional<TextSettings>(const TextSettings&)> chooseText;
};

void installEditCommands(CMainFrame& frame, CQuillonApp& app, EditDialogs& dialogs);

// 103: a new document holding the clipboard's picture at zoom 100 with its
// frame fitted; nothing when the clipboard holds no picture.
void pasteIntoNewFile(CQuillonApp& app);

}  // namespace quillon
