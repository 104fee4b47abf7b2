#pragma once

#include "effects/LDialogValues.h"
#include "engine/LSoundPlayer.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QFormLayout;
class QWidget;

// The dialog of a command, built from its values' form (LValueField): an
// edit, a rate list, radio buttons, a list, a slider or a decibel slider
// (LDBEdit) per value, each named after the value it edits; without a form,
// one labelled edit per value.
// A field for stereo only or for a selection only is enabled only then.
// Values with a preview get a "Preview" button, enabled when there is audio,
// that plays the effect with the values shown through the dialog's own
// player (the "Player" device), stopped when the dialog closes.
class LOVValuesDialog : public QDialog {
    Q_OBJECT
public:
    LOVValuesDialog(const std::string& strTitle, const LDialogValues& values, bool bStereo,
        bool bSelection, QWidget* pParent);
    // Writes what the enabled fields show into the values.
    void Take(LDialogValues& values) const;
    const LSoundPlayer& GetPreviewPlayer() const { return player; }

private:
    struct Field {
        std::string strKey;
        QWidget* pWidget; // the editor, or the radio buttons' box
        std::function<int32_t()> fnValue;
    };
    void AddField(
        QFormLayout& form, const LValueField& f, int32_t iValue, bool bStereo, bool bSelection);

    void Preview();

    std::vector<Field> fields;
    LDialogValues shown; // the values given, whose preview function Preview calls
    LSoundPlayer player;
};
