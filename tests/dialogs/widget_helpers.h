// What the offscreen widget tests share: one QApplication, waiting for
// something to happen, acting on a dialog once it shows, and screenshots.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace dialogs_test {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "dialogs_widget_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    }
    void TearDown() override { delete m_app; }

private:
    QApplication* m_app = nullptr;
};

inline bool waitFor(const std::function<bool()>& done, int milliseconds = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The first visible top-level widget of type T, or nullptr.
template <typename T>
T* shownWidget() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible()) return t;
    return nullptr;
}

// Runs action on the first T that shows (polled from the event loop, so it
// also works inside a dialog's own loop).
template <typename T>
void whenShown(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (T* widget = shownWidget<T>()) {
            timer->stop();
            timer->deleteLater();
            action(widget);
        }
    });
    timer->start();
}

// Saves what the widget shows to $QUILLON_SHOTS/name.png (the build's shots
// folder when the variable does not reach the test).
inline void saveShot(QWidget* widget, const QString& name) {
    QString dir = qEnvironmentVariable("QUILLON_SHOTS");
#ifdef DIALOGS_SHOTS
    if (dir.isEmpty()) dir = QStringLiteral(DIALOGS_SHOTS);
#endif
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    EXPECT_TRUE(widget->grab().save(dir + "/" + name + ".png")) << name.toStdString();
}

}  // namespace dialogs_test
