#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <optional>

// A static text on a solid background with its own font: word-wrapped, ampersands shown as
// they are. The window's light-blue captions ("Current", "Total", the About box lines).
class CTextLabel : public QWidget {
    Q_OBJECT

public:
    explicit CTextLabel(QWidget* parent = nullptr);
    explicit CTextLabel(const QString& text, QWidget* parent = nullptr);

    void SetWindowText(const QString& text);
    QString GetWindowText() const { return text; }

    void SetFontBold(bool bold);
    void SetFontItalic(bool italic);
    void SetFontUnderline(bool underline);
    void SetFontStrikeOut(bool strikeOut);
    void SetFontAntialiased(bool antialiased);
    void SetFontName(const QString& faceName);
    // Cell height in pixels.
    void SetFontSize(int height);
    void SetCentered(bool centered);
    void SetRightAligned(bool rightAligned);
    void SetTextColor(platform::COLORREF color);
    void SetBkColor(platform::COLORREF color);

    // The font the text is drawn in, built from the label's own settings.
    QFont labelFont() const;
    // DrawText format: word break, no prefix, and the horizontal alignment.
    unsigned textFormat() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // A click on the label is the label's: it does not fall through to the window under it.
    void mousePressEvent(QMouseEvent* event) override;

    // Subclasses draw their text in their own font and colour, on their own background.
    virtual QFont textFont() const { return labelFont(); }
    virtual QColor paintTextColor() const { return platform::toQColor(textColor); }
    virtual bool fillsBackground() const { return true; }
    // The text shown; subclasses may show something else when the window text is empty.
    virtual QString shownText() const { return text; }
    // Called when the text's size may have changed, the font settings included.
    virtual void textGeometryChanged();
    // Stores a setting that shapes the text; a change re-measures and repaints.
    template <typename T> void setTextSetting(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        textGeometryChanged();
    }

private:
    QSize textSize(int wrapWidth) const;
    QFont buildLabelFont() const;

    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool antialiased = false;
    bool centered = false;
    bool rightAligned = false;
    QString faceName = QStringLiteral("MS Sans Serif");
    platform::COLORREF textColor = platform::RGB(0, 0, 0);
    int fontHeight = 8;
    platform::COLORREF bkColor = platform::LIGHT_BLUE;
    QString text;
    // Building the font measures the face, too slow for every paint and size query.
    mutable std::optional<QFont> labelFontCache;
};
