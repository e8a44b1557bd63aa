#include "program_fixture.h"

#include <QClipboard>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace quillon::test {
namespace {

class KeyboardTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    }
    void change() {
        ASSERT_TRUE(view->applyChange([](CImageObject& image) { return image.invert(false); }));
    }
    // The key as a user presses it: to the widget that has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &frame();
        QTest::keyClick(target, key, mods);
        QCoreApplication::processEvents();
    }
    QByteArray bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

TEST_F(KeyboardTest, FileEditAndViewKeysRunTheirCommands) {
    // Ctrl+Z with nothing to undo does nothing.
    press(Qt::Key_Z);
    EXPECT_FALSE(view->undoAvailable());
    EXPECT_EQ(view->image().pixelValue(10, 10), 0xFFFFFFu);

    change();
    press(Qt::Key_Z);
    EXPECT_EQ(view->image().pixelValue(10, 10), 0xFFFFFFu) << "Ctrl+Z undid the change";
    press(Qt::Key_Y);
    EXPECT_EQ(view->image().pixelValue(10, 10), 0u) << "Ctrl+Y redid it";

    // Untitled: Ctrl+S asks for a name; Ctrl+Shift+S always does.
    int asked = 0;
    const QString target = home.filePath("keys.bmp");
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString&, const QString&) -> std::optional<QString> {
        ++asked;
        return target;
    };
    press(Qt::Key_S);
    EXPECT_EQ(asked, 1);
    ASSERT_TRUE(QFile::exists(target));
    EXPECT_FALSE(doc->isModified());
    const QByteArray black = bytes(target);
    change();
    press(Qt::Key_S);
    EXPECT_EQ(asked, 1) << "with a path Ctrl+S saves in place";
    EXPECT_FALSE(doc->isModified());
    EXPECT_NE(bytes(target), black);
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(asked, 2);

    // Zoom: Ctrl++ and Ctrl+= in, Ctrl+- out, Ctrl+0 back to 100 %.
    const int start = view->zoom();
    press(Qt::Key_Plus);
    const int in1 = view->zoom();
    EXPECT_GT(in1, start);
    press(Qt::Key_Equal);
    EXPECT_GT(view->zoom(), in1);
    press(Qt::Key_Minus);
    EXPECT_EQ(view->zoom(), in1);
    press(Qt::Key_0);
    EXPECT_EQ(view->zoom(), 100);

    // Ctrl+Shift+A drops the selection.
    view->select(Rect{10, 10, 50, 40});
    press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(view->selection().has_value());
}

// Commands whose work is elsewhere (printing, help, the clipboard): the key
// reaches the command, and only while the command is enabled.
TEST_F(KeyboardTest, KeysReachCommandsOnlyWhileEnabled) {
    struct Case {
        int id;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    const Case cases[] = {
        {57607, Qt::Key_P, Qt::ControlModifier},      {57665, Qt::Key_Q, Qt::ControlModifier},
        {57635, Qt::Key_X, Qt::ControlModifier},      {57634, Qt::Key_C, Qt::ControlModifier},
        {57637, Qt::Key_V, Qt::ControlModifier},      {57632, Qt::Key_Delete, Qt::NoModifier},
        {105, Qt::Key_A, Qt::ControlModifier},        {57670, Qt::Key_F1, Qt::NoModifier},
        {57600, Qt::Key_N, Qt::ControlModifier},      {57601, Qt::Key_O, Qt::ControlModifier},
    };
    std::map<int, int> ran;
    for (const Case& c : cases) frame().setHandler(c.id, [&ran, id = c.id] { ++ran[id]; });
    // Something on the clipboard and a selection, so that paste, cut and
    // delete are allowed at all.
    QImage clip(4, 4, QImage::Format_RGB32);
    clip.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(clip);
    view->select(Rect{10, 10, 50, 40});
    for (const Case& c : cases) {
        // Enabling is stale until the key is pressed.
        frame().action(c.id)->setEnabled(false);
        press(c.key, c.mods);
        EXPECT_EQ(ran[c.id], 1) << c.id;
    }

    // Without a document the document commands stay quiet even when their
    // actions still look enabled.
    for (CQuillonDoc* d : frame().documents()) d->setModified(false);
    press(Qt::Key_W);
    ASSERT_TRUE(frame().documents().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const Case& c : cases) {
        frame().action(c.id)->setEnabled(true);
        press(c.key, c.mods);
        const bool always = c.id == 57665 || c.id == 57670 || c.id == 57600 || c.id == 57601;
        EXPECT_EQ(ran[c.id], always ? 2 : 1) << c.id;
    }
}

TEST_F(KeyboardTest, WindowKeysSwitchAndCloseDocumentWindows) {
    app->dialogs.chooseNewImage = []() -> std::optional<NewImageChoice> { return NewImageChoice{}; };
    ASSERT_NE(app->newDocument(), nullptr);
    QCoreApplication::processEvents();
    ASSERT_EQ(frame().documents().size(), 2);
    CQuillonDoc* first = frame().activeDocument();
    press(Qt::Key_Tab);
    CQuillonDoc* other = frame().activeDocument();
    EXPECT_NE(other, first) << "Ctrl+Tab";
    press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(frame().activeDocument(), first) << "Ctrl+Shift+Tab";
    press(Qt::Key_F4);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(frame().documents().size(), 1) << "Ctrl+F4";
    EXPECT_EQ(frame().documents().front(), other);
    press(Qt::Key_W);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(frame().documents().isEmpty()) << "Ctrl+W";
}

TEST_F(KeyboardTest, FileAndEditMenusShowTheKeysAndKeepTheirLetters) {
    const std::pair<int, const char*> shown[] = {
        {57600, "Ctrl+N"}, {57601, "Ctrl+O"}, {57603, "Ctrl+S"}, {57604, "Ctrl+Shift+S"},
        {57607, "Ctrl+P"}, {57665, "Ctrl+Q"}, {57643, "Ctrl+Z"}, {57635, "Ctrl+X"},
        {57634, "Ctrl+C"}, {57637, "Ctrl+V"}, {57632, "Del"},    {105, "Ctrl+A"},
        {106, "Ctrl+Shift+A"}, {163, "Ctrl++"}, {164, "Ctrl+-"}, {155, "Ctrl+0"}, {57670, "F1"}};
    for (const auto& [id, key] : shown)
        EXPECT_EQ(frame().action(id)->shortcut().toString(QKeySequence::PortableText), QLatin1String(key)) << id;

    // Alt+E opens the Edit popup; the letter picks its item.
    change();
    press(Qt::Key_E, Qt::AltModifier);
    QMenu* edit = frame().popup(1);
    ASSERT_TRUE(edit->isVisible());
    const QImage editShot = edit->grab().toImage();
    QTest::keyClick(edit, Qt::Key_U);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->image().pixelValue(10, 10), 0xFFFFFFu) << "U picked Undo";

    QMenu* file = frame().popup(0);
    frame().menuBar()->setActiveAction(file->menuAction());
    QCoreApplication::processEvents();
    ASSERT_TRUE(file->isVisible());
    const QImage fileShot = file->grab().toImage();
    file->hide();
    QImage both(fileShot.width() + editShot.width() + 8, std::max(fileShot.height(), editShot.height()),
                QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter p(&both);
    p.drawImage(0, 0, fileShot);
    p.drawImage(fileShot.width() + 8, 0, editShot);
    p.end();
    EXPECT_GE(file->width(), file->sizeHint().width()) << "nothing cut off";
    if (const QString path = shotPath(QStringLiteral("file-edit-menus-keys.png")); !path.isEmpty()) both.save(path);
}

}  // namespace
}  // namespace quillon::test
