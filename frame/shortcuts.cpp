#include "frame/shortcuts.h"

#include <QSet>

namespace quillon {

const std::vector<ShortcutBinding>& shortcutBindings() {
    using K = QKeySequence;
    const auto ctrl = [](Qt::Key key, Qt::KeyboardModifiers more = {}) {
        return K(QKeyCombination(Qt::ControlModifier | more, key));
    };
    static const std::vector<ShortcutBinding> table = {
        {57600, {K::New}, {ctrl(Qt::Key_N)}},
        {57601, {K::Open}, {ctrl(Qt::Key_O)}},
        {57603, {K::Save}, {ctrl(Qt::Key_S)}},
        {57604, {K::SaveAs}, {ctrl(Qt::Key_S, Qt::ShiftModifier)}},
        {57607, {K::Print}, {ctrl(Qt::Key_P)}},
        {57665, {K::Quit}, {ctrl(Qt::Key_Q)}},
        // One command undoes and redoes, so the redo keys reach it too.
        {57643, {K::Undo, K::Redo}, {ctrl(Qt::Key_Z), ctrl(Qt::Key_Y)}},
        {57635, {K::Cut}, {ctrl(Qt::Key_X)}},
        {57634, {K::Copy}, {ctrl(Qt::Key_C)}},
        {57637, {K::Paste}, {ctrl(Qt::Key_V)}},
        {57632, {K::Delete}, {K(Qt::Key_Delete)}},
        {105, {K::SelectAll}, {ctrl(Qt::Key_A)}},
        {106, {K::Deselect}, {ctrl(Qt::Key_A, Qt::ShiftModifier)}},
        {163, {K::ZoomIn}, {ctrl(Qt::Key_Plus), ctrl(Qt::Key_Equal)}},
        {164, {K::ZoomOut}, {ctrl(Qt::Key_Minus)}},
        {155, {}, {ctrl(Qt::Key_0)}},
        {57670, {K::HelpContents}, {K(Qt::Key_F1)}},
        {kCloseWindowKeyId, {K::Close}, {ctrl(Qt::Key_W), ctrl(Qt::Key_F4)}},
        {kNextWindowKeyId, {K::NextChild}, {ctrl(Qt::Key_Tab)}},
        // Shift+Tab arrives as Backtab.
        {kPreviousWindowKeyId, {K::PreviousChild},
         {ctrl(Qt::Key_Backtab, Qt::ShiftModifier), ctrl(Qt::Key_Tab, Qt::ShiftModifier)}},
    };
    return table;
}

std::vector<std::pair<int, QList<QKeySequence>>> resolvedShortcuts() {
    std::vector<std::pair<int, QList<QKeySequence>>> out;
    QSet<QKeySequence> taken;
    for (const ShortcutBinding& binding : shortcutBindings()) {
        QList<QKeySequence> keys;
        const auto take = [&](const QKeySequence& key) {
            if (key.isEmpty() || taken.contains(key)) return;
            taken.insert(key);
            keys << key;
        };
        for (QKeySequence::StandardKey standard : binding.standard)
            for (const QKeySequence& key : QKeySequence::keyBindings(standard)) take(key);
        for (const QKeySequence& key : binding.fixed) take(key);
        out.emplace_back(binding.id, keys);
    }
    return out;
}

}  // namespace quillon
