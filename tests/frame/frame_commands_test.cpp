// The program's print, About and help commands, from its menus.
#include "frame/about_dlg.h"
#include "frame/print_file_dlg.h"
#include "tests/quillon/program_fixture.h"

#include <QMenu>
#include <QTimer>

namespace quillon::test {
namespace {

// Runs action on the first visible top-level widget of that name, from the
// event loop of whatever dialog is running then.
void whenShown(const QString& name, std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, name, action] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(w);
                return;
            }
    });
    timer->start();
}

class FrameCommands : public ProgramTest {};

TEST_F(FrameCommands, PrintAboutAndHelpRunFromTheMenus) {
    ASSERT_TRUE(start());
    frame().updateCommandUi();
    // Print is on the view's context menu too.
    ASSERT_TRUE(frame().contextMenu()->actions().contains(frame().action(57607)));
    for (int id : {57607, 57664, 57670}) EXPECT_TRUE(frame().action(id)->isEnabled()) << id;

    QString printCaption;
    whenShown("1260", [&](QWidget* w) {
        printCaption = w->windowTitle();
        EXPECT_NE(qobject_cast<CPrintFileDlg*>(w), nullptr);
        static_cast<QDialog*>(w)->reject();
    });
    frame().action(57607)->trigger();
    EXPECT_EQ(printCaption, QString::fromUtf8("印刷"));
    EXPECT_TRUE(ui.messages.isEmpty());

    bool aboutShown = false;
    whenShown("1000", [&](QWidget* w) {
        aboutShown = dynamic_cast<CAboutDlg*>(w) != nullptr;
        static_cast<QDialog*>(w)->accept();
    });
    frame().action(57664)->trigger();
    EXPECT_TRUE(aboutShown);

    // The test program has no guide beside it: the command says so.
    frame().action(57670)->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], QString::fromUtf8("ﾍﾙﾌﾟﾌｧｲﾙが見つかりません。"));
}

}  // namespace
}  // namespace quillon::test
