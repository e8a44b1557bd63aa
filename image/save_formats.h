// The save-format table of the Save As dialog, its filter strings, the list of
// readable extensions, the table of format codes with their short names, and
// the format names shown by the image information dialog.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {

// Who writes a save format.
enum class SaveWriter { Library, Gif, Jpeg };

// Depth handed to the writer, starting from the picture's own depth.
enum class DepthRule {
    Picture,         // the picture's
    EightBelowEight, // 8 when the picture has less than 8
    TwentyFourAt16,  // 24 when the picture has 16
    Eight,           // always 8
    One,             // always 1
    EightFromNine,   // 8 when the picture has 9 or more
    Metafile,        // 8 when the picture has 1 or 4; 24 when it has 16
    Photoshop,       // 8 when the picture has 4; 24 when it has 16
};

struct SaveFormat {
    int index;              // 1 to 20: the position in the Save As type list
    const char* extension;  // upper case, compared without regard to case
    SaveWriter writer;
    int formatCode;         // JPG: the baseline code; progressive uses kJpegProgressiveCode
    DepthRule depth;
    const char* description;  // the Save As filter's text for it
};

constexpr int kGifFormatCode = 2;
constexpr int kJpegFormatCode = 10;
constexpr int kJpegProgressiveCode = 100;
constexpr int kSaveFormatGif = 4;
constexpr int kSaveFormatJpeg = 7;

const std::vector<SaveFormat>& saveFormats();
// The entry of a 1-based index, or nullptr.
const SaveFormat* saveFormatAt(int index);
// Index of an extension given without the dot ("bmp", "Tif"); 0 when not in the table.
int saveFormatIndexOf(const QString& extension);
// The extension of a path: the text after its last "." in the file name, or empty.
QString extensionOf(const QString& path);
// Index for a path's extension; 0 when it has none in the table.
int saveFormatIndexOfPath(const QString& path);

// Depth handed to the writer for a picture of pictureBits saved at that index.
int bitsForSave(int index, int pictureBits);
// Format code for that index; JPG becomes the progressive code when asked.
int formatCodeForSave(int index, bool progressive);

// "TIFFﾌｧｲﾙ(*.TIF)|*.TIF|...||"
QString saveAsFilter();
// "ｲﾒｰｼﾞﾌｧｲﾙ|*.BMP;...|" + the Save As pairs + "Photo CD..." + "全てのﾌｧｲﾙ|*.*||"
QString openFilter();
// The 21 readable extensions, upper case, without dots, in the Open filter's order.
const QStringList& readableExtensions();
bool isReadableExtension(const QString& extension);

// Format code, extension and short name, for the file list and the HTML pages.
struct FormatCodeEntry {
    int formatCode;  // -1 ends the table
    const char* extension;
    const char* shortName;
};
const std::vector<FormatCodeEntry>& formatCodeTable();

// String resources 6000 to 6056; empty for numbers without a string.
QString formatNameString(int id);
// The format name for a format code of origin: string 5999 + code below 50,
// 5980 + code from 50.
QString formatNameForCode(int formatCode);

}  // namespace quillon
