#include "effects/geometry_dialogs.h"

#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "effects/geometry_effects.h"
#include "effects/selection_tracker.h"
#include "effects/view_editor.h"
#include "image/image_effects.h"
#include "image/image_object.h"
#include "image/image_window.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {
namespace {

constexpr int kBackupMessage = 5018;
constexpr int kMemoryMessage = 5019;

QPushButton* button(const QString& id, const char* text, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(id);
    return b;
}

}  // namespace

NumberSpin::NumberSpin(const QString& editId, const QString& upDownId, int maxLength, QWidget* parent)
    : QAbstractSpinBox(parent), m_maxLength(maxLength) {
    setObjectName(upDownId);
    lineEdit()->setObjectName(editId);
    setAccelerated(true);
}

void NumberSpin::setValue(int value) { lineEdit()->setText(QString::number(value)); }

int NumberSpin::value() const { return text().toInt(); }

QSize NumberSpin::sizeHint() const {
    // Room for the longest text it takes, beside the arrows.
    QSize size = QAbstractSpinBox::sizeHint();
    size.setWidth(fontMetrics().horizontalAdvance(QString(m_maxLength + 1, '0')) + 36);
    return size;
}

void NumberSpin::stepBy(int steps) {
    setValue(std::clamp(value() + steps, m_min, m_max));
    selectAll();
    emit editingFinished();
}

QValidator::State NumberSpin::validate(QString& input, int&) const {
    if (input.size() > m_maxLength) return QValidator::Invalid;
    for (int i = 0; i < input.size(); ++i)
        if (!input[i].isDigit() && !(i == 0 && input[i] == '-' && m_min < 0)) return QValidator::Invalid;
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled NumberSpin::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value() < m_max) enabled |= StepUpEnabled;
    if (value() > m_min) enabled |= StepDownEnabled;
    return enabled;
}

// --- rotation -------------------------------------------------------------

std::optional<int> runRotationDialog(CQuillonView& view, UiPort& ui, QWidget* parent) {
    std::unique_ptr<CImageObject> backup = view.image().duplicate();
    if (!backup) {
        ui.message(loadString(kBackupMessage), MsgButtons::Ok, MsgIcon::Exclamation);
        return std::nullopt;
    }
    if (view.editor()) view.editor()->showRotationOutline(0);
    RotationDlg dialog(view, ui, std::move(backup), parent);
    dialog.exec();
    if (view.editor()) view.editor()->showRotationOutline(std::nullopt);
    return dialog.angle();
}

RotationDlg::RotationDlg(CQuillonView& view, UiPort& ui, std::unique_ptr<CImageObject> backup, QWidget* parent)
    : QDialog(parent), m_view(view), m_ui(ui), m_backup(std::move(backup)) {
    setObjectName("1020");
    setWindowTitle(QString::fromUtf8("回転"));
    auto* group = new QGroupBox(QString::fromUtf8("角度の設定"), this);
    m_spin = new NumberSpin("1021", "1022", 4, group);
    m_spin->setRange(kRotationMin, kRotationMax);
    m_spin->setValue(0);
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_spin);
    row->addWidget(new QLabel(QString::fromUtf8("度"), group));
    auto* buttons = new QVBoxLayout;
    QPushButton* ok = button("1", "実行", this);
    QPushButton* cancel = button("2", "ｷｬﾝｾﾙ", this);
    QPushButton* previewButton = button("1016", "ﾌﾟﾚﾋﾞｭｰ", this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(previewButton);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &RotationDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &RotationDlg::reject);
    connect(previewButton, &QPushButton::clicked, this, &RotationDlg::preview);
    connect(m_spin->edit(), &QLineEdit::textChanged, this, &RotationDlg::edited);
}

RotationDlg::~RotationDlg() = default;

void RotationDlg::edited() {
    const AngleInput input = readAngleEdit(m_spin->text());
    if (!m_view.editor()) return;
    if (!input.drawOutline) m_view.editor()->showRotationOutline(std::nullopt);
    else m_view.editor()->showRotationOutline(input.angle < 0 ? input.angle + 360 : input.angle);
}

void RotationDlg::restore(bool redraw) {
    if (!m_backup) return;
    m_view.image().takeOver(*m_backup, redraw);
    m_backup.reset();
}

void RotationDlg::preview() {
    const std::optional<int> angle = checkedAngle(m_spin->text());
    if (!angle) {
        m_ui.message(rotationRangeMessage(), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    std::unique_ptr<CImageObject> copy = m_backup->duplicate();
    if (!copy) {
        m_ui.message(loadString(kMemoryMessage), MsgButtons::Ok, MsgIcon::Exclamation);
        reject();
        return;
    }
    CImageObject& picture = m_view.image();
    picture.takeOver(*copy, false);
    if (*angle != 0) rotateDegrees(picture, *angle, false, false);
    picture.refresh();
}

void RotationDlg::accept() {
    const std::optional<int> angle = checkedAngle(m_spin->text());
    if (!angle) {
        m_ui.message(rotationRangeMessage(), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    m_angle = angle;
    restore(true);
    QDialog::accept();
}

void RotationDlg::reject() {
    m_angle.reset();
    restore(true);
    QDialog::reject();
}

// --- resize ---------------------------------------------------------------

std::optional<QSize> runResizeDialog(int width, int height, QWidget* parent) {
    ResizeDlg dialog(width, height, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return QSize(dialog.model().pixelWidth(), dialog.model().pixelHeight());
}

ResizeDlg::ResizeDlg(int width, int height, QWidget* parent) : QDialog(parent), m_model(width, height) {
    setObjectName("1230");
    setWindowTitle(QString::fromUtf8("ﾘｻｲｽﾞ"));
    auto* grid = new QGridLayout;
    m_width = new NumberSpin("1231", "1232", 5, this);
    m_height = new NumberSpin("1234", "1235", 5, this);
    m_widthUnit = new QLabel(this);
    m_widthUnit->setObjectName("1233");
    m_heightUnit = new QLabel(this);
    m_heightUnit->setObjectName("1236");
    grid->addWidget(new QLabel(QString::fromUtf8("幅"), this), 0, 0);
    grid->addWidget(m_width, 0, 1);
    grid->addWidget(m_widthUnit, 0, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("高さ"), this), 1, 0);
    grid->addWidget(m_height, 1, 1);
    grid->addWidget(m_heightUnit, 1, 2);
    m_lock = new QCheckBox(QString::fromUtf8("縦横比を固定(&F)"), this);
    m_lock->setObjectName("1237");
    m_lock->setChecked(true);
    m_pixels = new QRadioButton(QString::fromUtf8("ﾄﾞｯﾄ指定(&D)"), this);
    m_pixels->setObjectName("1238");
    m_pixels->setChecked(true);
    m_percent = new QRadioButton(QString::fromUtf8("%指定(&P)"), this);
    m_percent->setObjectName("1239");
    grid->addWidget(m_lock, 2, 0, 1, 3);
    grid->addWidget(m_pixels, 3, 0, 1, 3);
    grid->addWidget(m_percent, 4, 0, 1, 3);
    auto* buttons = new QVBoxLayout;
    QPushButton* ok = button("1", "実行", this);
    QPushButton* cancel = button("2", "ｷｬﾝｾﾙ", this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &ResizeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &ResizeDlg::reject);
    connect(m_width, &NumberSpin::editingFinished, this, [this] {
        readEdits();
        m_model.widthEdited();
        show();
    });
    connect(m_height, &NumberSpin::editingFinished, this, [this] {
        readEdits();
        m_model.heightEdited();
        show();
    });
    connect(m_lock, &QCheckBox::toggled, this, [this](bool on) {
        readEdits();
        m_model.setAspectLock(on);
        show();
    });
    connect(m_percent, &QRadioButton::toggled, this, [this](bool on) {
        readEdits();
        m_model.setPercent(on);
        show();
    });
    show();
}

void ResizeDlg::readEdits() {
    m_model.setWidth(m_width->value());
    m_model.setHeight(m_height->value());
}

void ResizeDlg::show() {
    m_width->setRange(1, m_model.maximum());
    m_height->setRange(1, m_model.maximum());
    m_width->setValue(m_model.width());
    m_height->setValue(m_model.height());
    m_widthUnit->setText(m_model.unit());
    m_heightUnit->setText(m_model.unit());
}

void ResizeDlg::accept() {
    readEdits();
    QDialog::accept();
}

// --- tilt correction ------------------------------------------------------

TiltDlg* TiltDlg::open(CQuillonView& view, UiPort& ui, QWidget* parent) {
    std::unique_ptr<CImageObject> backup = view.image().duplicate();
    if (!backup) {
        ui.message(loadString(kBackupMessage), MsgButtons::Ok, MsgIcon::Exclamation);
        return nullptr;
    }
    auto* dialog = new TiltDlg(view, ui, std::move(backup), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    view.setToolWindow(dialog);
    if (ViewEditor* editor = view.editor()) {
        editor->tracker().start(ToolMode::LineReady, 0);
        editor->lineFinishedHandler = [dialog, editor] { dialog->lineDrawn(editor->referenceAngle()); };
    }
    view.selectionChanged();
    dialog->show();
    return dialog;
}

TiltDlg::TiltDlg(CQuillonView& view, UiPort& ui, std::unique_ptr<CImageObject> backup, QWidget* parent)
    : QDialog(parent), m_view(view), m_ui(ui), m_backup(std::move(backup)) {
    setObjectName("1220");
    setWindowTitle(QString::fromUtf8("傾き補正"));
    setModal(false);
    m_horizontal = new QRadioButton(QString::fromUtf8("水平に補正"), this);
    m_horizontal->setObjectName("1221");
    m_horizontal->setChecked(true);
    m_vertical = new QRadioButton(QString::fromUtf8("垂直に補正"), this);
    m_vertical->setObjectName("1222");
    m_prompt = new QLabel(this);
    m_prompt->setObjectName("1223");
    m_prompt->setWordWrap(true);
    m_prompt->setMinimumWidth(220);
    m_ok = button("1", "実行", this);
    QPushButton* cancel = button("2", "ｷｬﾝｾﾙ", this);
    m_preview = button("1016", "ﾌﾟﾚﾋﾞｭｰ", this);
    auto* left = new QVBoxLayout;
    left->addWidget(m_horizontal);
    left->addWidget(m_vertical);
    left->addWidget(m_prompt);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_preview);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &TiltDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &TiltDlg::reject);
    connect(m_preview, &QPushButton::clicked, this, &TiltDlg::togglePreview);
    connect(m_horizontal, &QRadioButton::clicked, this, [this] { setVertical(false); });
    connect(m_vertical, &QRadioButton::clicked, this, [this] { setVertical(true); });
    showState();
}

TiltDlg::~TiltDlg() {
    m_view.setToolWindow(nullptr);
    if (ViewEditor* editor = m_view.editor()) {
        editor->lineFinishedHandler = nullptr;
        m_view.finishPendingWork(false, false, true);
    }
    m_view.selectionChanged();
}

void TiltDlg::showState() {
    m_prompt->setText(m_model.prompt());
    m_preview->setText(m_model.previewButtonText());
    const bool ready = m_model.hasLine();
    m_preview->setEnabled(ready);
    m_ok->setEnabled(ready);
}

void TiltDlg::lineDrawn(int angle) {
    if (m_model.previewShown()) return;  // the preview is taken back first
    m_model.lineDrawn(angle);
    showState();
}

void TiltDlg::setVertical(bool vertical) {
    if (!m_model.setVertical(vertical)) return;
    if (ViewEditor* editor = m_view.editor()) editor->tracker().start(ToolMode::LineReady, vertical ? 1 : 0);
    m_view.imageWindow()->update();
    showState();
}

void TiltDlg::togglePreview() {
    if (!m_backup) return;
    std::unique_ptr<CImageObject> copy = m_backup->duplicate();
    if (!copy) {
        m_ui.message(loadString(kMemoryMessage), MsgButtons::Ok, MsgIcon::Stop);
        reject();
        return;
    }
    const int correction = m_model.correction();
    CImageObject& picture = m_view.image();
    if (m_model.togglePreview()) {
        picture.takeOver(*copy, false);
        int message = 0;
        if (!rotatePictureHundredths(picture, correction, message)) {
            m_ui.message(loadString(message), MsgButtons::Ok, MsgIcon::Exclamation);
            reject();
            return;
        }
        picture.sizeChanged();
        picture.refresh();
    } else {
        picture.takeOver(*copy, true);
        if (ViewEditor* editor = m_view.editor())
            editor->tracker().start(ToolMode::LineReady, m_model.vertical() ? 1 : 0);
        picture.refresh();
    }
    showState();
}

void TiltDlg::restore(bool redraw) {
    if (!m_backup) return;
    m_view.image().takeOver(*m_backup, redraw);
    m_backup.reset();
    m_view.image().sizeChanged();
}

void TiltDlg::accept() {
    const int correction = m_model.correction();
    restore(true);
    // The correction with its undo snapshot; 0 changes nothing and takes none.
    if (correction != 0 && m_view.prepareUndo()) {
        int message = 0;
        if (rotatePictureHundredths(m_view.image(), correction, message)) {
            m_view.document().setModified(true);
        } else {
            m_ui.message(loadString(message), MsgButtons::Ok, MsgIcon::Exclamation);
        }
        m_view.image().sizeChanged();
        m_view.image().refresh();
    }
    QDialog::accept();
}

void TiltDlg::reject() {
    restore(true);
    QDialog::reject();
}

}  // namespace quillon
