#include "cli/commands.h"
#include "cli/effect_ops.h"

namespace quillon::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE", "print the size, depth and format of a picture file", runInfo},
        {"convert", "IN OUT [--format-index N] [--quality Q] [--progressive|--baseline] "
                    "[--interlace] [--transparent INDEX] [--op OPERATION]... [--select L,T,R,B] "
                    "[--paste FILE@X,Y[,transparent]] [--move L,T,R,B@X,Y[,W,H]] [--delete] "
                    "[--text TEXT@X,Y[,FONT[,POINTS[,#RRGGBB[,underline][,strikeout]]]]]...",
         "open IN, apply the operations and edits in the order given, and save it as OUT (the format\n"
         "      comes from OUT's extension). Edits work as the program's selection does:\n"
         "        --select L,T,R,B   the work area of the edits after it (right, bottom exclusive)\n"
         "        --paste FILE@X,Y[,transparent]   FILE burnt in at X,Y (white transparent)\n"
         "        --move L,T,R,B@X,Y[,W,H]   that rectangle moved to X,Y (resized to W x H),\n"
         "                                   white where it was\n"
         "        --delete           the work area (or the whole picture) cleared to white\n"
         "        --text TEXT@X,Y,...  TEXT written with its top-left at X,Y; FONT (default\n"
         "                             ＭＳ 明朝), POINTS (10), colour (#000000), underline, strikeout\n"
         "      Rectangles are clamped to the picture; a place keeps one column and row on it.",
         runConvert},
        {"effects", "", "list the operations that convert --op applies", runEffects},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

}  // namespace quillon::cli
