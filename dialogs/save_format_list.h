// What the file dialogs need of the save-format table: the extensions by
// format index (1 to 20) and the two filter strings in their "|" form.
#pragma once

#include <QString>
#include <QStringList>

namespace quillon {

constexpr int kTifFormatIndex = 1;
constexpr int kGifFormatIndex = 4;
constexpr int kJpgFormatIndex = 7;

struct SaveFormatList {
    QStringList extensions;  // extension of index i at i - 1, upper case
    QString saveAsFilter;    // "description|pattern|...||"
    QString openFilter;

    int count() const { return int(extensions.size()); }
    // 1-based index of ext (any case), or 0 when the table has no such extension.
    int indexOf(const QString& ext) const;
    // Extension of a 1-based index; the first one for an index out of range.
    QString extension(int index) const;
};

// The program's save-format table (image/save_formats.h) in this form.
const SaveFormatList& saveFormatList();

// Turns a "|" filter into the file dialog's name filters, one per pair:
// "description (patterns)" so that the dialog shows the description alone
// when its filter details are hidden. ";" between patterns becomes a blank,
// and "*.*" becomes "*" (on this platform "*.*" would skip names without a dot).
QStringList toNameFilters(const QString& barFilter);

}  // namespace quillon
