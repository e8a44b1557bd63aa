// The user settings, kept in QSettings("Tessaly", "Quillon") under the group
// "Settings". Read once at start-up, written when the main frame closes and
// when the session ends. The save dialog's three values are read and written
// at the moment of use (readSaveDefaults / writeSaveDefaults).
#pragma once

#include <QSize>
#include <QString>
#include <cstdint>

class QSettings;

namespace quillon {

struct XdgDirs;

struct Settings {
    bool fileDialogPreview = false;
    int dragDrop = 1;
    int16_t qv10BaudRate = 5;
    int16_t qv10ReceiveTimeOut = 10000;
    int16_t qv10SendTimeOut = 1000;
    int16_t qv10QuitKind = 1;
    int qv10Gamma = 1;
    int left = 0, top = 0, right = 0, bottom = 0;  // the frame's normal rectangle
    int show = 1;                                  // show command at start-up
    QString browserPath = QStringLiteral("*");
    QString htmlEditorPath = QStringLiteral("*");
    QString ftpPath;
};

struct SaveDefaults {
    QString initialSavePath;
    int initialSaveFormat = 3;
    int initialSaveQuality = 100;
};

// Show commands used by the "show" value.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;

// Reads every value with its default, clamps the window rectangle to the
// screen and discovers the browser and HTML editor where the value is "*".
Settings loadSettings(QSettings& store, QSize screen, const XdgDirs& dirs);
// Clamps a rectangle read from the store against a screen of that size.
void clampWindowRect(Settings& s, QSize screen);
void saveSettings(QSettings& store, const Settings& s);

SaveDefaults readSaveDefaults(QSettings& store);
void writeSaveDefaults(QSettings& store, const SaveDefaults& d);

}  // namespace quillon
