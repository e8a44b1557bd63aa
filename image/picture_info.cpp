#include "image/picture_info.h"

#include "image/image_object.h"
#include "image/save_formats.h"

namespace quillon {

QString picturePathText(const QString& documentPath) {
    return documentPath.isEmpty() ? QString::fromUtf8("未保存") : documentPath;
}

QString pictureFormatText(int formatCode, const QString& documentPath, bool progressive,
                          const GifOptions& gif) {
    if (documentPath.isEmpty()) return QString::fromUtf8("未定");
    if (formatCode == 0 && extensionOf(documentPath).compare("WMF", Qt::CaseInsensitive) == 0)
        formatCode = 15;
    QString text = formatNameForCode(formatCode);
    if (formatCode == kJpegFormatCode && progressive) text += QString::fromUtf8("(ﾌﾟﾛｸﾞﾚｯｼﾌﾞ)");
    if (formatCode == kGifFormatCode) {
        if (gif.transparent) text += QString::fromUtf8("(透明");
        if (gif.interlaced)
            text += QString::fromUtf8(gif.transparent ? ", " : "(") + QString::fromUtf8("ｲﾝﾀｰﾚｰｽ)");
        else if (gif.transparent)
            text += ")";
    }
    return text;
}

QString pictureSizeText(int width, int height) {
    return QString::fromUtf8("%1 x %2 ﾄﾞｯﾄ").arg(width).arg(height);
}

QString pictureDepthText(int bits) {
    switch (bits) {
    case 1: return QString::fromUtf8("1Bit(2色)");
    case 4: return QString::fromUtf8("4Bit(16色)");
    case 8: return QString::fromUtf8("8Bit(256色)");
    case 15: return QString::fromUtf8("15Bit(32768色)");
    case 16: return QString::fromUtf8("16Bit(65536色)");
    case 24: return QString::fromUtf8("24Bit(1600万色)");
    case 32: return QString::fromUtf8("32Bit(1600万色)");
    default: return QString();
    }
}

PictureInfoTexts pictureInfoTexts(const CImageObject& picture, const QString& documentPath) {
    return PictureInfoTexts{
        picturePathText(documentPath),
        pictureFormatText(picture.bitmap().formatCode, documentPath, picture.progressive,
                          picture.gifOptions),
        pictureSizeText(picture.width(), picture.height()),
        pictureDepthText(picture.bitsPerPixel()),
    };
}

}  // namespace quillon
