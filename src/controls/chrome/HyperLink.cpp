#include "controls/chrome/HyperLink.h"

#include "platform/Dialogs.h"
#include "platform/DrawText.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

using namespace platform;

CHyperLink::CHyperLink(QWidget* parent) : CHyperLink(QString(), parent) {}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : CTextLabel(text, parent) {
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    syncToolTip();
    adjustToText();
}

void CHyperLink::SetURL(const QString& newTarget) {
    setTextSetting(target, newTarget);
}

QString CHyperLink::GetURL() const {
    return target.isEmpty() ? GetWindowText() : target;
}

void CHyperLink::SetVisited(bool value) {
    if (value == visited)
        return;
    visited = value;
    update();
}

void CHyperLink::SetUnderline(bool value) {
    setTextSetting(underline, value);
}

void CHyperLink::SetColors(COLORREF link, COLORREF visitedLink) {
    if (link == linkColor && visitedLink == visitedColor)
        return;
    linkColor = link;
    visitedColor = visitedLink;
    update();
}

void CHyperLink::SetAutoSize(bool adjust) {
    setTextSetting(adjustToFit, adjust);
}

void CHyperLink::SetVerticallyCentered(bool centered) {
    if (centered == verticallyCentered)
        return;
    verticallyCentered = centered;
    adjustToText();
}

QFont CHyperLink::textFont() const {
    QFont linkFont = font();
    linkFont.setUnderline(underline);
    return linkFont;
}

QColor CHyperLink::paintTextColor() const {
    return toQColor(visited ? visitedColor : linkColor);
}

QString CHyperLink::shownText() const {
    const QString text = GetWindowText();
    return text.isEmpty() ? target : text;
}

void CHyperLink::textGeometryChanged() {
    setAccessibleName(shownText());
    syncToolTip();
    CTextLabel::textGeometryChanged();
    adjustToText();
}

// Keeps the control where it is, at exactly its text's size, aligned inside its old
// rectangle as the text is.
void CHyperLink::adjustToText() {
    if (!adjustToFit)
        return;
    const QSize size = sizeHint();
    QRect area = geometry();
    const unsigned format = textFormat();
    int x = area.left();
    if (format & DT_CENTER)
        x += (area.width() - size.width()) / 2;
    else if (format & DT_RIGHT)
        x += area.width() - size.width();
    const int y = verticallyCentered ? area.top() + (area.height() - size.height()) / 2 : area.top();
    setGeometry(QRect(QPoint(x, y), size));
}

void CHyperLink::syncToolTip() {
    setToolTip(GetURL());
    setAccessibleDescription(GetURL());
}

// Keyboard users see which link Space or Enter would open.
void CHyperLink::paintEvent(QPaintEvent* event) {
    CTextLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(paintTextColor(), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        openTarget();
    event->accept();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openTarget();
        break;
    default:
        CTextLabel::keyPressEvent(event);
    }
}

// The outcome may come later, once the desktop's opener has finished; a link closed meanwhile
// hears nothing.
void CHyperLink::openTarget() {
    const QString url = GetURL();
    Shell::instance().launch(ShellVerb::Url, url, this,
                             [this, url](const ShellResult& result) { showOutcome(url, result); });
}

void CHyperLink::showOutcome(const QString& url, const ShellResult& result) {
    if (result.ok) {
        SetVisited(true);
        Q_EMIT opened(url);
        return;
    }
    QApplication::beep();
    MessageRequest request;
    request.text =
        (QStringLiteral("Unable to open hyperlink:\n\n") + failureMessage(int(result.failure))).toStdString();
    request.icon = MessageIcon::Warning;
    request.subject = url.toStdString();
    Dialogs::instance().messageBox(request);
}

QString CHyperLink::failureMessage(int code) {
    struct Explanation {
        int code;
        const char* text;
    };
    static constexpr Explanation explanations[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30,
         "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
    };
    for (const Explanation& explanation : explanations) {
        if (explanation.code == code)
            return QString::fromLatin1(explanation.text);
    }
    return QStringLiteral("Unknown Error (%1) occurred.").arg(code);
}
