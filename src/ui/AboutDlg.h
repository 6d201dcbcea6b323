#pragma once

#include <QDialog>

class CHyperLink;
class CTextLabel;
class QSvgRenderer;

// The About box: a light-blue box with the logo banner, the product's name and notice line, and
// live links to the maker's web site and support mail, in the window frame of any dialog
// (captioned with the product's name, with a close button). A click on the box itself (left or
// right button) or Enter closes it as OK, Escape or the frame's close button as Cancel; a click
// on a link opens the link and leaves the box open.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // The About command: shows the box modally and destroys it.
    static void runModal(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    CTextLabel* addLabel(const QString& text);
    CHyperLink* addLink(const QString& text, const QString& target);
    void layoutControls();
    // Where a template rectangle lies in the box: inside its thin border.
    QRect placed(int x, int y, int width, int height) const;

    QSvgRenderer* banner = nullptr; // bitmap 166
    CTextLabel* productLabel = nullptr;
    CTextLabel* noticeLabel = nullptr;
    CTextLabel* websiteLabel = nullptr;
    CTextLabel* supportLabel = nullptr;
    CHyperLink* websiteLink = nullptr;
    CHyperLink* supportLink = nullptr;
};
