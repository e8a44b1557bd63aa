// The picture operations that `convert --op` applies, in the order given,
// between opening a picture and saving it.
//   depth=BITS[,dither][,optimised]   change of colour depth (1 4 8 15 16 24 32)
//   resize=WxH                        resample to W x H pixels
//   rotate=DEGREES                    whole degrees; odd multiples of 90 swap the sides
//   rotate-fine=HUNDREDTHS            hundredths of a degree, size kept, black corners
//   sharpen=AMOUNT                    -1000..1000, negative blurs
//   contrast=AMOUNT brightness=AMOUNT -1000..1000
//   grey invert flip mirror
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quillon {
class CImageObject;
}

namespace quillon::cli {

class ConsolePort;

struct EffectOp {
    enum Kind { Depth, Resize, Rotate, RotateFine, Sharpen, Contrast, Brightness, Grey, Invert, Flip, Mirror };
    Kind kind = Grey;
    int a = 0, b = 0;
    unsigned flags = 0;
};

// Reads one operation; on a bad one returns false with the reason in error.
bool parseEffectOp(const QString& text, EffectOp& op, QString& error);
// Runs the operations; the first failure reports the library's message and
// returns false.
bool applyEffectOps(CImageObject& picture, const std::vector<EffectOp>& ops, ConsolePort& console);

// The list above, for the help text, and the `effects` command that prints it.
QString effectOpsHelp();
int runEffects(const QStringList& arguments, ConsolePort& console);

}  // namespace quillon::cli
