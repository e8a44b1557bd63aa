// The remembered values the file dialogs read and write. The program may
// keep them in its own settings object; QSettingsDialogSettings reads and
// writes the settings store directly at the moment of use.
#pragma once

#include <QString>

namespace quillon {

class DialogSettings {
public:
    virtual ~DialogSettings() = default;
    virtual bool filePreview() const = 0;  // "FileDialogPreview"
    virtual void setFilePreview(bool on) = 0;
    virtual QString initialSavePath() const = 0;  // "InitialSavePath"
    virtual void setInitialSavePath(const QString& folder) = 0;
    virtual int initialSaveFormat() const = 0;  // "InitialSaveFormat", 1 to 20
    virtual void setInitialSaveFormat(int index) = 0;
    virtual int initialSaveQuality() const = 0;  // "InitialSaveQuality", 5 to 100
    virtual void setInitialSaveQuality(int quality) = 0;
};

// QSettings("Tessaly", "Quillon"), group "Settings". With previewField the
// preview value is read from and written to that field instead: the program
// keeps it in memory and writes it with its other settings at exit.
class QSettingsDialogSettings : public DialogSettings {
public:
    explicit QSettingsDialogSettings(bool* previewField = nullptr) : m_previewField(previewField) {}
    bool filePreview() const override;
    void setFilePreview(bool on) override;
    QString initialSavePath() const override;
    void setInitialSavePath(const QString& folder) override;
    int initialSaveFormat() const override;
    void setInitialSaveFormat(int index) override;
    int initialSaveQuality() const override;
    void setInitialSaveQuality(int quality) override;

private:
    bool* m_previewField;
};

}  // namespace quillon
