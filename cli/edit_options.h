// The editing options of `convert`, applied with the --op operations in the
// order given, through the same burn-in as the program's selection tracker:
//   --select L,T,R,B                  the work area of the options after it
//                                     (right and bottom exclusive)
//   --paste FILE@X,Y[,transparent]    FILE burnt in with its top-left at X,Y
//   --move L,T,R,B@X,Y[,W,H]          that rectangle lifted and put at X,Y,
//                                     resized to W x H when given
//   --delete                          the work area cleared to white
//   --text TEXT@X,Y[,FONT[,POINTS[,#RRGGBB[,underline][,strikeout]]]]
//   --effect NAME[=ARGS]              a menu effect on the work area (cli/effect_names.h);
//                                     refused as the menu refuses it for that picture
// Rectangles are clamped to the picture as the tracker's Commit clamps them;
// a place keeps at least one column and row over the picture, as a drag does.
#pragma once

#include "cli/effect_ops.h"
#include "effects/effect_rows.h"
#include "image/rect.h"

#include <QRgb>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

namespace quillon {
class CImageObject;
}

namespace quillon::cli {

class ConsolePort;

struct SelectEdit {
    Rect rect;
};
struct PasteEdit {
    QString file;
    int x = 0, y = 0;
    bool transparent = false;
};
struct MoveEdit {
    Rect from;
    int x = 0, y = 0;
    int width = -1, height = -1;  // -1: the size of from
};
struct DeleteEdit {};
struct TextEdit {
    QString text;
    int x = 0, y = 0;
    QString font;
    int points = 10;
    QRgb colour = 0;
    bool underline = false;
    bool strikeOut = false;
};

// As a drag: at least one column and one row of a w x h place at x,y stay
// over the picture.
inline void keepOnePixelOver(int& x, int& y, int w, int h, int pictureWidth, int pictureHeight) {
    if (x + w <= 0) x = 1 - w;
    if (x >= pictureWidth) x = pictureWidth - 1;
    if (y + h <= 0) y = 1 - h;
    if (y >= pictureHeight) y = pictureHeight - 1;
}

struct MenuEffect {
    QString name;
    int command = 0;
    EffectRunner run;
};

using EditStep = std::variant<EffectOp, SelectEdit, PasteEdit, MoveEdit, DeleteEdit, TextEdit, MenuEffect>;

class EditScript {
public:
    enum class Parse { NotMine, Done, Bad };
    // Reads the option at arguments[i] (and its value, advancing i). Bad
    // syntax leaves the reason in error.
    Parse parse(const QStringList& arguments, int& i, QString& error);
    void addEffect(const EffectOp& op) { m_steps.push_back(op); }
    bool empty() const { return m_steps.empty(); }
    // Runs the steps; the first failure reports its message and returns false.
    bool apply(CImageObject& picture, ConsolePort& console) const;

private:
    std::vector<EditStep> m_steps;
};

}  // namespace quillon::cli
