// quillon-cli print: the page it writes, rendered by poppler, holds the
// picture exactly where the print layout puts it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTemporaryDir>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The page as poppler draws it, in grey at dpi.
QImage renderPage(const QString& pdf, int dpi) {
    const QString prefix = pdf + ".page";
    const Outcome r = run("pdftoppm", {"-r", QString::number(dpi), "-gray", "-singlefile", pdf, prefix});
    if (r.status != 0) return {};
    return QImage(prefix + ".pgm");
}

// The smallest rectangle holding every pixel darker than paper.
QRect inkBox(const QImage& page) {
    int left = page.width(), top = page.height(), right = -1, bottom = -1;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* row = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (row[x] >= 250) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

void expectWithinOnePixel(const QRect& got, const QRect& want) {
    EXPECT_LE(std::abs(got.left() - want.left()), 1) << "left " << got.left() << " want " << want.left();
    EXPECT_LE(std::abs(got.top() - want.top()), 1) << "top " << got.top() << " want " << want.top();
    EXPECT_LE(std::abs(got.right() - want.right()), 1) << "right " << got.right() << " want " << want.right();
    EXPECT_LE(std::abs(got.bottom() - want.bottom()), 1) << "bottom " << got.bottom() << " want " << want.bottom();
}

class CliPrint : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    // A plain picture of one colour, written by ImageMagick.
    QString picture(int width, int height, const QString& colour) {
        const QString file = path(QStringLiteral("%1x%2.bmp").arg(width).arg(height));
        EXPECT_EQ(run("convert", {"-size", QStringLiteral("%1x%2").arg(width).arg(height), "xc:" + colour,
                                   "-type", "TrueColor", "BMP3:" + file}).status, 0);
        return file;
    }
    QTemporaryDir dir;
};

struct PageCase {
    const char* name;
    QStringList options;
    int dpi;
    QString pageLine;
    QRect expected;  // the picture on the page, in printer pixels
};

TEST_F(CliPrint, PicturePlacedOnThePageAsLaidOut) {
    const QString in = picture(640, 480, "#203080");
    const PageCase cases[] = {
        // A4 (595 x 842 pt) at 300 dpi is 2479 x 3508; 640 x 480 at 96 dpi is 2000 x 1500 there.
        {"A4", {}, 300, "page: 2479x3508 at 300 dpi", QRect(239, 1004, 2000, 1500)},
        // Too wide for the page: full width, centred vertically.
        {"fitted", {"--printer-dpi", "360", "--page", "2000x3000"}, 360, "page: 2000x3000 at 360 dpi",
         QRect(0, 750, 2000, 1500)},
        // A screen of 192 dpi halves the natural size.
        {"screen", {"--screen-dpi", "192", "--page", "1200x1600", "--printer-dpi", "150"}, 150,
         "page: 1200x1600 at 150 dpi", QRect(350, 612, 500, 375)},
    };
    for (const PageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = path(QStringLiteral("%1.pdf").arg(c.name));
        const Outcome r = run(QUILLON_CLI, QStringList{"print", in, out} + c.options);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(c.pageLine)) << r.out.toStdString();
        const QImage page = renderPage(out, c.dpi);
        ASSERT_FALSE(page.isNull());
        const QRect box = inkBox(page);
        expectWithinOnePixel(box, c.expected);
        // The picture's colour, not a frame of it.
        EXPECT_LT(qGray(page.pixel(c.expected.center())), 120);
    }
}

TEST_F(CliPrint, MonoPrintsBlackDotsOnly) {
    const QString in = picture(64, 48, "#606060");
    const QString out = path("mono.pdf");
    const Outcome r = run(QUILLON_CLI, {"print", in, out, "--mono", "--printer-dpi", "150", "--page", "600x800"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // Rendered at four times the printer's resolution, each printer dot is
    // a 4 x 4 block: 64 x 48 at 96 dpi is 100 x 75 dots at 150 dpi.
    const QImage page = renderPage(out, 600);
    ASSERT_FALSE(page.isNull());
    const QRect expected(250 * 4, 362 * 4, 100 * 4, 75 * 4);
    const QRect box = inkBox(page);
    EXPECT_LE(std::abs(box.left() - expected.left()), 4);
    EXPECT_LE(std::abs(box.top() - expected.top()), 4);
    EXPECT_LE(std::abs(box.right() - expected.right()), 4);
    EXPECT_LE(std::abs(box.bottom() - expected.bottom()), 4);
    int black = 0, white = 0, other = 0;
    for (int y = expected.top(); y <= expected.bottom(); ++y)
        for (int x = expected.left(); x <= expected.right(); ++x) {
            const int g = qGray(page.pixel(x, y));
            (g < 8 ? black : g > 247 ? white : other)++;
        }
    EXPECT_EQ(other, 0);
    // A grey of 96 is dithered to about five black dots in eight.
    const double share = double(black) / (black + white);
    EXPECT_GT(share, 0.55);
    EXPECT_LT(share, 0.70);
}

TEST_F(CliPrint, FailedPrintLeavesTheOldFile) {
    const QString out = path("kept.pdf");
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    const Outcome missing = run(QUILLON_CLI, {"print", path("none.bmp"), out});
    EXPECT_EQ(missing.status, 1);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old"));
    EXPECT_EQ(run(QUILLON_CLI, {"print", "only-one.bmp"}).status, 2);
    EXPECT_EQ(run(QUILLON_CLI, {"print", "a.bmp", "b.pdf", "--page", "12by3"}).status, 2);
}

}  // namespace
