#pragma once

#include "features/LSettingsPages.h"

#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// The Settings sheet's "Audio Processing" page: the output device, playback
// after edits, the auto-trim threshold and the audio working folder.
class LAudioProcessPage : public QWidget {
    Q_OBJECT
public:
    explicit LAudioProcessPage(QWidget* pParent = nullptr);
    // Stores the values; false with the reason when the working folder was
    // refused (nothing is stored then). bFolderChanged is set when the
    // working folder is another one now.
    bool Apply(bool& bFolderChanged, std::string& strError);

private:
    void CmBrowse();

    QComboBox* pDevice;
    QCheckBox* pAutoPlayback;
    QSpinBox* pThreshold;
    QLineEdit* pFolder;
};
