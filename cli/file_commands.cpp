// info and convert: a file opened as Open opens it, saved as the document's
// save writes it.
#include "cli/commands.h"
#include "cli/console_port.h"
#include "cli/edit_options.h"
#include "cli/effect_ops.h"
#include "image/error_messages.h"
#include "image/file_dispatch.h"
#include "image/image_object.h"
#include "image/picture_info.h"
#include "image/save_formats.h"

namespace quillon::cli {
namespace {

bool parseInt(const QString& text, int& value) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok;
}

}  // namespace

int runInfo(const QStringList& arguments, ConsolePort& console) {
    if (arguments.size() != 1) return usage(console, "info");
    const QString path = arguments.first();
    CImageObject picture;
    if (!openPicture(picture, path)) {
        reportImagingError(console);
        return kFailed;
    }
    const GifOptions& gif = picture.gifOptions;
    const auto flag = [](bool value) { return QString(value ? "1" : "0"); };
    console.print("width: " + QString::number(picture.width()));
    console.print("height: " + QString::number(picture.height()));
    console.print("bits: " + QString::number(picture.bitsPerPixel()));
    console.print("format: " + pictureFormatText(picture.bitmap().formatCode, path,
                                                 picture.progressive, gif));
    const bool isGif = picture.bitmap().formatCode == kGifFormatCode;
    console.print("progressive: " + flag(picture.progressive));
    console.print("interlace: " + flag(isGif && gif.interlaced));
    console.print("transparent: " + flag(isGif && gif.transparent));
    console.print("transparent-index: " + QString::number(isGif ? gif.transparentIndex : 0));
    return kDone;
}

int runConvert(const QStringList& arguments, ConsolePort& console) {
    QStringList paths;
    int formatIndex = 0;
    int quality = -1;
    int progressive = -1;  // -1: keep the picture's flag
    bool interlace = false;
    int transparent = -1;
    EditScript script;  // --op operations and the editing options, in order
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == "--format-index" && hasValue) {
            if (!parseInt(arguments[++i], formatIndex)) return usage(console, "convert");
        } else if (a == "--quality" && hasValue) {
            if (!parseInt(arguments[++i], quality)) return usage(console, "convert");
        } else if (a == "--transparent" && hasValue) {
            if (!parseInt(arguments[++i], transparent) || transparent < 0 || transparent > 255)
                return usage(console, "convert");
        } else if (a == "--progressive") {
            progressive = 1;
        } else if (a == "--baseline") {
            progressive = 0;
        } else if (a == "--interlace") {
            interlace = true;
        } else if (a == "--op" && hasValue) {
            EffectOp op;
            QString why;
            if (!parseEffectOp(arguments[++i], op, why)) {
                console.error(why);
                return kUsage;
            }
            script.addEffect(op);
        } else if (a.startsWith("--")) {
            QString why;
            const EditScript::Parse parsed = script.parse(arguments, i, why);
            if (parsed == EditScript::Parse::Bad) {
                console.error(why);
                return kUsage;
            }
            if (parsed == EditScript::Parse::Done) continue;
            return usage(console, "convert");
        } else {
            paths << a;
        }
    }
    if (paths.size() != 2) return usage(console, "convert");
    const QString& in = paths[0];
    const QString& out = paths[1];

    // The format comes from the name, as in the Save As dialog.
    if (formatIndex == 0) formatIndex = saveFormatIndexOfPath(out);
    if (!saveFormatAt(formatIndex)) {
        console.error(wrongExtensionMessage());
        return kFailed;
    }
    // The quality dialog takes 5 to 100; JPG starts at 100.
    if (quality == -1) quality = formatIndex == kSaveFormatJpeg ? 100 : 1;
    if (formatIndex == kSaveFormatJpeg && (quality < 5 || quality > 100)) {
        console.error(QString::fromUtf8("5～100の間で設定してください"));
        return kFailed;
    }

    CImageObject picture;
    if (!openPicture(picture, in)) {
        reportImagingError(console);
        return kFailed;
    }
    if (!script.apply(picture, console)) return kFailed;
    if (const auto refusal = saveRefusal(formatIndex, picture.bitsPerPixel())) {
        console.error(*refusal);
        return kFailed;
    }
    // The transparent colour is one of the picture's: a 1- or 4-bit picture
    // has 2 or 16 of them.
    const int colours = picture.bitsPerPixel() <= 8 ? 1 << picture.bitsPerPixel() : 256;
    if (formatIndex == kSaveFormatGif && transparent >= colours) {
        console.error(QString("--transparent %1: a picture of %2 colours has the indexes 0 to %3")
                          .arg(transparent)
                          .arg(colours)
                          .arg(colours - 1));
        return kFailed;
    }
    if (interlace) picture.gifOptions.interlaced = 1;
    if (transparent >= 0) {
        picture.gifOptions.transparent = 1;
        picture.gifOptions.transparentIndex = transparent;
    }
    const bool asProgressive = progressive < 0 ? picture.progressive : progressive == 1;
    if (!savePictureOfView(picture, out, formatIndex, quality, asProgressive, &console))
        return kFailed;
    return kDone;
}

}  // namespace quillon::cli
