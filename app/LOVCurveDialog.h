#pragma once

#include "effects/LDialogValues.h"
#include "engine/LSoundPlayer.h"

#include <QDialog>
#include <string>

class LBrainWaveWindow;
class QPushButton;

// The "Equalizer" and "Envelope" dialogs: the curve editor over a copy of
// the values' curve, "Set Flat", and for a curve with a preview a "Preview"
// button that plays it through the dialog's own player and plays it again
// with the new curve when a drag ends. The curve is returned only on OK.
// User-interface thread only.
class LOVCurveDialog : public QDialog {
    Q_OBJECT
public:
    // iFrames and iRate: the selection the envelope's label times.
    LOVCurveDialog(const std::string& strTitle, const LDialogValues& values, int32_t iFrames,
        int32_t iRate, bool bAudio, QWidget* pParent);

    void Take(LDialogValues& values) const { values.curve = list; }
    LBrainWaveWindow* GetEditor() const { return pEditor; }
    const LSoundPlayer& GetPreviewPlayer() const { return player; }
    // The editor's label for curve values x and y.
    QString Label(int x, int y) const;

private:
    void Preview();

    LDialogValues shown;
    PointList list;
    int32_t iFrames;
    int32_t iRate;
    LBrainWaveWindow* pEditor;
    LSoundPlayer player;
};
