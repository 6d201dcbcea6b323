#pragma once

#include "controls/optiontree/OptionTreeControlItem.h"
#include "controls/optiontree/OptionTreeSpinner.h"

// A row with a numeric value in a spinner. Without its window the row has no value: the
// readers then report failure and 0.
class COptionTreeItemSpinner : public COptionTreeControlItem {
public:
    COptionTreeItemSpinner();

    // Creates the spinner window with its options, value and range; false when the row is
    // not in a tree yet or already has a window.
    bool CreateSpinnerWindow(unsigned options, double value, double minimum, double maximum);

    void SetRange(double minimum, double maximum);
    void SetValue(double value);
    bool GetValue(double& value) const;
    void SetValueInt(int value);
    bool GetValueInt(int& value) const;
    QString GetValueText() const;
    bool HasOption(unsigned bit) const;
    COptionTreeSpinner* GetSpinnerWindow() const;

    QString ValueText() const override { return GetValueText(); }
    void RestoreValueText(const QString& text) override;
    // The whole text is selected, so typing replaces the value.
    void StartEditing() override;
};
