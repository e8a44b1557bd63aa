// The texts of the image information dialog: path, format, size and depth.
#pragma once

#include "image/gif_options.h"

#include <QString>

namespace quillon {

class CImageObject;

struct PictureInfoTexts {
    QString path;    // control 1251
    QString format;  // control 1254
    QString size;    // control 1252
    QString depth;   // control 1253
};

// The document's path, or "未保存" when it has none.
QString picturePathText(const QString& documentPath);
// "未定" without a path; otherwise the format name of the code of origin (code
// 0 with the extension WMF counts as 15), with "(ﾌﾟﾛｸﾞﾚｯｼﾌﾞ)" for a
// progressive JPEG and "(透明", ", ", "ｲﾝﾀｰﾚｰｽ)" parts for GIF.
QString pictureFormatText(int formatCode, const QString& documentPath, bool progressive,
                          const GifOptions& gif);
// "%d x %d ﾄﾞｯﾄ"
QString pictureSizeText(int width, int height);
// "8Bit(256色)" and the like; empty for other depths.
QString pictureDepthText(int bits);

PictureInfoTexts pictureInfoTexts(const CImageObject& picture, const QString& documentPath);

}  // namespace quillon
