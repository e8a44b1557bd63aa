#include "dialogs/dialog_settings.h"

#include <QSettings>
#include <QVariant>

namespace quillon {

namespace {

QVariant readValue(const char* key, const QVariant& fallback) {
    QSettings settings(QStringLiteral("Tessaly"), QStringLiteral("Quillon"));
    settings.beginGroup(QStringLiteral("Settings"));
    return settings.value(QLatin1String(key), fallback);
}

void writeValue(const char* key, const QVariant& value) {
    QSettings settings(QStringLiteral("Tessaly"), QStringLiteral("Quillon"));
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QLatin1String(key), value);
}

int readInt(const char* key, int fallback) {
    bool ok = false;
    const int value = readValue(key, fallback).toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

// Stored as the text "True" or "False"; anything else reads as false.
bool QSettingsDialogSettings::filePreview() const {
    if (m_previewField) return *m_previewField;
    return readValue("FileDialogPreview", QString()).toString() == QLatin1String("True");
}
void QSettingsDialogSettings::setFilePreview(bool on) {
    if (m_previewField) {
        *m_previewField = on;
        return;
    }
    writeValue("FileDialogPreview", on ? QStringLiteral("True") : QStringLiteral("False"));
}
QString QSettingsDialogSettings::initialSavePath() const {
    return readValue("InitialSavePath", QString()).toString();
}
void QSettingsDialogSettings::setInitialSavePath(const QString& folder) {
    writeValue("InitialSavePath", folder);
}
int QSettingsDialogSettings::initialSaveFormat() const { return readInt("InitialSaveFormat", 3); }
void QSettingsDialogSettings::setInitialSaveFormat(int index) {
    writeValue("InitialSaveFormat", index);
}
int QSettingsDialogSettings::initialSaveQuality() const {
    return readInt("InitialSaveQuality", 100);
}
void QSettingsDialogSettings::setInitialSaveQuality(int quality) {
    writeValue("InitialSaveQuality", quality);
}

}  // namespace quillon
