#pragma once

#include "app/LModalRunner.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

// Answers the editor's modal dialogs in the order a test expects them, and
// records every dialog that came up. A dialog nobody expected fails the
// test and is cancelled.
class ModalScript {
public:
    using Step = std::function<int(QDialog&)>;

    ModalScript()
    {
        LModalRunner::SetHook([this](QDialog& dialog) { return Next(dialog); });
    }
    ~ModalScript() { LModalRunner::SetHook({}); }

    void Then(Step step) { steps.push_back(std::move(step)); }
    bool AllUsed() const { return steps.empty(); }

    struct Seen {
        QString strTitle;
        QString strText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
    };
    std::vector<Seen> seen;

    // Fills the named editors (line edits or editable lists) and checks the
    // radio buttons of the given texts, then presses OK.
    static Step Fill(std::map<std::string, QString> fields, std::vector<QString> radios = {})
    {
        return [fields, radios](QDialog& dialog) {
            for (const auto& [strName, strText] : fields) {
                if (auto* pEdit = dialog.findChild<QLineEdit*>(QString::fromStdString(strName)))
                    pEdit->setText(strText);
                else if (auto* pBox = dialog.findChild<QComboBox*>(QString::fromStdString(strName)))
                    pBox->setCurrentText(strText);
                else
                    ADD_FAILURE() << "no field " << strName << " in "
                                  << dialog.windowTitle().toStdString();
            }
            for (const QString& strRadio : radios) {
                bool bFound = false;
                for (QRadioButton* pRadio : dialog.findChildren<QRadioButton*>())
                    if (pRadio->text() == strRadio) {
                        pRadio->setChecked(true);
                        bFound = true;
                    }
                EXPECT_TRUE(bFound) << "no radio " << strRadio.toStdString();
            }
            return int(QDialog::Accepted);
        };
    }
    static Step Answer(QMessageBox::StandardButton button)
    {
        return [button](QDialog&) { return int(button); };
    }

private:
    int Next(QDialog& dialog)
    {
        Seen s { dialog.windowTitle(), {}, QMessageBox::NoIcon };
        if (auto* pBox = qobject_cast<QMessageBox*>(&dialog)) {
            s.strText = pBox->text();
            s.icon = pBox->icon();
        }
        seen.push_back(s);
        if (steps.empty()) {
            ADD_FAILURE() << "unexpected dialog \"" << s.strTitle.toStdString() << "\" "
                          << s.strText.toStdString();
            return QDialog::Rejected;
        }
        Step step = std::move(steps.front());
        steps.pop_front();
        return step(dialog);
    }

    std::deque<Step> steps;
};
