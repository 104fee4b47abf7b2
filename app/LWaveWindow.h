#pragma once

#include "app/LWaveControl.h"
#include "audio/LSoundSourceBase.h"

// A waveform strip over any source: one symmetric envelope of peak
// magnitudes per pixel with the position cursor (a band while scrubbing).
// Its worker always reads the source. A click moves the cursor.
class LWaveWindow : public LWaveControl {
    Q_OBJECT
public:
    // Notification code of Notify(): the button was released over the strip.
    enum Code { kReleased = 2 };

    explicit LWaveWindow(QWidget* pParent = nullptr);

    // Shares the source (no other thread may read it meanwhile) and restarts
    // the worker; forgets the view.
    void SetSource(const SourceHandle& source);

protected:
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    friend class LWaveWindowProbe;
};
