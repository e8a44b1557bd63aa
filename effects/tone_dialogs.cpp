#include "effects/tone_dialogs.h"

#include "effects/effect_charts.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillon {
namespace {

// The owner-drawn histogram chart 1102.
class HistogramChart : public QWidget {
public:
    HistogramChart(const Histogram& histogram, QWidget* parent) : QWidget(parent), m_histogram(histogram) {
        setObjectName(QStringLiteral("1102"));
        setFixedSize(300, 180);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintHistogram(p, size(), m_histogram);
    }

private:
    const Histogram& m_histogram;
};

QHBoxLayout* okCancel(QDialog* dialog) {
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("実行"), dialog);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), dialog);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

}  // namespace

HistogramDialog::HistogramDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent)
    : QDialog(parent), m_picture(picture), m_area(area), m_ui(ui) {
    setWindowTitle(QStringLiteral("ﾋｽﾄｸﾞﾗﾑ"));
    QString error;
    m_ready = computeHistogram(picture, area ? &*area : nullptr, m_histogram, error);
    if (!m_ready) ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation);
    auto* body = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("頻度"), this), 0, 0, Qt::AlignTop);
    m_chart = new HistogramChart(m_histogram, this);
    grid->addWidget(m_chart, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("輝度"), this), 1, 1, Qt::AlignHCenter);
    body->addLayout(grid);
    auto* buttons = okCancel(this);
    m_correct = new QPushButton(QStringLiteral("補正(&J)"), this);
    m_correct->setObjectName(QStringLiteral("1101"));
    m_correct->setEnabled(m_histogram.pixelCount / 1000 > 10 && picture.bitsPerPixel() >= 8);
    buttons->insertWidget(0, m_correct);
    body->addLayout(buttons);
    connect(m_correct, &QPushButton::clicked, this, &HistogramDialog::correct);
}

void HistogramDialog::correct() {
    QString error;
    const Rect* area = m_area ? &*m_area : nullptr;
    const LevelsOutcome outcome = applyLevels(m_picture, area, m_histogram, error);
    if (outcome == LevelsOutcome::Refused || outcome == LevelsOutcome::Failed) {
        m_ui.message(error, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    if (outcome == LevelsOutcome::TooFewPixels) return;
    if (onChanged) onChanged();
    if (!computeHistogram(m_picture, area, m_histogram, error)) m_ui.message(error, MsgButtons::Ok, MsgIcon::Exclamation);
    m_chart->update();
}

DepthDialog::DepthDialog(int pictureBits, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("階調変換"));
    auto* body = new QVBoxLayout(this);
    const char* labels[5] = {"&1ﾋﾞｯﾄ(2色)", "&4ﾋﾞｯﾄ(16色)", "&8ﾋﾞｯﾄ(256色)", "1&6ﾋﾞｯﾄ(65536色)", "&24ﾋﾞｯﾄ(1677万色)"};
    const int bits[5] = {1, 4, 8, 16, 24};
    for (int i = 0; i < 5; ++i) {
        m_radios[i] = new QRadioButton(QString::fromUtf8(labels[i]), this);
        m_radios[i]->setObjectName(QString::number(1041 + i));
        m_radios[i]->setChecked(bits[i] == depthChoiceFor(pictureBits));
        body->addWidget(m_radios[i]);
    }
    m_dither = new QCheckBox(QStringLiteral("ﾃﾞｨｻﾞ(&D)"), this);
    m_dither->setObjectName(QStringLiteral("1046"));
    m_grey = new QCheckBox(QStringLiteral("ｸﾞﾚｲｽｹｰﾙ(&G)"), this);
    m_grey->setObjectName(QStringLiteral("1047"));
    body->addWidget(m_dither);
    body->addWidget(m_grey);
    body->addLayout(okCancel(this));
}

DepthChoice DepthDialog::choice() const {
    const int bits[5] = {1, 4, 8, 16, 24};
    DepthChoice c;
    for (int i = 0; i < 5; ++i)
        if (m_radios[i]->isChecked()) c.bits = bits[i];
    c.dither = m_dither->isChecked();
    c.grey = m_grey->isChecked();
    return c;
}

ColourShiftDialog::ColourShiftDialog(CImageObject& picture, UiPort& ui, QWidget* parent)
    : QDialog(parent), m_picture(picture), m_ui(ui) {
    setWindowTitle(QStringLiteral("色ずれ補正"));
    auto* body = new QHBoxLayout(this);
    auto* arrows = new QGridLayout;
    const struct {
        int id, row, column, dx, dy;
        Qt::ArrowType arrow;
    } buttons[] = {{1351, 0, 1, 0, -1, Qt::UpArrow}, {1352, 1, 0, -1, 0, Qt::LeftArrow},
                   {1353, 1, 2, 1, 0, Qt::RightArrow}, {1354, 2, 1, 0, 1, Qt::DownArrow}};
    for (const auto& b : buttons) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::number(b.id));
        button->setArrowType(b.arrow);
        button->setFixedSize(32, 32);
        arrows->addWidget(button, b.row, b.column);
        connect(button, &QToolButton::clicked, this, [this, dx = b.dx, dy = b.dy] { arrow(dx, dy); });
    }
    body->addLayout(arrows);
    auto* right = new QVBoxLayout;
    const char* names[3] = {"赤", "緑", "青"};
    for (int c = 0; c < 3; ++c) {
        m_channels[c] = new QRadioButton(QString::fromUtf8(names[c]), this);
        m_channels[c]->setObjectName(QString::number(1355 + c));
        right->addWidget(m_channels[c]);
    }
    m_channels[1]->setChecked(true);
    right->addLayout(okCancel(this));
    body->addLayout(right);
}

int ColourShiftDialog::run() {
    m_backup = m_picture.duplicate();
    if (!m_backup) {
        m_ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Stop);
        return Rejected;
    }
    return exec();
}

ShiftChannel ColourShiftDialog::channel() const {
    for (int c = 0; c < 3; ++c)
        if (m_channels[c]->isChecked()) return ShiftChannel(c);
    return ShiftChannel::Green;
}

void ColourShiftDialog::arrow(int stepX, int stepY) {
    if (!m_backup) return;
    m_offsets.move(channel(), stepX, stepY, m_picture.width(), m_picture.height());
    QString error;
    if (!rebuildColourShift(m_picture, *m_backup, m_offsets, error)) m_ui.message(error, MsgButtons::Ok, MsgIcon::Stop);
    if (onChanged) onChanged();
}

void ColourShiftDialog::accept() {
    // The undo snapshot must hold the unshifted picture.
    std::unique_ptr<CImageObject> unshifted = m_backup ? m_backup->duplicate() : nullptr;
    if (!unshifted) {
        m_ui.message(loadString(5019), MsgButtons::Ok, MsgIcon::Stop);
        reject();
        return;
    }
    m_picture.takeOver(*unshifted, false);
    if (snapshot && !snapshot()) {
        QDialog::reject();
        return;
    }
    QString error;
    rebuildColourShift(m_picture, *m_backup, m_offsets, error);
    m_backup.reset();
    QDialog::accept();
}

void ColourShiftDialog::reject() {
    if (m_backup) m_picture.takeOver(*m_backup, true);
    m_backup.reset();
    QDialog::reject();
}

}  // namespace quillon
