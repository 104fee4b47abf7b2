#pragma once

#include "process/LProgressView.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress dialog of a running operation: the program icon, the
// operation's two text lines (100, 101), the bar (102) and Cancel. Each pump
// handles pending input, so windows repaint and Cancel works; the owner
// window is disabled while the dialog is open.
class LQtProgressView : public LProgressView {
public:
    LQtProgressView();
    ~LQtProgressView() override;

    void Open(const std::string& strCaption, void* pOwner) override;
    void Close() override;
    void SetText(const std::string& strText, int iLine) override;
    void SetProgress(int iPercent) override;
    bool Pump() override;
    void ShowError(const std::string& strText) override;

    // Installs this view for every operation of the process.
    static void Install();
    // The window to disable for operations run with pOwner as owner (the
    // controller passes itself); null removes the entry.
    static void SetOwnerWindow(const void* pOwner, QWidget* pWindow);
    // The dialog of the operation running now, or null.
    static QDialog* GetRunningDialog();

private:
    QDialog* pDialog = nullptr;
    QLabel* apLines[2] = { nullptr, nullptr };
    QProgressBar* pBar = nullptr;
    QWidget* pOwnerWindow = nullptr;
    bool bOwnerWasEnabled = false;
    bool bCancelled = false;
};
