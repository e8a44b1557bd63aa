#include "frame/page_encoding.h"

#include <QStringDecoder>

#include <cstring>

namespace quillon {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool startsWithNoCase(QByteArrayView text, qsizetype at, const char* word) {
    const qsizetype n = qsizetype(std::strlen(word));
    if (at + n > text.size()) return false;
    for (qsizetype i = 0; i < n; ++i)
        if (lower(text[at + i]) != word[i]) return false;
    return true;
}

bool isAscii(QByteArrayView bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool isUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        unsigned min;
        if (c >= 0xC2 && c <= 0xDF) extra = 1, min = 0x80;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2, min = 0x800;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3, min = 0x10000;
        else return false;
        if (i + extra >= n) return false;
        unsigned code = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

// EUC-JP: JIS X 0208 pairs A1-FE A1-FE, half-width kana 8E A1-DF, and
// JIS X 0212 triples 8F A1-FE A1-FE.
bool isEucJp(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    auto high = [](unsigned char b) { return b >= 0xA1 && b <= 0xFE; };
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
        } else if (high(c)) {
            if (i + 1 >= n || !high(p[i + 1])) return false;
            i += 2;
        } else if (c == 0x8E) {
            if (i + 1 >= n || p[i + 1] < 0xA1 || p[i + 1] > 0xDF) return false;
            i += 2;
        } else if (c == 0x8F) {
            if (i + 2 >= n || !high(p[i + 1]) || !high(p[i + 2])) return false;
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<PageEncoding> encodingOfCharset(QByteArrayView name) {
    QByteArray n = name.toByteArray().toLower();
    n.replace('-', "").replace('_', "");
    if (n == "shiftjis" || n == "sjis" || n == "xsjis" || n == "windows31j" || n == "cp932" ||
        n == "mskanji" || n == "csshiftjis" || n == "ms932")
        return PageEncoding::ShiftJis;
    if (n == "iso2022jp" || n == "jis" || n == "csiso2022jp") return PageEncoding::Jis;
    if (n == "eucjp" || n == "xeucjp" || n == "cseucpkdfmtjapanese") return PageEncoding::EucJp;
    if (n == "utf8") return PageEncoding::Utf8;
    return std::nullopt;
}

std::optional<PageEncoding> metaCharset(QByteArrayView page) {
    for (qsizetype at = page.indexOf('<'); at >= 0; at = page.indexOf('<', at + 1)) {
        if (!startsWithNoCase(page, at + 1, "meta")) continue;
        qsizetype end = page.indexOf('>', at);
        if (end < 0) end = page.size();
        for (qsizetype i = at + 5; i + 7 <= end; ++i) {
            if (!startsWithNoCase(page, i, "charset")) continue;
            qsizetype j = i + 7;
            auto skip = [&](auto pred) {
                while (j < end && pred(page[j])) ++j;
            };
            skip([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
            if (j >= end || page[j] != '=') continue;
            ++j;
            skip([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '"' || c == '\''; });
            const qsizetype start = j;
            skip([](char c) {
                return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.' || c == ':';
            });
            return encodingOfCharset(page.sliced(start, j - start));
        }
    }
    return std::nullopt;
}

PageEncoding detectEncoding(QByteArrayView page) {
    if (page.indexOf("\x1b$B") >= 0 || page.indexOf("\x1b$@") >= 0) return PageEncoding::Jis;
    if (isUtf8(page)) return PageEncoding::Utf8;
    if (isEucJp(page)) return PageEncoding::EucJp;
    return PageEncoding::ShiftJis;
}

PageEncoding pageEncoding(QByteArrayView page) {
    if (const auto declared = metaCharset(page)) return *declared;
    return detectEncoding(page);
}

QString decodePageText(QByteArrayView bytes, PageEncoding encoding) {
    if (isAscii(bytes)) return QString::fromLatin1(bytes);
    if (encoding == PageEncoding::Utf8) return QString::fromUtf8(bytes);
    // Windows-31J keeps 0x5C a backslash, as pages written on Windows mean it.
    QStringDecoder decoder(encoding == PageEncoding::EucJp ? "EUC-JP" : "windows-31j");
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

}  // namespace quillon
