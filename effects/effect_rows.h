// The effect commands as `quillon-cli convert --effect NAME[=ARGS]` reaches
// them: one row per name, naming the menu command whose code it runs. The
// menus and the command line share the apply function; only the source of the
// parameters differs (a dialog there, ARGS here).
#pragma once

#include "image/rect.h"

#include <QString>

#include <functional>
#include <vector>

namespace quillon {

class CImageObject;

// One parsed --effect, ready to run on a picture. area is the work area
// (the --select rectangle) or nullptr for the whole picture. A failure leaves
// its message in error.
using EffectRunner = std::function<bool(CImageObject& picture, const Rect* area, QString& error)>;

struct EffectRow {
    QString name;   // "sepia", "hue", "rotate", ...
    int command;    // the menu command whose code runs (138, 141, 120, ...)
    QString args;   // the ARGS syntax for the list, e.g. "R,G,B (-100..100)"; empty when none
    // Reads ARGS (empty when none was given). A value out of range or bad
    // syntax returns false with the reason, the range included, in error.
    // For names that choose between commands (rotate=90|270|2|358|A) the
    // parser sets command to the one the value picks.
    std::function<bool(const QString& args, int& command, EffectRunner& run, QString& error)> parse;
};

// The colour and tone effects (134..141, 143, 145..148) and the geometry and
// filter effects (120..133, 144, 149), each kept beside its own code.
std::vector<EffectRow> colourEffectRows();
std::vector<EffectRow> geometryEffectRows();

}  // namespace quillon
