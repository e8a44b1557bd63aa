#include "image/save_formats.h"

#include <QFileInfo>
#include <QHash>

namespace quillon {

const std::vector<SaveFormat>& saveFormats() {
    using W = SaveWriter;
    using D = DepthRule;
    static const std::vector<SaveFormat> table = {
        {1, "TIF", W::Library, 3, D::Picture, "TIFFﾌｧｲﾙ"},
        {2, "TGA", W::Library, 4, D::EightBelowEight, "TGAﾌｧｲﾙ"},
        {3, "BMP", W::Library, 6, D::TwentyFourAt16, "BMPﾌｧｲﾙ"},
        {4, "GIF", W::Gif, kGifFormatCode, D::Eight, "GIFﾌｧｲﾙ"},
        {5, "DIB", W::Library, 6, D::TwentyFourAt16, "DIBﾌｧｲﾙ"},
        {6, "PCX", W::Library, 1, D::TwentyFourAt16, "PCXﾌｧｲﾙ"},
        {7, "JPG", W::Jpeg, kJpegFormatCode, D::Picture, "JPEGﾌｧｲﾙ"},
        {8, "CAL", W::Library, 50, D::One, "CALSﾌｧｲﾙ"},
        {9, "MAC", W::Library, 51, D::One, "MacPaintﾌｧｲﾙ"},
        {10, "IMG", W::Library, 52, D::One, "GEM Imageﾌｧｲﾙ"},
        {11, "MSP", W::Library, 53, D::One, "Microsoft Paintﾌｧｲﾙ"},
        {12, "WPG", W::Library, 54, D::EightFromNine, "WordPerfectﾌｧｲﾙ"},
        {13, "RAS", W::Library, 55, D::TwentyFourAt16, "SUN Rasterﾌｧｲﾙ"},
        {14, "PCT", W::Library, 56, D::TwentyFourAt16, "Macintosh PICTUREﾌｧｲﾙ"},
        {15, "EPS", W::Library, 16, D::Eight, "PostScript Rasterﾌｧｲﾙ"},
        {16, "WMF", W::Library, 15, D::Metafile, "Windows ﾒﾀﾌｧｲﾙ"},
        {17, "ICA", W::Library, 71, D::One, "IBM IOCAﾌｧｲﾙ"},
        {18, "FXS", W::Library, 69, D::One, "WinFaxﾌｧｲﾙ"},
        {19, "PNG", W::Library, 75, D::TwentyFourAt16, "CompuServe PNGﾌｧｲﾙ"},
        {20, "PSD", W::Library, 76, D::Photoshop, "Photoshopﾌｧｲﾙ"},
    };
    return table;
}

const SaveFormat* saveFormatAt(int index) {
    const auto& table = saveFormats();
    if (index < 1 || index > int(table.size())) return nullptr;
    return &table[size_t(index - 1)];
}

int saveFormatIndexOf(const QString& extension) {
    for (const SaveFormat& format : saveFormats())
        if (extension.compare(QLatin1String(format.extension), Qt::CaseInsensitive) == 0)
            return format.index;
    return 0;
}

QString extensionOf(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

int saveFormatIndexOfPath(const QString& path) {
    const QString extension = extensionOf(path);
    return extension.isEmpty() ? 0 : saveFormatIndexOf(extension);
}

int bitsForSave(int index, int bits) {
    const SaveFormat* format = saveFormatAt(index);
    if (!format) return bits;
    switch (format->depth) {
    case DepthRule::Picture: return bits;
    case DepthRule::EightBelowEight: return bits < 8 ? 8 : bits;
    case DepthRule::TwentyFourAt16: return bits == 16 ? 24 : bits;
    case DepthRule::Eight: return 8;
    case DepthRule::One: return 1;
    case DepthRule::EightFromNine: return bits >= 9 ? 8 : bits;
    case DepthRule::Metafile: return bits == 1 || bits == 4 ? 8 : bits == 16 ? 24 : bits;
    case DepthRule::Photoshop: return bits == 4 ? 8 : bits == 16 ? 24 : bits;
    }
    return bits;
}

int formatCodeForSave(int index, bool progressive) {
    const SaveFormat* format = saveFormatAt(index);
    if (!format) return -1;
    if (format->writer == SaveWriter::Jpeg && progressive) return kJpegProgressiveCode;
    return format->formatCode;
}

namespace {

QString filterPairs() {
    QString pairs;
    for (const SaveFormat& format : saveFormats()) {
        const QString extension = QLatin1String(format.extension);
        pairs += QString::fromUtf8(format.description) + "(*." + extension + ")|*." + extension +
                 "|";
    }
    return pairs;
}

}  // namespace

QString saveAsFilter() { return filterPairs() + "|"; }

const QStringList& readableExtensions() {
    static const QStringList list = {"BMP", "GIF", "JPG", "TIF", "DIB", "PCX", "TGA",
                                     "CAL", "MAC", "IMG", "MSP", "WPG", "RAS", "PCT",
                                     "EPS", "WMF", "ICA", "FXS", "PNG", "PSD", "PCD"};
    return list;
}

bool isReadableExtension(const QString& extension) {
    return readableExtensions().contains(extension, Qt::CaseInsensitive);
}

QString openFilter() {
    QStringList patterns;
    for (const QString& extension : readableExtensions()) patterns << "*." + extension;
    return QString::fromUtf8("ｲﾒｰｼﾞﾌｧｲﾙ|") + patterns.join(';') + "|" + filterPairs() +
           QString::fromUtf8("Photo CDﾌｧｲﾙ(*.PCD)|*.PCD|全てのﾌｧｲﾙ|*.*||");
}

const std::vector<FormatCodeEntry>& formatCodeTable() {
    static const std::vector<FormatCodeEntry> table = {
        {3, "TIF", "TIFFﾌｧｲﾙ"},
        {4, "TGA", "TGAﾌｧｲﾙ"},
        {6, "BMP", "BMPﾌｧｲﾙ"},
        {6, "DIB", "DIBﾌｧｲﾙ"},
        {1, "PCX", "PCXﾌｧｲﾙ"},
        {10, "JPG", "JPEGﾌｧｲﾙ"},
        {50, "CAL", "CALSﾌｧｲﾙ"},
        {51, "MAC", "MacPaintﾌｧｲﾙ"},
        {52, "IMG", "GEM Imageﾌｧｲﾙ"},
        {53, "MSP", "Microsoft Paintﾌｧｲﾙ"},
        {54, "WPG", "WordPerfectﾌｧｲﾙ"},
        {55, "RAS", "SUN Rasterﾌｧｲﾙ"},
        {56, "PCT", "Macintosh PICTUREﾌｧｲﾙ"},
        {16, "EPS", "PostScript Rasterﾌｧｲﾙ"},
        {15, "WMF", "Windows ﾒﾀﾌｧｲﾙ"},
        {71, "ICA", "IBM IOCAﾌｧｲﾙ"},
        {69, "FXS", "WinFaxﾌｧｲﾙ"},
        {75, "PNG", "CompuServe PNGﾌｧｲﾙ"},
        {-1, "", ""},
    };
    return table;
}

QString formatNameString(int id) {
    static const QHash<int, const char*> strings = {
        {6000, "ZSoft PCX ﾌｧｲﾙ"},
        {6001, "GIF ﾌｧｲﾙ"},
        {6002, "TIF ﾌｧｲﾙ"},
        {6003, "Targa ﾌｧｲﾙ"},
        {6004, "LEAD CMP ﾌｧｲﾙ"},
        {6005, "ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ"},
        {6009, "JPEG(JFIF) ﾌｧｲﾙ"},
        {6010, "JPEG(JTIF) ﾌｧｲﾙ"},
        {6013, "OS/2 ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ"},
        {6014, "Windows ﾒﾀﾌｧｲﾙ"},
        {6015, "Post Script ﾌｧｲﾙ"},
        {6016, "LZW圧縮TIFF ﾌｧｲﾙ"},
        {6019, "LEAD Proprietary"},
        {6020, "LEAD JPEG 4:1:1 ﾌｧｲﾙ"},
        {6021, "LEAD JPEG 4:1:1 ﾌｧｲﾙ"},
        {6022, "LEAD JPEG 4:2:2 ﾌｧｲﾙ"},
        {6023, "LEAD JPEG 4:2:2 ﾌｧｲﾙ"},
        {6024, "TIFF CCITT ﾌｧｲﾙ"},
        {6025, "LEAD 1 bit圧縮 ﾌｧｲﾙ"},
        {6026, "CCITT Group3 one dimension ﾌｧｲﾙ"},
        {6027, "CCITT Group3 two dimensions ﾌｧｲﾙ"},
        {6028, "CCITT Group4 two dimensions ﾌｧｲﾙ"},
        {6029, "LEAD  Proprietary Lossless ﾌｧｲﾙ"},
        {6030, "CALS ﾌｧｲﾙ"},
        {6031, "MacPaint ﾌｧｲﾙ"},
        {6032, "GEM Image ﾌｧｲﾙ"},
        {6033, "Microsoft Paint ﾌｧｲﾙ"},
        {6034, "WordPerfect ﾌｧｲﾙ"},
        {6035, "SUN Raster ﾌｧｲﾙ"},
        {6036, "Macintosh PCT ﾌｧｲﾙ"},
        {6037, "Photo CD ﾌｧｲﾙ"},
        {6038, "DXF ﾌｧｲﾙ"},
        {6039, "AVI ﾌｧｲﾙ"},
        {6040, "WAV ﾌｧｲﾙ"},
        {6041, "FLI ﾌｧｲﾙ"},
        {6042, "CGM ﾌｧｲﾙ"},
        {6043, "EPS TIFF ﾌｧｲﾙ"},
        {6044, "EPS WMF ﾌｧｲﾙ"},
        {6045, "CMPNOLOSS ﾌｧｲﾙ"},
        {6046, "FAX G3 1D ﾌｧｲﾙ"},
        {6047, "FAX G3 2D ﾌｧｲﾙ"},
        {6048, "FAX G4 ﾌｧｲﾙ"},
        {6049, "WinFAX G3 1D ﾌｧｲﾙ"},
        {6050, "WinFAX G4 ﾌｧｲﾙ"},
        {6051, "IBM IOCA G3 1D ﾌｧｲﾙ"},
        {6052, "IBM IOCA G3 2D ﾌｧｲﾙ"},
        {6053, "IBM IOCA G4 ﾌｧｲﾙ"},
        {6054, "OS/2 ﾋﾞｯﾄﾏｯﾌﾟ ﾌｧｲﾙ"},
        {6055, "PNG ﾌｧｲﾙ"},
        {6056, "PhotoShop ﾌｧｲﾙ"},
    };
    const auto found = strings.constFind(id);
    return found == strings.constEnd() ? QString() : QString::fromUtf8(found.value());
}

QString formatNameForCode(int formatCode) {
    if (formatCode < 0) return QString();
    return formatNameString(formatCode < 50 ? 5999 + formatCode : 5980 + formatCode);
}

}  // namespace quillon
