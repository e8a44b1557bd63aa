// The progress window of long transfers and batch work (dialog 1280,
// "進行状況"): one line of text and a bar, no buttons, cancels nothing.
// pumpMessages() keeps the rest of the interface alive between steps.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace quillon {

class ProgressWindow : public QDialog {
public:
    // Modeless, centred over parent; the bar runs 0 to 96 at 0.
    explicit ProgressWindow(QWidget* parent);
    void setMaximum(int max);
    int maximum() const { return m_max; }
    // A null text keeps the line; a negative position keeps the bar. The
    // window repaints at once.
    void showStep(const QString& text, int position);

    QLabel* textControl() const { return m_text; }
    QProgressBar* bar() const { return m_bar; }

private:
    QLabel* m_text;
    QProgressBar* m_bar;
    int m_max = 96;
};

// Handles the waiting events, then one idle pass. Objects deleted later stay
// alive until control is back in the event loop, since the pump may run
// under their own callers (a transfer's callback). Once the program is
// quitting it handles nothing and returns false, so long loops can stop.
bool pumpMessages();
// Set when the program starts to quit (its main frame closed); a new main
// frame clears it.
void setQuitting(bool quitting);
bool quitting();

}  // namespace quillon
