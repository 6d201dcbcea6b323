#include "ui/AboutDlg.h"

#include "controls/chrome/HyperLink.h"
#include "controls/chrome/TextLabel.h"
#include "platform/Colors.h"
#include "platform/DrawText.h"
#include "ui/AboutLinks.h"
#include "ui/DialogUnits.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

namespace {

constexpr int BORDER = 1; // the box's thin border, in pixels

} // namespace

// A frame like any dialog's: a box without one cannot be moved off what it hides, and window
// managers may not give it the keyboard.
CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(aboutlinks::productName());
    banner = new QSvgRenderer(QStringLiteral(":/images/about-banner.svg"), this);
    productLabel = addLabel(aboutlinks::productName());
    noticeLabel = addLabel(aboutlinks::noticeLine());
    websiteLabel = addLabel(QStringLiteral("Website:"));
    supportLabel = addLabel(QStringLiteral("Support:"));
    websiteLink = addLink(aboutlinks::homePage(), aboutlinks::homePage());
    supportLink = addLink(aboutlinks::supportMail(), QStringLiteral("mailto:") + aboutlinks::supportMail());
    productLabel->setObjectName(QStringLiteral("product"));
    noticeLabel->setObjectName(QStringLiteral("notice"));
    websiteLink->setObjectName(QStringLiteral("website"));
    supportLink->setObjectName(QStringLiteral("support"));
    layoutControls();
    // The box opens without a focused link, so Enter and Escape close it; Tab reaches the links.
    setFocus(Qt::OtherFocusReason);
}

void CAboutDlg::runModal(QWidget* parent) {
    CAboutDlg dialog(parent);
    dialog.exec();
}

CTextLabel* CAboutDlg::addLabel(const QString& text) {
    return new CTextLabel(text, this);
}

CHyperLink* CAboutDlg::addLink(const QString& text, const QString& target) {
    auto* link = new CHyperLink(text, this);
    link->SetURL(target);
    link->SetUnderline(true);
    return link;
}

QRect CAboutDlg::placed(int x, int y, int width, int height) const {
    return DialogUnits(font()).toPixels(x, y, width, height).translated(BORDER, BORDER);
}

// The template's places in units of the current font. The labels' text follows the box's font
// size, as the labels' own default font matched the dialog font where the template was drawn.
// A caption wider than its place (this face runs wider) keeps its whole text, and the links
// move right together to stay clear of it.
void CAboutDlg::layoutControls() {
    const DialogUnits units(font());
    setFixedSize(units.toPixels(252, 127) + QSize(2 * BORDER, 2 * BORDER));
    const int cellHeight = QFontMetrics(font()).height();
    for (CTextLabel* label : {productLabel, noticeLabel, websiteLabel, supportLabel})
        label->SetFontSize(cellHeight);
    productLabel->setGeometry(placed(37, 74, 193, 10));
    noticeLabel->setGeometry(placed(37, 88, 214, 10));
    const auto widened = [](QRect place, const CTextLabel* label) {
        place.setWidth(std::max(place.width(), label->sizeHint().width()));
        return place;
    };
    websiteLabel->setGeometry(widened(placed(37, 102, 29, 10), websiteLabel));
    supportLabel->setGeometry(widened(placed(37, 116, 28, 10), supportLabel));
    const int captionsEnd = std::max(websiteLabel->geometry().right(), supportLabel->geometry().right());
    const QPoint websiteAt = placed(68, 102, 120, 10).topLeft();
    const QPoint supportAt = placed(68, 116, 121, 10).topLeft();
    const int linksLeft = std::max(websiteAt.x(), captionsEnd + 1 + units.toPixelsX(3));
    // The links keep their text's size.
    websiteLink->setGeometry(QRect(QPoint(linksLeft, websiteAt.y()), websiteLink->sizeHint()));
    supportLink->setGeometry(QRect(QPoint(linksLeft, supportAt.y()), supportLink->sizeHint()));
    update();
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::FillSolidRect(painter, rect(), platform::LIGHT_BLUE);
    platform::FrameRect(painter, rect(), platform::sysColor(platform::COLOR_WINDOWFRAME));
    const QRect bannerArea = placed(25, 4, 200, 64);
    QSize bannerSize = banner->defaultSize();
    bannerSize.scale(bannerArea.size(), Qt::KeepAspectRatio);
    QRect bannerRect(QPoint(), bannerSize);
    bannerRect.moveCenter(bannerArea.center());
    banner->render(&painter, bannerRect);
    platform::DrawEdge(painter, placed(4, 68, 248, 1), platform::EDGE_ETCHED, platform::BF_TOP);
}

// Enter closes the box as OK, as a dialog without buttons does; a link with the focus takes
// Enter itself.
void CAboutDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CAboutDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        layoutControls();
}
