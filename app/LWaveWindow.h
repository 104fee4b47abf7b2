#pragma once

#include "audio/LSoundSourceBase.h"

#include <QWidget>

#include <cstdint>

// A waveform strip over any source: one symmetric envelope of peak
// magnitudes per pixel with the position cursor (a band while scrubbing).
// Its worker always reads the source. A click moves the cursor.
class LWaveWindow : public QWidget {
    Q_OBJECT
public:
    // Notification code of Notify(): the button was released over the strip.
    enum Code { kReleased = 2 };

    explicit LWaveWindow(QWidget* pParent = nullptr);
    ~LWaveWindow() override;

    // Shares the source (no other thread may read it meanwhile) and restarts
    // the worker; forgets the view.
    void SetSource(const SourceHandle& source);
    void Stop();
    void SetView(int32_t iStart, int32_t iLength);
    void SetEndMark(int32_t iFrames);
    void SetCursor(int32_t iFrame, int32_t iBandLength);
    int32_t FrameToPixel(int32_t iFrame) const;
    int32_t PixelToFrame(int32_t iPixel) const;

    int32_t GetCursor() const;
    int32_t GetCursorLength() const;
    // True between SetSource and Stop.
    bool IsRunning() const { return isEnabled(); }
    int32_t GetViewStart() const;
    int32_t GetViewLength() const;

signals:
    void Notify(int iCode);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;

private:
    friend class LWaveWindowProbe;
    struct State;
    State* pState;

    // For tests: true when the worker has processed the latest request;
    // copies of both column arrays (LWaveView::kMaxColumns bytes each).
    bool IsWorkerIdle() const;
    void CopyColumns(uint8_t* pTop, uint8_t* pBottom) const;
    void UpdateColumns(int32_t x0, int32_t x1);
    void UpdateBetween(int32_t iPixelA, int32_t iPixelB);
};
