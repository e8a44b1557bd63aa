#include "dialogs/save_as_dialog.h"

#include "dialogs/colour_swatch.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/file_dialog_labels.h"
#include "dialogs/file_names.h"
#include "dialogs/modal_input_gate.h"
#include "ui/ui_port.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace quillon {

CSaveAsDlg::CSaveAsDlg(SaveAsModel& model, const QString& folder, const PickSetup& pick,
                       UiPort& ui, QWidget* parent)
    : QFileDialog(parent), m_model(model), m_pick(pick), m_ui(ui) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // After the accept mode, which makes the buttons anew.
    setFileDialogLabels(*this, dialog_text::kSave);
    const QStringList filters = toNameFilters(m_model.formats().saveAsFilter);
    setNameFilters(filters);
    selectNameFilter(filters.value(m_model.formatIndex() - 1));
    setDefaultSuffix(nameExtensionOf(m_model.formats(), m_model.formatIndex()));

    m_model.opened();
    const QString name = m_model.fileName();
    const QString nameFolder = folderOfPath(name);
    if (!nameFolder.isEmpty())
        setDirectory(nameFolder);
    else if (!folder.isEmpty())
        setDirectory(folder);
    if (!name.isEmpty()) selectFile(QFileInfo(name).fileName());

    addGifControls();
    // Connected after the dialog's own handler, which has put the type's
    // extension on a name that had one; ours also covers names without.
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        connect(types, &QComboBox::activated, this, [this](int row) { typeChosen(row + 1); });
    if (QLineEdit* edit = fileNameEdit())
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_model.setFileName(text); });
    syncControls();
}

CSaveAsDlg::~CSaveAsDlg() {
    if (active() == this) setActive(nullptr);
}

QLineEdit* CSaveAsDlg::fileNameEdit() const {
    return findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

void CSaveAsDlg::addGifControls() {
    auto* row = new QWidget(this);
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    m_interlace = new QCheckBox(QString::fromUtf8(dialog_text::kInterlace), row);
    m_interlace->setObjectName(QStringLiteral("1082"));
    m_transparent = new QCheckBox(QString::fromUtf8(dialog_text::kTransparentGif), row);
    m_transparent->setObjectName(QStringLiteral("1083"));
    auto* label = new QLabel(QString::fromUtf8(dialog_text::kTransparentColour), row);
    m_swatch = new CColourSwatch(row);
    m_swatch->setFocusPolicy(Qt::StrongFocus);
    label->setBuddy(m_swatch);
    box->addWidget(m_interlace);
    box->addSpacing(12);
    box->addWidget(m_transparent);
    box->addSpacing(12);
    box->addWidget(label);
    box->addWidget(m_swatch);
    box->addStretch(1);

    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(row, grid->rowCount(), 0, 1, grid->columnCount());
    else
        layout()->addWidget(row);

    connect(m_interlace, &QCheckBox::toggled, this, [this](bool on) { m_model.setInterlaced(on); });
    connect(m_transparent, &QCheckBox::toggled, this, [this](bool on) {
        m_model.setTransparent(on);
        syncControls();
    });
    connect(m_swatch, &CColourSwatch::clicked, this, &CSaveAsDlg::swatchClicked);
}

void CSaveAsDlg::typeChosen(int index) {
    if (index < 1 || index > m_model.formats().count()) return;
    QLineEdit* edit = fileNameEdit();
    if (edit) m_model.setFileName(edit->text());
    const bool wasPicking = m_model.picking();
    m_model.chooseType(index);
    if (edit && edit->text() != m_model.fileName()) edit->setText(m_model.fileName());
    setDefaultSuffix(nameExtensionOf(m_model.formats(), index));
    if (wasPicking && !m_model.picking()) endPick();
    syncControls();
}

void CSaveAsDlg::swatchClicked() {
    if (m_model.picking() || !m_pick.view) return;
    if (!m_model.clickSwatch()) return;
    if (!m_gate) m_gate = std::make_unique<ModalInputGate>(this);
    m_gate->onPressInDialog = [this] { endPick(); };
    m_gate->onPressElsewhere = [this] { m_ui.beep(); };
    m_gate->openFor(m_pick.view, m_pick.cursor);
    setActive(this);
    syncControls();
}

void CSaveAsDlg::endPick() {
    m_model.endPick();
    if (m_gate) m_gate->close();
    if (active() == this) setActive(nullptr);
    activateWindow();
    syncControls();
}

void CSaveAsDlg::pickedInView(int pixelIndex) {
    m_model.pickedInView(pixelIndex);
    endPick();
}

void CSaveAsDlg::reject() {
    if (!m_model.cancel()) {
        endPick();
        return;
    }
    QFileDialog::reject();
}

void CSaveAsDlg::done(int result) {
    if (m_model.picking()) endPick();
    QFileDialog::done(result);
}

void CSaveAsDlg::syncControls() {
    const bool enabled = m_model.gifOptionsEnabled();
    const QSignalBlocker interlaceBlock(m_interlace);
    const QSignalBlocker transparentBlock(m_transparent);
    m_interlace->setEnabled(enabled);
    m_transparent->setEnabled(enabled);
    m_interlace->setChecked(m_model.interlaced());
    m_transparent->setChecked(m_model.transparent());
    m_swatch->setSwatch(m_model.swatchColour(), m_model.picking());
}

std::optional<QString> CSaveAsDlg::run() {
    // Modality comes from the gate, so that pick mode can let the view through.
    setWindowModality(Qt::NonModal);
    if (!m_gate) m_gate = std::make_unique<ModalInputGate>(this);
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    loop.exec();
    m_gate.reset();
    if (result() != QDialog::Accepted) return std::nullopt;
    return selectedFiles().value(0);
}

}  // namespace quillon
