#include "cli/effect_names.h"

#include "doc/command_table.h"

namespace quillon::cli {

const std::vector<EffectRow>& effectRows() {
    static const std::vector<EffectRow> rows = [] {
        std::vector<EffectRow> all = colourEffectRows();
        for (EffectRow& row : geometryEffectRows()) all.push_back(std::move(row));
        return all;
    }();
    return rows;
}

const EffectRow* findEffectRow(const QString& name) {
    for (const EffectRow& row : effectRows())
        if (row.name == name) return &row;
    return nullptr;
}

std::optional<QString> whyDisabled(int command, int depth, bool hasArea) {
    const CommandInfo* info = findCommand(command);
    if (!info) return QString("command %1 is not in the command table").arg(command);
    CommandState state;
    state.hasDocument = true;
    state.hasPicture = true;
    state.depth = depth;
    state.hasSelection = hasArea;
    if (commandEnabled(*info, state)) return std::nullopt;
    QString offered;
    switch (info->rule) {
    case Rule::A: offered = "pictures of 1 to 24 bits"; break;
    case Rule::I: offered = "24-bit pictures without a --select work area"; break;
    case Rule::B:
        offered = hasArea ? QString("a --select work area on pictures of 15 to 24 bits")
                          : info->minDepth == 24 ? QString("24-bit pictures")
                                                 : QString("pictures of %1 to 24 bits").arg(info->minDepth);
        break;
    default: offered = "other pictures"; break;
    }
    return QString("the menu offers it only for %1; this picture has %2 bits%3")
        .arg(offered)
        .arg(depth)
        .arg(hasArea ? " and a work area" : "");
}

QString effectRowsHelp() {
    QString text;
    for (const EffectRow& row : effectRows())
        text += QString("  --effect %1%2   (command %3)\n")
                    .arg(row.name, row.args.isEmpty() ? QString() : "=" + row.args)
                    .arg(row.command);
    return text;
}

}  // namespace quillon::cli
