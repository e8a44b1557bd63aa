#include "app/settings.h"

#include "platform/default_programs.h"

#include <QSettings>

namespace quillon {
namespace {

const QString kGroup = QStringLiteral("Settings");

int readInt(QSettings& s, const char* key, int fallback) {
    bool ok = false;
    const int value = s.value(QLatin1String(key)).toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

void clampWindowRect(Settings& s, QSize screen) {
    const int w = screen.width(), h = screen.height();
    if (s.left < 0 || s.left >= w) s.left = 0;
    if (s.top < 0 || s.top >= h) s.top = 0;
    if (s.right < s.left || s.right > w) s.right = w - 1;
    if (s.bottom < s.top || s.bottom > h) s.bottom = h - 1;
}

Settings loadSettings(QSettings& store, QSize screen, const XdgDirs& dirs) {
    Settings s;
    store.beginGroup(kGroup);
    s.fileDialogPreview = store.value(QStringLiteral("FileDialogPreview")).toString() == QLatin1String("True");
    s.dragDrop = readInt(store, "DragDrop", 1);
    s.qv10BaudRate = int16_t(readInt(store, "QV10BaudRate", 5));
    s.qv10ReceiveTimeOut = int16_t(readInt(store, "QV10ReceiveTimeOut", 10000));
    s.qv10SendTimeOut = int16_t(readInt(store, "QV10SendTimeOut", 1000));
    s.qv10QuitKind = int16_t(readInt(store, "QV10QuitKind", 1));
    s.qv10Gamma = readInt(store, "QV10Gamma", 1);
    s.left = readInt(store, "left", 0);
    s.top = readInt(store, "top", 0);
    s.right = readInt(store, "right", screen.width() / 2);
    s.bottom = readInt(store, "bottom", screen.height() / 2);
    s.show = readInt(store, "show", kShowNormal);
    s.browserPath = store.value(QStringLiteral("BrowserPath"), QStringLiteral("*")).toString();
    s.htmlEditorPath = store.value(QStringLiteral("HTMLEditorPath"), QStringLiteral("*")).toString();
    s.ftpPath = store.value(QStringLiteral("FTPPath")).toString();
    store.endGroup();
    clampWindowRect(s, screen);
    if (s.browserPath.startsWith(u'*')) s.browserPath = discoverBrowser(dirs);
    if (s.htmlEditorPath.startsWith(u'*')) s.htmlEditorPath = discoverHtmlEditor(dirs);
    return s;
}

void saveSettings(QSettings& store, const Settings& s) {
    store.beginGroup(kGroup);
    store.setValue(QStringLiteral("FileDialogPreview"), s.fileDialogPreview ? "True" : "False");
    store.setValue(QStringLiteral("QV10BaudRate"), int(s.qv10BaudRate));
    store.setValue(QStringLiteral("QV10ReceiveTimeOut"), int(s.qv10ReceiveTimeOut));
    store.setValue(QStringLiteral("QV10SendTimeOut"), int(s.qv10SendTimeOut));
    store.setValue(QStringLiteral("QV10QuitKind"), int(s.qv10QuitKind));
    store.setValue(QStringLiteral("QV10Gamma"), s.qv10Gamma);
    store.setValue(QStringLiteral("left"), s.left);
    store.setValue(QStringLiteral("top"), s.top);
    store.setValue(QStringLiteral("right"), s.right);
    store.setValue(QStringLiteral("bottom"), s.bottom);
    store.setValue(QStringLiteral("show"), s.show);
    store.setValue(QStringLiteral("DragDrop"), s.dragDrop);
    store.setValue(QStringLiteral("BrowserPath"), s.browserPath);
    store.setValue(QStringLiteral("HTMLEditorPath"), s.htmlEditorPath);
    store.setValue(QStringLiteral("FTPPath"), s.ftpPath);
    store.endGroup();
    store.sync();
}

SaveDefaults readSaveDefaults(QSettings& store) {
    SaveDefaults d;
    store.beginGroup(kGroup);
    d.initialSavePath = store.value(QStringLiteral("InitialSavePath")).toString();
    d.initialSaveFormat = readInt(store, "InitialSaveFormat", 3);
    d.initialSaveQuality = readInt(store, "InitialSaveQuality", 100);
    store.endGroup();
    return d;
}

void writeSaveDefaults(QSettings& store, const SaveDefaults& d) {
    store.beginGroup(kGroup);
    store.setValue(QStringLiteral("InitialSavePath"), d.initialSavePath);
    store.setValue(QStringLiteral("InitialSaveFormat"), d.initialSaveFormat);
    store.setValue(QStringLiteral("InitialSaveQuality"), d.initialSaveQuality);
    store.endGroup();
    store.sync();
}

}  // namespace quillon
