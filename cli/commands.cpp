#include "cli/commands.h"

namespace quillon::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"info", "FILE", "print the size, depth and format of a picture file", runInfo},
        {"convert", "IN OUT [--format-index N] [--quality Q] [--progressive|--baseline] "
                    "[--interlace] [--transparent INDEX]",
         "open IN and save it as OUT (the format comes from OUT's extension)", runConvert},
    };
    return table;
}

const Command* findCommand(const QString& name) {
    for (const Command& command : commands())
        if (name == QLatin1String(command.name)) return &command;
    return nullptr;
}

}  // namespace quillon::cli
