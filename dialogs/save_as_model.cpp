#include "dialogs/save_as_model.h"

#include "dialogs/file_names.h"

namespace quillon {

QString nameExtensionOf(const SaveFormatList& formats, int formatIndex) {
    return formats.extension(formatIndex).toLower();
}

SaveAsModel::SaveAsModel(const SaveFormatList& formats, int formatIndex, const QString& fileName,
                         const SavePictureFacts& picture)
    : m_formats(formats),
      m_formatIndex(formatIndex),
      m_fileName(fileName),
      m_bits(picture.bitsPerPixel),
      m_palette(picture.palette),
      m_gif(picture.gif) {}

void SaveAsModel::opened() {
    if (!m_fileName.isEmpty() && nameExtension(m_fileName).isEmpty() &&
        !m_fileName.endsWith(u'.'))
        m_fileName = replaceExtension(m_fileName, nameExtensionOf(m_formats, m_formatIndex));
}

void SaveAsModel::chooseType(int formatIndex) {
    m_formatIndex = formatIndex;
    if (!m_fileName.isEmpty())
        m_fileName = replaceExtension(m_fileName, nameExtensionOf(m_formats, formatIndex));
    // The options are no longer offered: a pick in progress has nothing to set.
    if (!gifOptionsEnabled()) m_picking = false;
}

bool SaveAsModel::gifOptionsEnabled() const {
    return m_formatIndex == kGifFormatIndex && m_bits <= 8;
}

std::optional<QRgb> SaveAsModel::swatchColour() const {
    if (!gifOptionsEnabled() || !transparent()) return std::nullopt;
    const int index = m_gif.transparentIndex;
    if (index < 0 || index >= m_palette.size()) return qRgb(0, 0, 0);
    return m_palette[index];
}

bool SaveAsModel::clickSwatch() {
    if (gifOptionsEnabled() && transparent()) m_picking = true;
    return m_picking;
}

void SaveAsModel::pickedInView(int pixelIndex) {
    m_gif.transparent = 1;
    m_gif.transparentIndex = pixelIndex;
    m_picking = false;
}

bool SaveAsModel::cancel() {
    if (!m_picking) return true;
    m_picking = false;
    return false;
}

GifOptions SaveAsModel::acceptedGifOptions(const GifOptions& picture) const {
    GifOptions result = picture;
    result.interlaced = m_gif.interlaced;
    result.transparent = m_gif.transparent;
    result.transparentIndex = m_gif.transparentIndex;
    result.aspect = 0;
    result.background = 0;
    return result;
}

}  // namespace quillon
