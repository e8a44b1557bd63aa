// The state of the Save As dialog without its widgets: the chosen format,
// the file name that follows it, the GIF options and their enabling, the
// colour the swatch shows, and the pick mode in which the user clicks a
// pixel of the picture to choose the transparent colour.
#pragma once

#include "dialogs/save_format_list.h"
#include "image/gif_options.h"

#include <QList>
#include <QRgb>
#include <QString>

#include <optional>

namespace quillon {

// The extension a file name gets for a format: the table's, in the lower
// case usual for file names here (the table compares without regard to case).
QString nameExtensionOf(const SaveFormatList& formats, int formatIndex);

// What the dialog knows of the picture being saved.
struct SavePictureFacts {
    int bitsPerPixel = 24;
    QList<QRgb> palette;  // empty for pictures above 8 bits
    GifOptions gif;
};

class SaveAsModel {
public:
    SaveAsModel(const SaveFormatList& formats, int formatIndex, const QString& fileName,
                const SavePictureFacts& picture);

    int formatIndex() const { return m_formatIndex; }
    QString fileName() const { return m_fileName; }
    const SaveFormatList& formats() const { return m_formats; }

    // The dialog opened: a name without "." gets the chosen type's extension.
    void opened();
    // The user typed a name.
    void setFileName(const QString& name) { m_fileName = name; }
    // The user chose another file type (1-based index); a non-empty name
    // takes its extension.
    void chooseType(int formatIndex);

    // "ｲﾝﾀｰﾚｰｽ(&I)" and "透明GIF(&G)" are offered only for GIF pictures of 8
    // bits or fewer.
    bool gifOptionsEnabled() const;
    bool interlaced() const { return m_gif.interlaced != 0; }
    bool transparent() const { return m_gif.transparent != 0; }
    int transparentIndex() const { return m_gif.transparentIndex; }
    void setInterlaced(bool on) { m_gif.interlaced = on ? 1 : 0; }
    void setTransparent(bool on) { m_gif.transparent = on ? 1 : 0; }
    // The palette colour at the transparent index while transparency is on
    // and offered; none means the swatch shows the dialog's face colour.
    std::optional<QRgb> swatchColour() const;

    // Pick mode. A click on the swatch starts it when transparency is on and
    // offered; it ends with a pixel picked in the active view, with a click in
    // the dialog, or with Cancel.
    bool picking() const { return m_picking; }
    bool clickSwatch();
    void pickedInView(int pixelIndex);
    void endPick() { m_picking = false; }
    // Cancel: in pick mode it only ends pick mode (false: the dialog stays),
    // otherwise the dialog may close (true).
    bool cancel();

    // The GIF options to keep with the picture after OK: the dialog's
    // interlace and transparency over the picture's, aspect and background 0.
    GifOptions acceptedGifOptions(const GifOptions& picture) const;

private:
    const SaveFormatList& m_formats;
    int m_formatIndex;
    QString m_fileName;
    int m_bits;
    QList<QRgb> m_palette;
    GifOptions m_gif;
    bool m_picking = false;
};

}  // namespace quillon
