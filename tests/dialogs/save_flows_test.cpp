// The Save As and Save flows over scripted dialogs.
#include "dialogs/quality_model.h"
#include "dialogs/save_flows.h"
#include "memory_settings.h"
#include "scripted_ui.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace quillon;

namespace {

// Answers the dialogs as a user would: the Save As dialog with a path (or
// Cancel), the quality dialog with a value (or Cancel).
struct ScriptedDialogs : SaveDialogPort {
    std::function<std::optional<QString>(SaveAsModel&)> saveAs;
    std::optional<int> qualityAnswer;  // nothing: Cancel
    bool qualityProgressive = false;
    QString shownFolder;
    QString shownName;
    int shownIndex = 0;
    std::vector<std::pair<int, bool>> qualityShown;  // quality and progressive it opened with

    std::optional<QString> runSaveAs(SaveAsModel& model, const QString& folder) override {
        model.opened();
        shownFolder = folder;
        shownName = model.fileName();
        shownIndex = model.formatIndex();
        return saveAs ? saveAs(model) : std::nullopt;
    }
    bool runQuality(QualityModel& model) override {
        qualityShown.emplace_back(model.quality(), model.progressive());
        if (!qualityAnswer) return false;
        if (model.accept(QString::number(*qualityAnswer))) return false;
        model.setProgressive(qualityProgressive);
        return true;
    }
};

struct RecordingSaver {
    std::vector<SaveChoice> choices;
    SaveResult result = SaveResult::Written;
    PictureSaver saver() {
        return [this](const SaveChoice& choice) {
            choices.push_back(choice);
            return result;
        };
    }
};

SaveAsDocument documentNamed(const QString& name, int bits = 24) {
    SaveAsDocument document;
    document.name = name;
    document.picture.bitsPerPixel = bits;
    return document;
}

std::function<std::optional<QString>(SaveAsModel&)> answer(const QString& path) {
    return [path](SaveAsModel&) { return std::optional<QString>(path); };
}

}  // namespace

TEST(DialogsSaveAsFlow, StartsFromTheRememberedFormatAndReplacesTheExtension) {
    MemorySettings settings;
    settings.saveFormat = 19;
    settings.savePath = "/pictures";
    ScriptedDialogs dialogs;
    ScriptedUi ui;
    RecordingSaver saver;
    EXPECT_FALSE(runSaveAs(documentNamed("/home/u/cat.gif"), settings, dialogs, ui, saver.saver()));
    EXPECT_EQ(dialogs.shownIndex, 19);
    EXPECT_EQ(dialogs.shownName, "/home/u/cat.png");
    EXPECT_EQ(dialogs.shownFolder, "/pictures");
    EXPECT_TRUE(saver.choices.empty());  // cancelled
    EXPECT_EQ(settings.writes, 0);
}

TEST(DialogsSaveAsFlow, RemembersFolderAndFormatUnlessTheFormatIsFixed) {
    for (const int fixed : {-1, 4}) {
        MemorySettings settings;
        ScriptedDialogs dialogs;
        dialogs.saveAs = answer("/data/out/pic.gif");
        ScriptedUi ui;
        RecordingSaver saver;
        SaveAsDocument document = documentNamed(QString::fromUtf8("無題"), 8);
        document.fixedFormatIndex = fixed;
        EXPECT_TRUE(runSaveAs(document, settings, dialogs, ui, saver.saver()));
        ASSERT_EQ(saver.choices.size(), 1u);
        EXPECT_EQ(saver.choices[0].formatIndex, 4);
        EXPECT_EQ(saver.choices[0].quality, 1);
        if (fixed < 0) {
            EXPECT_EQ(dialogs.shownIndex, 3);
            EXPECT_EQ(settings.savePath, "/data/out");
            EXPECT_EQ(settings.saveFormat, 4);
        } else {
            EXPECT_EQ(dialogs.shownIndex, 4);
            EXPECT_EQ(dialogs.shownName, QString::fromUtf8("無題.gif"));
            EXPECT_EQ(settings.writes, 0);
        }
    }
}

TEST(DialogsSaveAsFlow, ExtensionOutsideTheTableSavesNothing) {
    MemorySettings settings;
    ScriptedDialogs dialogs;
    dialogs.saveAs = answer("/tmp/pic.ABC");
    ScriptedUi ui;
    RecordingSaver saver;
    EXPECT_FALSE(runSaveAs(documentNamed("pic.bmp"), settings, dialogs, ui, saver.saver()));
    EXPECT_TRUE(saver.choices.empty());
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], QString::fromUtf8("正しい拡張子を付けてください"));
    EXPECT_EQ(settings.writes, 0);
}

TEST(DialogsSaveAsFlow, QualityPerFormat) {
    struct Case {
        const char* path;
        int index, quality;
    } cases[] = {{"/t/a.tif", 1, 1}, {"/t/a.GIF", 4, 1}, {"/t/a.bmp", 3, 0},
                 {"/t/a.png", 19, 0}, {"/t/a.jpg", 7, 85}};
    for (const Case& c : cases) {
        MemorySettings settings;
        ScriptedDialogs dialogs;
        dialogs.saveAs = answer(c.path);
        dialogs.qualityAnswer = 85;
        ScriptedUi ui;
        RecordingSaver saver;
        ASSERT_TRUE(runSaveAs(documentNamed("a"), settings, dialogs, ui, saver.saver())) << c.path;
        EXPECT_EQ(saver.choices[0].formatIndex, c.index) << c.path;
        EXPECT_EQ(saver.choices[0].quality, c.quality) << c.path;
        EXPECT_EQ(dialogs.qualityShown.size(), c.index == 7 ? 1u : 0u) << c.path;
    }
}

TEST(DialogsSaveAsFlow, JpegQualityComesFromAndGoesBackToTheSettings) {
    MemorySettings settings;
    settings.saveQuality = 40;
    ScriptedDialogs dialogs;
    dialogs.saveAs = answer("/t/a.jpg");
    dialogs.qualityAnswer = 90;
    dialogs.qualityProgressive = true;
    ScriptedUi ui;
    RecordingSaver saver;
    SaveAsDocument document = documentNamed("a");
    document.progressive = false;
    ASSERT_TRUE(runSaveAs(document, settings, dialogs, ui, saver.saver()));
    ASSERT_EQ(dialogs.qualityShown.size(), 1u);
    EXPECT_EQ(dialogs.qualityShown[0], std::make_pair(40, false));
    EXPECT_EQ(settings.saveQuality, 90);
    EXPECT_EQ(saver.choices[0].quality, 90);
    EXPECT_TRUE(saver.choices[0].progressive);

    // Cancel in the quality dialog saves nothing and keeps the setting.
    dialogs.qualityAnswer.reset();
    saver.choices.clear();
    EXPECT_FALSE(runSaveAs(document, settings, dialogs, ui, saver.saver()));
    EXPECT_TRUE(saver.choices.empty());
    EXPECT_EQ(settings.saveQuality, 90);
}

TEST(DialogsSaveAsFlow, FailedWriteShowsMessage5025) {
    MemorySettings settings;
    ScriptedDialogs dialogs;
    dialogs.saveAs = answer("/t/a.bmp");
    ScriptedUi ui;
    RecordingSaver saver;
    saver.result = SaveResult::Failed;
    EXPECT_FALSE(runSaveAs(documentNamed("a"), settings, dialogs, ui, saver.saver()));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].startsWith(QString::fromUtf8("ﾃﾞｨｽｸの空き容量が不足しているか")));
    EXPECT_EQ(ui.icons[0], MsgIcon::Exclamation);

    saver.result = SaveResult::Refused;  // the saver has said why already
    ui.messages.clear();
    EXPECT_FALSE(runSaveAs(documentNamed("a"), settings, dialogs, ui, saver.saver()));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(DialogsSaveAsFlow, RememberedFormatOutsideTheTableFallsBackToBmp) {
    for (const int stored : {0, 21, -7}) {
        MemorySettings settings;
        settings.saveFormat = stored;
        ScriptedDialogs dialogs;
        ScriptedUi ui;
        RecordingSaver saver;
        runSaveAs(documentNamed("a"), settings, dialogs, ui, saver.saver());
        EXPECT_EQ(dialogs.shownIndex, 3) << stored;
        EXPECT_EQ(dialogs.shownName, "a.bmp") << stored;
    }
}

TEST(DialogsDocumentSave, JpegAsksForQualityFrom100AndOthersGoStraightThrough) {
    ScriptedDialogs dialogs;
    dialogs.qualityAnswer = 70;
    ScriptedUi ui;
    RecordingSaver saver;
    ASSERT_TRUE(runDocumentSave("/t/a.JPG", true, dialogs, ui, saver.saver()));
    ASSERT_EQ(dialogs.qualityShown.size(), 1u);
    EXPECT_EQ(dialogs.qualityShown[0], std::make_pair(100, true));
    EXPECT_EQ(saver.choices[0].quality, 70);
    EXPECT_EQ(saver.choices[0].formatIndex, 7);

    ASSERT_TRUE(runDocumentSave("/t/a.tif", false, dialogs, ui, saver.saver()));
    EXPECT_EQ(saver.choices[1].quality, 1);
    EXPECT_EQ(saver.choices[1].formatIndex, 1);
    EXPECT_FALSE(saver.choices[1].gif.has_value());

    // Unknown extension: nothing saved, nothing said.
    EXPECT_FALSE(runDocumentSave("/t/a.jpeg", false, dialogs, ui, saver.saver()));
    EXPECT_EQ(saver.choices.size(), 2u);
    EXPECT_TRUE(ui.messages.isEmpty());

    dialogs.qualityAnswer.reset();
    EXPECT_FALSE(runDocumentSave("/t/a.jpg", false, dialogs, ui, saver.saver()));
    EXPECT_EQ(saver.choices.size(), 2u);
}
