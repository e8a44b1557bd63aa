#include "cli/effect_ops.h"

#include "cli/console_port.h"
#include "cli/effect_names.h"
#include "image/error_messages.h"
#include "image/image_effects.h"
#include "image/image_object.h"
#include "imaging/depth.h"

#include <QStringList>

namespace quillon::cli {
namespace {

bool toInt(const QString& text, int& value, int low, int high) {
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= low && value <= high;
}

}  // namespace

QString effectOpsHelp() {
    return "operations for --op, applied in the order given:\n"
           "  depth=BITS[,dither][,optimised]  BITS 1 4 8 15 16 24 32\n"
           "  resize=WxH\n"
           "  rotate=DEGREES                   whole degrees\n"
           "  rotate-fine=HUNDREDTHS           hundredths of a degree\n"
           "  sharpen=AMOUNT                   -1000..1000, negative blurs\n"
           "  contrast=AMOUNT                  -1000..1000\n"
           "  brightness=AMOUNT                -1000..1000\n"
           "  grey | invert | flip | mirror";
}

int runEffects(const QStringList& arguments, ConsolePort& console) {
    if (!arguments.isEmpty()) {
        console.error("usage: quillon-cli effects");
        return 2;
    }
    console.print(effectOpsHelp());
    console.print("\neffects for --effect NAME[=ARGS], the menus' own commands, on the work area:\n" +
                  effectRowsHelp());
    return 0;
}

bool parseEffectOp(const QString& text, EffectOp& op, QString& error) {
    const int eq = text.indexOf('=');
    const QString name = eq < 0 ? text : text.left(eq);
    const QString value = eq < 0 ? QString() : text.mid(eq + 1);
    const bool hasValue = eq >= 0;
    error = "quillon-cli convert: bad operation '" + text + "'";
    auto amount = [&](EffectOp::Kind kind) {
        op.kind = kind;
        if (!hasValue || !toInt(value, op.a, -1000, 1000)) {
            error += ": the amount must be a whole number from -1000 to 1000";
            return false;
        }
        return true;
    };
    if (name == "depth") {
        op.kind = EffectOp::Depth;
        const QStringList parts = value.split(',');
        if (!hasValue || !toInt(parts.first(), op.a, 1, 32) || !(op.a == 1 || op.a == 4 || op.a == 8 || op.a == 15 ||
                                                                op.a == 16 || op.a == 24 || op.a == 32)) {
            error += ": the depth must be 1, 4, 8, 15, 16, 24 or 32";
            return false;
        }
        op.flags = 0;
        for (int i = 1; i < parts.size(); ++i) {
            if (parts[i] == "dither") op.flags |= imaging::depth::kErrorDiffusion;
            else if (parts[i] == "optimised" || parts[i] == "optimized") op.flags |= imaging::depth::kOptimizedPalette;
            else {
                error += ": the depth takes only 'dither' and 'optimised'";
                return false;
            }
        }
        return true;
    }
    if (name == "resize") {
        op.kind = EffectOp::Resize;
        const QStringList parts = value.toLower().split('x');
        if (!hasValue || parts.size() != 2 || !toInt(parts[0], op.a, 1, 1 << 16) || !toInt(parts[1], op.b, 1, 1 << 16)) {
            error += ": the size must be WIDTHxHEIGHT, each from 1 to 65536";
            return false;
        }
        return true;
    }
    if (name == "rotate" || name == "rotate-fine") {
        op.kind = name == "rotate" ? EffectOp::Rotate : EffectOp::RotateFine;
        if (!hasValue || !toInt(value, op.a, -36000000, 36000000)) {
            error += ": the angle must be a whole number";
            return false;
        }
        return true;
    }
    if (name == "sharpen") return amount(EffectOp::Sharpen);
    if (name == "contrast") return amount(EffectOp::Contrast);
    if (name == "brightness") return amount(EffectOp::Brightness);
    const struct { const char* name; EffectOp::Kind kind; } plain[] = {
        {"grey", EffectOp::Grey}, {"invert", EffectOp::Invert}, {"flip", EffectOp::Flip}, {"mirror", EffectOp::Mirror}};
    for (const auto& p : plain)
        if (name == QLatin1String(p.name)) {
            op.kind = p.kind;
            if (hasValue) {
                error += ": '" + name + "' takes no value";
                return false;
            }
            return true;
        }
    error += ": unknown operation";
    return false;
}

bool applyEffectOps(CImageObject& picture, const std::vector<EffectOp>& ops, ConsolePort& console) {
    for (const EffectOp& op : ops) {
        bool done = false;
        switch (op.kind) {
        case EffectOp::Depth:
            done = changeColorDepth(picture, nullptr, op.a, op.flags, nullptr, 0, false);
            break;
        case EffectOp::Resize: done = resizePicture(picture, op.a, op.b, false); break;
        case EffectOp::Rotate: {
            // The resize flag exactly for odd multiples of 90, as the program sets it.
            const bool swap = op.a % 90 == 0 && op.a % 180 != 0;
            done = rotateDegrees(picture, op.a, swap, false);
            break;
        }
        case EffectOp::RotateFine: done = rotateFine(picture, op.a, 0, 0, false); break;
        case EffectOp::Sharpen: done = sharpen(picture, op.a, false); break;
        case EffectOp::Contrast: done = contrast(picture, op.a, false); break;
        case EffectOp::Brightness: done = brightness(picture, op.a, false); break;
        case EffectOp::Grey: done = picture.greyScale(false); break;
        case EffectOp::Invert: done = picture.invert(false); break;
        case EffectOp::Flip: done = picture.flipVertical(false); break;
        case EffectOp::Mirror: done = picture.mirror(false); break;
        }
        if (!done) {
            reportImagingError(console);
            return false;
        }
    }
    return true;
}

}  // namespace quillon::cli
