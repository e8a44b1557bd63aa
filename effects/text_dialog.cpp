#include "effects/text_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

namespace quillon {
namespace {

// The sixteen colours the font dialog's colour list offers.
struct NamedColour {
    const char* name;
    QRgb rgb;
};
const NamedColour kColours[] = {
    {"黒", 0x000000},   {"茶", 0x800000},     {"緑", 0x008000},   {"オリーブ", 0x808000},
    {"紺", 0x000080},   {"紫", 0x800080},     {"青緑", 0x008080}, {"灰色", 0x808080},
    {"銀", 0xC0C0C0},   {"赤", 0xFF0000},     {"ライム", 0x00FF00}, {"黄", 0xFFFF00},
    {"青", 0x0000FF},   {"赤紫", 0xFF00FF},   {"水色", 0x00FFFF}, {"白", 0xFFFFFF},
};

// The dialog lists the installed families and sizes in points: a face that
// is only a substitute name (ＭＳ 明朝) is shown as the font standing in, and
// a size in pixels as its points on the screen.
QFont fontForList(QFont font) {
    const QStringList families = QFontDatabase::families();
    if (!families.contains(font.family())) {
        const QString standIn = QFont::substitute(font.family());  // kept in lower case
        for (const QString& family : families)
            if (family.compare(standIn, Qt::CaseInsensitive) == 0) font.setFamily(family);
    }
    if (font.pixelSize() > 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
        font.setPointSize(qRound(font.pixelSize() * 72.0 / dpi));
    }
    return font;
}

// The labels of the dialog's own controls, as a Japanese system shows them.
void translateLabels(QWidget& dialog) {
    const std::pair<const char*, const char*> labels[] = {
        {"&Font", "フォント名(&F):"}, {"Font st&yle", "スタイル(&Y):"}, {"&Size", "サイズ(&S):"},
        {"Wr&iting System", "書体の種類(&R)"},
    };
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        for (const auto& [english, japanese] : labels)
            if (label->text() == QLatin1String(english)) label->setText(QString::fromUtf8(japanese));
        if (label->text() == QString::fromUtf8("書体の種類(&R)") && label->buddy())
            label->buddy()->setObjectName(QStringLiteral("1140"));
    }
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->title() == QLatin1String("Sample")) group->setTitle(QString::fromUtf8("サンプル"));
    }
}

}  // namespace

TextDialog::TextDialog(const TextSettings& initial, QWidget* parent) : QFontDialog(parent) {
    setOption(QFontDialog::DontUseNativeDialog);
    setObjectName(QStringLiteral("1270"));
    setWindowTitle(QString::fromUtf8("文字"));
    setCurrentFont(fontForList(initial.font));
    translateLabels(*this);

    // The dialog's own controls under the numbers and texts of the template.
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        if (box->text().contains(QLatin1String("Stri"), Qt::CaseInsensitive)) {
            box->setObjectName(QStringLiteral("1040"));
            box->setText(QString::fromUtf8("取り消し線(&K)"));
        } else if (box->text().contains(QLatin1String("Under"), Qt::CaseInsensitive)) {
            box->setObjectName(QStringLiteral("1041"));
            box->setText(QString::fromUtf8("下線(&U)"));
        }
    }
    for (QGroupBox* group : findChildren<QGroupBox*>()) {
        if (group->title().contains(QLatin1String("Effects"), Qt::CaseInsensitive))
            group->setTitle(QString::fromUtf8("文字飾り"));
    }

    auto* grid = qobject_cast<QGridLayout*>(layout());
    const int row = grid ? grid->rowCount() : 0;
    auto* colourLabel = new QLabel(QString::fromUtf8("色(&C):"), this);
    m_colour = new QComboBox(this);
    m_colour->setObjectName(QStringLiteral("1139"));
    for (const NamedColour& c : kColours) {
        QPixmap swatch(16, 12);
        swatch.fill(QColor::fromRgb(c.rgb));
        m_colour->addItem(QIcon(swatch), QString::fromUtf8(c.name), QVariant::fromValue<uint>(c.rgb));
    }
    const QRgb start = qRgb(imaging::redOf(initial.colour), imaging::greenOf(initial.colour),
                            imaging::blueOf(initial.colour)) & 0xFFFFFF;
    const int index = m_colour->findData(QVariant::fromValue<uint>(start));
    m_colour->setCurrentIndex(index >= 0 ? index : 0);
    colourLabel->setBuddy(m_colour);

    auto* textLabel = new QLabel(QString::fromUtf8("文字(&X):"), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("1271"));
    m_text->setMaxLength(255);
    m_text->setText(initial.text);
    textLabel->setBuddy(m_text);
    if (grid) {
        // Our rows go above the buttons.
        auto* buttons = findChild<QDialogButtonBox*>();
        int buttonsRow = row, r = 0, c = 0, rows = 0, columns = 0;
        if (buttons) {
            const int index = grid->indexOf(buttons);
            if (index >= 0) {
                grid->getItemPosition(index, &r, &c, &rows, &columns);
                grid->removeWidget(buttons);
                buttonsRow = r;
            }
            if (QPushButton* cancel = buttons->button(QDialogButtonBox::Cancel))
                cancel->setText(QString::fromUtf8("キャンセル"));
        }
        grid->addWidget(colourLabel, buttonsRow, 0);
        grid->addWidget(m_colour, buttonsRow, 2);
        grid->addWidget(textLabel, buttonsRow + 1, 0);
        grid->addWidget(m_text, buttonsRow + 1, 2, 1, 3);
        if (buttons) grid->addWidget(buttons, buttonsRow + 2, buttons ? c : 0, 1, std::max(1, columns));
    }
    m_text->setFocus();
}

TextSettings TextDialog::settings() const {
    TextSettings s;
    s.font = currentFont();
    const QRgb rgb = QRgb(m_colour->currentData().toUInt());
    s.colour = imaging::makeColorRef(qRed(rgb), qGreen(rgb), qBlue(rgb));
    s.text = m_text->text();
    return s;
}

std::optional<TextSettings> runTextDialog(const TextSettings& initial, QWidget* parent) {
    TextDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.settings();
}

}  // namespace quillon
