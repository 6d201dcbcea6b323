#pragma once

#include "controls/chrome/TextLabel.h"
#include "platform/Shell.h"

// A label that behaves like a web link: underlined, blue until visited and purple after, a
// tool tip with its target, and a click (or Space / Enter) opens the target through the
// desktop shell. A failure beeps and explains itself in a message box.
class CHyperLink : public CTextLabel {
    Q_OBJECT

public:
    explicit CHyperLink(QWidget* parent = nullptr);
    explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

    // A URL or a "mailto:" link. Without one the window text is the target; without a window
    // text the target is shown.
    void SetURL(const QString& target);
    QString GetURL() const;

    void SetVisited(bool visited);
    bool GetVisited() const { return visited; }
    void SetUnderline(bool underline);
    bool GetUnderline() const { return underline; }
    void SetColors(platform::COLORREF link, platform::COLORREF visitedLink);
    // Keep the control exactly the size of its text (left, centred or right in its old place).
    void SetAutoSize(bool adjust);
    // The adjusted control sits in the middle of its old place's height instead of at its top.
    void SetVerticallyCentered(bool centered);

    // What the user reads for a failure of the given kind, after "Unable to open hyperlink:".
    static QString failureMessage(int code);

Q_SIGNALS:
    // A program of the desktop took the target.
    void opened(const QString& target);

protected:
    QFont textFont() const override;
    QColor paintTextColor() const override;
    bool fillsBackground() const override { return false; }
    QString shownText() const override;
    void textGeometryChanged() override;

    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openTarget();
    void showOutcome(const QString& url, const platform::ShellResult& result);
    void adjustToText();
    void syncToolTip();

    platform::COLORREF linkColor = platform::RGB(0, 0, 238);
    platform::COLORREF visitedColor = platform::RGB(85, 26, 139);
    bool visited = false;
    bool underline = true;
    bool adjustToFit = true;
    bool verticallyCentered = false;
    QString target;
};
