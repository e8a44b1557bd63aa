#include "effects/colour_dialogs.h"

#include "effects/area_procedure.h"
#include "effects/colour_effects.h"
#include "effects/effect_charts.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace quillon {
namespace {

const Rect* areaOf(const std::optional<Rect>& area) { return area ? &*area : nullptr; }

// An edit with its up-down: the arrows write the edit, a typed value moves
// the arrows (clamped, "-" ignored).
UpDown* attachUpDown(QLineEdit* edit, int low, int high, int position, QWidget* parent, const QString& id) {
    auto* upDown = new UpDown(low, high, position, parent);
    upDown->setObjectName(id);
    upDown->onStep = [edit](int v) { edit->setText(QString::number(v)); };
    QObject::connect(edit, &QLineEdit::textEdited, upDown, [=](const QString& text) {
        if (const std::optional<int> v = readEditClamped(text, low, high)) {
            upDown->setPosition(*v);
            if (QString::number(*v) != text) edit->setText(QString::number(*v));
        }
    });
    return upDown;
}

// The owner-drawn hue chart.
class HueChart : public QWidget {
public:
    HueChart(const HueModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
        setObjectName(QStringLiteral("1071"));
        setFixedSize(160, 160);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        paintHueCurves(p, size(), m_model);
    }

private:
    const HueModel& m_model;
};

const char* const kChannelNames[3] = {"赤", "緑", "青"};

}  // namespace

BrightnessContrastDialog::BrightnessContrastDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui,
                                                   QWidget* parent)
    : PreviewDialog(picture, ui, QStringLiteral("輝度・ｺﾝﾄﾗｽﾄ"), parent), m_area(area) {
    auto* body = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* labels[2] = {"輝度", "ｺﾝﾄﾗｽﾄ"};
    for (int i = 0; i < 2; ++i) {
        m_edits[i] = makeEdit(QString::number(1011 + 2 * i), 0, 4);
        grid->addWidget(new QLabel(QString::fromUtf8(labels[i]), this), i, 0);
        grid->addWidget(m_edits[i], i, 1);
        grid->addWidget(attachUpDown(m_edits[i], -100, 100, 0, this, QString::number(1012 + 2 * i)), i, 2);
    }
    m_invert = new QCheckBox(QStringLiteral("色反転(&N)"), this);
    m_invert->setObjectName(QStringLiteral("1015"));
    grid->addWidget(m_invert, 2, 0, 1, 3);
    body->addLayout(grid);
    addButtons(body);
}

bool BrightnessContrastDialog::readParameters() {
    const std::optional<int> b = readEditStrict(m_edits[0]->text(), -100, 100);
    const std::optional<int> c = readEditStrict(m_edits[1]->text(), -100, 100);
    if (!b || !c) {
        ui().message(loadString(5000), MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    brightness = *b;
    contrast = *c;
    invert = m_invert->isChecked();
    return true;
}

bool BrightnessContrastDialog::applyEffect(CImageObject& picture) {
    QString error;
    return applyBrightnessContrast(picture, areaOf(m_area), brightness, contrast, invert, error);
}

ColourFilterDialog::ColourFilterDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent)
    : PreviewDialog(picture, ui, QStringLiteral("色ﾌｨﾙﾀ"), parent), m_area(area) {
    auto* body = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int c = 0; c < 3; ++c) {
        m_bars[c] = new QScrollBar(Qt::Horizontal, this);
        m_bars[c]->setObjectName(QString::number(1061 + 2 * c));
        m_bars[c]->setRange(0, 200);
        m_bars[c]->setSingleStep(2);
        m_bars[c]->setPageStep(10);
        m_bars[c]->setMinimumWidth(200);
        m_edits[c] = makeEdit(QString::number(1062 + 2 * c), 100, 3);
        grid->addWidget(new QLabel(QString::fromUtf8(kChannelNames[c]), this), c, 0);
        grid->addWidget(m_bars[c], c, 1);
        grid->addWidget(m_edits[c], c, 2);
        connect(m_bars[c], &QScrollBar::actionTriggered, this, [this, c](int action) {
            static const std::pair<int, FilterScroll> map[] = {
                {QAbstractSlider::SliderSingleStepSub, FilterScroll::LineLeft},
                {QAbstractSlider::SliderSingleStepAdd, FilterScroll::LineRight},
                {QAbstractSlider::SliderPageStepSub, FilterScroll::PageLeft},
                {QAbstractSlider::SliderPageStepAdd, FilterScroll::PageRight},
                {QAbstractSlider::SliderToMinimum, FilterScroll::Home},
                {QAbstractSlider::SliderToMaximum, FilterScroll::End},
                {QAbstractSlider::SliderMove, FilterScroll::Thumb}};
            for (auto [qt, ours] : map)
                if (qt == action) model.scroll(c, ours, m_bars[c]->sliderPosition());
            // The model decides; the bar shows its value once Qt has applied its own step.
            QMetaObject::invokeMethod(this, [this] { showValues(); }, Qt::QueuedConnection);
        });
        connect(m_edits[c], &QLineEdit::textEdited, this, [this] {
            for (int k = 0; k < 3; ++k)
                if (const std::optional<int> v = readEditClamped(m_edits[k]->text(), 0, 200)) model.percent[size_t(k)] = *v;
            showValues();
        });
    }
    m_sample = new QLabel(this);
    m_sample->setObjectName(QStringLiteral("1067"));
    m_sample->setFixedSize(60, 60);
    m_sample->setAutoFillBackground(true);
    grid->addWidget(m_sample, 0, 3, 3, 1);
    body->addLayout(grid);
    addButtons(body);
    showValues();
}

void ColourFilterDialog::showValues() {
    for (int c = 0; c < 3; ++c) {
        const int v = model.percent[size_t(c)];
        m_bars[c]->setValue(v);
        if (readEditClamped(m_edits[c]->text(), 0, 200) != v) m_edits[c]->setText(QString::number(v));
    }
    const std::array<int, 3> s = model.sample();
    m_sample->setStyleSheet(QStringLiteral("background: rgb(%1,%2,%3); border: 1px solid black")
                                .arg(s[0]).arg(s[1]).arg(s[2]));
}

bool ColourFilterDialog::readParameters() {
    for (int c = 0; c < 3; ++c) {
        const std::optional<int> v = readEditStrict(m_edits[c]->text(), 0, 200);
        if (!v) return false;  // the edit's own rule already keeps it in range
        model.percent[size_t(c)] = *v;
    }
    return true;
}

bool ColourFilterDialog::applyEffect(CImageObject& picture) {
    QString error;
    return applyColourFilter(picture, areaOf(m_area), model.percent[0], model.percent[1], model.percent[2], error);
}

HueDialog::HueDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent)
    : PreviewDialog(picture, ui, QStringLiteral("色合い調整"), parent), m_area(area) {
    auto* body = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* grid = new QGridLayout;
    for (int c = 0; c < 3; ++c) {
        m_edits[c] = makeEdit(QString::number(1062 + 2 * c), 0, 4);
        grid->addWidget(new QLabel(QString::fromUtf8(kChannelNames[c]), this), c, 0);
        grid->addWidget(m_edits[c], c, 1);
        m_upDowns[c] = new UpDown(-100, 100, 0, this);
        m_upDowns[c]->setObjectName(QString::number(1072 + c));
        grid->addWidget(m_upDowns[c], c, 2);
        m_upDowns[c]->onStep = [this, c](int v) {
            model.setValue(c, v);
            showValues(-1);
        };
        connect(m_edits[c], &QLineEdit::textEdited, this, [this, c](const QString& text) {
            if (text == u"-") return;  // incomplete: counts as 0 until more is typed
            if (const std::optional<int> v = readEditClamped(text, -100, 100)) {
                model.setValue(c, *v);
                showValues(QString::number(*v) == text ? c : -1);
            }
        });
    }
    auto* link = new QCheckBox(QStringLiteral("RGB同時に調整(&A)"), this);
    link->setObjectName(QStringLiteral("1068"));
    grid->addWidget(link, 3, 0, 1, 3);
    connect(link, &QCheckBox::toggled, this, [this](bool on) {
        model.setLinked(on);
        showValues(-1);
    });
    m_chart = new HueChart(model, this);
    top->addLayout(grid);
    top->addWidget(m_chart);
    body->addLayout(top);
    addButtons(body);
}

void HueDialog::showValues(int except) {
    for (int c = 0; c < 3; ++c) {
        if (c != except) m_edits[c]->setText(QString::number(model.values[size_t(c)]));
        m_upDowns[c]->setPosition(model.values[size_t(c)]);
    }
    m_chart->update();
}

bool HueDialog::readParameters() {
    for (int c = 0; c < 3; ++c) {
        const QString text = m_edits[c]->text();
        const std::optional<int> v = text == u"-" ? std::optional<int>(0) : readEditClamped(text, -100, 100);
        if (!v) return false;
        if (!model.linked) model.values[size_t(c)] = *v;
    }
    showValues(-1);
    return true;
}

bool HueDialog::applyEffect(CImageObject& picture) {
    QString error;
    return applyHue(picture, areaOf(m_area), model.values[0], model.values[1], model.values[2], error);
}

SaturationDialog::SaturationDialog(CImageObject& picture, std::optional<Rect> area, UiPort& ui, QWidget* parent)
    : PreviewDialog(picture, ui, QStringLiteral("彩度"), parent), m_area(area) {
    auto* body = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_edit = makeEdit(QStringLiteral("1091"), 100, 4);
    row->addWidget(new QLabel(QStringLiteral("彩度(%)"), this));
    row->addWidget(m_edit);
    row->addWidget(attachUpDown(m_edit, -100, 200, 100, this, QStringLiteral("1092")));
    row->addStretch();
    body->addLayout(row);
    addButtons(body);
}

bool SaturationDialog::readParameters() {
    const QString text = m_edit->text();
    if (text == u"-") return true;  // no change of the value
    const std::optional<int> v = readEditStrict(text, -100, 200);
    if (!v) return false;
    percent = *v;
    return true;
}

bool SaturationDialog::applyEffect(CImageObject& picture) {
    QString error;
    return applySaturation(picture, areaOf(m_area), percent, error);
}

}  // namespace quillon
