#include "image/file_dispatch.h"

#include "image/error_messages.h"
#include "image/gif_codec.h"
#include "image/image_object.h"
#include "image/last_result.h"
#include "image/save_formats.h"
#include "imaging/result.h"
#include "jpeg32/jpeg32.h"

#include <QFile>

#include <cstdio>

namespace quillon {
namespace {

ScreenInfo& screen() {
    static ScreenInfo current;
    return current;
}

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool isExtension(const QString& path, const char* extension) {
    return extensionOf(path).compare(QLatin1String(extension), Qt::CaseInsensitive) == 0;
}

void useScreenResolution() {
    imaging::setFileOptions({screen().xDpi, screen().yDpi, 1});
}

// Ends a load or save: the result becomes the last imaging result.
bool finish(int result) {
    setLastImagingResult(result);
    return result == imaging::kSuccess;
}

bool adoptLoaded(CImageObject& object, bool redraw) {
    object.setHasBitmap(true);
    object.sizeChanged();
    if (redraw) object.refresh();
    return finish(imaging::kSuccess);
}

}  // namespace

void setScreenInfo(const ScreenInfo& info) { screen() = info; }
ScreenInfo screenInfo() { return screen(); }

namespace {

// The first bytes of a file; fewer when it is short or cannot be read.
size_t headerOf(const std::string& file, uint8_t (&header)[16]) {
    size_t got = 0;
    if (std::FILE* in = std::fopen(file.c_str(), "rb")) {
        got = std::fread(header, 1, sizeof header, in);
        std::fclose(in);
    }
    return got;
}

enum class Reader { Gif, Jpeg, Library };

// The content names the reader: a GIF goes to the own reader whatever its
// name. ".JPG" goes to JPEGRead unless the content is another format's (or
// there is none to look at, and JPEGRead reports why); every other file goes
// to the imaging library, which finds the format from the bytes.
Reader readerFor(const QString& path, const std::string& file) {
    uint8_t header[16] = {};
    const size_t got = headerOf(file, header);
    if (gif::probe(header, got)) return Reader::Gif;
    if (!isExtension(path, "JPG")) return Reader::Library;
    const bool jpeg = got >= 3 && header[0] == 0xFF && header[1] == 0xD8 && header[2] == 0xFF;
    return jpeg || got == 0 ? Reader::Jpeg : Reader::Library;
}

}  // namespace

bool readPictureInfo(const QString& path, imaging::FileInfo& info) {
    const std::string file = localPath(path);
    uint8_t header[16] = {};
    const size_t got = headerOf(file, header);
    info = imaging::FileInfo{};
    if (gif::probe(header, got)) return finish(gif::readInfo(header, got, info));
    return finish(imaging::fileInfo(file, info));
}

bool openPicture(CImageObject& object, const QString& path) {
    object.release();
    if (readerFor(path, localPath(path)) == Reader::Jpeg) {
        int progressive = 0;
        const int result = JPEGRead(&object.bitmap(), localPath(path).c_str(), &progressive);
        if (!finish(result)) return false;
        object.progressive = progressive != 0;
        object.setHasBitmap(true);
        object.sizeChanged();
        return true;
    }
    useScreenResolution();
    imaging::FileInfo info;
    if (!readPictureInfo(path, info)) return false;
    object.create(info.width, info.height, info.bits);
    if (info.bits > 8 && screen().depth == 16) object.bitmap().flags |= imaging::flag::kDisplay16;
    return loadPicture(object, path, info.bits, 1, 3, true);
}

bool loadPicture(CImageObject& object, const QString& path, int bits, int option1, int option2,
                 bool redraw) {
    // The two option values are the imaging library's row order and flags of
    // its own loader; ours keeps the row order each codec reads.
    (void)option1;
    (void)option2;
    object.release();
    const std::string file = localPath(path);
    const Reader reader = readerFor(path, file);
    if (reader == Reader::Gif) {
        imaging::Bitmap picture;
        GifOptions options;
        const int result = gif::readFile(file, picture, options);
        if (!finish(result)) return false;
        picture.flags |= object.bitmap().flags & imaging::flag::kDisplay16;
        object.bitmap() = std::move(picture);
        object.gifOptions = options;
        return adoptLoaded(object, redraw);
    }
    if (reader == Reader::Jpeg) {
        int progressive = 0;
        if (!finish(JPEGRead(&object.bitmap(), file.c_str(), &progressive))) return false;
        object.progressive = progressive != 0;
        return adoptLoaded(object, redraw);
    }
    if (!finish(imaging::load(file, object.bitmap(), bits))) return false;
    return adoptLoaded(object, redraw);
}

bool savePicture(CImageObject& object, const QString& path, int formatCode, int bits, int quality) {
    imaging::Bitmap& bitmap = object.bitmap();
    const std::string file = localPath(path);
    if (!object.hasBitmap()) return finish(imaging::kErrNoBitmap);
    if (formatCode == kGifFormatCode) {
        if (bitmap.bitsPerPixel > 8) return finish(imaging::kErrImageType);
        if (!gif::writeFile(file, bitmap, object.gifOptions)) return finish(imaging::kErrFileWrite);
        bitmap.formatCode = uint8_t(kGifFormatCode);
        return finish(imaging::kSuccess);
    }
    if (formatCode == kJpegFormatCode || formatCode == kJpegProgressiveCode) {
        const bool progressive = formatCode == kJpegProgressiveCode;
        if (!finish(JPEGWrite(&bitmap, file.c_str(), quality, progressive ? 1 : 0))) return false;
        // The flag says how the picture was last written.
        object.progressive = progressive;
        bitmap.formatCode = uint8_t(kJpegFormatCode);
        return true;
    }
    imaging::setFileOptions({bitmap.xResolution, bitmap.yResolution, 1});
    const int result = imaging::save(file, bitmap, formatCode, bits, quality);
    useScreenResolution();
    if (!finish(result)) return false;
    bitmap.formatCode = uint8_t(formatCode);
    return true;
}

bool savePictureOfView(CImageObject& object, const QString& path, int formatIndex, int quality,
                       bool progressive, UiPort* ui) {
    const SaveFormat* format = saveFormatAt(formatIndex);
    bool saved = false;
    if (!format) {
        finish(imaging::kErrBadParameter);
    } else {
        const int code = formatCodeForSave(formatIndex, progressive);
        const int bits = bitsForSave(formatIndex, object.bitsPerPixel());
        saved = savePicture(object, path, code, bits,
                            format->writer == SaveWriter::Jpeg ? quality : 0);
    }
    if (!saved && ui) reportImagingError(*ui);
    return saved;
}

std::optional<QString> saveRefusal(int formatIndex, int pictureBits) {
    if (formatIndex == kSaveFormatGif && pictureBits == 24)
        return QString::fromUtf8("GIF形式はTrueColorで保存できません。\n他の形式で保存してください");
    if (formatIndex == kSaveFormatJpeg && pictureBits != 24)
        return QString::fromUtf8("JPEG形式はTrueColorでしか保存できません");
    return std::nullopt;
}

QString wrongExtensionMessage() { return QString::fromUtf8("正しい拡張子を付けてください"); }

}  // namespace quillon
