#pragma once

#include "platform/Colors.h"

#include <QCursor>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <array>
#include <optional>

// A push button that shows an icon (and optionally text): flat until the mouse is over it,
// a raised thin frame on hover, sunken while pressed, a darkened icon when disabled, and a
// tool tip; a focus rectangle when the keyboard brought the focus. A checkable button is a
// check box that stays sunken while checked. The default button of a dialog answers Enter
// and, when not flat, wears a black frame.
class CIconButton : public QPushButton {
    Q_OBJECT

public:
    // Where the icon sits relative to the text.
    enum IconAlignment { IconLeftOfText = 0, IconAboveText = 1, IconRightOfText = 2 };
    // The disabled-state icon SetIcon derives from the normal one.
    static constexpr int NoOutIcon = 0;
    static constexpr int GrayscaleOutIcon = -2;
    static constexpr int DarkerOutIcon = -3;
    // Background and text colours for the three states: out, in (hovered or pressed) and focus;
    // each text colour follows its background.
    enum ColorIndex { BkColorIn, FgColorIn, BkColorOut, FgColorOut, BkColorFocus, FgColorFocus };
    // Tips wider than this wrap at word boundaries.
    static constexpr int MaxTipWidth = 400;

    explicit CIconButton(QWidget* parent = nullptr);

    // outIcon: NoOutIcon, GrayscaleOutIcon or DarkerOutIcon.
    void SetIcon(const QPixmap& icon, int outIcon = NoOutIcon);
    void SetIcon(const QPixmap& icon, const QPixmap& outIcon);
    // Bitmaps instead of icons: every pixel of the transparent colour is masked out. The
    // disabled-state image follows the same scheme as the icon's.
    void SetBitmaps(const QImage& bitmap, platform::COLORREF transparent, int outBitmap = NoOutIcon);
    void SetBitmaps(const QImage& bitmap, platform::COLORREF transparent, const QImage& outBitmap,
                    platform::COLORREF outTransparent);
    // The text also names the button for assistive tools; activate off shows no tip.
    void SetTooltipText(const QString& text, bool activate = true);

    // 0: icon and text move by (1, 1) while pressed; 1: by (0, 2).
    void SetPressedStyle(int style);
    void SetAlign(int alignment);
    void SetFlat(bool flat);
    void SetDrawBorder(bool drawBorder);
    // Flat buttons draw the focus rectangle always, not only when the keyboard brought the focus.
    void DrawFlatFocus(bool drawFocusRect);
    void SetAlwaysTrack(bool trackAlways);
    // Paint nothing behind the icon: the parent's background shows through.
    void DrawTransparent(bool transparent);
    // A click opens target through the desktop shell (failures pass silently).
    void SetURL(const QString& target);
    // A click drops menu down from the button's bottom-left corner; the chosen action
    // triggers as from any menu. The menu is not owned.
    void SetMenu(QMenu* menu);
    // The pointer's shape over the button; none: the usual arrow.
    void SetBtnCursor(const std::optional<QCursor>& cursor);
    // CLR_DEFAULT: the system button face or button text colour.
    void SetColor(int index, platform::COLORREF color);
    platform::COLORREF GetColor(int index) const;
    void SetDefaultColors();

    // Check-box mode (checkable buttons): 1 and 2 check, anything else clears.
    void SetCheck(int check);
    int GetCheck() const;

    bool isHovered() const { return hover; }
    bool isPressedLook() const;
    // Where the icon and the text are drawn in the current state.
    QRect iconRect() const;
    QRect textRect() const;

    // The darkened disabled icon: every visible pixel's red, green and blue reduced by a quarter.
    static QPixmap darkerCopy(const QPixmap& icon);
    static QPixmap grayscaleCopy(const QPixmap& icon);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool hitButton(const QPoint& position) const override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void onClicked();
    void dropMenu();
    void showToolTip(const QPoint& globalPosition);
    void setHover(bool hovered);
    int stateColorIndex(bool background) const;
    QColor resolvedColor(int index) const;
    QSize iconSize() const;
    void contentRects(QRect& icon, QRect& text) const;
    void paintBackground(QPainter& painter, QRect& area) const;
    void paintBorder(QPainter& painter, const QRect& area) const;
    void paintText(QPainter& painter, const QRect& area) const;
    void paintFocusRect(QPainter& painter) const;
    template <typename T> void setField(T& field, T value);

    static constexpr int horizontalMargin = 3;
    static constexpr int verticalMargin = 3;
    QPoint pressedOffset{1, 1};
    bool hover = false;
    int iconAlignment = IconLeftOfText;
    bool drawBorder = true;
    bool drawFocusRect = false;
    // The keyboard brought the focus (Tab, Shift+Tab, a shortcut): even a flat button shows it.
    bool keyboardFocus = false;
    bool trackAlways = true;
    bool transparent = false;
    bool menuOpen = false;
    std::array<platform::COLORREF, 6> colors;
    // Which system colours the custom colours were chosen against.
    qint64 systemPaletteKey;
    QPixmap iconIn;
    QPixmap iconOut;
    QString linkTarget;
    QPointer<QMenu> dropDown;
};
