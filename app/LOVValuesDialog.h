#pragma once

#include "engine/LDialogValues.h"

#include <QDialog>

#include <map>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QSlider;

// The dialog of a command, by its title: "New File" (rate list and
// channels), "File Properties" (headerless format, rate, channels), "Paste
// Mix" / "Mix File" (the mix dialog), and for the others a form of one
// labelled field per value. Each editor is named after the value
// it edits.
class LOVValuesDialog : public QDialog {
    Q_OBJECT
public:
    LOVValuesDialog(const std::string& strTitle, const LDialogValues& values, bool bStereo, bool bSelection,
                    QWidget* pParent);
    // Writes what the dialog shows into the values.
    void Take(LDialogValues& values) const;

    // The label of a value in the generic form.
    static QString LabelFor(const std::string& strName);

private:
    void BuildNewFile(const LDialogValues& values);
    void BuildFileProperties(const LDialogValues& values);
    void BuildMix(const LDialogValues& values, bool bStereo, bool bSelection);
    void BuildForm(const LDialogValues& values);
    QComboBox* RateBox(const std::string& strName, int32_t iRate);
    void AddButtons(class QBoxLayout* pLayout);

    std::map<std::string, QLineEdit*> mapEdits;
    std::map<std::string, QComboBox*> mapRates;
    std::map<std::string, QButtonGroup*> mapChoices;
    std::map<std::string, QSlider*> mapSliders;
    // Lists whose value is the chosen index plus an offset.
    std::map<std::string, std::pair<QComboBox*, int>> mapLists;
};
