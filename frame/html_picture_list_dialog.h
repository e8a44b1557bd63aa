// The HTML picture list (dialog 1370, "HTMLﾌｧｲﾙから開く"): the pictures a
// page on disk shows, in the page's order; the selected ones open as
// documents, one after another in list order.
#pragma once

#include <QDialog>

#include <functional>

class QListWidget;

namespace quillon {

class UiPort;

class HtmlPictureListDialog : public QDialog {
    Q_OBJECT
public:
    // Scans the page into list 1371 (message 5028 when it cannot be read).
    HtmlPictureListDialog(const QString& htmlPath, UiPort& ui, QWidget* parent);

    bool isEmpty() const;
    // The files of the selected entries, in list order.
    QStringList selectedPaths() const;
    QListWidget* list() const { return m_list; }

private:
    QString m_htmlPath;
    QListWidget* m_list;
};

// After the page is chosen: the list, or message 5060 and nothing when it
// holds no picture; on "開く" every selected file goes to open.
void runHtmlPictureList(const QString& htmlPath, UiPort& ui, QWidget* parent,
                        const std::function<void(const QString&)>& open);

}  // namespace quillon
