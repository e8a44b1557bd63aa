#include "cli/commands.h"
#include "cli/effect_ops.h"

namespace quillon::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE", "print the size, depth and format of a picture file", runInfo},
        {"convert", "IN OUT [--format-index N] [--quality Q] [--progressive|--baseline] "
                    "[--interlace] [--transparent INDEX] [--op OPERATION]...",
         "open IN, apply the operations, and save it as OUT (the format comes from OUT's extension)",
         runConvert},
        {"effects", "", "list the operations that convert --op applies", runEffects},
        {"thumbnail", "IN OUT --box WxH",
         "write IN's W x H thumbnail as OUT: scaled to keep its shape and centred on black "
         "(the format comes from OUT's extension; the desktop's thumbnail cache is used)",
         runThumbnail},
        {"thumbnails", "FOLDER OUTDIR --box WxH",
         "write the W x H thumbnail of every picture the file list shows in FOLDER to OUTDIR as NAME.png, "
         "on all cores and through the desktop's thumbnail cache; unreadable files are left out "
         "(progress on a terminal)",
         runThumbnails},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

}  // namespace quillon::cli
