// The colour and tone effects as --effect rows: each runner calls the same
// apply function as the menu command.
#include "effects/area_procedure.h"
#include "effects/colour_effects.h"
#include "effects/colour_shift.h"
#include "effects/depth_conversion.h"
#include "effects/effect_rows.h"
#include "effects/histogram.h"

#include <QStringList>

namespace quillon {
namespace {

using Apply = bool (*)(CImageObject&, const Rect*, QString&);

// Integers separated by commas, count of them, each within low..high.
bool readInts(const QString& name, const QString& args, int count, int low, int high, std::vector<int>& values,
              QString& error) {
    const QStringList parts = args.split(u',');
    const QString range = QStringLiteral("%1: expected %2 integer%3 in %4..%5")
                              .arg(name).arg(count).arg(count > 1 ? "s" : "").arg(low).arg(high);
    if (parts.size() != count) {
        error = range;
        return false;
    }
    values.clear();
    for (const QString& p : parts) {
        bool ok = false;
        const int v = p.trimmed().toInt(&ok);
        if (!ok || v < low || v > high) {
            error = range;
            return false;
        }
        values.push_back(v);
    }
    return true;
}

EffectRow plainRow(const QString& name, int command, Apply apply) {
    return {name, command, QString(),
            [name, apply](const QString& args, int&, EffectRunner& run, QString& error) {
                if (!args.isEmpty()) {
                    error = QStringLiteral("%1 takes no arguments").arg(name);
                    return false;
                }
                run = [apply](CImageObject& picture, const Rect* area, QString& e) { return apply(picture, area, e); };
                return true;
            }};
}

EffectRow threeValueRow(const QString& name, int command, int low, int high,
                        bool (*apply)(CImageObject&, const Rect*, int, int, int, QString&)) {
    return {name, command, QStringLiteral("R,G,B (%1..%2)").arg(low).arg(high),
            [=](const QString& args, int&, EffectRunner& run, QString& error) {
                std::vector<int> v;
                if (!readInts(name, args, 3, low, high, v, error)) return false;
                run = [apply, v](CImageObject& picture, const Rect* area, QString& e) {
                    return apply(picture, area, v[0], v[1], v[2], e);
                };
                return true;
            }};
}

EffectRow saturationRow() {
    return {QStringLiteral("saturation"), 135, QStringLiteral("A (-100..200)"),
            [](const QString& args, int&, EffectRunner& run, QString& error) {
                std::vector<int> v;
                if (!readInts(QStringLiteral("saturation"), args, 1, -100, 200, v, error)) return false;
                run = [a = v[0]](CImageObject& picture, const Rect* area, QString& e) {
                    return applySaturation(picture, area, a, e);
                };
                return true;
            }};
}

EffectRow brightnessContrastRow() {
    return {QStringLiteral("brightness-contrast"), 134, QStringLiteral("B,C[,invert] (-100..100)"),
            [](const QString& args, int&, EffectRunner& run, QString& error) {
                QString numbers = args;
                bool invert = false;
                if (args.endsWith(QStringLiteral(",invert"))) {
                    invert = true;
                    numbers.chop(7);
                }
                std::vector<int> v;
                if (!readInts(QStringLiteral("brightness-contrast"), numbers, 2, -100, 100, v, error)) {
                    error += QStringLiteral(", then optionally ,invert");
                    return false;
                }
                run = [b = v[0], c = v[1], invert](CImageObject& picture, const Rect* area, QString& e) {
                    return applyBrightnessContrast(picture, area, b, c, invert, e);
                };
                return true;
            }};
}

EffectRow levelsRow() {
    return {QStringLiteral("levels"), 136, QString(), [](const QString& args, int&, EffectRunner& run, QString& error) {
                if (!args.isEmpty()) {
                    error = QStringLiteral("levels takes no arguments");
                    return false;
                }
                run = [](CImageObject& picture, const Rect* area, QString& e) {
                    Histogram h;
                    if (!computeHistogram(picture, area, h, e)) return false;
                    const LevelsOutcome outcome = applyLevels(picture, area, h, e);
                    return outcome == LevelsOutcome::Applied || outcome == LevelsOutcome::TooFewPixels;
                };
                return true;
            }};
}

EffectRow depthRow() {
    return {QStringLiteral("depth"), 137, QStringLiteral("1|4|8|16|24[,dither][,grey]"),
            [](const QString& args, int&, EffectRunner& run, QString& error) {
                const QStringList parts = args.split(u',');
                DepthChoice choice;
                bool ok = false;
                choice.bits = parts.front().toInt(&ok);
                const bool goodBits = ok && (choice.bits == 1 || choice.bits == 4 || choice.bits == 8 ||
                                             choice.bits == 16 || choice.bits == 24);
                bool goodFlags = true;
                for (qsizetype i = 1; i < parts.size(); ++i) {
                    if (parts[i] == u"dither" && !choice.dither) choice.dither = true;
                    else if (parts[i] == u"grey" && !choice.grey) choice.grey = true;
                    else goodFlags = false;
                }
                if (!goodBits || !goodFlags) {
                    error = QStringLiteral("depth: expected 1, 4, 8, 16 or 24, then optionally ,dither and ,grey");
                    return false;
                }
                run = [choice](CImageObject& picture, const Rect*, QString& e) {
                    if (!depthConversionChanges(picture, choice)) return true;
                    return convertDepth(picture, choice, e);
                };
                return true;
            }};
}

EffectRow colourShiftRow() {
    return {QStringLiteral("colour-shift"), 143, QStringLiteral("r|g|b,DX,DY (within the picture's size)"),
            [](const QString& args, int&, EffectRunner& run, QString& error) {
                const QStringList parts = args.split(u',');
                const QString usage = QStringLiteral("colour-shift: expected r, g or b, then DX,DY (integers)");
                if (parts.size() != 3 || !QStringList{"r", "g", "b"}.contains(parts[0])) {
                    error = usage;
                    return false;
                }
                bool okX = false, okY = false;
                const int dx = parts[1].toInt(&okX), dy = parts[2].toInt(&okY);
                if (!okX || !okY) {
                    error = usage;
                    return false;
                }
                const auto channel = ShiftChannel(QStringList{"r", "g", "b"}.indexOf(parts[0]));
                run = [channel, dx, dy](CImageObject& picture, const Rect*, QString& e) {
                    if (picture.bitsPerPixel() != 24) {
                        e = QStringLiteral("colour-shift works on 24-bit pictures only");
                        return false;
                    }
                    // As many arrow presses as asked; the offsets stop at the picture's edge.
                    ColourShiftOffsets offsets;
                    offsets.move(channel, dx, dy, picture.width(), picture.height());
                    std::unique_ptr<CImageObject> backup = picture.duplicate();
                    if (!backup) {
                        e = QStringLiteral("out of memory");
                        return false;
                    }
                    return rebuildColourShift(picture, *backup, offsets, e);
                };
                return true;
            }};
}

}  // namespace

std::vector<EffectRow> colourEffectRows() {
    return {
        plainRow(QStringLiteral("sepia"), 138, applySepia),
        plainRow(QStringLiteral("gold-red"), 139, applyGoldRed),
        plainRow(QStringLiteral("red-cast"), 147, applyRedCast),
        plainRow(QStringLiteral("green-cast"), 148, applyGreenCast),
        plainRow(QStringLiteral("backlight"), 145, applyBacklight),
        plainRow(QStringLiteral("low-light"), 146, applyLowLight),
        threeValueRow(QStringLiteral("colour-filter"), 140, 0, 200, applyColourFilter),
        threeValueRow(QStringLiteral("hue"), 141, -100, 100, applyHue),
        saturationRow(),
        colourShiftRow(),
        brightnessContrastRow(),
        levelsRow(),
        depthRow(),
    };
}

}  // namespace quillon
