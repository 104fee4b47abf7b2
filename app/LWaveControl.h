#pragma once

#include "app/LWavePainter.h"
#include "app/LWaveWorker.h"

#include <QWidget>
#include <cstdint>

// What the two waveform controls share: the worker thread that fills one
// column of peaks per pixel, the marks drawn over the columns (cursor or
// scrub band, selection, end of the audio), painting, and the mapping
// between frames and pixels. Column x is drawn at client x + 1.
class LWaveControl : public QWidget {
    Q_OBJECT
public:
    ~LWaveControl() override;

    // Stops the worker and shows the control disabled.
    void Stop();
    void SetView(int32_t iStart, int32_t iLength);
    void SetEndMark(int32_t iFrames);
    void SetCursor(int32_t iFrame, int32_t iBandLength);
    int32_t FrameToPixel(int32_t iFrame) const;
    int32_t PixelToFrame(int32_t iPixel) const;

    int32_t GetCursor() const;
    int32_t GetCursorLength() const;
    int32_t GetViewStart() const;
    int32_t GetViewLength() const;
    // True between a source being set and Stop.
    bool IsRunning() const { return isEnabled(); }

signals:
    // The mouse changed the cursor or selection (codes of the controls).
    void Notify(int iCode);

protected:
    // fnScrolled runs on the worker after a scroll, under csPaint.
    LWaveControl(QWidget* pParent, LWaveWorker::ScrolledFn fnScrolled);

    // Starts the worker over the columns' input, set while it was stopped.
    void StartWorker();
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    // Sets one mark and repaints the columns between its old and new pixels.
    void MoveMark(int32_t LWaveMarks::*pMark, int32_t iFrame);
    // Reads one mark under the lock.
    int32_t ReadMark(int32_t LWaveMarks::*pMark) const;
    // Frame under a client x, within the view's columns.
    int32_t FrameAt(int iClientX) const;
    // Repaints columns [x0, x1) (posted by the worker).
    void UpdateColumns(int32_t x0, int32_t x1);
    // Repaints the columns between two pixels, both included.
    void UpdateBetween(int32_t iPixelA, int32_t iPixelB);

    // For tests: true when the worker has processed the latest request;
    // copies of both column arrays (LWaveView::kMaxColumns bytes each).
    bool IsWorkerIdle() const;
    void CopyColumns(uint8_t* pTop, uint8_t* pBottom) const;

    // Mutable: reading the view or the marks takes its lock.
    mutable LWaveWorker worker;
    LWaveMarks marks; // guarded by worker.csPaint
};
