#include "dialogs/open_dialog.h"

#include "dialogs/dialog_settings.h"
#include "dialogs/dialog_texts.h"
#include "dialogs/file_dialog_labels.h"
#include "dialogs/picture_preview.h"
#include "dialogs/save_format_list.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QVBoxLayout>

namespace quillon {

COpenFileDlg::COpenFileDlg(const QString& initialName, DialogSettings& settings,
                           PictureOpener open, UiPort& ui, QWidget* parent)
    : QFileDialog(parent),
      m_model(settings.filePreview()),
      m_settings(settings),
      m_open(std::move(open)),
      m_ui(ui) {
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    // After the accept mode, which makes the buttons anew.
    setFileDialogLabels(*this, dialog_text::kOpen);
    setNameFilters(toNameFilters(saveFormatList().openFilter));
    if (!initialName.isEmpty()) selectFile(initialName);

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("1052"));
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(4, 0, 0, 0);
    m_box = new QCheckBox(QString::fromUtf8(dialog_text::kPreview), area);
    m_box->setObjectName(QStringLiteral("1053"));
    m_box->setChecked(m_model.enabled());
    m_preview = new CPicturePreview(area);
    column->addWidget(m_box);
    column->addWidget(m_preview);
    column->addStretch(1);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(area, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    else
        layout()->addWidget(area);

    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        apply(m_model.selectionChanged(path, directory().absolutePath()));
    });
    connect(m_box, &QCheckBox::toggled, this, [this](bool on) { apply(m_model.setEnabled(on)); });
}

void COpenFileDlg::apply(const OpenPreviewModel::Step& step) {
    switch (step.kind) {
    case OpenPreviewModel::Step::Nothing:
        return;
    case OpenPreviewModel::Step::Clear:
        m_preview->clear();
        return;
    case OpenPreviewModel::Step::Show: {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool shown = loadPreview(m_preview->picture(), step.path, m_open, m_ui);
        QApplication::restoreOverrideCursor();
        if (shown) m_preview->picture().refresh();
        else m_preview->update();
        return;
    }
    }
}

void COpenFileDlg::done(int result) {
    m_settings.setFilePreview(m_box->isChecked());
    QFileDialog::done(result);
}

std::optional<QString> runOpenDialog(const QString& lastTitle, DialogSettings& settings,
                                     const PictureOpener& open, UiPort& ui, QWidget* parent) {
    COpenFileDlg dialog(lastTitle, settings, open, ui, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles().value(0);
}

}  // namespace quillon
