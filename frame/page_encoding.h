// The encoding of an HTML page's bytes: its META charset when it names one we
// know, else guessed from the bytes. Japanese pages come in Shift-JIS, JIS
// (ISO-2022-JP), EUC-JP and UTF-8.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillon {

enum class PageEncoding { ShiftJis, Jis, EucJp, Utf8 };

// The encoding a charset name stands for ("Shift_JIS", "x-sjis", "euc-jp", ...).
std::optional<PageEncoding> encodingOfCharset(QByteArrayView name);
// The charset of the first META tag in the page that declares one.
std::optional<PageEncoding> metaCharset(QByteArrayView page);
// Guessed from the bytes: JIS escapes, else valid UTF-8, else valid EUC-JP,
// else Shift-JIS.
PageEncoding detectEncoding(QByteArrayView page);
PageEncoding pageEncoding(QByteArrayView page);

// Text of a value taken from a page of that encoding. The tag reader has
// already turned JIS pairs into Shift-JIS, so JIS values decode as Shift-JIS.
QString decodePageText(QByteArrayView bytes, PageEncoding encoding);

}  // namespace quillon
