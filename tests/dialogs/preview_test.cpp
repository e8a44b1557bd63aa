// The Open dialog's preview rules and loading.
#include "dialogs/open_preview_model.h"
#include "dialogs/preview_loader.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "image/last_result.h"
#include "scripted_ui.h"
#include "test_files.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillon;
using Step = OpenPreviewModel::Step;

TEST(DialogsOpenPreview, SelectionIsShownOnlyWhileTheBoxIsTicked) {
    OpenPreviewModel model(false);
    EXPECT_EQ(model.selectionChanged("a.bmp", "/pics").kind, Step::Nothing);
    const Step ticked = model.setEnabled(true);  // shows what is selected now
    EXPECT_EQ(ticked.kind, Step::Show);
    EXPECT_EQ(ticked.path, "/pics/a.bmp");
    const Step next = model.selectionChanged("/other/b.gif", "/pics");
    EXPECT_EQ(next.kind, Step::Show);
    EXPECT_EQ(next.path, "/other/b.gif");
    EXPECT_EQ(model.selectionChanged("", "/pics").kind, Step::Clear);
    EXPECT_EQ(model.setEnabled(false).kind, Step::Clear);
    EXPECT_EQ(model.setEnabled(true).kind, Step::Nothing);  // nothing selected
}

TEST(DialogsOpenPreview, UnreadableFilesBeepAndLeaveNoErrorBehind) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.bmp");
    ASSERT_TRUE(dialogs_test::writeBmp(good, dialogs_test::indexedPicture(8, 6)));
    const QString broken = dir.filePath("broken.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM not really a bitmap");
    file.close();

    ScriptedUi ui;
    CImageObject preview;
    ASSERT_TRUE(loadPreview(preview, good, openPicture, ui));
    EXPECT_TRUE(preview.hasBitmap());
    EXPECT_EQ(preview.width(), 8);
    EXPECT_EQ(ui.beeps, 0);

    struct Case {
        QString path;
        int beeps;
    } cases[] = {{dir.filePath("missing.bmp"), 1}, {broken, 1}, {dir.path(), 0}};
    int beeps = 0;
    for (const Case& c : cases) {
        setLastImagingResult(-5);
        ASSERT_TRUE(loadPreview(preview, good, openPicture, ui));
        EXPECT_FALSE(loadPreview(preview, c.path, openPicture, ui)) << c.path.toStdString();
        beeps += c.beeps;
        EXPECT_EQ(ui.beeps, beeps) << c.path.toStdString();
        EXPECT_FALSE(preview.hasBitmap()) << c.path.toStdString();
        if (c.beeps) {
            EXPECT_EQ(lastImagingResult(), 1) << c.path.toStdString();
        }
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

