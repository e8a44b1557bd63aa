#include "frame/html_picture_list_dialog.h"

#include "frame/html_refs.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace quillon {

HtmlPictureListDialog::HtmlPictureListDialog(const QString& htmlPath, UiPort& ui, QWidget* parent)
    : QDialog(parent), m_htmlPath(htmlPath) {
    setObjectName(QStringLiteral("1370"));
    setWindowTitle(QString::fromUtf8("HTMLﾌｧｲﾙから開く"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("1371"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* label = new QLabel(QString::fromUtf8("ｲﾒｰｼﾞﾌｧｲﾙ一覧(&L)"), this);
    label->setBuddy(m_list);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    auto* open = buttons->addButton(QString::fromUtf8("開く"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("1"));
    open->setDefault(true);
    buttons->addButton(QString::fromUtf8("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_list, 1, 0);
    layout->addWidget(buttons, 1, 1, Qt::AlignTop);
    // 178 x 121 dialog units at the 9-point face.
    resize(269, 202);

    for (const PictureReference& reference : scanPictureReferences(htmlPath, ui).references)
        m_list->addItem(reference.value);
}

bool HtmlPictureListDialog::isEmpty() const { return m_list->count() == 0; }

QStringList HtmlPictureListDialog::selectedPaths() const {
    const QString folder = htmlFolderOf(m_htmlPath);
    QStringList paths;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->isSelected()) paths << referencePath(folder, m_list->item(i)->text());
    return paths;
}

void runHtmlPictureList(const QString& htmlPath, UiPort& ui, QWidget* parent,
                        const std::function<void(const QString&)>& open) {
    HtmlPictureListDialog dialog(htmlPath, ui, parent);
    if (dialog.isEmpty()) {
        ui.message(loadString(5060), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    if (dialog.exec() != QDialog::Accepted) return;
    for (const QString& path : dialog.selectedPaths()) open(path);
}

}  // namespace quillon
