// CAboutDlg: the About box (dialog 1000, "ﾊﾞｰｼﾞｮﾝ情報"): the program's icon,
// its version line, the JPEG library in use, and OK. A Shift double-click on
// the version line shows the build stamp; every third Shift double-click on
// the icon, counted over the whole run, starts the companion program.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace quillon {

class UiPort;

// The Shift double-clicks on the icon; the count outlives the dialog.
class CompanionCounter {
public:
    // One double-click on the icon: true when the companion is to start.
    bool doubleClick(bool shift);
    int count() const { return m_count; }

private:
    int m_count = 0;
};

// The one counter of the program's run.
CompanionCounter& companionCounter();

// "zerkan" beside the program, else on PATH; empty when there is none.
QString companionProgram();
// Starts it without waiting; nothing happens when it is missing.
void startCompanion();

// "DATE : <build date> TIME : <build time>", in the compiler's formats.
QString buildStamp();
QString versionLine();
QString jpegLibraryLine();

class CAboutDlg : public QDialog {
public:
    CAboutDlg(UiPort& ui, QWidget* parent);
    QLabel* iconControl() const { return m_icon; }
    QLabel* versionControl() const { return m_version; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    UiPort& m_ui;
    QLabel* m_icon;
    QLabel* m_version;
};

}  // namespace quillon
