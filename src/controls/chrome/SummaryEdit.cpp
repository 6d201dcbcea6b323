#include "controls/chrome/SummaryEdit.h"

#include "resource.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextCursor>

namespace {

bool isSelectAllKey(const QKeyEvent* event) {
    return event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier);
}

// Keys the pane answers itself even when a window-wide shortcut uses the same keys.
bool isOwnKey(const QKeyEvent* event) {
    return isSelectAllKey(event) || event->matches(QKeySequence::Copy);
}

} // namespace

CSummaryEdit::CSummaryEdit(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    // Read-only, but the reader can still move a caret and select with the keyboard.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::NoWrap);
    // The value lines start with a tab: half an inch, as rich-text panes indent by default.
    setTabStopDistance(logicalDpiX() / 2.0);
    setAcceptRichText(false);
    setAccessibleName(QStringLiteral("Summary"));
}

void CSummaryEdit::ReplaceAll(const QString& text, const CharFormat& format) {
    clear();
    insertAtCaret(text, format);
}

void CSummaryEdit::AppendText(const QString& text, const CharFormat& format) {
    moveCursor(QTextCursor::End);
    insertAtCaret(text, format);
}

void CSummaryEdit::ShowFromTop() {
    moveCursor(QTextCursor::Start);
    // Showing the caret alone leaves the document's margin above the first line scrolled away.
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

void CSummaryEdit::insertAtCaret(const QString& text, const CharFormat& format) {
    QTextCharFormat charFormat;
    charFormat.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    charFormat.setFontUnderline(format.underline);
    charFormat.setForeground(platform::toQColor(format.color));
    QTextCursor cursor = textCursor();
    cursor.insertText(text, charFormat);
    setTextCursor(cursor);
}

bool CSummaryEdit::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && isOwnKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTextEdit::event(event);
}

void CSummaryEdit::keyPressEvent(QKeyEvent* event) {
    if (isSelectAllKey(event)) {
        OnCommand(ID_SUMMARY_SELECT_ALL);
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        OnCommand(ID_SUMMARY_COPY);
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void CSummaryEdit::contextMenuEvent(QContextMenuEvent* event) {
    setFocus(Qt::PopupFocusReason);
    QMenu menu(this);
    QAction* copyAction = menu.addAction(QStringLiteral("C&opy"));
    copyAction->setData(ID_SUMMARY_COPY);
    copyAction->setEnabled(textCursor().hasSelection());
    menu.addAction(QStringLiteral("Select &All"))->setData(ID_SUMMARY_SELECT_ALL);
    if (const QAction* chosen = menu.exec(event->globalPos()))
        OnCommand(chosen->data().toInt());
    event->accept();
}

void CSummaryEdit::OnCommand(int id) {
    if (id == ID_SUMMARY_COPY)
        copy();
    else if (id == ID_SUMMARY_SELECT_ALL)
        selectAll();
}
