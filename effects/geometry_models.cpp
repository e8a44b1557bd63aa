#include "effects/geometry_models.h"

#include "effects/geometry_effects.h"
#include "image/mul_div.h"

#include <algorithm>
#include <cmath>

namespace quillon {

QString rotationRangeMessage() {
    return QString::fromUtf8("角度は-45～45度の範囲で指定して下さい。");
}

AngleInput readAngleEdit(const QString& text) {
    if (text == "-") return {0, false};
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) return {0, false};
    return {std::clamp(value, kRotationMin, kRotationMax), true};
}

std::optional<int> checkedAngle(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < kRotationMin || value > kRotationMax) return std::nullopt;
    return value;
}

namespace {

// Sine and cosine per degree in thousandths, as the outline's tables hold them.
struct Thousandths {
    std::array<int, 360> sine{}, cosine{};
    Thousandths() {
        for (int d = 0; d < 360; ++d) {
            sine[size_t(d)] = int(std::lround(std::sin(d * M_PI / 180) * 1000));
            cosine[size_t(d)] = int(std::lround(std::cos(d * M_PI / 180) * 1000));
        }
    }
};

}  // namespace

RotationOutline rotationOutline(int width, int height, int degrees) {
    static const Thousandths table;
    const int d = ((degrees % 360) + 360) % 360;
    const double s = table.sine[size_t(d)] * 0.001, c = table.cosine[size_t(d)] * 0.001;
    const int hw = width / 2, hh = height / 2;
    const auto turn = [&](int x, int y) {
        return QPoint(int(hw + (x - hw) * c - (y - hh) * s), int(hh + (x - hw) * s + (y - hh) * c));
    };
    const int w = 2 * hw, h = 2 * hh;
    return {{turn(0, 0), turn(w, 0), turn(w, h), turn(0, h)}, QPoint(hw, hh), turn(hw, 0)};
}

ResizeModel::ResizeModel(int width, int height)
    : m_startWidth(width), m_startHeight(height), m_width(width), m_height(height) {}

QString ResizeModel::unit() const { return m_percent ? QString("%") : QString::fromUtf8("ﾄﾞｯﾄ"); }

void ResizeModel::widthEdited() {
    if (m_locked) m_height = m_percent ? m_width : mulDiv(m_startHeight, m_width, m_startWidth);
}

void ResizeModel::heightEdited() {
    if (m_locked) m_width = m_percent ? m_height : mulDiv(m_startWidth, m_height, m_startHeight);
}

void ResizeModel::setAspectLock(bool on) {
    m_locked = on;
    if (!on) return;
    if (m_percent) m_width = m_height = (m_width + m_height) / 2;
    else widthEdited();
}

void ResizeModel::setPercent(bool on) {
    if (on == m_percent) return;
    m_percent = on;
    if (on) {
        m_width = mulDiv(m_width, 100, m_startWidth);
        m_height = mulDiv(m_height, 100, m_startHeight);
    } else {
        m_width = mulDiv(m_startWidth, m_width, 100);
        m_height = mulDiv(m_startHeight, m_height, 100);
    }
}

int ResizeModel::pixelWidth() const { return m_percent ? mulDiv(m_startWidth, m_width, 100) : m_width; }
int ResizeModel::pixelHeight() const { return m_percent ? mulDiv(m_startHeight, m_height, 100) : m_height; }

bool TiltModel::setVertical(bool vertical) {
    if (vertical == m_vertical) return false;
    m_vertical = vertical;
    m_line.reset();
    return true;
}

void TiltModel::lineDrawn(int angle) { m_line = angle; }

bool TiltModel::togglePreview() {
    m_preview = !m_preview;
    if (!m_preview) m_line.reset();  // taken back: a new line is needed
    return m_preview;
}

QString TiltModel::prompt() const {
    if (!m_line) return QString::fromUtf8("ﾄﾞﾗｯｸﾞして基準線を引いて下さい。");
    return QString::fromUtf8("実行を押すと、引いた線が") + QString::fromUtf8(m_vertical ? "垂直" : "水平") +
           QString::fromUtf8("になるように回転します。");
}

QString TiltModel::previewButtonText() const {
    return QString::fromUtf8(m_preview ? "元に戻す" : "ﾌﾟﾚﾋﾞｭｰ");
}

int TiltModel::correction() const { return m_line ? tiltCorrection(*m_line, m_vertical) : 0; }

}  // namespace quillon
