// The shared set-up of the program's widget tests: one QApplication, the
// settings in a temporary folder, a scripted UI port, and a start of the
// application with a scope of its own for the single-copy socket.
#pragma once

#include "app/quillon_app.h"
#include "doc/quillon_doc.h"
#include "doc/quillon_view.h"
#include "frame/main_frame.h"
#include "tests/app/scripted_ui.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include <memory>

namespace quillon::test {

inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "quillon-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        installFonts();
        return a;
    }();
    return *app;
}

// Where screenshots go; empty when the test runs outside CTest.
inline QString shotPath(const QString& name) {
    const QString dir = qEnvironmentVariable("QUILLON_SHOTS");
    if (dir.isEmpty()) return {};
    QDir().mkpath(dir);
    return dir + u'/' + name;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        qtApp();
        ASSERT_TRUE(home.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
        qputenv("XDG_CONFIG_HOME", home.filePath("xdg-config").toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath("xdg-data").toUtf8());
        qputenv("XDG_CONFIG_DIRS", home.filePath("none").toUtf8());
        qputenv("XDG_DATA_DIRS", home.filePath("none").toUtf8());
        options.instanceScope = QUuid::createUuid().toString(QUuid::WithoutBraces);
        options.captureLibraryPath = QStringLiteral("/nonexistent/liborrery32.so");
    }
    void TearDown() override {
        if (app && app->mainFrame()) {
            for (CQuillonDoc* doc : app->mainFrame()->documents()) doc->setModified(false);
            app->mainFrame()->close();
        }
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Starts the program; the New Image dialog must not appear unless a test
    // scripts it.
    bool start() {
        app = std::make_unique<CQuillonApp>();
        app->setUi(&ui);
        app->dialogs.chooseNewImage = [this]() -> std::optional<NewImageChoice> {
            ++newImageDialogs;
            return std::nullopt;
        };
        const bool ok = app->initInstance(options);
        QCoreApplication::processEvents();
        return ok;
    }
    std::unique_ptr<QSettings> store() const {
        return std::make_unique<QSettings>(QStringLiteral("Tessaly"), QStringLiteral("Quillon"));
    }
    CMainFrame& frame() { return *app->mainFrame(); }
    CQuillonDoc* onlyDocument() {
        const auto docs = frame().documents();
        return docs.size() == 1 ? docs.front() : nullptr;
    }
    void trigger(int id) {
        frame().updateCommandUi();
        QAction* a = frame().action(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    StartOptions options;
    ScriptedUi ui;
    std::unique_ptr<CQuillonApp> app;
    int newImageDialogs = 0;
};

}  // namespace quillon::test
