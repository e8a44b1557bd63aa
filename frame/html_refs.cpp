#include "frame/html_refs.h"

#include "frame/page_encoding.h"
#include "frame/tag_reader.h"
#include "image/save_formats.h"
#include "resources/strings.h"
#include "ui/ui_port.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
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

namespace {

// The scan over the pieces of a reader; the page's bytes are asked for only
// when a value outside ASCII needs the page's encoding.
ReferenceScan scanPieces(TagReader& reader, const QString& htmlFolder,
                         const std::function<QByteArray()>& wholePage) {
    ReferenceScan scan;
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
    const PageEncoding encoding = wide ? pageEncoding(wholePage()) : PageEncoding::Utf8;
    // A value named again gives the same answer: decode and look it up once.
    std::unordered_map<std::string_view, std::optional<PictureReference>> seen;
    scan.references.reserve(qsizetype(values.size()));
    for (const auto& [offset, length] : values) {
        const std::string_view raw(kept.constData() + offset, size_t(length));
        auto [known, first] = seen.try_emplace(raw);
        if (first) {
            const QString value = decodePageText(QByteArrayView(raw.data(), qsizetype(raw.size())), encoding);
            if (hasReadableExtension(value)) {
                const QString path = referencePath(htmlFolder, value);
                if (QFileInfo::exists(path)) known->second = PictureReference{value, path};
            }
        }
        if (known->second) scan.references.append(*known->second);
    }
    return scan;
}

}  // namespace

ReferenceScan scanPictureReferences(QByteArrayView page, const QString& htmlFolder) {
    TagReader reader(page);
    return scanPieces(reader, htmlFolder, [page] { return page.toByteArray(); });
}

ReferenceScan scanPictureReferences(const QString& htmlPath, UiPort& ui) {
    QFile file(htmlPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        ui.message(formatMessage(5028, htmlPath), MsgButtons::Ok, MsgIcon::Stop);
        return {};
    }
    TagReader reader(file);
    ReferenceScan scan = scanPieces(reader, htmlFolderOf(htmlPath), [&file] {
        file.seek(0);
        return file.readAll();
    });
    // A read error mid-way ends the scan like the end of the page would not.
    if (reader.failed()) scan.complete = false;
    return scan;
}

}  // namespace quillon
