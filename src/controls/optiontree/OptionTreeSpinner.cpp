#include "controls/optiontree/OptionTreeSpinner.h"

#include "controls/optiontree/OptionTreeSpinnerEdit.h"
#include "platform/DrawText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <charconv>
#include <limits>

using namespace platform;

namespace {

// Where the number starts: after white space, as the C library's conversions read it.
qsizetype numberStart(const std::string& text) {
    const auto start = text.find_first_not_of(" \t\n\v\f\r");
    return start == std::string::npos ? qsizetype(text.size()) : qsizetype(start);
}

double leadingDouble(const QString& text) {
    const std::string bytes = text.toStdString();
    qsizetype at = numberStart(bytes);
    if (at < qsizetype(bytes.size()) && bytes[at] == '+')
        ++at;
    double value = 0.0;
    const auto result = std::from_chars(bytes.data() + at, bytes.data() + bytes.size(), value);
    return result.ec == std::errc() ? value : 0.0;
}

int leadingInt(const QString& text) {
    const std::string bytes = text.toStdString();
    qsizetype at = numberStart(bytes);
    bool negative = false;
    if (at < qsizetype(bytes.size()) && (bytes[at] == '+' || bytes[at] == '-'))
        negative = bytes[at++] == '-';
    long long value = 0;
    for (; at < qsizetype(bytes.size()) && bytes[at] >= '0' && bytes[at] <= '9'; ++at) {
        value = value * 10 + (bytes[at] - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return int(negative ? -value : value);
}

int positiveOr(int value, int fallback) {
    return value > 0 ? value : fallback;
}

} // namespace

COptionTreeSpinner::COptionTreeSpinner(QWidget* parent)
    : QWidget(parent), edit(new COptionTreeSpinnerEdit(this)) {
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit);
    edit->setCursorPosition(0);
    repeatDelay = positiveOr(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this),
                             DEFAULT_REPEAT_DELAY);
    repeatInterval = positiveOr(style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this),
                                DEFAULT_REPEAT_INTERVAL);
    connect(edit, &QLineEdit::textChanged, this, qOverload<>(&QWidget::update));
}

COptionTreeSpinner::~COptionTreeSpinner() {
    // The edit goes first: deleted later, it would report losing the focus to a spinner that
    // is already half destroyed.
    delete edit;
}

void COptionTreeSpinner::SetOptions(unsigned value) {
    options = value;
    edit->setReadOnly(!HasOption(OTSO_EDITABLE));
    update();
}

void COptionTreeSpinner::SetRange(double minimumValue, double maximumValue) {
    minimum = minimumValue;
    maximum = maximumValue;
    update();
}

double COptionTreeSpinner::GetValue() const {
    return leadingDouble(edit->text());
}

int COptionTreeSpinner::GetValueInt() const {
    return leadingInt(edit->text());
}

QString COptionTreeSpinner::GetValueText() const {
    return edit->text();
}

void COptionTreeSpinner::SetValue(double value) {
    edit->setText(QString::number(value, 'f', 0));
}

void COptionTreeSpinner::SetValueInt(int value) {
    edit->setText(QString::number(value));
}

void COptionTreeSpinner::StepUp() {
    const double value = GetValue();
    if (value + 1 > maximum) {
        if (HasOption(OTSO_WRAP))
            SetValue(minimum);
    } else {
        SetValue(value + 1);
    }
    update();
}

void COptionTreeSpinner::StepDown() {
    const double value = GetValue();
    if (value - 1 < minimum) {
        if (HasOption(OTSO_WRAP))
            SetValue(maximum);
    } else {
        SetValue(value - 1);
    }
    update();
}

QRect COptionTreeSpinner::UpButtonRect() const {
    return QRect(width() - BUTTON_STRIP, 0, BUTTON_STRIP - 2, height() / 2);
}

QRect COptionTreeSpinner::DownButtonRect() const {
    return QRect(width() - BUTTON_STRIP, height() / 2, BUTTON_STRIP - 2, height() - height() / 2);
}

bool COptionTreeSpinner::IsUpInactive() const {
    return !HasOption(OTSO_WRAP) && GetValue() >= maximum;
}

bool COptionTreeSpinner::IsDownInactive() const {
    return !HasOption(OTSO_WRAP) && GetValue() <= minimum;
}

void COptionTreeSpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), sysColor(COLOR_BTNFACE));
    const auto state = [](bool inactive, bool pressed) {
        return inactive ? DFCS_INACTIVE : (pressed ? DFCS_PUSHED : 0u);
    };
    DrawFrameControl(painter, UpButtonRect(), DFC_SCROLL, DFCS_SCROLLUP | state(IsUpInactive(), upPressed));
    DrawFrameControl(painter, DownButtonRect(), DFC_SCROLL,
                     DFCS_SCROLLDOWN | state(IsDownInactive(), downPressed));
}

void COptionTreeSpinner::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    upPressed = false;
    downPressed = false;
    lastPress = event->position().toPoint();
    StepAt(lastPress);
    update();
    repeatTimer.start(repeatDelay, this);
    firstRepeatPending = true;
}

void COptionTreeSpinner::StepAt(QPoint point) {
    if (UpButtonRect().contains(point)) {
        upPressed = true;
        StepUp();
    } else if (DownButtonRect().contains(point)) {
        downPressed = true;
        StepDown();
    }
}

void COptionTreeSpinner::timerEvent(QTimerEvent* event) {
    if (event->timerId() != repeatTimer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (firstRepeatPending) {
        repeatTimer.start(repeatInterval, this);
        firstRepeatPending = false;
    }
    StepAt(lastPress);
}

void COptionTreeSpinner::mouseReleaseEvent(QMouseEvent*) {
    repeatTimer.stop();
    upPressed = false;
    downPressed = false;
    update();
}

void COptionTreeSpinner::resizeEvent(QResizeEvent*) {
    edit->setGeometry(0, 0, width() - BUTTON_STRIP, height());
}

std::unique_ptr<QMenu> COptionTreeSpinner::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(edit);
    const bool editable = HasOption(OTSO_EDITABLE);
    const bool selection = edit->hasSelectedText();
    const bool clipboardText = !QGuiApplication::clipboard()->text().isEmpty();
    const auto add = [&menu, this](const QString& text, bool enabled, auto command) {
        QAction* action = menu->addAction(text);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, edit, command);
    };
    // Changing commands need the editable option; copying and selecting never change the text.
    add(tr("&Undo"), editable && edit->isUndoAvailable() && !edit->isReadOnly(), &QLineEdit::undo);
    menu->addSeparator();
    add(tr("Cu&t"), editable && selection, &QLineEdit::cut);
    add(tr("&Copy"), selection, &QLineEdit::copy);
    add(tr("&Paste"), editable && clipboardText, &QLineEdit::paste);
    add(tr("&Delete"), editable && selection, &QLineEdit::del);
    menu->addSeparator();
    add(tr("Select &All"), true, &QLineEdit::selectAll);
    return menu;
}
