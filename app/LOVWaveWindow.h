#pragma once

#include "app/LWaveControl.h"
#include "edit/LCutListAudio.h"

// A waveform control: draws one column of peaks per pixel for the view
// range of a private copy of a document's cut list. A worker thread fills
// the columns (from the audio, or from the graph files beyond 256 frames per
// pixel) so that painting never waits for audio. It shows the selection, the
// end of the audio and the cursor, and lets the user select with the mouse.
class LOVWaveWindow : public LWaveControl {
    Q_OBJECT
public:
    // Notification codes of Notify().
    enum Code {
        kReleased = 2,
        kBeyondRight = 4,
        kBackFromRight = 5,
        kBeyondLeft = 6,
        kBackFromLeft = 7,
        kSelChanging = 8
    };

    explicit LOVWaveWindow(QWidget* pParent = nullptr);
    ~LOVWaveWindow() override;

    // Copies the list and restarts the worker; forgets the view.
    void SetSource(const LCutListAudio& audio, int iDisplayMode, bool bVerticalZoom);
    void SetSelStart(int32_t iFrame) { MoveMark(&LWaveMarks::sSelStart, iFrame); }
    void SetSelEnd(int32_t iFrame) { MoveMark(&LWaveMarks::sSelEnd, iFrame); }

    int32_t GetSelStart() const { return ReadMark(&LWaveMarks::sSelStart); }
    int32_t GetSelEnd() const { return ReadMark(&LWaveMarks::sSelEnd); }

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    // Tests wait for the worker and read the columns through it.
    friend class LOVWaveWindowProbe;

    // While a drag is beyond an edge, that end of the selection follows the
    // view as it scrolls (called by the worker under csPaint).
    void FollowEdge();
    void SetEdgeState(int16_t iState);

    // Guarded by worker.csPaint.
    int32_t sAnchor = 0;
    int16_t iEdgeState = 0;
    // User-interface thread only.
    bool bCaptured = false;
};
