#pragma once

#include <QWidget>
#include <cstdint>

class LOVFile;
class LOVWaveWindow;
class QAbstractButton;
class QScrollBar;

// The window of one document: the overview of the whole document (80), the
// zoomed view (81), the scroll bar (82) and the display buttons 83..89. It
// shows the document's state and reports what the user does through its
// signals; the main window acts on them.
class LOVFileWindow : public QWidget {
    Q_OBJECT
public:
    explicit LOVFileWindow(LOVFile& doc, QWidget* pParent = nullptr);
    ~LOVFileWindow() override;

    LOVFile& GetDocument() const { return doc; }
    LOVWaveWindow& GetOverview() const { return *pOverview; }
    LOVWaveWindow& GetZoomed() const { return *pZoomed; }
    QScrollBar& GetScrollBar() const { return *pScroll; }
    QAbstractButton* GetButton(int iId) const;
    int32_t GetScrollTarget() const { return iScrollTarget; }

    // The audio or the display options changed: the views take a new copy.
    void SetSource();
    // Shows the document's view range, selection and position.
    void WavApply();
    // Moves the position (not below 0): cursors, scroll thumb, and the view
    // follows when the position leaves it.
    void UpdateTime(int32_t iPosition);
    void ShowSelection();

    void ZoomIn();
    void ZoomOut();
    void ZoomSelection();
    void ZoomFull();
    void ToggleVerticalZoom();
    void SetDisplayMode(int iMode);

signals:
    // The mouse was released over a view (selection and cursor set).
    void WaveReleased(LOVWaveWindow* pView);
    // The selection is changing during a drag.
    void WaveSelectionChanging(LOVWaveWindow* pView);
    // Size or display options changed.
    void RefreshRequested();
    // The scroll bar moved; the target is GetScrollTarget().
    void ScrollMoved();
    void ContextMenuRequested(const QPoint& ptGlobal);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
    void OnScrollAction(int iAction);
    void LayoutControls();
    void ApplyView();

    LOVFile& doc;
    LOVWaveWindow* pOverview;
    LOVWaveWindow* pZoomed;
    QScrollBar* pScroll;
    QAbstractButton* apButtons[7];
    int32_t iScrollTarget = 0;
};
