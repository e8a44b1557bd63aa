// Dialog settings held in memory, with the settings store's defaults.
#pragma once

#include "dialogs/dialog_settings.h"

struct MemorySettings : quillon::DialogSettings {
    bool preview = false;
    QString savePath;
    int saveFormat = 3;
    int saveQuality = 100;
    int writes = 0;
    bool filePreview() const override { return preview; }
    void setFilePreview(bool on) override { preview = on; ++writes; }
    QString initialSavePath() const override { return savePath; }
    void setInitialSavePath(const QString& folder) override { savePath = folder; ++writes; }
    int initialSaveFormat() const override { return saveFormat; }
    void setInitialSaveFormat(int index) override { saveFormat = index; ++writes; }
    int initialSaveQuality() const override { return saveQuality; }
    void setInitialSaveQuality(int quality) override { saveQuality = quality; ++writes; }
};
