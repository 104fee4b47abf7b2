#pragma once

#include "features/LSettingsPages.h"

#include <QWidget>
#include <functional>
#include <vector>

class MainDialogUi;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The Settings sheet's "General" page: the file types the desktop opens with
// the editor, the new-file defaults, and playing on open or at a bookmark.
class LGeneralPage : public QWidget {
    Q_OBJECT
public:
    LGeneralPage(MainDialogUi& ui, QWidget* pParent = nullptr);
    // Stores the page's values and makes the editor the desktop's choice
    // for every checked file type.
    void Apply();

    // The desktop's MIME type of an audio file extension (no dot); empty
    // when it knows none, or only a type that is not audio (".raw" is a
    // camera picture to it).
    static QString MimeTypeOf(const char* szExt);
    // The desktop file the associations name.
    static const char* const kDesktopFile;
    // Runs xdg-mime with these arguments; true when it succeeded. Tests put
    // their own here.
    static std::function<bool(const QStringList&)> fnXdgMime;

private:
    void CmSetDefaults();

    MainDialogUi& ui;
    LGeneralSettings values;
    std::vector<QCheckBox*> vecTypes;
    QRadioButton* pPrompt;
    QRadioButton* pUseDefaults;
    QPushButton* pSetDefaults;
    QCheckBox* pPlayWhenOpen;
    QCheckBox* pPlayBookMark;
};
