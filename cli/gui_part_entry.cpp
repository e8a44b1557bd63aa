// The entry of quillon-cli-gui.so: the commands and editing steps that draw.
#include "cli/commands.h"
#include "cli/edit_options.h"
#include "cli/gui_part.h"
#include "effects/burn_in.h"
#include "effects/floating_build.h"
#include "image/image_object.h"
#include "effects/tracker_geometry.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace quillon::cli {
namespace {

// Text needs the font database of a GUI application; the command line has
// none of its own and no screen.
void ensureGuiApplication() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    static int argc = 3;
    static char name[] = "quillon-cli", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

bool writeText(CImageObject& picture, const TextEdit& t) {
    ensureGuiApplication();
    TextSettings settings = initialTextSettings();
    if (!t.font.isEmpty()) settings.font.setFamily(t.font);
    settings.font.setPixelSize(mulDiv(t.points, 96, 72));
    settings.font.setUnderline(t.underline);
    settings.font.setStrikeOut(t.strikeOut);
    settings.colour = imaging::makeColorRef(qRed(t.colour), qGreen(t.colour), qBlue(t.colour));
    settings.text = t.text;
    const QImage mask = textMask(settings);
    if (mask.isNull()) return true;  // an empty text writes nothing
    int x = t.x, y = t.y;
    keepOnePixelOver(x, y, mask.width(), mask.height(), picture.width(), picture.height());
    return burnInText(picture, x, y, mask, settings.colour);
}

const GuiPart kPart = {runPrint, runThumbnail, runThumbnails, pasteAt, moveSelection, clearToWhite, writeText};

}  // namespace
}  // namespace quillon::cli

extern "C" __attribute__((visibility("default"))) const quillon::cli::GuiPart* quillonCliGuiPart() {
    return &quillon::cli::kPart;
}
