#pragma once

#include "platform/Colors.h"

#include <QTextEdit>

// The read-only pane under the job list that shows the chosen file's summary. It adds a
// two-item context menu and Ctrl+A, and the few character formats the summary is written in.
class CSummaryEdit : public QTextEdit {
    Q_OBJECT

public:
    // The look of a run of text.
    struct CharFormat {
        bool bold = false;
        bool underline = false;
        platform::COLORREF color = platform::RGB(0, 0, 0);
    };

    explicit CSummaryEdit(QWidget* parent = nullptr);

    // The pane then holds only text, in format.
    void ReplaceAll(const QString& text, const CharFormat& format);
    // Puts the caret at the end and inserts text there in format.
    void AppendText(const QString& text, const CharFormat& format);
    // Puts the caret and the view on the first line, where a newly shown text is read from.
    void ShowFromTop();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void insertAtCaret(const QString& text, const CharFormat& format);
    void OnCommand(int id);
};
