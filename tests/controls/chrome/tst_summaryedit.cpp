#include "controls/chrome/SummaryEdit.h"
#include "resource.h"

#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

using platform::RGB;

namespace {

const CSummaryEdit::CharFormat pathFormat{true, false, RGB(0, 0, 192)};
const CSummaryEdit::CharFormat headingFormat{true, true, RGB(0, 0, 0)};
const CSummaryEdit::CharFormat plainFormat{};

void writeReport(CSummaryEdit& edit, const QString& path) {
    edit.ReplaceAll(path + QLatin1Char('\n'), pathFormat);
    edit.AppendText(QStringLiteral("Summary:\n"), headingFormat);
    edit.AppendText(QStringLiteral("\tFile Size: 244 KB (250,000 Bytes)\n"), plainFormat);
    edit.AppendText(QStringLiteral("PDF Security:\n"), headingFormat);
    edit.AppendText(QStringLiteral("\tCommenting: Allowed"), plainFormat);
}

// Text pixels of one line: blue ones (path) and dark grey ones (black text, antialiased).
struct LineInk {
    int blue = 0;
    int grey = 0;
};

LineInk inkOfLine(CSummaryEdit& edit, int line) {
    const QRect rect = edit.cursorRect(QTextCursor(edit.document()->findBlockByNumber(line)));
    const QImage image = edit.viewport()->grab().toImage();
    LineInk ink;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 100 && c.red() < 80 && c.green() < 80)
                ++ink.blue;
            else if (c.red() < 128 && qAbs(c.red() - c.blue()) < 16 && qAbs(c.red() - c.green()) < 16)
                ++ink.grey;
        }
    }
    return ink;
}

// Runs act on the context menu the next event opens, then lets the menu go.
void whenMenuShows(std::function<void(QMenu*)> act) {
    QTimer::singleShot(0, qApp, [act] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        act(menu);
        if (menu->isVisible())
            menu->close();
    });
}

// Clicks the menu item as a user would, so the menu reports it as chosen.
void choose(QMenu* menu, QAction* action) {
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

QAction* actionWithId(QMenu* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (action->data().toInt() == id)
            return action;
    }
    return nullptr;
}

// A right click through the window, as the window system delivers it.
void rightClick(CSummaryEdit& edit) {
    QWindow* window = edit.window()->windowHandle();
    QTest::mouseClick(window, Qt::RightButton, {}, edit.viewport()->mapTo(edit.window(), QPoint(20, 8)));
}

} // namespace

class TestSummaryEdit : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> window;
    CSummaryEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    QAction* windowSelectAll = nullptr;
    QAction* windowCopy = nullptr;

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
        // The pane sits in a window whose menus use the same keys for the job list.
        window = std::make_unique<QWidget>();
        edit = new CSummaryEdit(window.get());
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(edit);
        other = new QLineEdit(window.get());
        layout->addWidget(other);
        windowSelectAll = new QAction(window.get());
        windowSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        windowCopy = new QAction(window.get());
        windowCopy->setShortcut(QKeySequence::Copy);
        window->addActions({windowSelectAll, windowCopy});
        window->resize(420, 220);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        writeReport(*edit, QStringLiteral("/home/user/papers/report.pdf"));
    }
    void cleanup() {
        window.reset();
        testsupport::removeOffscreenNoticeFilter();
    }

    void writesTheStyledLines() {
        QCOMPARE(edit->toPlainText(),
                 QStringLiteral("/home/user/papers/report.pdf\nSummary:\n\tFile Size: 244 KB "
                                "(250,000 Bytes)\nPDF Security:\n\tCommenting: Allowed"));
        const LineInk path = inkOfLine(*edit, 0);
        const LineInk heading = inkOfLine(*edit, 1);
        const LineInk plain = inkOfLine(*edit, 2);
        QVERIFY(path.blue > 20);
        QVERIFY(heading.blue == 0 && heading.grey > 20);
        QVERIFY(plain.blue == 0 && plain.grey > 20);

        const auto formatAt = [this](int line) {
            QTextCursor cursor(edit->document()->findBlockByNumber(line));
            cursor.movePosition(QTextCursor::NextCharacter);
            return cursor.charFormat();
        };
        QVERIFY(formatAt(0).fontWeight() == QFont::Bold && !formatAt(0).fontUnderline());
        QVERIFY(formatAt(1).fontWeight() == QFont::Bold && formatAt(1).fontUnderline());
        QVERIFY(formatAt(2).fontWeight() == QFont::Normal && !formatAt(2).fontUnderline());
    }

    // A new report replaces the old one whole, and appending goes to the end wherever the
    // reader has put the caret or a selection.
    void replaceAndAppendIgnoreTheCaret() {
        QTextCursor start(edit->document());
        start.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        edit->setTextCursor(start);
        edit->AppendText(QStringLiteral("\nEnd"), plainFormat);
        QVERIFY(edit->toPlainText().startsWith(QLatin1String("/home/user")));
        QVERIFY(edit->toPlainText().endsWith(QLatin1String("Allowed\nEnd")));

        edit->ReplaceAll(QStringLiteral("/tmp/other.pdf\n"), pathFormat);
        QCOMPARE(edit->toPlainText(), QStringLiteral("/tmp/other.pdf\n"));
        edit->AppendText(QStringLiteral("Summary:\n"), headingFormat);
        QCOMPARE(edit->document()->blockCount(), 3);
        QCOMPARE(inkOfLine(*edit, 1).blue, 0); // the path's colour does not run on
    }

    void isReadOnly() {
        const QString before = edit->toPlainText();
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("A x"));
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->toPlainText(), before);
        QVERIFY(!edit->textCursor().hasSelection());
    }

    // Ctrl+A and Ctrl+C belong to the pane while it has the focus, not to the window's menus.
    void ctrlASelectsAllAndCtrlCCopies() {
        QSignalSpy selectAllSpy(windowSelectAll, &QAction::triggered);
        QSignalSpy copySpy(windowCopy, &QAction::triggered);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(edit->textCursor().selectedText().size(), edit->toPlainText().size());
        QApplication::clipboard()->clear();
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), edit->toPlainText());
        QCOMPARE(selectAllSpy.count(), 0);
        QCOMPARE(copySpy.count(), 0);
    }

    void contextMenuOffersCopyOnlyWithASelection() {
        other->setFocus();
        QCOMPARE(window->focusWidget(), other);
        bool copyEnabled = true;
        bool selectAllEnabled = false;
        QStringList texts;
        whenMenuShows([&](QMenu* menu) {
            for (QAction* action : menu->actions())
                texts.append(action->text());
            copyEnabled = actionWithId(menu, ID_SUMMARY_COPY)->isEnabled();
            selectAllEnabled = actionWithId(menu, ID_SUMMARY_SELECT_ALL)->isEnabled();
            choose(menu, actionWithId(menu, ID_SUMMARY_SELECT_ALL));
        });
        rightClick(*edit);
        QCOMPARE(texts, (QStringList{QStringLiteral("C&opy"), QStringLiteral("Select &All")}));
        QVERIFY(!copyEnabled);
        QVERIFY(selectAllEnabled);
        // The click takes the focus (the offscreen platform leaves the window inactive after a popup).
        QCOMPARE(window->focusWidget(), edit);
        QCOMPARE(edit->textCursor().selectedText().size(), edit->toPlainText().size());

        QApplication::clipboard()->clear();
        whenMenuShows([&](QMenu* menu) {
            copyEnabled = actionWithId(menu, ID_SUMMARY_COPY)->isEnabled();
            choose(menu, actionWithId(menu, ID_SUMMARY_COPY));
        });
        rightClick(*edit);
        QVERIFY(copyEnabled);
        QCOMPARE(QApplication::clipboard()->text(), edit->toPlainText());
    }
};

QTEST_MAIN(TestSummaryEdit)
#include "tst_summaryedit.moc"
