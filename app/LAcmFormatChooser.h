#pragma once

#include "platform/acm/LAcm.h"

#include <QDialog>
#include <vector>

class QComboBox;

// The compressed WAV format chooser: a Format list (one entry per codec
// format tag) and an Attributes list (that tag's formats), over the codec
// manager's formats, opened on a given format.
class LAcmFormatChooser : public QDialog {
    Q_OBJECT
public:
    // iChannels 0 offers formats of any channel count.
    LAcmFormatChooser(
        const LWaveFormat& initial, int iChannels, const QString& strTitle, QWidget* pParent);
    // The format chosen; the initial one when the list is empty.
    LWaveFormat GetFormat() const;

private:
    void FillAttributes(const QString& strTag);

    std::vector<LAcmFormatChoice> choices;
    LWaveFormat initial;
    QComboBox* pTags;
    QComboBox* pAttributes;
};
