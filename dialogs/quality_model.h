// The JPEG quality dialog's rules: a quality of 5 to 100 typed or stepped,
// and the progressive choice.
#pragma once

#include <QString>

#include <optional>

namespace quillon {

class QualityModel {
public:
    static constexpr int kMinimum = 5;
    static constexpr int kMaximum = 100;

    QualityModel(int quality, bool progressive) : m_quality(quality), m_progressive(progressive) {}

    int quality() const { return m_quality; }
    bool progressive() const { return m_progressive; }
    void setProgressive(bool on) { m_progressive = on; }

    // The quality the edit shows after steps of the spin control: from the
    // typed value (or the last accepted one when the text is no number),
    // kept inside the range.
    static int stepped(const QString& text, int steps, int fallback);

    // OK with the edit's text: takes a number of 5 to 100 and returns
    // nothing; otherwise returns message 5006 and keeps the old value.
    std::optional<QString> accept(const QString& text);

private:
    int m_quality;
    bool m_progressive;
};

}  // namespace quillon
