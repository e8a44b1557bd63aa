#include "frame/html_settings_dialog.h"

#include "dialogs/save_format_list.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillon {
namespace {

QString u8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

HtmlSettingsDialog::HtmlSettingsDialog(const HtmlProgramPaths& paths, ProgramChooser chooseProgram,
                                       QWidget* parent)
    : QDialog(parent), m_paths(paths), m_chooseProgram(std::move(chooseProgram)) {
    setObjectName(QStringLiteral("1372"));
    setWindowTitle(u8("HTML設定"));
    auto* layout = new QVBoxLayout(this);
    auto group = [&](const char* caption, const char* editId, const char* buttonId, const char* buttonText,
                     QString HtmlProgramPaths::*member) {
        auto* box = new QGroupBox(u8(caption), this);
        auto* edit = new QLineEdit(box);
        edit->setObjectName(QLatin1String(editId));
        auto* button = new QPushButton(u8(buttonText), box);
        button->setObjectName(QLatin1String(buttonId));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, member] { browse(member); });
        auto* row = new QHBoxLayout(box);
        row->addWidget(edit, 1);
        row->addWidget(button);
        layout->addWidget(box);
        return edit;
    };
    m_browser = group("ﾌﾞﾗｳｻﾞのﾊﾟｽ(&B):", "1373", "1374", "参照(&R)...", &HtmlProgramPaths::browser);
    m_htmlEditor = group("HTMLｴﾃﾞｨﾀのﾊﾟｽ(&E):", "1375", "1376", "参照(&W)...", &HtmlProgramPaths::htmlEditor);
    m_ftp = group("FTPｿﾌﾄのﾊﾟｽ(&F):", "1377", "1378", "参照(&S)...", &HtmlProgramPaths::ftp);

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(u8("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // 193 x 143 dialog units at the 9-point face.
    resize(292, 239);
    refreshFields();
}

void HtmlSettingsDialog::refreshFields() {
    m_browser->setText(m_paths.browser);
    m_htmlEditor->setText(m_paths.htmlEditor);
    m_ftp->setText(m_paths.ftp);
}

void HtmlSettingsDialog::browse(QString HtmlProgramPaths::*member) {
    const std::optional<QString> chosen = m_chooseProgram ? m_chooseProgram(this) : std::nullopt;
    if (!chosen) return;
    m_paths.*member = *chosen;
    refreshFields();
}

void HtmlSettingsDialog::accept() {
    m_paths = {m_browser->text(), m_htmlEditor->text(), m_ftp->text()};
    QDialog::accept();
}

std::optional<QString> chooseProgramFile(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList filters =
        toNameFilters(u8("ﾌﾟﾛｸﾞﾗﾑ(*.exe;*.com)|*.exe;*.com|すべてのﾌｧｲﾙ (*.*)|*.*||"));
    dialog.setNameFilters(filters);
    // Programs here have no extension: the list starts on all files.
    dialog.selectNameFilter(filters.back());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front();
}

}  // namespace quillon
