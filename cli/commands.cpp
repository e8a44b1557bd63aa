#include "cli/commands.h"
#include "cli/console_port.h"
#include "cli/effect_ops.h"
#include "cli/gui_part.h"

namespace quillon::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE", "print the size, depth and format of a picture file", runInfo},
        {"convert", "IN OUT [--format-index N] [--quality Q] [--progressive|--baseline] "
                    "[--interlace] [--transparent INDEX] [--op OPERATION]... [--select L,T,R,B] "
                    "[--paste FILE@X,Y[,transparent]] [--move L,T,R,B@X,Y[,W,H]] [--delete] "
                    "[--text TEXT@X,Y[,FONT[,POINTS[,#RRGGBB[,underline][,strikeout]]]]]... [--effect NAME[=ARGS]]...",
         "open IN, apply the operations and edits in the order given, and save it as OUT (the format\n"
         "      comes from OUT's extension). Edits work as the program's selection does:\n"
         "        --select L,T,R,B   the work area of the edits after it (right, bottom exclusive)\n"
         "        --paste FILE@X,Y[,transparent]   FILE burnt in at X,Y (white transparent)\n"
         "        --move L,T,R,B@X,Y[,W,H]   that rectangle moved to X,Y (resized to W x H),\n"
         "                                   white where it was\n"
         "        --delete           the work area (or the whole picture) cleared to white\n"
         "        --text TEXT@X,Y,...  TEXT written with its top-left at X,Y; FONT (default\n"
         "                             ＭＳ 明朝), POINTS (10), colour (#000000), underline, strikeout\n"
         "        --effect NAME[=ARGS]   the menu's effect NAME (quillon-cli effects lists them) on the\n"
         "                             work area or the whole picture; rotations, tilt and resize\n"
         "                             always turn the whole picture and drop the work area. An effect\n"
         "                             the menu disables for the picture exits 1 and writes nothing;\n"
         "                             a value out of range exits 2\n"
         "      Rectangles are clamped to the picture; a place keeps one column and row on it.\n"
         "      --transparent takes one of the picture's colour indexes: 0 to 1 at 1 bit,\n"
         "      0 to 15 at 4 bits, 0 to 255 at 8 bits",
         runConvert},
        {"effects", "", "list the operations of convert --op and the effects of convert --effect", runEffects},
        {"html-page", "PICTURE",
         "write the one-picture page QLnnnnnn.HTM beside PICTURE (the first free number) and print its path",
         runHtmlPage},
        {"html-refs", "PAGE",
         "print the local pictures PAGE shows, one a line in UTF-8; exit 1 when there is none",
         runHtmlRefs},
        {"print", "IN OUT.pdf [--printer-dpi N] [--page WxH] [--screen-dpi N] [--mono]",
         "print IN on one PDF page as the program prints it: at its on-screen size (screen resolution N, "
         "default 96 dpi) centred, or fitted to the page; --printer-dpi sets the printer's resolution "
         "(default 300), --page the printable area in printer pixels (default A4; the PDF page comes to whole "
         "points, and the line \"page:\" reports the area used), --mono prints for a "
         "black-only printer",
         gui_part::runPrint},
        {"thumbnail", "IN OUT --box WxH",
         "write IN's W x H thumbnail as OUT: scaled to keep its shape and centred on black "
         "(the format comes from OUT's extension; the desktop's thumbnail cache is used)",
         gui_part::runThumbnail},
        {"thumbnails", "FOLDER OUTDIR --box WxH",
         "write the W x H thumbnail of every picture the file list shows in FOLDER to OUTDIR as NAME.png, "
         "on all cores and through the desktop's thumbnail cache; unreadable files are left out "
         "(progress on a terminal)",
         gui_part::runThumbnails},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

int usage(ConsolePort& console, const char* name) {
    const Command* command = findCommand(QLatin1String(name));
    console.error(QString("usage: quillon-cli %1 %2").arg(name, command ? command->usage : ""));
    return kUsage;
}

}  // namespace quillon::cli
