// The --effect rows of the geometry and filter commands: each runs the same
// procedure as its menu command on the picture or the work area.
#include "effects/effect_rows.h"
#include "effects/geometry_effects.h"
#include "effects/geometry_models.h"
#include "image/error_messages.h"
#include "image/image_object.h"
#include "image/last_result.h"
#include "resources/strings.h"

#include <QStringList>

namespace quillon {
namespace {

using Procedure = std::function<bool(CImageObject&, const Rect*, int& message)>;

EffectRunner runnerOf(Procedure procedure) {
    return [procedure](CImageObject& picture, const Rect* area, QString& error) {
        int message = 0;
        if (procedure(picture, area, message)) return true;
        error = message ? loadString(message) : imagingErrorMessage(lastImagingResult());
        return false;
    };
}

bool readInt(const QString& text, int& value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

// A row without arguments.
EffectRow plain(const QString& name, int command, Procedure procedure) {
    return {name, command, QString(),
            [name, procedure](const QString& args, int&, EffectRunner& run, QString& error) {
                if (!args.isEmpty()) {
                    error = QString("--effect %1 takes no arguments").arg(name);
                    return false;
                }
                run = runnerOf(procedure);
                return true;
            }};
}

EffectRow filterRow(const QString& name, int command, int amount) {
    return plain(name, command, [amount](CImageObject& p, const Rect* area, int& message) {
        return filterPicture(p, area, amount, message);
    });
}

bool parseRotate(const QString& args, int& command, EffectRunner& run, QString& error) {
    int angle = 0;
    if (!readInt(args, angle)) {
        error = "--effect rotate=90|270|2|358|A: A is a whole number of degrees from -45 to 45";
        return false;
    }
    // The menu's four fixed turns first; any other angle is the dialog's.
    switch (angle) {
    case 90: command = 120; break;
    case 270: command = 121; break;
    case 2: command = 122; break;
    case 358: command = 123; break;
    default:
        if (angle < kRotationMin || angle > kRotationMax) {
            error = QString("--effect rotate=%1: %2").arg(angle).arg(rotationRangeMessage());
            return false;
        }
        command = 124;
    }
    run = runnerOf([angle](CImageObject& p, const Rect*, int& message) {
        return rotatePictureDegrees(p, angle, message);
    });
    return true;
}

bool parseTilt(const QString& args, int&, EffectRunner& run, QString& error) {
    const QStringList parts = args.split(',');
    int t = 0;
    if (parts.size() != 2 || !readInt(parts[0], t) ||
        (parts[1] != "horizontal" && parts[1] != "vertical")) {
        error = "--effect tilt=T,horizontal|vertical: T is the line's angle in hundredths of a degree";
        return false;
    }
    if (t < kLineAngleMin || t > kLineAngleMax) {
        error = QString("--effect tilt=%1: the line's angle is from %2 to %3 hundredths of a degree")
                    .arg(t).arg(kLineAngleMin).arg(kLineAngleMax);
        return false;
    }
    const int c = tiltCorrection(t, parts[1] == "vertical");
    run = runnerOf([c](CImageObject& p, const Rect*, int& message) { return rotatePictureHundredths(p, c, message); });
    return true;
}

bool parseResize(const QString& args, int&, EffectRunner& run, QString& error) {
    const QStringList parts = args.split(',');
    int w = 0, h = 0;
    if (parts.size() != 2 || !readInt(parts[0], w) || !readInt(parts[1], h)) {
        error = "--effect resize=W,H: W and H are whole numbers of pixels";
        return false;
    }
    if (w < 1 || w > kResizePixelsMax || h < 1 || h > kResizePixelsMax) {
        error = QString("--effect resize=%1,%2: width and height are from 1 to %3 pixels").arg(w).arg(h).arg(kResizePixelsMax);
        return false;
    }
    run = runnerOf([w, h](CImageObject& p, const Rect*, int& message) { return resizePictureTo(p, w, h, message); });
    return true;
}

}  // namespace

std::vector<EffectRow> geometryEffectRows() {
    return {
        {"rotate", 120, "90|270|2|358|A (A: -45..45 degrees)", parseRotate},
        {"tilt", 125, "T,horizontal|vertical (T: the line's angle, -9000..9000 hundredths)", parseTilt},
        plain("flip-horizontal", 127, [](CImageObject& p, const Rect* a, int& m) { return flipPicture(p, a, true, m); }),
        plain("flip-vertical", 128, [](CImageObject& p, const Rect* a, int& m) { return flipPicture(p, a, false, m); }),
        {"resize", 126, "W,H (1..10000 pixels)", parseResize},
        filterRow("blur", 129, kBlurAmount),
        filterRow("strong-blur", 130, kStrongBlurAmount),
        filterRow("sharpen", 131, kSharpenAmount),
        filterRow("strong-sharpen", 132, kStrongSharpenAmount),
        filterRow("focus", 144, kStrongSharpenAmount),
        plain("denoise", 149, [](CImageObject& p, const Rect* a, int& m) { return removeNoise(p, a, m); }),
        plain("invert", 133, [](CImageObject& p, const Rect* a, int& m) { return invertPicture(p, a, m); }),
    };
}

}  // namespace quillon
