#include "RecordingOwner.h"
#include "TreeSample.h"

#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeSpinnerEdit.h"
#include "platform/Colors.h"
#include "platform/ScriptedDialogs.h"

#include "../../support/TestSupport.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace platform;

namespace {

// Whether any pixel inside rect has exactly colour.
bool containsColour(const QImage& image, const QRect& rect, QRgb colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

// The first row of rect, from the top, holding a dark (text) pixel; -1 when none does.
int firstTextRow(const QImage& image, const QRect& rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                return y;
        }
    }
    return -1;
}

COptionTreeItemComboBox* comboOf(TreeSample& sample) {
    return static_cast<COptionTreeItemComboBox*>(sample.item(3));
}
COptionTreeItemSpinner* spinnerOf(TreeSample& sample) {
    return static_cast<COptionTreeItemSpinner*>(sample.item(4));
}

} // namespace

class TestOptionTreeItems : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        Dialogs::setInstance(&dialogs);
        dialogs.clear();
    }

    void comboCommitsOnceWhenTheFocusMovesInsideTheTree() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(3));
        auto* combo = comboOf(sample)->GetComboWindow();
        QVERIFY(combo->isVisible());
        QCOMPARE(combo->geometry(), comboOf(sample)->GetValueRect());
        // Opening and closing the list is part of the edit.
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support grabbing the keyboard");
        combo->showPopup();
        QVERIFY(combo->view()->isVisible());
        combo->hidePopup();
        QVERIFY(combo->isVisible());
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);
        QTest::keyClick(combo, Qt::Key_Down); // picking changes the selection, sends nothing
        QCOMPARE(comboOf(sample)->GetCurSel(), 1);
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);

        sample.click(sample.labelPoint(8));
        QCOMPARE(owner.itemsOf(OTN_ITEMCHANGED), QList<COptionTreeItem*>{comboOf(sample)});
        QVERIFY(combo->isHidden());
        sample.click(sample.labelPoint(2));
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 1);
        // Idle, the row shows the chosen entry as text.
        QCOMPARE(comboOf(sample)->ValueText(), QStringLiteral("B"));
    }

    void comboStaysOpenWhileTheFocusIsOutsideTheTree() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        QLineEdit outside(&sample.window);
        outside.setGeometry(0, 0, 10, 10);
        outside.lower();
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(3));
        outside.setFocus();
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);
        QVERIFY(comboOf(sample)->GetComboWindow()->isVisible());
        // Back in the tree the edit left open is committed.
        sample.click(sample.labelPoint(2));
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 1);
        QVERIFY(comboOf(sample)->GetComboWindow()->isHidden());
    }

    void comboWithoutAWindowHasNoValueAndCannotBeEdited() {
        TreeSample sample;
        sample.fill();
        auto* bare = sample.tree->AddItem(std::make_unique<COptionTreeItemComboBox>(), sample.item(5));
        bare->SetLabelText(QStringLiteral("Bare"));
        QVERIFY(sample.show());
        QCOMPARE(bare->GetCurSel(), -1);
        QCOMPARE(bare->AddString(QStringLiteral("X")), -1);
        sample.click(sample.valuePoint(bare->GetId()));
        QVERIFY(!bare->GetComboWindow());
        QVERIFY(!bare->CreateComboWindow() || bare->GetComboWindow());
        QVERIFY(!bare->CreateComboWindow()); // a second window is refused
        COptionTreeItemComboBox loose;
        QVERIFY(!loose.CreateComboWindow()); // not in a tree
    }

    void readOnlyValuesAreGrey() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        // Less the list's right frame, where the keyboard's dotted mark runs.
        const QRect value = comboOf(sample)->GetValueRect().adjusted(0, 0, -2, 0);
        const QRgb normal = toQColor(comboOf(sample)->GetValueTextColor()).rgb();
        const QRgb grey = sysColor(COLOR_GRAYTEXT).rgb();
        QVERIFY(normal != grey);
        QVERIFY(containsColour(sample.image(), value, normal));
        QVERIFY(!containsColour(sample.image(), value, grey));
        comboOf(sample)->SetReadOnly(true);
        sample.tree->Redraw();
        QVERIFY(containsColour(sample.image(), value, grey));
        QVERIFY(!containsColour(sample.image(), value, normal));
        sample.click(sample.valuePoint(3));
        QVERIFY(comboOf(sample)->GetComboWindow()->isHidden());
    }

    void dividerMovesTheOpenListButLeavesAHiddenOneHidden() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(3));
        sample.tree->SetDivider(200);
        sample.tree->RepositionAllControls();
        auto* combo = comboOf(sample)->GetComboWindow();
        QVERIFY(combo->isVisible());
        QCOMPARE(combo->x(), 205);
        auto* spinner = spinnerOf(sample)->GetSpinnerWindow();
        QVERIFY(spinner->isHidden());
        QCOMPARE(spinner->x(), 205);
    }

    void comboIsEditedFromTheKeyboardAlone() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.list()->setFocus();
        sample.key(Qt::Key_Down);
        sample.key(Qt::Key_Down);
        sample.key(Qt::Key_Down);
        QCOMPARE(sample.tree->GetFocusItem(), comboOf(sample));
        sample.key(Qt::Key_Return);
        QVERIFY(comboOf(sample)->GetComboWindow()->hasFocus());
        sample.key(Qt::Key_Down);
        sample.key(Qt::Key_Down);
        sample.key(Qt::Key_Return);
        QVERIFY(sample.list()->hasFocus());
        QCOMPARE(comboOf(sample)->GetCurSel(), 2);
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 1);
    }

    // Keys an open editor takes or ignores stay with it: they used to reach the tree, which moved
    // its focus row and hid the editor while the editor kept the keyboard.
    void keysStayWithAnOpenEditor_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, int id, Qt::Key key, const char* value) {
            QTest::newRow(name) << id << int(key) << QString::fromLatin1(value);
        };
        row("spinner Down", 4, Qt::Key_Down, "4");
        row("spinner Up", 4, Qt::Key_Up, "6");
        row("spinner Left", 4, Qt::Key_Left, "5");
        row("spinner Right", 4, Qt::Key_Right, "5");
        row("spinner Home", 4, Qt::Key_Home, "5");
        row("spinner End", 4, Qt::Key_End, "5");
        row("spinner F2", 4, Qt::Key_F2, "5");
        row("combo Left", 3, Qt::Key_Left, "A");
        row("combo Right", 3, Qt::Key_Right, "A");
        row("combo Up", 3, Qt::Key_Up, "A");
        row("combo Down", 3, Qt::Key_Down, "B");
        row("combo End", 3, Qt::Key_End, "C");
        row("combo Home", 3, Qt::Key_Home, "A");
        row("combo F2", 3, Qt::Key_F2, "A");
    }
    void keysStayWithAnOpenEditor() {
        QFETCH(int, id);
        QFETCH(int, key);
        QFETCH(QString, value);
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(id));
        auto* row = static_cast<COptionTreeControlItem*>(sample.item(id));
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor && row->GetControl()->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key(key));
        QCOMPARE(sample.tree->GetFocusItem(), row);
        QVERIFY(row->IsEditing());
        QVERIFY(row->GetControl()->isVisible());
        QCOMPARE(QApplication::focusWidget(), editor);
        QCOMPARE(row->ValueText(), value);
        QCOMPARE(owner.count(OTN_SELCHANGED), 1); // the click's only
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);
        // Enter still ends the edit, committing the value the editor shows.
        sample.key(Qt::Key_Return);
        QTRY_COMPARE(owner.itemsOf(OTN_ITEMCHANGED), QList<COptionTreeItem*>{row});
        QCOMPARE(row->ValueText(), value);
    }

    void spinnerStopsAtTheRangeEndsWithInactiveArrows() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(4));
        COptionTreeSpinner* spinner = spinnerOf(sample)->GetSpinnerWindow();
        QWidget* edit = spinner->GetEdit();
        QVERIFY(edit->hasFocus());
        const QImage middle = spinner->grab().toImage();
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(spinner->GetValueText(), QStringLiteral("10"));
        QVERIFY(spinner->IsUpInactive());
        const QImage top = spinner->grab().toImage();
        QVERIFY(top.copy(spinner->UpButtonRect()) != middle.copy(spinner->UpButtonRect()));
        QVERIFY(top.copy(spinner->DownButtonRect()) == middle.copy(spinner->DownButtonRect()));
        QTest::mouseClick(spinner, Qt::LeftButton, Qt::NoModifier, spinner->DownButtonRect().center());
        QCOMPARE(spinner->GetValueText(), QStringLiteral("9"));
        spinner->SetValue(1);
        QTest::keyClick(edit, Qt::Key_Down);
        QCOMPARE(spinner->GetValueText(), QStringLiteral("1"));
        QVERIFY(spinner->IsDownInactive());
        QVERIFY(!spinner->IsUpInactive());
    }

    void spinnerWrapsAroundWithTheWrapOption() {
        TreeSample sample;
        sample.fill();
        auto* wrapping = sample.spinner(QStringLiteral("Wrap"), sample.item(5), OTSO_WRAP | OTSO_EDITABLE);
        QVERIFY(sample.show());
        COptionTreeSpinner* spinner = wrapping->GetSpinnerWindow();
        spinner->SetValue(10);
        spinner->StepUp();
        QCOMPARE(spinner->GetValueText(), QStringLiteral("1"));
        spinner->StepDown();
        QCOMPARE(spinner->GetValueText(), QStringLiteral("10"));
        QVERIFY(!spinner->IsUpInactive());
    }

    void spinnerReadsTheLeadingNumberOfItsText() {
        TreeSample sample;
        sample.fill();
        COptionTreeItemSpinner* item = spinnerOf(sample);
        COptionTreeSpinner* spinner = item->GetSpinnerWindow();
        int number = -1;
        double real = -1;
        spinner->GetEdit()->setText(QStringLiteral("abc"));
        QVERIFY(item->GetValueInt(number));
        QVERIFY(item->GetValue(real));
        QCOMPARE(number, 0);
        QCOMPARE(real, 0.0);
        spinner->SetRange(-5, 5);
        spinner->StepDown();
        QCOMPARE(spinner->GetValueText(), QStringLiteral("-1"));
        spinner->GetEdit()->setText(QStringLiteral("  25 pages"));
        item->GetValueInt(number);
        QCOMPARE(number, 25);
        spinner->GetEdit()->setText(QStringLiteral("99999999999"));
        item->GetValueInt(number);
        QCOMPARE(number, std::numeric_limits<int>::max());
        item->SetValue(2.6);
        QCOMPARE(item->GetValueText(), QStringLiteral("3"));
        item->SetValueInt(-7);
        QCOMPARE(item->GetValueText(), QStringLiteral("-7"));

        COptionTreeItemSpinner loose;
        QVERIFY(!loose.GetValueInt(number));
        QCOMPARE(number, 0);
        QVERIFY(!loose.CreateSpinnerWindow(0, 1, 0, 2));
    }

    void typingNeedsTheEditableOption() {
        TreeSample sample;
        sample.fill();
        auto* locked = sample.spinner(QStringLiteral("Locked"), sample.item(5), 0);
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(locked->GetId()));
        QWidget* edit = locked->GetSpinnerWindow()->GetEdit();
        QVERIFY(edit->hasFocus());
        QTest::keyClicks(edit, QStringLiteral("7"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(locked->GetValueText(), QStringLiteral("5"));
        QTest::keyClick(edit, Qt::Key_Up);
        QCOMPARE(locked->GetValueText(), QStringLiteral("6"));

        // With the option, typing replaces the selected value.
        sample.click(sample.valuePoint(4));
        QTest::keyClicks(spinnerOf(sample)->GetSpinnerWindow()->GetEdit(), QStringLiteral("8"));
        QCOMPARE(spinnerOf(sample)->GetValueText(), QStringLiteral("8"));
    }

    void spinnerCommitsOnceWhenItsEditLosesTheFocus() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(4));
        COptionTreeSpinner* spinner = spinnerOf(sample)->GetSpinnerWindow();
        // Arrow clicks keep the edit focused: no commit yet.
        QTest::mouseClick(spinner, Qt::LeftButton, Qt::NoModifier, spinner->UpButtonRect().center());
        QTest::qWait(1);
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);
        sample.click(sample.labelPoint(2));
        QTRY_COMPARE(owner.count(OTN_ITEMCHANGED), 1);
        QVERIFY(spinner->isHidden());
        int value = 0;
        spinnerOf(sample)->GetValueInt(value);
        QCOMPARE(value, 6);
        QTest::qWait(5);
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 1);
    }

    void holdingAnArrowRepeatsUntilReleased() {
        TreeSample sample;
        sample.fill();
        auto* big = sample.tree->AddItem(std::make_unique<COptionTreeItemSpinner>(), sample.item(5));
        big->CreateSpinnerWindow(OTSO_EDITABLE, 0, 0, 100000);
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(big->GetId()));
        COptionTreeSpinner* spinner = big->GetSpinnerWindow();
        QVERIFY(spinner->GetRepeatDelay() > 0 && spinner->GetRepeatInterval() > 0);
        QTest::mousePress(spinner, Qt::LeftButton, Qt::NoModifier, spinner->UpButtonRect().center());
        QCOMPARE(spinner->GetValueInt(), 1);
        QTest::qWait(spinner->GetRepeatDelay() / 4);
        QCOMPARE(spinner->GetValueInt(), 1); // nothing before the delay
        QTRY_VERIFY_WITH_TIMEOUT(spinner->GetValueInt() >= 3,
                                 spinner->GetRepeatDelay() + 4 * spinner->GetRepeatInterval() + 500);
        QTest::mouseRelease(spinner, Qt::LeftButton, Qt::NoModifier, spinner->UpButtonRect().center());
        const int released = spinner->GetValueInt();
        QTest::qWait(2 * spinner->GetRepeatInterval());
        QCOMPARE(spinner->GetValueInt(), released);
    }

    void contextMenuFollowsTheOptionsAndTheText() {
        TreeSample sample;
        sample.fill();
        auto* locked = sample.spinner(QStringLiteral("Locked"), sample.item(5), 0);
        COptionTreeSpinner* spinner = spinnerOf(sample)->GetSpinnerWindow();
        QGuiApplication::clipboard()->setText(QStringLiteral("12"));
        const auto enabled = [](QMenu& menu) {
            QStringList on;
            for (QAction* action : menu.actions()) {
                if (!action->isSeparator() && action->isEnabled())
                    on.append(action->text());
            }
            return on;
        };
        spinner->GetEdit()->deselect();
        auto menu = spinner->CreateContextMenu();
        QCOMPARE(menu->actions().size(), 8);
        QCOMPARE(enabled(*menu), (QStringList{QStringLiteral("&Paste"), QStringLiteral("Select &All")}));
        spinner->GetEdit()->selectAll();
        menu = spinner->CreateContextMenu();
        QCOMPARE(enabled(*menu),
                 (QStringList{QStringLiteral("Cu&t"), QStringLiteral("&Copy"), QStringLiteral("&Paste"),
                              QStringLiteral("&Delete"), QStringLiteral("Select &All")}));
        menu->actions().at(5)->trigger(); // Delete
        QCOMPARE(spinner->GetValueText(), QString());
        menu = spinner->CreateContextMenu();
        QVERIFY(menu->actions().at(0)->isEnabled()); // Undo now

        COptionTreeSpinner* fixed = locked->GetSpinnerWindow();
        fixed->GetEdit()->selectAll();
        menu = fixed->CreateContextMenu();
        QCOMPARE(enabled(*menu), (QStringList{QStringLiteral("&Copy"), QStringLiteral("Select &All")}));
        menu->actions().at(3)->trigger(); // Copy works without the option: it changes nothing
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("5"));
    }

    void contextMenuOpensOnARightClick() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(4));
        QWidget* edit = spinnerOf(sample)->GetSpinnerWindow()->GetEdit();
        QStringList seen;
        QTimer::singleShot(0, this, [&seen] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction* action : menu->actions())
                seen.append(action->text());
            menu->close();
        });
        // The offscreen platform says so about every popup it shows.
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support grabbing the keyboard");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &event);
        QCOMPARE(seen, (QStringList{QStringLiteral("&Undo"), QString(), QStringLiteral("Cu&t"),
                                    QStringLiteral("&Copy"), QStringLiteral("&Paste"),
                                    QStringLiteral("&Delete"), QString(), QStringLiteral("Select &All")}));
        // The menu does not count as leaving the edit.
        QVERIFY(sample.item(4)->IsEditing());
    }

    void folderItemChoosesThroughTheFolderDialog() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        auto* folder = sample.tree->AddItem(std::make_unique<COptionTreeItemFile>(), sample.item(5));
        QVERIFY(folder->SetFileOptions(QString(), QString(), QString(), OTFO_FOLDER | OTFO_FULLPATH, 0x49));
        QVERIFY(sample.show());
        QCOMPARE(folder->DisplayText(), QStringLiteral("No selection made."));
        QCOMPARE(folder->GetChosenFolder(), QString());
        const int height = folder->GetHeight();
        // Its one line sits at the same height in its row as the other values.
        comboOf(sample)->SetCurSel(comboOf(sample)->AddString(folder->DisplayText()));
        const QImage image = sample.image();
        const QRect folderValue = folder->GetValueRect().adjusted(2, 0, 0, 0);
        const QRect comboValue = comboOf(sample)->GetValueRect().adjusted(2, 0, 0, 0);
        QCOMPARE(firstTextRow(image, folderValue) - folderValue.top(),
                 firstTextRow(image, comboValue) - comboValue.top());

        sample.click(sample.valuePoint(folder->GetId())); // cancelled: nothing changes
        QCOMPARE(dialogs.requestCount(), 1);
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 0);
        QCOMPARE(folder->GetPaths(), QStringList{QString()});
        QCOMPARE(folder->GetHeight(), height);

        dialogs.queueFolder("/tmp/out/");
        sample.click(sample.labelPoint(2));
        sample.click(sample.valuePoint(folder->GetId()));
        QCOMPARE(owner.itemsOf(OTN_ITEMCHANGED), QList<COptionTreeItem*>{folder});
        QCOMPARE(folder->GetChosenFolder(), QStringLiteral("/tmp/out/"));
        QCOMPARE(folder->DisplayText(), QStringLiteral("/tmp/out/\n"));
        QCOMPARE(folder->GetHeight(), height);

        COptionTreeItemFile loose;
        QVERIFY(!loose.SetFileOptions(QStringLiteral("/x"), QString(), QString(), 0, 0));
        QVERIFY(loose.GetPaths().isEmpty());
    }

    // Delete or Backspace on a file row empties it again ("No selection made."): once a folder
    // was chosen there was no way back to none.
    void deleteEmptiesAFileRow() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        auto* folder = sample.folder(QStringLiteral("Folder"), sample.item(5), QStringLiteral("/srv/first/"));
        QVERIFY(sample.show());
        dialogs.queueFolder("/srv/chosen/");
        sample.click(sample.valuePoint(folder->GetId()));
        QCOMPARE(folder->GetChosenFolder(), QStringLiteral("/srv/chosen/"));
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 1);

        sample.key(Qt::Key_Delete);
        QCOMPARE(folder->GetPaths(), QStringList());
        QCOMPARE(folder->DisplayText(), QStringLiteral("No selection made."));
        QCOMPARE(folder->GetChosenFolder(), QString()); // readers of the last choice see none
        QCOMPARE(owner.itemsOf(OTN_ITEMCHANGED), (QList<COptionTreeItem*>{folder, folder}));
        QCOMPARE(sample.tree->GetFocusItem(), folder);
        sample.key(Qt::Key_Backspace); // nothing left to empty: no second change
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 2);

        // Backspace works as well; a read-only row and rows of other kinds keep their value.
        dialogs.queueFolder("/srv/again/");
        sample.key(Qt::Key_Return);
        sample.key(Qt::Key_Backspace);
        QCOMPARE(folder->DisplayText(), QStringLiteral("No selection made."));
        dialogs.queueFolder("/srv/kept/");
        sample.key(Qt::Key_Return);
        folder->SetReadOnly(true);
        sample.key(Qt::Key_Delete);
        QCOMPARE(folder->GetPaths(), QStringList{QStringLiteral("/srv/kept/")});
        sample.click(sample.labelPoint(3));
        sample.key(Qt::Key_Delete);
        QCOMPARE(comboOf(sample)->ValueText(), QStringLiteral("A"));
        QCOMPARE(owner.count(OTN_ITEMCHANGED), 5);
    }

    // A long folder keeps its own name in sight: the middle of the path gives way to an
    // ellipsis, and the row's tool tip holds the whole path.
    void longFolderIsShortenedInTheMiddleAndWholeInItsToolTip() {
        TreeSample sample;
        sample.fill();
        const QString path = QStringLiteral("/home/reader/") + QStringLiteral("archive/").repeated(20) +
                             QStringLiteral("Results/");
        auto* folder = sample.folder(QStringLiteral("Folder"), sample.item(5), path);
        QVERIFY(sample.show());
        const QRect value = folder->GetValueRect();
        const QFontMetrics metrics(sample.tree->GetNormalFont());
        const QString shown = folder->ShownText(metrics, value.width());
        QVERIFY2(shown.startsWith(QStringLiteral("/home/")) && shown.endsWith(QStringLiteral("/Results/\n")),
                 qPrintable(shown));
        QVERIFY(shown.contains(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(shown.trimmed()) < value.width());
        // Nothing is cut at the right edge: the text ends before the list's frame (and the
        // keyboard's dotted mark inside it).
        const QRect rightEdge(value.right() - 5, value.top() + 1, 3, value.height() - 2);
        QCOMPARE(firstTextRow(sample.image(), rightEdge), -1);

        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QHelpEvent onFolder(QEvent::ToolTip, sample.labelPoint(folder->GetId()),
                            sample.list()->mapToGlobal(sample.labelPoint(folder->GetId())));
        QApplication::sendEvent(sample.list(), &onFolder);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), path);
        // Rows without paths have no tool tip.
        QHelpEvent onCombo(QEvent::ToolTip, sample.valuePoint(3),
                           sample.list()->mapToGlobal(sample.valuePoint(3)));
        QApplication::sendEvent(sample.list(), &onCombo);
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void fileItemGrowsForSeveralFilesAndShowsOnlyExistingNames() {
        QTemporaryDir folder;
        const QString first = folder.filePath(QStringLiteral("one.txt"));
        const QString second = folder.filePath(QStringLiteral("two.pdf"));
        for (const QString& path : {first, second}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString missing = folder.filePath(QStringLiteral("gone.txt"));

        TreeSample sample;
        QFont small = sample.tree->font();
        small.setPixelSize(8);
        sample.tree->setFont(small);
        sample.fill();
        auto* files = sample.tree->AddItem(std::make_unique<COptionTreeItemFile>(), sample.item(5));
        QVERIFY(files->SetFileOptions(QString(), QString(), QStringLiteral("Text|*.txt|All|*"),
                                      OTFO_OPENDIALOG | OTFO_FILENAME, OFN_ALLOWMULTISELECT));
        QVERIFY(sample.show());
        QCOMPARE(files->GetHeight(), 21);
        dialogs.queueFiles({first.toStdString(), missing.toStdString(), second.toStdString()});
        sample.click(sample.valuePoint(files->GetId()));
        QCOMPARE(files->GetPaths().size(), 3);
        QCOMPARE(files->GetHeight(), 38);
        QVERIFY(files->IsLabelAtTop());
        QCOMPARE(files->DisplayText(), QStringLiteral("one.txt\ntwo.pdf\n"));
        QCOMPARE(sample.tree->GetTotalHeight(), 8 * 21 + 38);

        // One file again: back to the first height, label centred.
        dialogs.queueFiles({second.toStdString()});
        sample.click(sample.labelPoint(2));
        sample.click(sample.valuePoint(files->GetId()));
        QCOMPARE(files->GetHeight(), 21);
        QVERIFY(!files->IsLabelAtTop());
    }

    void fileDialogTakesFiltersAndTheDefaultExtension() {
        QCOMPARE(
            COptionTreeFileDialog::NameFilters(QStringLiteral("Text Files|*.txt;*.text|All Files|*.*|")),
            (QStringList{QStringLiteral("Text Files (*.txt *.text)"), QStringLiteral("All Files (*.*)")}));
        COptionTreeFileDialog dialog;
        dialog.SetOpenDialog(false);
        dialog.SetDefaultExtension(QStringLiteral("txt"));
        dialogs.queueSaveFile("/tmp/result");
        QCOMPARE(dialog.ChooseFile(), QStringList{QStringLiteral("/tmp/result.txt")});
        dialogs.queueSaveFile("/tmp/result.htm");
        QCOMPARE(dialog.ChooseFile(), QStringList{QStringLiteral("/tmp/result.htm")});
        QCOMPARE(dialog.ChooseFile(), QStringList()); // cancelled
        // Several files only with the multiple-selection flag.
        dialog.SetOpenDialog(true);
        dialogs.queueFiles({"/a", "/b"});
        QCOMPARE(dialog.ChooseFile(), QStringList{QStringLiteral("/a")});
    }

private:
    ScriptedDialogs dialogs;
};

QTEST_MAIN(TestOptionTreeItems)
#include "tst_optiontreeitems.moc"
