#pragma once

#include <QLineEdit>

class COptionTreeSpinner;

// The edit field of a spinner: Up and Down step the spinner, typing needs the spinner's
// editable option, and its context menu follows the same rule.
class COptionTreeSpinnerEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit COptionTreeSpinnerEdit(COptionTreeSpinner* spinner);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    COptionTreeSpinner* spinner;
};
