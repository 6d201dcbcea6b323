#pragma once

#include <QBasicTimer>
#include <QWidget>

#include <memory>

class COptionTreeSpinnerEdit;
class QMenu;

// Spinner options.
inline constexpr unsigned OTSO_EDITABLE = 0x400; // the text may be typed and changed
inline constexpr unsigned OTSO_WRAP = 0x40000;   // stepping past an end goes to the other end

// A numeric value: an edit field with an up and a down arrow in a strip on the right. The
// value is the edit's text; the arrows and the Up and Down keys step it by one within the
// range, and holding an arrow repeats at the platform's key repeat timing.
class COptionTreeSpinner : public QWidget {
    Q_OBJECT

public:
    static constexpr int BUTTON_STRIP = 17;

    explicit COptionTreeSpinner(QWidget* parent);
    ~COptionTreeSpinner() override;

    void SetOptions(unsigned value);
    bool HasOption(unsigned bit) const { return (options & bit) != 0; }
    void SetRange(double minimumValue, double maximumValue);
    double GetMinimum() const { return minimum; }
    double GetMaximum() const { return maximum; }

    // The text read as a number: its leading number, 0 when it starts with none.
    double GetValue() const;
    int GetValueInt() const;
    QString GetValueText() const;
    // Shown without decimals.
    void SetValue(double value);
    void SetValueInt(int value);

    void StepUp();
    void StepDown();

    QRect UpButtonRect() const;
    QRect DownButtonRect() const;
    bool IsUpInactive() const;
    bool IsDownInactive() const;
    int GetRepeatDelay() const { return repeatDelay; }
    int GetRepeatInterval() const { return repeatInterval; }
    COptionTreeSpinnerEdit* GetEdit() const { return edit; }

    // The edit's context menu with its entries enabled as the options and the text allow.
    std::unique_ptr<QMenu> CreateContextMenu();

Q_SIGNALS:
    void editFocusEntered();
    void editFocusLost();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Used where the style gives no repeat timing.
    static constexpr int DEFAULT_REPEAT_DELAY = 500;
    static constexpr int DEFAULT_REPEAT_INTERVAL = 200;

    void StepAt(QPoint point);

    double maximum = 100.0;
    double minimum = 0.0;
    bool downPressed = false;
    bool upPressed = false;
    QPoint lastPress;
    bool firstRepeatPending = false;
    COptionTreeSpinnerEdit* edit;
    int repeatDelay = DEFAULT_REPEAT_DELAY;
    int repeatInterval = DEFAULT_REPEAT_INTERVAL;
    unsigned options = 0;
    QBasicTimer repeatTimer;
};
