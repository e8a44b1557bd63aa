// The HTML settings (dialog 1372, "HTML設定"): the paths of the browser, the
// HTML editor and the FTP program, each with a browse button.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>

class QLineEdit;

namespace quillon {

struct HtmlProgramPaths {
    QString browser;
    QString htmlEditor;
    QString ftp;
};

class HtmlSettingsDialog : public QDialog {
    Q_OBJECT
public:
    using ProgramChooser = std::function<std::optional<QString>(QWidget* parent)>;
    HtmlSettingsDialog(const HtmlProgramPaths& paths, ProgramChooser chooseProgram, QWidget* parent);

    // The dialog's strings: the fields as OK took them.
    const HtmlProgramPaths& paths() const { return m_paths; }

    void accept() override;

private:
    void browse(QString HtmlProgramPaths::*member);
    // Every field from its string: typing not yet taken is replaced.
    void refreshFields();

    HtmlProgramPaths m_paths;
    ProgramChooser m_chooseProgram;
    QLineEdit* m_browser;
    QLineEdit* m_htmlEditor;
    QLineEdit* m_ftp;
};

// The browse buttons' file-open dialog over the programs.
std::optional<QString> chooseProgramFile(QWidget* parent);

}  // namespace quillon
