// Printing through a CUPS scheduler of the test's own: the print dialog's
// colour-matching controls follow the chosen queue, and a printed picture
// reaches the queue's device file as the page the layout describes.
#include "cups_scheduler.h"
#include "frame/colour_matching.h"
#include "frame/print_command.h"
#include "frame/print_file_dlg.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "resources/strings.h"
#include "test_profile.h"
#include "ui/ui_port.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <cups/cups.h>
#include <gtest/gtest.h>

using namespace quillon;

namespace {

frame_test::CupsScheduler* scheduler = nullptr;
QString skipReason;

class CupsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // The scheduler comes first: Qt and libcups find it through CUPS_SERVER.
        scheduler = new frame_test::CupsScheduler;
        if (scheduler->start(skipReason)) {
            qputenv("CUPS_SERVER", scheduler->socket().toLocal8Bit());
            cupsSetServer(scheduler->socket().toLocal8Bit().constData());
            profilePath = scheduler->path("printer.icc");
            QFile icc(profilePath);
            const QByteArray profile = frame_test::makeIntentProfile();
            if (profile.isEmpty() || !icc.open(QIODevice::WriteOnly) || icc.write(profile) != profile.size())
                skipReason = "no test profile";
            icc.close();
            if (!scheduler->addQueue("colour", frame_test::testPpd(true, profilePath)) ||
                !scheduler->addQueue("plain", frame_test::testPpd(true)) ||
                !scheduler->addQueue("mono", frame_test::testPpd(false)))
                skipReason = "lpadmin failed: " + scheduler->log();
        }
        static int argc = 1;
        static char name[] = "frame_cups_print_test";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        QApplication::setFont(QFont(QStringLiteral("IPAPGothic"), 9));
    }
    void TearDown() override {
        delete app;
        delete scheduler;
    }
    QApplication* app = nullptr;
    static QString profilePath;
};
QString CupsEnvironment::profilePath;

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

#define REQUIRE_SCHEDULER()                                                         \
    if (!skipReason.isEmpty()) GTEST_SKIP() << "no CUPS scheduler: " << skipReason.toStdString()

struct Shown {
    QString text;
    MsgIcon icon;
};

class RecordingUi : public UiPort {
public:
    MsgAnswer message(const QString& text, MsgButtons, MsgIcon icon) override {
        shown.push_back({text, icon});
        return MsgAnswer::Ok;
    }
    void beep() override {}
    std::vector<Shown> shown;
};

void choosePrinter(CPrintFileDlg& dialog, const QString& queue) {
    auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
    ASSERT_NE(printers, nullptr);
    const int index = printers->findText(queue);
    ASSERT_GE(index, 0) << queue.toStdString();
    printers->setCurrentIndex(index);
    QCoreApplication::processEvents();  // the dialog refreshes after the standard handling
}

PrintDialogRunner accepting(const QString& queue, std::function<void(CPrintFileDlg&)> also = {}) {
    return [queue, also](CPrintFileDlg& dialog) {
        choosePrinter(dialog, queue);
        if (also) also(dialog);
        dialog.accept();
    };
}

void savedShot(QWidget* w, const QString& name) {
    QString dir = qEnvironmentVariable("QUILLON_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}

// A 640 x 480 picture of one colour.
void makePicture(CImageObject& picture, QColor colour) {
    QImage image(640, 480, QImage::Format_RGB888);
    image.fill(colour);
    ASSERT_TRUE(picture.create(640, 480, 24));
    ASSERT_TRUE(picture.allocate());
    picture.setHasBitmap(true);
    ASSERT_TRUE(picture.fromDeviceImage(image, false, false));
}

// The queue's jobs as the scheduler reports them.
std::vector<std::pair<QString, ipp_jstate_t>> jobsOf(const QString& queue) {
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.toUtf8().constData(), 0, CUPS_WHICHJOBS_ALL);
    std::vector<std::pair<QString, ipp_jstate_t>> out;
    for (int i = 0; i < n; ++i) out.emplace_back(QString::fromUtf8(jobs[i].title), jobs[i].state);
    cupsFreeJobs(n, jobs);
    return out;
}

bool waitForCompletedJob(const QString& queue) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        const auto jobs = jobsOf(queue);
        if (!jobs.empty() && jobs.back().second >= IPP_JSTATE_CANCELED) return true;
        QThread::msleep(50);
    }
    return false;
}

QImage renderPage(const QString& file, int dpi) {
    QProcess p;
    p.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", file, file + ".page"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) return {};
    return QImage(file + ".page.pgm");
}

QRect inkBox(const QImage& page) {
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.constScanLine(y)[x] < 250) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

TEST(CupsPrint, ColourMatchingOfferedOnlyForAColourPrinterWithAProfile) {
    REQUIRE_SCHEDULER();
    QPrinter printer(QPrinter::HighResolution);
    CPrintFileDlg dialog(&printer, nullptr);
    auto* check = dialog.findChild<QCheckBox*>("1261");
    ASSERT_NE(check, nullptr);
    QRadioButton* radios[3] = {dialog.findChild<QRadioButton*>("1262"), dialog.findChild<QRadioButton*>("1263"),
                               dialog.findChild<QRadioButton*>("1264")};
    for (QRadioButton* r : radios) ASSERT_NE(r, nullptr);
    EXPECT_EQ(check->text(), QString::fromUtf8("Image Color Matchingを使用してｶﾗｰ印刷(&G)"));
    EXPECT_EQ(radios[2]->text(), QString::fromUtf8("特定の色を優先(&M)"));

    struct Row {
        const char* queue;
        bool enabled;
    };
    const auto expectOffered = [&](bool offered) {
        EXPECT_EQ(check->isEnabled(), offered);
        EXPECT_EQ(check->isChecked(), offered);
        for (QRadioButton* r : radios) EXPECT_EQ(r->isEnabled(), offered);
    };
    for (const Row row : {Row{"colour", true}, Row{"plain", false}, Row{"mono", false}}) {
        SCOPED_TRACE(row.queue);
        choosePrinter(dialog, row.queue);
        expectOffered(row.enabled);
    }
    // Back on the colour printer the dialog still prints in grey, as chosen
    // for the black-only one; choosing colour offers matching again.
    choosePrinter(dialog, "colour");
    auto* grey = dialog.findChild<QRadioButton*>("grayscale");
    auto* colourMode = dialog.findChild<QRadioButton*>("color");
    ASSERT_NE(grey, nullptr);
    ASSERT_NE(colourMode, nullptr);
    expectOffered(!grey->isChecked());
    colourMode->click();
    QCoreApplication::processEvents();
    expectOffered(true);
    // The PPD's default intent is perceptual: "ｺﾝﾄﾗｽﾄを優先".
    EXPECT_TRUE(radios[1]->isChecked());
    check->click();
    for (QRadioButton* r : radios) EXPECT_FALSE(r->isEnabled());
    check->click();
    radios[2]->click();

    dialog.show();
    savedShot(&dialog, "print_dialog");
    // The options tab sits in the dialog's tab widget, beside Qt's own,
    // under the button that unfolds the options.
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text().contains("Options") && b->text().contains(">>")) b->click();
    for (QTabWidget* t : dialog.findChildren<QTabWidget*>())
        if (t->indexOf(dialog.optionsTab()) >= 0) t->setCurrentWidget(dialog.optionsTab());
    QCoreApplication::processEvents();
    ASSERT_TRUE(dialog.optionsTab()->isVisible());
    savedShot(&dialog, "print_dialog_options");
    dialog.accept();
    EXPECT_TRUE(dialog.colourMatching());
    EXPECT_EQ(dialog.intent(), 3);
}

TEST(CupsPrint, PictureReachesTheQueuesDeviceAsThePage) {
    REQUIRE_SCHEDULER();
    CImageObject picture;
    makePicture(picture, QColor(40, 60, 140));
    setScreenInfo(ScreenInfo{24, 96, 96});
    RecordingUi ui;
    // The progress window paints before the page is drawn: note what it says.
    QString progressText;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "1363" && w->isVisible())
                if (auto* line = w->findChild<QLabel*>("1364")) progressText = line->text();
    });
    watch.start(0);
    const int result = printPicture(picture, QString::fromUtf8("無題1"), QString(), ui, nullptr, accepting("colour"));
    watch.stop();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(progressText, QString::fromUtf8("無題1を印刷中です。"));
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "1363");
    EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text.toStdString();
    ASSERT_TRUE(waitForCompletedJob("colour")) << scheduler->log().toStdString();
    const auto jobs = jobsOf("colour");
    ASSERT_GE(jobs.size(), 1u);
    EXPECT_EQ(jobs.back().first, "New");
    EXPECT_EQ(jobs.back().second, IPP_JSTATE_COMPLETED);

    // Colour matching was on with the PPD's intent (perceptual): the page
    // holds the picture's colour as the printer's profile maps it.
    QProcess images;
    const QString prefix = scheduler->path("colour-image");
    images.start("pdfimages", {"-png", scheduler->deviceFile("colour"), prefix});
    ASSERT_TRUE(images.waitForFinished(60000));
    const QImage sent(prefix + "-000.png");
    ASSERT_FALSE(sent.isNull());
    QImage one(1, 1, QImage::Format_RGB888);
    one.fill(QColor(40, 60, 140));
    QFile icc(CupsEnvironment::profilePath);
    ASSERT_TRUE(icc.open(QIODevice::ReadOnly));
    const QColor matched = matchColours(one, icc.readAll(), kFavourContrast).pixelColor(0, 0);
    const QColor got = sent.pixelColor(sent.width() / 2, sent.height() / 2);
    EXPECT_LE(std::abs(got.red() - matched.red()) + std::abs(got.green() - matched.green()) +
                  std::abs(got.blue() - matched.blue()), 6)
        << got.name().toStdString() << " " << matched.name().toStdString();
    EXPECT_GT(std::abs(matched.red() - 40) + std::abs(matched.green() - 60) + std::abs(matched.blue() - 140), 12);

    const QImage page = renderPage(scheduler->deviceFile("colour"), 300);
    ASSERT_FALSE(page.isNull()) << "the device file does not hold a page";
    // A4 (595 x 842 pt) at 300 dpi.
    EXPECT_NEAR(page.width(), 2480, 1);
    EXPECT_NEAR(page.height(), 3508, 1);
    // The printable area starts 18 pt from the left and 36 pt from the top
    // (75 and 150 printer pixels) and is 559 x 770 pt (2329 x 3208 pixels);
    // 640 x 480 at 96 dpi is 2000 x 1500 at 300 dpi, centred in it.
    const QRect expected(75 + (2329 - 2000) / 2, 150 + (3208 - 1500) / 2, 2000, 1500);
    const QRect box = inkBox(page);
    EXPECT_LE(std::abs(box.left() - expected.left()), 1) << box.left();
    EXPECT_LE(std::abs(box.top() - expected.top()), 1) << box.top();
    EXPECT_LE(std::abs(box.right() - expected.right()), 1) << box.right();
    EXPECT_LE(std::abs(box.bottom() - expected.bottom()), 1) << box.bottom();
}

TEST(CupsPrint, BlackOnlyPrinterGetsBlackDots) {
    REQUIRE_SCHEDULER();
    CImageObject picture;
    makePicture(picture, QColor(128, 128, 128));
    RecordingUi ui;
    EXPECT_EQ(printPicture(picture, "grey", "/pictures/grey.bmp", ui, nullptr, accepting("mono")), 1);
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_TRUE(waitForCompletedJob("mono"));
    EXPECT_EQ(jobsOf("mono").back().first, "/pictures/grey.bmp");
    // The page holds the copy made for black dots: one bit deep, already at
    // the printed size (640 x 480 at 96 dpi is 2000 x 1500 at 300 dpi).
    QProcess images;
    const QString prefix = scheduler->path("mono-image");
    images.start("pdfimages", {"-png", scheduler->deviceFile("mono"), prefix});
    ASSERT_TRUE(images.waitForFinished(60000));
    const QImage dots(prefix + "-000.png");
    ASSERT_FALSE(dots.isNull());
    EXPECT_EQ(dots.size(), QSize(2000, 1500));
    int black = 0, other = 0;
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x) {
            const int g = qGray(dots.pixel(x, y));
            black += g == 0;
            other += g != 0 && g != 255;
        }
    EXPECT_EQ(other, 0);
    EXPECT_NEAR(double(black) / (2000 * 1500), 0.5, 0.05);
    const QImage page = renderPage(scheduler->deviceFile("mono"), 300);
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(inkBox(page).width(), 2000, 2);
    // The document's own picture is untouched.
    EXPECT_EQ(picture.width(), 640);
    EXPECT_EQ(picture.bitsPerPixel(), 24);
}

TEST(CupsPrint, RefusedJobShowsTheSpoolerMessageAndSendsNothing) {
    REQUIRE_SCHEDULER();
    ASSERT_TRUE(scheduler->admin("cupsreject", {"plain"}));
    CImageObject picture;
    makePicture(picture, Qt::black);
    RecordingUi ui;
    EXPECT_EQ(printPicture(picture, "a", "", ui, nullptr, accepting("plain")), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, loadString(5051));
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(jobsOf("plain").empty());
    EXPECT_FALSE(QFileInfo::exists(scheduler->deviceFile("plain")));
}

// A scheduler whose spool area takes no more than 4 KB.
TEST(CupsPrint, SpoolAreaThatCannotTakeTheJobSaysOutOfDisk) {
    REQUIRE_SCHEDULER();
    frame_test::CupsScheduler small;
    small.setMaxRequestSize("4k");
    QString why;
    if (!small.start(why)) GTEST_SKIP() << why.toStdString();
    ASSERT_TRUE(small.addQueue("small", frame_test::testPpd(true)));
    const QByteArray server = small.socket().toLocal8Bit();
    qputenv("CUPS_SERVER", server);
    cupsSetServer(server.constData());
    // Noise does not compress: the page is far above 4 KB.
    QImage noise(640, 480, QImage::Format_RGB888);
    quint32 seed = 12345;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640 * 3; ++x) noise.scanLine(y)[x] = uchar((seed = seed * 1103515245u + 12345u) >> 24);
    CImageObject picture;
    ASSERT_TRUE(picture.create(640, 480, 24));
    ASSERT_TRUE(picture.allocate());
    picture.setHasBitmap(true);
    ASSERT_TRUE(picture.fromDeviceImage(noise, false, false));
    RecordingUi ui;
    EXPECT_EQ(printPicture(picture, "n", "", ui, nullptr, accepting("small")), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, loadString(5054));
    EXPECT_EQ(ui.shown[0].icon, MsgIcon::Stop);
    for (const auto& job : jobsOf("small")) EXPECT_NE(job.second, IPP_JSTATE_COMPLETED);
    EXPECT_FALSE(QFileInfo::exists(small.deviceFile("small")));
    const QByteArray first = scheduler->socket().toLocal8Bit();
    qputenv("CUPS_SERVER", first);
    cupsSetServer(first.constData());
}

TEST(CupsPrint, CancelledDialogPrintsNothing) {
    REQUIRE_SCHEDULER();
    CImageObject picture;
    makePicture(picture, Qt::black);
    RecordingUi ui;
    const size_t before = jobsOf("colour").size();
    EXPECT_EQ(printPicture(picture, "a", "", ui, nullptr, [](CPrintFileDlg& d) { d.reject(); }), 1);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(jobsOf("colour").size(), before);
}

}  // namespace
