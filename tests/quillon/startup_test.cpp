#include "program_fixture.h"

#include "image/image_window.h"
#include "resources/strings.h"
#include "tests/app/peer_program.h"
#include "ui/progress_window.h"

#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QToolBar>

namespace quillon::test {
namespace {

std::vector<int> actionIds(const QList<QAction*>& actions) {
    std::vector<int> out;
    for (QAction* a : actions) out.push_back(a->isSeparator() ? 0 : a->objectName().toInt());
    return out;
}

TEST_F(ProgramTest, StartUpGivesOneWhiteUnmodifiedPictureWithoutAsking) {
    ASSERT_TRUE(start());
    CQuillonDoc* doc = onlyDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(newImageDialogs, 0);
    EXPECT_FALSE(doc->isModified());
    EXPECT_FALSE(app->starting());
    CImageObject& image = doc->view()->image();
    EXPECT_EQ(image.width(), 640);
    EXPECT_EQ(image.height(), 480);
    EXPECT_EQ(image.bitsPerPixel(), 24);
    for (auto [x, y] : {std::pair{0, 0}, {639, 479}, {320, 240}}) EXPECT_EQ(image.pixelValue(x, y), 0xFFFFFFu);
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.messages.join(u'|').toStdString();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Quillon - ") + doc->title());
}

TEST_F(ProgramTest, NewAfterStartUpAsksForSizeAndDepth) {
    ASSERT_TRUE(start());
    app->dialogs.chooseNewImage = [] { return std::optional<NewImageChoice>({100, 50, 8}); };
    trigger(57600);
    ASSERT_EQ(frame().documents().size(), 2);
    CQuillonDoc* doc = frame().activeDocument();
    EXPECT_EQ(doc->view()->image().bitsPerPixel(), 8);
    EXPECT_EQ(doc->view()->image().width(), 100);
    EXPECT_EQ(doc->view()->image().paletteGet(0, 0, nullptr), 2) << "black and white palette below 16 bits";
    EXPECT_EQ(doc->view()->image().pixelValue(5, 5), 1u) << "white is entry 1";
    app->dialogs.chooseNewImage = [] { return std::optional<NewImageChoice>(); };
    trigger(57600);
    EXPECT_EQ(frame().documents().size(), 2) << "Cancel makes no document";
}

TEST_F(ProgramTest, CommandLineFileOpensInsteadOfTheBlankPicture) {
    const QString path = home.filePath("start.bmp");
    {
        ASSERT_TRUE(start());
        ASSERT_TRUE(onlyDocument()->saveTo(path, 3, 0, false));
        TearDown();
    }
    options.instanceScope += QStringLiteral("-2");
    options.files = {path};
    ASSERT_TRUE(start());
    CQuillonDoc* doc = onlyDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->path(), path);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(ProgramTest, OpeningAMissingFileSays5008AndLeavesNoDocument) {
    ASSERT_TRUE(start());
    EXPECT_EQ(app->openDocument(home.filePath("missing.bmp")), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ui.messages, QStringList{loadString(5008)});
    EXPECT_EQ(frame().documents().size(), 1);
}

TEST_F(ProgramTest, FreshSettingsPutTheWindowInTheUpperLeftQuarter) {
    ASSERT_TRUE(start());
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(frame().pos(), QPoint(0, 0));
    EXPECT_EQ(frame().size(), QSize(screen.width() / 2, screen.height() / 2));
}

TEST_F(ProgramTest, StoredRectangleIsClampedAndTheShutdownStoresThePlace) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    {
        auto s = store();
        s->setValue("Settings/left", -50);
        s->setValue("Settings/top", 20);
        s->setValue("Settings/right", screen.width() + 300);
        s->setValue("Settings/bottom", 300);
    }
    ASSERT_TRUE(start());
    EXPECT_EQ(frame().pos(), QPoint(0, 20));
    EXPECT_EQ(frame().width(), screen.width() - 1);
    EXPECT_EQ(frame().height(), 280);
    frame().move(10, 30);
    frame().resize(400, 300);
    frame().close();
    auto s = store();
    EXPECT_EQ(s->value("Settings/left").toInt(), 10);
    EXPECT_EQ(s->value("Settings/top").toInt(), 30);
    EXPECT_EQ(s->value("Settings/right").toInt(), 410);
    EXPECT_EQ(s->value("Settings/bottom").toInt(), 330);
    EXPECT_EQ(s->value("Settings/show").toInt(), 1);
    EXPECT_FALSE(s->value("ToolbarState").toByteArray().isEmpty());
}

TEST_F(ProgramTest, AfterOneRunTheSettingsHoldTheDiscoveredBrowser) {
    QDir().mkpath(home.filePath("xdg-config"));
    QDir().mkpath(home.filePath("xdg-data/applications"));
    QFile list(home.filePath("xdg-config/mimeapps.list"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("[Default Applications]\ntext/html=testweb.desktop\n");
    list.close();
    QFile entry(home.filePath("xdg-data/applications/testweb.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nExec=/opt/testweb/bin/testweb %u\n");
    entry.close();
    ASSERT_TRUE(start());
    EXPECT_EQ(store()->value("Settings/BrowserPath").toString(), QString()) << "nothing written before the end";
    frame().close();
    auto s = store();
    EXPECT_EQ(s->value("Settings/BrowserPath").toString(), QStringLiteral("/opt/testweb/bin/testweb"));
    EXPECT_EQ(s->value("Settings/HTMLEditorPath").toString(), QString()) << "none discovered, none stored";
}

TEST_F(ProgramTest, WithoutTheLibraryTheCaptureMenusShrink) {
    ASSERT_TRUE(start());
    EXPECT_EQ(app->captureOutcome(), BindOutcome::NotLoaded);
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(actionIds(frame().popup(2)->actions()), (std::vector<int>{109, 110, 111}));
    const std::vector<int> file = actionIds(frame().popup(0)->actions());
    EXPECT_EQ(std::count(file.begin(), file.end(), 101), 0);
    EXPECT_EQ(std::count(file.begin(), file.end(), 0), 4) << "one of five separators gone";
    const std::vector<int> tools = actionIds(frame().toolBar()->actions());
    EXPECT_EQ(std::count(tools.begin(), tools.end(), 112), 0);
    EXPECT_EQ(std::count(tools.begin(), tools.end(), 110), 1);
    frame().updateCommandUi();
    EXPECT_FALSE(frame().action(110)->isEnabled()) << "rule G needs the library";
    EXPECT_TRUE(frame().action(109)->isEnabled() == frame().hasHandler(109));
}

TEST_F(ProgramTest, LibraryOfTheWrongVersionShows5059AndShrinksTheMenus) {
    options.captureLibraryPath = QStringLiteral(FAKE_ORRERY_VERSION);
    ASSERT_TRUE(start());
    EXPECT_EQ(app->captureOutcome(), BindOutcome::WrongVersion);
    EXPECT_EQ(ui.messages, QStringList{loadString(5059)});
    EXPECT_EQ(actionIds(frame().popup(2)->actions()), (std::vector<int>{109, 110, 111}));
    EXPECT_FALSE(app->captureLibrary().loaded());
}

TEST_F(ProgramTest, OtherBindingOutcomesShapeTheMenus) {
    struct Case {
        const char* path;
        int message;
        std::vector<int> capture;
        bool button112;
    };
    const Case cases[] = {
        {FAKE_ORRERY_FULL, 0, {109, 110, 111, 112, 113, 114, 115, 116, 0, 117, 0, 118}, true},
        {FAKE_ORRERY_CAMERA, 0, {109, 110, 111, 112, 113, 114, 115, 116, 0, 117}, true},
        {FAKE_ORRERY_NOENTRY, 0, {109, 110, 111}, false},
        {FAKE_ORRERY_NOBOARD, 5061, {109, 110, 111}, false},
    };
    const QString scope = options.instanceScope;
    int n = 0;
    for (const Case& c : cases) {
        options.captureLibraryPath = QString::fromUtf8(c.path);
        options.instanceScope = scope + QString::number(n++);
        ui.messages.clear();
        ASSERT_TRUE(start()) << c.path;
        EXPECT_EQ(ui.messages, c.message ? QStringList{loadString(c.message)} : QStringList{}) << c.path;
        EXPECT_EQ(actionIds(frame().popup(2)->actions()), c.capture) << c.path;
        const std::vector<int> tools = actionIds(frame().toolBar()->actions());
        EXPECT_EQ(std::count(tools.begin(), tools.end(), 112), c.button112 ? 1 : 0) << c.path;
        TearDown();
    }
}

TEST_F(ProgramTest, ToolbarButtonsInOrderWithTooltips) {
    options.captureLibraryPath = QStringLiteral(FAKE_ORRERY_FULL);
    ASSERT_TRUE(start());
    const std::vector<int> expected{57600, 57601, 57604, 0, 57634, 57637, 57643, 0, 110, 111, 112, 0,
                                    121, 120, 128, 127, 0, 129, 131, 134, 136, 137, 138, 141, 0,
                                    163, 164, 0, 57664, 57670};
    EXPECT_EQ(actionIds(frame().toolBar()->actions()), expected);
    EXPECT_EQ(frame().toolBar()->iconSize(), QSize(16, 16));
    EXPECT_EQ(frame().action(57600)->toolTip(), QString::fromUtf8("新規作成"));
    EXPECT_EQ(frame().action(163)->toolTip(), QString::fromUtf8("拡大"));
    for (int id : expected)
        if (id) { EXPECT_FALSE(frame().action(id)->icon().isNull()) << id; }
    EXPECT_EQ(frame().action(57600)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(frame().action(57601)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
}

TEST_F(ProgramTest, ContextMenuHoldsTheViewsCommandsInOrder) {
    ASSERT_TRUE(start());
    EXPECT_EQ(actionIds(frame().contextMenu()->actions()),
              (std::vector<int>{57643, 57634, 57635, 57637, 104, 57632, 105, 106, 0, 101, 57607}));
}

TEST_F(ProgramTest, ActiveCaptureDriverStopsTheStartWith5026) {
    PeerProgram driver(captureDriverTitles()[2], options.instanceScope, kCaptureDriverAnswer);
    EXPECT_FALSE(start());
    EXPECT_EQ(ui.messages, QStringList{loadString(5026)});
    EXPECT_EQ(app->mainFrame(), nullptr) << "no window left behind";
}

TEST_F(ProgramTest, SecondCopyExitsAndTheFirstComesForward) {
    ASSERT_TRUE(start());
    frame().showMinimized();
    CQuillonApp second;
    ScriptedUi secondUi;
    second.setUi(&secondUi);
    EXPECT_FALSE(second.initInstance(options));
    EXPECT_EQ(second.mainFrame(), nullptr);
    for (int i = 0; i < 50 && frame().isMinimized(); ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(frame().isMinimized());
}

TEST_F(ProgramTest, PaintFailureShows5011AtIdle) {
    ASSERT_TRUE(start());
    notePaintFailed();
    pumpMessages();  // an idle pass, as the event loop makes before it waits
    QCoreApplication::processEvents();
    ASSERT_EQ(ui.messages, QStringList{loadString(5011)});
    EXPECT_EQ(ui.icons.back(), MsgIcon::Stop);
    EXPECT_FALSE(takePaintFailed());
}

TEST_F(ProgramTest, DropsFollowTheDragDropSetting) {
    store()->setValue("Settings/DragDrop", 0);
    ASSERT_TRUE(start());
    EXPECT_FALSE(frame().acceptDrops());
    TearDown();
    store()->setValue("Settings/DragDrop", 1);
    options.instanceScope += QStringLiteral("-b");
    ASSERT_TRUE(start());
    EXPECT_TRUE(frame().acceptDrops());
}

}  // namespace
}  // namespace quillon::test
