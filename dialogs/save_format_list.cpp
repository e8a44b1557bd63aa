#include "dialogs/save_format_list.h"

#include "image/save_formats.h"

namespace quillon {

int SaveFormatList::indexOf(const QString& ext) const {
    for (int i = 0; i < count(); ++i)
        if (extensions[i].compare(ext, Qt::CaseInsensitive) == 0) return i + 1;
    return 0;
}

QString SaveFormatList::extension(int index) const {
    if (extensions.isEmpty()) return QString();
    return index >= 1 && index <= count() ? extensions[index - 1] : extensions.front();
}

namespace {

SaveFormatList buildList() {
    SaveFormatList list;
    for (const SaveFormat& format : saveFormats())
        list.extensions << QString::fromLatin1(format.extension);
    list.saveAsFilter = saveAsFilter();
    list.openFilter = openFilter();
    return list;
}

}  // namespace

const SaveFormatList& saveFormatList() {
    static const SaveFormatList list = buildList();
    return list;
}

QStringList toNameFilters(const QString& barFilter) {
    const QStringList parts = barFilter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;  // the "||" that ends the list
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        filters << parts[i] + " (" + patterns.join(u' ') + ")";
    }
    return filters;
}

}  // namespace quillon
