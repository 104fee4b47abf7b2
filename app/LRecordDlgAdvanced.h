#pragma once

#include <QDialog>

class LDBEdit;
class QCheckBox;

// "Advanced Settings" of the record dialog: AutoTrim, voice activation (only
// with AutoTrim) and the threshold, read from and stored in section Recorder
// on OK.
class LRecordDlgAdvanced : public QDialog {
    Q_OBJECT
public:
    explicit LRecordDlgAdvanced(QWidget* pParent = nullptr);

    void accept() override;
    QCheckBox& GetAutoTrim() const { return *pAutoTrim; }
    QCheckBox& GetVoice() const { return *pVoice; }
    LDBEdit& GetThreshold() const { return *pThreshold; }

private:
    QCheckBox* pAutoTrim = nullptr;
    QCheckBox* pVoice = nullptr;
    LDBEdit* pThreshold = nullptr;
};
