#pragma once

#include "platform/Colors.h"

#include <QString>
#include <QWidget>

#include <utility>

// A flat progress bar with a centred text over it: the percentage done, or a caption the
// program sets as the window text. The text is drawn twice, clipped to the filled and to the
// empty part in swapped colours, so it stays readable where the bar passes under it.
class CTextProgressCtrl : public QWidget {
    Q_OBJECT

public:
    explicit CTextProgressCtrl(QWidget* parent = nullptr);

    // Range. SetRange takes 16-bit bounds like the classic message; SetRange32 the full range.
    void SetRange(short lower, short upper);
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    // The lower bound when selectLow is set, else the upper bound.
    int GetRange(bool selectLow) const;

    // Position; each returns the previous position. Positions outside the range are kept as
    // given.
    int SetPos(int position);
    int GetPos() const { return position; }
    int OffsetPos(int delta);
    int SetStep(int newStep); // returns the previous step
    int StepIt();

    // Colours; CLR_DEFAULT gives the system colours (highlight bar, window background, and for
    // the text the colour of the part it lies over, swapped). Each returns the previous value.
    platform::COLORREF SetBarColor(platform::COLORREF color);
    platform::COLORREF SetBkColor(platform::COLORREF color);
    platform::COLORREF SetTextColor(platform::COLORREF color);

    // Returns the previous flag.
    bool SetShowText(bool show);
    bool GetShowText() const { return showText; }

    // The caption shown instead of the percentage; an empty caption brings the percentage back.
    void SetWindowText(const QString& text);
    QString GetWindowText() const { return caption; }

    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation orientation() const { return barOrientation; }

    // What the bar shows: the caption, else the percentage done.
    QString displayText() const;
    // Bar length in pixels by the position's share of the range.
    int barLength() const;
    // The parts of the client area that show the bar and the background.
    QRect filledRect() const;
    QRect emptyRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool hasValidRange() const { return lower < upper; }
    int shareOf(int whole) const;
    int extent() const;
    int splitOffset() const;
    void setBounds(int newLower, int newUpper);
    // Stores a colour or flag that only changes the look; returns the previous value.
    template <typename T> T replaceLookSetting(T& field, T value) {
        const T previous = std::exchange(field, value);
        if (previous != value)
            update();
        return previous;
    }
    void announceChange();

    int lower = 0;
    int upper = 100;
    int position = 0;
    int step = 1;
    platform::COLORREF barColor = platform::CLR_DEFAULT;
    platform::COLORREF bkColor = platform::CLR_DEFAULT;
    platform::COLORREF textColor = platform::CLR_DEFAULT;
    QString caption;
    bool showText = true;
    Qt::Orientation barOrientation = Qt::Horizontal;
};
