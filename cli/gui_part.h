// The commands and editing steps that draw with QtGui (printing, thumbnails,
// pasting, moving, clearing and writing text) live in quillon-cli-gui.so
// beside the program. It is loaded on first use, so the file commands start
// without the GUI libraries. The part runs on the program's own picture core:
// the program exports its symbols, and the part's calls into the core bind to
// them, so a picture passes between the two as one object.
#pragma once

#include "image/rect.h"

#include <QStringList>

#include <optional>

namespace quillon {
class CImageObject;
}

namespace quillon::cli {

class ConsolePort;
struct TextEdit;

struct GuiPart {
    int (*print)(const QStringList& arguments, ConsolePort& console);
    int (*thumbnail)(const QStringList& arguments, ConsolePort& console);
    int (*thumbnails)(const QStringList& arguments, ConsolePort& console);
    // The editing steps; false leaves the imaging result for the message.
    bool (*paste)(CImageObject& picture, const CImageObject& source, int x, int y, bool transparent);
    bool (*move)(CImageObject& picture, const Rect& from, const Rect& to);
    bool (*clear)(CImageObject& picture, std::optional<Rect> area);
    bool (*text)(CImageObject& picture, const TextEdit& text);  // an empty text writes nothing
};

// The part, loaded on the first call; null, with the reason printed, when it
// cannot be loaded.
const GuiPart* guiPart(ConsolePort& console);

// The rows of the command table that run in the part.
namespace gui_part {
int runPrint(const QStringList& arguments, ConsolePort& console);
int runThumbnail(const QStringList& arguments, ConsolePort& console);
int runThumbnails(const QStringList& arguments, ConsolePort& console);
}  // namespace gui_part

}  // namespace quillon::cli

// The part's one exported entry.
extern "C" const quillon::cli::GuiPart* quillonCliGuiPart();
