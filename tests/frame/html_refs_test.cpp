// The tag reader and the picture reference scan over pages and file trees
// built here.
#include "frame/html_refs.h"
#include "frame/page_encoding.h"
#include "frame/tag_reader.h"
#include "resources/strings.h"
#include "tests/app/scripted_ui.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillon {
namespace {

struct Pieces {
    std::vector<QByteArray> pieces;
    bool fits = true;
};

Pieces readPieces(const QByteArray& page) {
    TagReader reader(page);
    Pieces out;
    char buffer[TagReader::kPieceCapacity];
    for (;;) {
        if (!reader.read(buffer, TagReader::kPieceCapacity)) {
            out.fits = false;
            return out;
        }
        if (!buffer[0]) return out;
        out.pieces.emplace_back(buffer);
    }
}

QByteArray jis(const char* text) { return QByteArray("\x1b$B") + text + "\x1b(B"; }

TEST(TagReader, CutsPagesIntoTagsAndTextRuns) {
    using P = std::vector<QByteArray>;
    const QByteArray longRun(3000, 'x');
    const QByteArray jisRun = "$\"", sjisRun = "\x82\xa0";
    const struct Case {
        const char* what;
        QByteArray page;
        P pieces;
    } cases[] = {
        {"text, tag, text", "ab<img src=\"a\">cd", {"ab", "<img src=\"a\">", "cd"}},
        {"line feed, CR LF and tab become blanks", "<img\nsrc\r\n=\t\"a\">", {"<img src = \"a\">"}},
        {"a lone CR stays", "a\rb", {"a\rb"}},
        {"> outside a tag ends a text run", "a>b<c>", {"a>", "b", "<c>"}},
        {"a nested tag is part of its tag", "<a <b> c>d", {"<a <b> c>", "d"}},
        {"a nested comment ends the piece after it", "<a <!-- x --> y>", {"<a <!-- x -->", " y>"}},
        {"a comment folds in the tag inside it", "<!-- <img src=\"a.gif\"> -->", {"<!-- <img src=\"a.gif\"> -->"}},
        {"a text run is cut before the last place", longRun, {longRun.left(2047), longRun.mid(2047)}},
        {"JIS pairs become Shift-JIS, escapes vanish", "<img src=\"" + jis("$\"") + ".gif\">",
         {"<img src=\"\x82\xa0.gif\">"}},
        {"JIS bytes < and > are never tag marks", "<i a=\"" + jis("<>") + "\">",
         {QByteArray("<i a=\"") + "\x8e\xbc" + "\">"}},
        {"JIS mode does not outlive its piece", "a\x1b$B" + jisRun.repeated(1200),
         {"a" + sjisRun.repeated(1023), jisRun.repeated(177)}},
        {"a pair outside the JIS range becomes zero bytes", "<a " + jis(" !") + "b>", {"<a "}},
        {"other escapes stay as read", "<a \x1b(Ix>", {"<a \x1b(Ix>"}},
    };
    for (const Case& c : cases) {
        const Pieces got = readPieces(c.page);
        EXPECT_TRUE(got.fits) << c.what;
        EXPECT_EQ(got.pieces, c.pieces) << c.what;
    }
}

TEST(TagReader, ATagOf2047CharactersDoesNotFit) {
    const QByteArray fits = "<a " + QByteArray(2042, 'x') + ">";    // 2046 with its brackets
    const QByteArray tooLong = "<a " + QByteArray(2043, 'x') + ">";  // 2047
    ASSERT_EQ(fits.size(), 2046);
    const Pieces ok = readPieces("t" + fits + "u");
    EXPECT_TRUE(ok.fits);
    EXPECT_EQ(ok.pieces, (std::vector<QByteArray>{"t", fits, "u"}));
    const Pieces stopped = readPieces("t" + tooLong + "u");
    EXPECT_FALSE(stopped.fits);
    EXPECT_EQ(stopped.pieces, std::vector<QByteArray>{"t"});
}

TEST(TagReader, APageReadInBlocksGivesTheSamePieces) {
    // CR LF split across the first block boundary, "<" first in the second,
    // a JIS run across the third; the rest a mix of tags, text and lines.
    QByteArray page(65535, 'a');
    page += "\r\n" + QByteArray(65535 - 1, 'b') + "<img src=\"x.gif\">";
    page += QByteArray(65536 * 3 - 4 - page.size(), 'c') + "\x1b$B" + QByteArray(40, '$') + "\x1b(B<p>";
    for (int i = 0; page.size() < 400000; ++i)
        page += "<img\r\nsrc=\"p" + QByteArray::number(i) + ".gif\">\ttext " + QByteArray(i % 3000, 't') + "\r\n";
    QBuffer device(&page);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    TagReader blocks(device);
    const Pieces whole = readPieces(page);
    ASSERT_TRUE(whole.fits);
    std::vector<QByteArray> streamed;
    char buffer[TagReader::kPieceCapacity];
    while (blocks.read(buffer, TagReader::kPieceCapacity) && buffer[0]) streamed.emplace_back(buffer);
    EXPECT_GT(whole.pieces.size(), 300u);
    EXPECT_TRUE(streamed == whole.pieces);
    EXPECT_FALSE(blocks.failed());
}

class ReferenceScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"a.gif", "b.jpg", "c.doc", "x.jpeg", "d.bmp", "images/a.gif", "my photo.gif"})
            touch(name);
    }
    void touch(const QString& name) {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    QStringList values(const QByteArray& page, bool* complete = nullptr) {
        const ReferenceScan scan = scanPictureReferences(page, dir.path() + u'/');
        if (complete) *complete = scan.complete;
        QStringList out;
        for (const PictureReference& r : scan.references) out << r.value;
        return out;
    }
    QTemporaryDir dir;
};

TEST_F(ReferenceScanTest, ListsTheLocalPicturesOfAPageInItsOrder) {
    const QByteArray root = dir.path().toUtf8();
    const QByteArray tooLong = "<img alt=\"" + QByteArray(2100, 'x') + "\" src=\"b.jpg\">";
    const struct Case {
        const char* what;
        QByteArray page;
        QStringList listed;
    } cases[] = {
        {"a.gif, b.jpg and c.doc", "<img src=\"a.gif\"><img src=\"b.jpg\"><img src=\"c.doc\">", {"a.gif", "b.jpg"}},
        {"names in any case", "<IMG SRC=\"a.gif\"><Img Src=\"b.jpg\"><iMG sRC=\"d.bmp\">", {"a.gif", "b.jpg", "d.bmp"}},
        {"BODY BACKGROUND and EMBED SRC", "<BODY BACKGROUND=\"a.gif\"><p><EMBED SRC=\"d.bmp\">", {"a.gif", "d.bmp"}},
        {"a tag over two lines", "<IMG\r\nSRC=\"a.gif\">", {"a.gif"}},
        {"tabs and blanks, a quoted blank", "<img \t  alt=\"x y\"\t\t  width=3   src=\"b.jpg\">", {"b.jpg"}},
        {"LOWSRC before SRC", "<img lowsrc=\"b.jpg\" src=\"a.gif\">", {"b.jpg"}},
        {"LOWSRC without its file", "<img lowsrc=\"none.gif\" src=\"a.gif\">", {}},
        {"the first reference attribute only", "<img src=\"\" lowsrc=\"a.gif\">", {}},
        {"a web address", "<img src=\"http://example.com/a.gif\">", {}},
        {"a folder part", "<img src=\"images/a.gif\">", {"images/a.gif"}},
        {"backslashes separate folders", "<img src=\"images\\a.gif\">", {"images\\a.gif"}},
        {"a value from the root", "<img src=\"" + root + "/b.jpg\">", {dir.path() + "/b.jpg"}},
        {"a picture named twice", "<img src=\"a.gif\"><embed src=\"a.gif\">", {"a.gif", "a.gif"}},
        {"x.jpeg ends in peg", "<img src=\"x.jpeg\">", {}},
        {"a comment with an IMG inside", "<!-- <img src=\"a.gif\"> --><img src=\"b.jpg\">", {"b.jpg"}},
        {"a blank in the name, blanks trimmed", "<img src=\"  my photo.gif \">", {"my photo.gif"}},
        {"srcfoo counts as src", "<img srcset=\"a.gif\">", {"a.gif"}},
        {"no attributes, other tags", "<img><imgx src=\"a.gif\"><a href=\"a.gif\">", {}},
        {"single quotes are no value", "<img src='a.gif'>", {}},
        {"an unquoted value takes the next quoted text", "<img src=a.gif alt=\"b.jpg\">", {"b.jpg"}},
        {"an unclosed value is dropped", "<img src=\"a.gif>", {}},
        {"names too short to be pictures", "<img src=\"gif\"><img src=\"if\">", {}},
        {"a page with no picture", "<html><body>text only</body></html>", {}},
    };
    for (const Case& c : cases) {
        bool complete = false;
        EXPECT_EQ(values(c.page, &complete), c.listed) << c.what;
        EXPECT_TRUE(complete) << c.what;
    }
    // A tag that does not fit ends the scan; what came before stays.
    bool complete = true;
    EXPECT_EQ(values("<img src=\"a.gif\">" + tooLong + "<img src=\"d.bmp\">", &complete), QStringList{"a.gif"});
    EXPECT_FALSE(complete);
}

TEST_F(ReferenceScanTest, OpensTheFilesBesideThePageOrFromTheRoot) {
    const QString folder = dir.path() + u'/';
    EXPECT_EQ(htmlFolderOf(dir.filePath("page.htm")), folder);
    EXPECT_EQ(referencePath(folder, "images\\a.gif"), folder + "images/a.gif");
    EXPECT_EQ(referencePath(folder, "\\pics\\a.gif"), "/pics/a.gif");
    const ReferenceScan scan = scanPictureReferences("<img src=\"images\\a.gif\"><img src=\"b.jpg\">", folder);
    ASSERT_EQ(scan.references.size(), 2);
    EXPECT_EQ(scan.references[0].path, folder + "images/a.gif");
    EXPECT_EQ(scan.references[1].path, folder + "b.jpg");
}

TEST_F(ReferenceScanTest, AnUnreadablePageShowsItsStopMessage) {
    test::ScriptedUi ui;
    const QString missing = dir.filePath("none.htm");
    const ReferenceScan scan = scanPictureReferences(missing, ui);
    EXPECT_TRUE(scan.references.isEmpty());
    EXPECT_FALSE(scan.complete);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0], missing + QString::fromUtf8("をｵｰﾌﾟﾝできませんでした。"));
    EXPECT_EQ(ui.icons[0], MsgIcon::Stop);
    // A folder is no page either.
    scanPictureReferences(dir.path(), ui);
    EXPECT_EQ(ui.messages.size(), 2);
}

// The page in an encoding, made by iconv, not by our decoders.
QByteArray encoded(const QString& text, const char* encoding) {
    QProcess iconv;
    iconv.start("iconv", {"-f", "UTF-8", "-t", encoding});
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    iconv.waitForFinished(10000);
    EXPECT_EQ(iconv.exitCode(), 0) << encoding;
    return iconv.readAllStandardOutput();
}

TEST_F(ReferenceScanTest, AJapanesePageListsTheSameFilesInEveryEncoding) {
    // 表 and ソ end in the byte 0x5C in Shift-JIS; 画 has "<" and ">" free JIS bytes.
    const QStringList names = {QString::fromUtf8("写真.gif"), QString::fromUtf8("表紙.jpg"),
                               QString::fromUtf8("ソース/画像.bmp")};
    for (const QString& name : names) touch(name);
    const QString body = QString::fromUtf8(
        "<BODY>\n<H1>旅行の写真</H1>\n<IMG SRC=\"写真.gif\" ALT=\"海と空\">\n"
        "<IMG\nSRC=\"表紙.jpg\">ここまで<IMG SRC=\"ソース\\画像.bmp\">\n"
        "<IMG SRC=\"存在しない.gif\"></BODY></HTML>\n");
    const QStringList expected = {names[0], names[1], QString::fromUtf8("ソース\\画像.bmp")};
    const struct {
        const char* iconvName;
        const char* charset;
        PageEncoding encoding;
    } encodings[] = {
        {"SHIFT_JIS", "Shift_JIS", PageEncoding::ShiftJis},
        {"ISO-2022-JP", "ISO-2022-JP", PageEncoding::Jis},
        {"EUC-JP", "EUC-JP", PageEncoding::EucJp},
        {"UTF-8", "UTF-8", PageEncoding::Utf8},
    };
    for (const auto& e : encodings) {
        const QString declared = QString::fromUtf8("<HTML><META HTTP-EQUIV=\"Content-Type\" "
                                                   "CONTENT=\"text/html; charset=%1\">\n")
                                     .arg(QLatin1String(e.charset));
        for (bool withMeta : {true, false}) {
            const QByteArray page =
                encoded((withMeta ? declared : QStringLiteral("<HTML>\r\n")) + body, e.iconvName);
            ASSERT_FALSE(page.isEmpty());
            EXPECT_EQ(pageEncoding(page), e.encoding) << e.charset << " meta " << withMeta;
            EXPECT_EQ(values(page), expected) << e.charset << " meta " << withMeta;
        }
    }
}

}  // namespace
}  // namespace quillon
