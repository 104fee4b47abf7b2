#pragma once

#include "edit/LCutListAudio.h"

#include <QWidget>

#include <cstdint>

// A waveform control: draws one column of peaks per pixel for the view
// range of a private copy of a document's cut list. A worker thread fills
// the columns (from the audio, or from the graph files beyond 256 frames per
// pixel) so that painting never waits for audio. It shows the selection, the
// end of the audio and the cursor, and lets the user select with the mouse.
class LOVWaveWindow : public QWidget {
    Q_OBJECT
public:
    // Notification codes of Notify().
    enum Code { kReleased = 2, kBeyondRight = 4, kBackFromRight = 5, kBeyondLeft = 6, kBackFromLeft = 7,
                kSelChanging = 8 };

    explicit LOVWaveWindow(QWidget* pParent = nullptr);
    ~LOVWaveWindow() override;

    // Copies the list and restarts the worker; forgets the view.
    void SetSource(const LCutListAudio& audio, int iDisplayMode, bool bVerticalZoom);
    void Stop();
    void SetView(int32_t iStart, int32_t iLength);
    void SetEndMark(int32_t iFrames);
    void SetSelStart(int32_t iFrame);
    void SetSelEnd(int32_t iFrame);
    void SetCursor(int32_t iFrame, int32_t iBandLength);
    int32_t FrameToPixel(int32_t iFrame) const;
    int32_t PixelToFrame(int32_t iPixel) const;

    int32_t GetSelStart() const;
    int32_t GetSelEnd() const;
    int32_t GetCursor() const;
    int32_t GetViewStart() const;
    int32_t GetViewLength() const;

signals:
    // The mouse changed the selection or cursor (codes above).
    void Notify(int iCode);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    // Tests wait for the worker and read the columns through it.
    friend class LOVWaveWindowProbe;
    struct State;
    State* pState;

    // For tests: true when the worker has processed the latest request;
    // copies of both column arrays (LWaveView::kMaxColumns bytes each).
    bool IsWorkerIdle() const;
    void CopyColumns(uint8_t* pTop, uint8_t* pBottom) const;
    // Repaints columns [x0, x1) (posted by the worker).
    void UpdateColumns(int32_t x0, int32_t x1);
    // Repaints the columns between two pixels, both included.
    void UpdateBetween(int32_t iPixelA, int32_t iPixelB);
    // Frame under a client x, within the view's columns.
    int32_t FrameAt(int iClientX) const;
    // Column under a client x, not clamped.
    int32_t ColumnAt(int iClientX) const;
    void SetEdgeState(int16_t iState);
};
