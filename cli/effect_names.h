// The --effect names of convert: the effect rows of the menus' colour, tone,
// geometry and filter commands, and why the menu would refuse one.
#pragma once

#include "effects/effect_rows.h"

#include <QString>

#include <optional>

namespace quillon::cli {

const std::vector<EffectRow>& effectRows();
const EffectRow* findEffectRow(const QString& name);
// The reason the menu disables command for a picture of that depth with or
// without a work area; none when it is enabled.
std::optional<QString> whyDisabled(int command, int depth, bool hasArea);
// One line per name with its arguments, for `effects`.
QString effectRowsHelp();

}  // namespace quillon::cli
