#include "frame/html_refs.h"

#include "frame/page_encoding.h"
#include "frame/tag_reader.h"
#include "image/save_formats.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstring>
#include <optional>
#include <vector>

namespace quillon {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// C's isspace in the "C" locale.
bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool startsWithNoCase(const char* text, const char* word) {
    for (; *word; ++text, ++word)
        if (lower(*text) != *word) return false;
    return true;
}

// The tag names that carry pictures, each followed by one blank: a tag
// without attributes never matches.
qsizetype pictureTagPrefix(const char* piece) {
    for (const char* prefix : {"<img ", "<body ", "<embed "})
        if (startsWithNoCase(piece, prefix)) return qsizetype(std::strlen(prefix));
    return 0;
}

// The raw value of the first reference attribute of a picture tag, trimmed.
std::optional<QByteArrayView> referenceValue(const char* piece) {
    if (piece[0] == '<' && piece[1] == '!') return std::nullopt;
    const qsizetype prefix = pictureTagPrefix(piece);
    if (prefix == 0) return std::nullopt;
    const char* cursor = piece + prefix;
    for (;;) {
        while (*cursor && isSpace(*cursor)) ++cursor;
        if (!*cursor) return std::nullopt;
        qsizetype name = 0;
        for (const char* attribute : {"src", "lowsrc", "background"}) {
            if (startsWithNoCase(cursor, attribute)) {
                name = qsizetype(std::strlen(attribute));
                break;
            }
        }
        if (name > 0) {
            // Only the first reference attribute counts, whatever it holds.
            const char* equals = std::strchr(cursor + name, '=');
            if (!equals) return std::nullopt;
            const char* open = std::strchr(equals + 1, '"');
            if (!open) return std::nullopt;
            const char* close = std::strchr(open + 1, '"');
            if (!close) return std::nullopt;  // an unclosed value is dropped
            const char* begin = open + 1;
            const char* end = close;
            while (begin < end && isSpace(*begin)) ++begin;
            while (end > begin && isSpace(end[-1])) --end;
            return QByteArrayView(begin, end - begin);
        }
        // Some other attribute: up to a blank or ">" outside double quotes.
        bool quoted = false;
        while (*cursor && (quoted || (*cursor != ' ' && *cursor != '>'))) {
            if (*cursor == '"') quoted = !quoted;
            ++cursor;
        }
        if (!*cursor) return std::nullopt;
        ++cursor;
    }
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool hasReadableExtension(const QString& value) {
    if (value.size() < 3) return false;
    const QString tail = value.right(3);
    for (const QString& extension : readableExtensions())
        if (tail.compare(extension, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

QString htmlFolderOf(const QString& htmlPath) {
    const QString absolute = QFileInfo(htmlPath).absoluteFilePath();
    return absolute.left(absolute.lastIndexOf(u'/') + 1);
}

QString referencePath(const QString& htmlFolder, const QString& value) {
    QString relative = value;
    relative.replace(u'\\', u'/');
    if (relative.startsWith(u'/')) return relative;
    return htmlFolder + relative;
}

ReferenceScan scanPictureReferences(QByteArrayView page, const QString& htmlFolder) {
    ReferenceScan scan;
    TagReader reader(page);
    char piece[TagReader::kPieceCapacity];
    // The piece buffer is reused: the values' bytes are kept one after another.
    QByteArray kept;
    std::vector<std::pair<qsizetype, qsizetype>> values;
    bool wide = false;
    for (;;) {
        if (!reader.read(piece, TagReader::kPieceCapacity)) break;
        if (!piece[0]) {
            scan.complete = true;
            break;
        }
        if (const auto value = referenceValue(piece)) {
            values.emplace_back(kept.size(), value->size());
            kept.append(*value);
            wide = wide || !isAscii(*value);
        }
    }
    // The page's encoding matters only for values outside ASCII.
    const PageEncoding encoding = wide ? pageEncoding(page) : PageEncoding::Utf8;
    QHash<QString, bool> exists;
    scan.references.reserve(qsizetype(values.size()));
    for (const auto& [offset, length] : values) {
        const QString value = decodePageText(QByteArrayView(kept).sliced(offset, length), encoding);
        if (!hasReadableExtension(value)) continue;
        const QString path = referencePath(htmlFolder, value);
        auto known = exists.find(path);
        if (known == exists.end()) known = exists.insert(path, QFileInfo::exists(path));
        if (*known) scan.references.append({value, path});
    }
    return scan;
}

ReferenceScan scanPictureReferences(const QString& htmlPath, UiPort& ui) {
    QFile file(htmlPath);
    QByteArray bytes;
    bool read = file.open(QIODevice::ReadOnly);
    const uchar* mapped = nullptr;
    qint64 size = 0;
    if (read) {
        size = file.size();
        mapped = size > 0 ? file.map(0, size) : nullptr;
        if (!mapped) {
            bytes = file.readAll();
            read = file.error() == QFileDevice::NoError;
        }
    }
    if (!read) {
        ui.message(formatMessage(5028, htmlPath), MsgButtons::Ok, MsgIcon::Stop);
        return {};
    }
    const QByteArrayView page =
        mapped ? QByteArrayView(reinterpret_cast<const char*>(mapped), size) : QByteArrayView(bytes);
    return scanPictureReferences(page, htmlFolderOf(htmlPath));
}

}  // namespace quillon
