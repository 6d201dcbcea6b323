#pragma once

#include <QComboBox>

// The drop-down list an option tree combo row shows while it is edited. It reports its focus
// changes to the row and hands the keys that end an edit back to the tree's list.
class COptionTreeComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit COptionTreeComboBox(QWidget* list);

    void showPopup() override;

Q_SIGNALS:
    void focusEntered();
    // newFocus is the widget that has the focus now (null when none of ours).
    void focusLeft(QWidget* newFocus);

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
