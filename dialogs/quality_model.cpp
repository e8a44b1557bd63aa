#include "dialogs/quality_model.h"

#include "dialogs/dialog_texts.h"

#include <algorithm>

namespace quillon {

int QualityModel::stepped(const QString& text, int steps, int fallback) {
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok);
    const int start = ok ? typed : fallback;
    const long long next = static_cast<long long>(std::clamp(start, kMinimum - 1, kMaximum + 1)) + steps;
    return static_cast<int>(std::clamp<long long>(next, kMinimum, kMaximum));
}

std::optional<QString> QualityModel::accept(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < kMinimum || value > kMaximum)
        return QString::fromUtf8(dialog_text::kQualityRange);
    m_quality = value;
    return std::nullopt;
}

}  // namespace quillon
