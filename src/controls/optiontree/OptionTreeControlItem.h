#pragma once

#include "controls/optiontree/OptionTreeItem.h"

#include <QPointer>
#include <QWidget>

// A row whose value is edited in a window of its own (combo box, spinner): the window lies
// hidden over the value column and shows while the row is edited; the edit commits when the
// window loses the focus to another part of the tree.
class COptionTreeControlItem : public COptionTreeItem {
public:
    ~COptionTreeControlItem() override;

    QWidget* GetControl() const { return control; }

    // The value as text, as the row shows it while the control is hidden.
    QString ValueText() const override = 0;
    // Puts a value shown by ValueText back into the control.
    virtual void RestoreValueText(const QString& text) = 0;

    // Escape: the value goes back to what it was when the edit began.
    void CancelEdit();

    void DrawValue(QPainter& painter, const QRect& rect) const override;
    void StartEditing() override;
    void RepositionControl() override;
    void SyncControl() override;
    void FinishEditing() override;
    void DestroyControl() override;
    void OnDeselected() override;
    void OnListFocused() override;

protected:
    // The window becomes the row's control: placed at the value column and hidden.
    void AttachControl(QWidget* window);
    void SetHasFocus(bool flag) { hasFocus = flag; }
    // The control lost the focus to newFocus: a focus that stays inside the tree commits.
    void ControlFocusLeft(QWidget* newFocus);
    // Ends the edit wherever the focus went.
    void CommitEdit();

private:
    void PlaceControl();
    void HideControl();

    QPointer<QWidget> control;
    bool hasFocus = false;
    QString valueAtStart;
};
