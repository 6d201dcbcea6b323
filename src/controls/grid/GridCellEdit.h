#pragma once

#include <QLineEdit>
#include <QRect>

namespace grid {

class CGridCtrl;

// Editor styles.
inline constexpr unsigned ES_LEFT = 0x0;
inline constexpr unsigned ES_CENTER = 0x1;
inline constexpr unsigned ES_RIGHT = 0x2;
inline constexpr unsigned ES_PASSWORD = 0x20;
inline constexpr unsigned ES_NUMBER = 0x2000;

// The edit box a cell opens over itself. It reports its text and the key that closed it to
// the grid once, then removes itself.
class CGridCellEdit : public QLineEdit {
    Q_OBJECT
public:
    CGridCellEdit(CGridCtrl* grid, const QRect& rect, unsigned style, int id, int row, int col,
                  const QString& initialText, int firstChar);

    // Types one character as if the user had pressed it.
    void TypeCharacter(int character);
    // Sends the end-of-edit record to the grid (once) and closes the box.
    void EndEdit();

    Qt::KeyboardModifiers GetLastModifiers() const { return m_LastModifiers; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ApplyFirstCharacter(int firstChar);
    void ExitWith(int key, Qt::KeyboardModifiers modifiers);
    void GrowToText();

    CGridCtrl* m_pGrid;
    int m_nID;
    int m_nRow;
    int m_nColumn;
    QString m_sInitText;
    int m_nLastChar = 0;
    Qt::KeyboardModifiers m_LastModifiers;
    bool m_bExitOnArrows;
    bool m_bEnded = false;
};

} // namespace grid
