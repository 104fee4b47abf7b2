#pragma once

#include <string>
#include <utility>

// The answer of a dialog's check of its typed values: the message box text
// and title to show while the dialog stays open, both empty when the values
// are accepted.
struct LValueCheck {
    std::string strText;
    std::string strTitle;

    bool IsValid() const { return strText.empty(); }
    static LValueCheck Invalid(std::string strText)
    {
        return { std::move(strText), "Invalid value" };
    }
};
