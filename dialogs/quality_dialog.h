// The JPEG quality dialog (template 1030, "画質の設定"): edit 1031 with its
// spin control 1032, check box 1033 "ﾌﾟﾛｸﾞﾚｯｼﾌﾞJPEG(&P)". OK refuses a value
// outside 5 to 100 with message 5006 and stays open.
#pragma once

#include "dialogs/quality_model.h"

#include <QAbstractSpinBox>
#include <QDialog>

class QCheckBox;

namespace quillon {

class UiPort;

// An edit with an up-down control: any number may be typed (OK judges it),
// the arrows step inside 5 to 100.
class CQualitySpin : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit CQualitySpin(int value, QWidget* parent = nullptr);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    QSize sizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_last;
};

class CQualityDlg : public QDialog {
    Q_OBJECT
public:
    CQualityDlg(QualityModel& model, UiPort& ui, QWidget* parent = nullptr);
    void accept() override;

    CQualitySpin* spin() const { return m_spin; }

private:
    QualityModel& m_model;
    UiPort& m_ui;
    CQualitySpin* m_spin;
    QCheckBox* m_progressive;
};

}  // namespace quillon
