#include "program_fixture.h"

#include "doc/zoom.h"
#include "image/image_window.h"
#include "imaging/codecs/bmp.h"
#include "resources/strings.h"

#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QWheelEvent>

namespace quillon::test {
namespace {

class DocumentTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(start());
        doc = onlyDocument();
        ASSERT_NE(doc, nullptr);
        view = doc->view();
    }
    // A change through the view's common sequence: the picture turns black.
    void change() {
        ASSERT_TRUE(view->applyChange([](CImageObject& image) { return image.invert(false); }));
    }
    QMdiSubWindow* window() { return qobject_cast<QMdiSubWindow*>(view->parentWidget()); }

    CQuillonDoc* doc = nullptr;
    CQuillonView* view = nullptr;
};

TEST_F(DocumentTest, UndoAndRedoAlternateAndTheModifiedFlagFollows) {
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(57643)->isEnabled()) << "nothing to undo yet";
    change();
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->image().pixelValue(10, 10), 0u);
    frame().updateCommandUi();
    EXPECT_TRUE(frame().action(57643)->isEnabled());
    trigger(57643);
    EXPECT_EQ(view->image().pixelValue(10, 10), 0xFFFFFFu);
    EXPECT_FALSE(doc->isModified());
    trigger(57643);
    EXPECT_EQ(view->image().pixelValue(10, 10), 0u) << "the second undo restores the change";
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(view->image().width(), 640);
}

TEST_F(DocumentTest, UndoKeepsOnlyTheSelectionThatStillFits) {
    change();
    // The change left a smaller picture in the undo copy's place.
    ASSERT_TRUE(view->prepareUndo());
    CImageObject small;
    small.create(100, 80, 24);
    small.allocate(1);
    view->image().takeOver(small, true);
    view->select(Rect{50, 40, 300, 200});
    view->undo();
    ASSERT_TRUE(view->selection().has_value());
    view->undo();  // back to 100 x 80
    ASSERT_TRUE(view->selection().has_value());
    EXPECT_EQ(*view->selection(), (Rect{50, 40, 100, 80}));
    view->select(Rect{150, 100, 300, 200});
    view->undo();
    view->undo();
    EXPECT_FALSE(view->selection().has_value()) << "outside the 100 x 80 picture";
}

TEST_F(DocumentTest, ClosingAModifiedUntitledDocumentAndAnsweringYesRunsSaveAs) {
    change();
    const QString target = home.filePath("saved.BMP");
    QString suggested;
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString& s, const QString&) -> std::optional<QString> {
        suggested = s;
        return target;
    };
    ui.answers = {MsgAnswer::Yes};
    const QString title = doc->title();
    EXPECT_TRUE(window()->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui.messages.value(0), formatMessage(5005, title));
    EXPECT_EQ(ui.icons.front(), MsgIcon::Question);
    EXPECT_EQ(QFileInfo(suggested).fileName(), title + QStringLiteral(".bmp")) << "format 3 remembered by default";
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_TRUE(frame().documents().isEmpty());
    auto s = store();
    EXPECT_EQ(s->value("Settings/InitialSaveFormat").toInt(), 3);
    EXPECT_EQ(s->value("Settings/InitialSavePath").toString(), home.path());
}

TEST_F(DocumentTest, SavePromptAnswers) {
    change();
    ui.answers = {MsgAnswer::Cancel};
    EXPECT_FALSE(window()->close());
    EXPECT_EQ(frame().documents().size(), 1);
    // With a path the question is 5004.
    const QString path = home.filePath("named.bmp");
    ASSERT_TRUE(doc->saveTo(path, 3, 0, false));
    change();
    ui.messages.clear();
    ui.answers = {MsgAnswer::No};
    EXPECT_TRUE(window()->close());
    EXPECT_EQ(ui.messages, QStringList{formatMessage(5004, path)});
}

TEST_F(DocumentTest, YesWithACancelledSaveKeepsTheDocumentOpen) {
    change();
    app->dialogs.chooseSavePath = [](CQuillonView&, const QString&, const QString&) { return std::optional<QString>(); };
    ui.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(window()->close());
    EXPECT_EQ(frame().documents().size(), 1);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(DocumentTest, AFailedSaveKeepsPathAndModifiedFlag) {
    change();
    const QString good = home.filePath("first.bmp");
    ASSERT_TRUE(doc->saveTo(good, 3, 0, false));
    change();
    ui.messages.clear();
    EXPECT_FALSE(doc->saveTo(home.filePath("no/such/folder/x.bmp"), 3, 0, false));
    EXPECT_EQ(doc->path(), good);
    EXPECT_TRUE(doc->isModified());
    EXPECT_TRUE(ui.messages.contains(loadString(5025)));
    // And Yes in the prompt with that failing save keeps the window.
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString&, const QString&) {
        return std::optional<QString>(home.filePath("no/such/folder/y.bmp"));
    };
    EXPECT_TRUE(doc->saveAs() == false);
    EXPECT_EQ(doc->path(), good);
}

TEST_F(DocumentTest, SaveAsRefusesWrongExtensionsAndFormatsThePictureCannotTake) {
    change();
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString&, const QString&) {
        return std::optional<QString>(home.filePath("a.ABC"));
    };
    ui.messages.clear();
    EXPECT_FALSE(doc->saveAs());
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(home.filePath("a.ABC")));
    app->dialogs.chooseSavePath = [&](CQuillonView&, const QString&, const QString&) {
        return std::optional<QString>(home.filePath("a.GIF"));
    };
    ui.messages.clear();
    EXPECT_FALSE(doc->saveAs()) << "a 24-bit picture cannot be a GIF";
    EXPECT_EQ(ui.icons.back(), MsgIcon::Information);
    EXPECT_TRUE(doc->path().isEmpty());
}

TEST_F(DocumentTest, SaveOfANamedJpegAsksForQuality) {
    const QString path = home.filePath("photo.jpg");
    int asked = 0;
    app->dialogs.chooseJpegQuality = [&](JpegQuality start) {
        ++asked;
        EXPECT_EQ(start.quality, 100);
        return std::optional<JpegQuality>({90, true});
    };
    ASSERT_TRUE(doc->saveTo(path, 7, 90, false));
    change();
    EXPECT_TRUE(doc->save());
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(doc->isModified());
    EXPECT_TRUE(view->image().progressive);
    app->dialogs.chooseJpegQuality = [](JpegQuality) { return std::optional<JpegQuality>(); };
    change();
    EXPECT_FALSE(doc->save()) << "Cancel in the quality dialog saves nothing";
    EXPECT_TRUE(doc->isModified());
}

TEST_F(DocumentTest, ZoomCommands) {
    trigger(161);
    EXPECT_EQ(view->zoom(), 12);
    trigger(163);
    EXPECT_EQ(view->zoom(), 25);
    trigger(164);
    EXPECT_EQ(view->zoom(), 12);
    EXPECT_EQ(view->image().displayWidth, 640 * 12 / 100);
    app->dialogs.chooseZoom = [](int current) {
        EXPECT_EQ(current, 12);
        return std::optional<int>(300);
    };
    trigger(162);
    EXPECT_EQ(view->zoom(), 300);
    EXPECT_EQ(view->image().displayHeight, 1440);
    EXPECT_TRUE(view->image().bitmap().flags & imaging::flag::kStretched);
    trigger(155);
    EXPECT_EQ(view->zoom(), 100);
    EXPECT_FALSE(view->image().bitmap().flags & imaging::flag::kStretched);
    for (int z : {1000, 501}) {
        view->setZoom(z);
        frame().updateCommandUi();
        EXPECT_FALSE(frame().action(163)->isEnabled()) << z;
    }
}

TEST_F(DocumentTest, CtrlWithTheWheelZoomsByTheZoomCommandsSteps) {
    const QPointF at(20, 20);
    QWidget* window = view->imageWindow();
    QWheelEvent in(at, window->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &in);
    EXPECT_EQ(view->zoom(), zoomedIn(100));
    QWheelEvent out(at, window->mapToGlobal(at), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &out);
    EXPECT_EQ(view->zoom(), zoomedOut(zoomedOut(zoomedIn(100))));
}

TEST_F(DocumentTest, ArrangeIconsLinesUpMinimisedWindowsAlongTheBottom) {
    app->dialogs.chooseNewImage = []() -> std::optional<NewImageChoice> { return NewImageChoice{64, 48, 24}; };
    trigger(57600);
    trigger(57600);
    const auto windows = frame().mdiArea()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 3);
    windows[0]->showMinimized();
    windows[2]->showMinimized();
    trigger(57649);
    const int bottom = frame().mdiArea()->viewport()->height();
    EXPECT_EQ(windows[0]->geometry().bottom() + 1, bottom);
    EXPECT_EQ(windows[0]->x(), 0);
    EXPECT_EQ(windows[2]->geometry().bottom() + 1, bottom);
    EXPECT_EQ(windows[2]->x(), windows[0]->width()) << "side by side, in the order they were opened";
    EXPECT_FALSE(windows[1]->isMinimized());
}

TEST_F(DocumentTest, ImageInformationOfAnUntitledPicture) {
    PictureInfoTexts shown;
    app->dialogs.showImageInfo = [&](const PictureInfoTexts& t) { shown = t; };
    trigger(165);
    EXPECT_EQ(shown.path, QString::fromUtf8("未保存"));
    EXPECT_EQ(shown.format, QString::fromUtf8("未定"));
    EXPECT_EQ(shown.size, QString::fromUtf8("640 x 480 ﾄﾞｯﾄ"));
    EXPECT_EQ(shown.depth, QString::fromUtf8("24Bit(1600万色)"));
}

TEST_F(DocumentTest, CommandsWithoutTheirHandlersStayDisabled) {
    frame().updateCommandUi();
    // Range capture has no handler; scanner and video need the capture
    // library, which is not loaded here.
    for (int id : {108, 110, 111})
        EXPECT_FALSE(frame().action(id)->isEnabled()) << id;
    for (int id : {57603, 57604, 57607, 155, 162, 163, 164, 165, 57600, 57601, 57665, 57634, 105, 109, 120, 129, 138})
        EXPECT_TRUE(frame().action(id)->isEnabled()) << id;
}

TEST_F(DocumentTest, ExitAsksEveryModifiedDocument) {
    change();
    ui.answers = {MsgAnswer::Cancel};
    trigger(57665);
    EXPECT_TRUE(frame().isVisible()) << "Cancel keeps the program running";
    ui.answers = {MsgAnswer::No};
    trigger(57665);
    EXPECT_FALSE(frame().isVisible());
}

}  // namespace
}  // namespace quillon::test
