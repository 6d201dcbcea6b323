#pragma once

#include "controls/optiontree/OptionTreeControlItem.h"

class COptionTreeComboBox;

// A row whose value is picked from a fixed list. Idle, it shows the chosen entry as text;
// edited, a drop-down list lies over the value column. The value is the list's selection.
class COptionTreeItemComboBox : public COptionTreeControlItem {
public:
    static constexpr int DEFAULT_DROP_DOWN_HEIGHT = 100;

    COptionTreeItemComboBox();

    // Creates the list window; false when the row is not in a tree yet or already has one.
    bool CreateComboWindow();
    // Room for the open list, in pixels.
    void SetDropDownHeight(int pixels);
    int GetDropDownHeight() const { return dropDownHeight; }

    // The entries and the selection; -1 and empty without a window.
    int AddString(const QString& text);
    void SetCurSel(int index);
    int GetCurSel() const;
    QString GetWindowText() const;
    COptionTreeComboBox* GetComboWindow() const;

    QString ValueText() const override { return GetWindowText(); }
    void RestoreValueText(const QString& text) override;

private:
    void ApplyDropDownHeight();

    int dropDownHeight = DEFAULT_DROP_DOWN_HEIGHT;
};
