#include "JobPaneFixture.h"
#include "controls/chrome/IconButton.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextLabel.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "controls/grid/GridCellCheck.h"
#include "controls/grid/GridCellEdit.h"
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "core/ConverterApp.h"
#include "core/FileFacts.h"
#include "resource.h"
#include "ui/PanelKeys.h"
#include "ui/PanelLayout.h"
#include "ui/RightView.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QStyle>
#include <QTextBlock>
#include <QUrl>

using namespace platform;

namespace {

QStringList strings(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

QStringList texts(const std::vector<std::string>& list) {
    return testsupport::texts(list);
}

QString importedMessage(const QString& path) {
    return QStringLiteral("File: ") + path + QStringLiteral(" have been imported!");
}

QList<bool> ticks(const JobPaneFixture& pane) {
    QList<bool> result;
    for (int row = 1; row < pane.grid()->GetRowCount(); ++row)
        result.append(static_cast<grid::CGridCellCheck*>(pane.grid()->GetCell(row, 0))->GetCheck());
    return result;
}

int pixelsUnlike(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) != colour;
    return count;
}

// A drop as the window system delivers it: entering first, then the drop.
void drop(ConvertPanel* panel, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &event);
}

// A PDF of exactly size bytes: an information entry pads it out.
QString pdfOfSize(const JobPaneFixture& pane, const QString& name, fixtures::RawPdf document, qint64 size) {
    const QString path = pane.temp.filePath(name);
    for (int attempt = 0; attempt < 8; ++attempt) {
        fixtures::writeRawPdf(path, document);
        const qint64 missing = size - QFileInfo(path).size();
        if (missing == 0)
            return path;
        QByteArray key = document.info.isEmpty() ? QByteArray("Pad") : document.info.first().first;
        QByteArray value = document.info.isEmpty() ? QByteArray() : document.info.first().second;
        if (document.info.isEmpty())
            value = QByteArray(8, 'p'); // the entry's own overhead comes first
        else if (missing % 2 != 0)
            key += 'x'; // values are written in hex, two characters a byte
        else if (missing > 0)
            value += QByteArray(int(missing / 2), 'p');
        else
            value.chop(int(-missing / 2));
        document.info = {{key, value}};
    }
    qFatal("cannot make %s %lld bytes long", qPrintable(name), size);
}

} // namespace

class TestConvertPanel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void filesAreAddedWithTheirFacts() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QString upper = pane.file(QStringLiteral("a.PDF"), 1023);
        const QString mega = pane.file(QStringLiteral("big.pdf"), 1048576);
        const QString text = pane.file(QStringLiteral("notes.txt"));
        pane.panel->currentProgress()->SetWindowText(QStringLiteral("Convert stopped."));
        pane.openFiles({upper, text, mega});

        QCOMPARE(pane.column(1), (QStringList{QStringLiteral("a.PDF"), QStringLiteral("big.pdf")}));
        QCOMPARE(pane.column(2), (QStringList{QStringLiteral("0 KB"), QStringLiteral("1,024 KB")}));
        const QString created = pane.column(3).first();
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d{4}$"))
                     .match(created)
                     .hasMatch(),
                 qPrintable(created));
        QCOMPARE(pane.column(4), (QStringList{QString(), QString()}));
        QCOMPARE(ticks(pane), (QList<bool>{true, true}));
        QCOMPARE(texts({pane.panel->jobs().at(0), pane.panel->jobs().at(1)}), (QStringList{upper, mega}));
        for (int row = 1; row <= 2; ++row) {
            QCOMPARE(pane.grid()->GetRowHeight(row) >= 18, true);
            for (int col = 0; col < 6; ++col)
                QCOMPARE(pane.grid()->IsCellEditable(row, col), col >= 4);
        }
        QCOMPARE(pane.panel->currentProgress()->GetWindowText(), QStringLiteral("Waiting for converting."));

        // Cancelling the dialog changes nothing.
        pane.dialogs.queueFiles({});
        pane.key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(pane.grid()->GetRowCount(), 3);
    }

    // Folders are searched recursively for names ending in ".pdf"; a link back up does not
    // make the search run for ever, and every file already listed is reported once.
    void importingAFolderTwiceReportsEachFileOnce() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QString first = pane.file(QStringLiteral("docs/one.pdf"));
        const QString second = pane.file(QStringLiteral("docs/sub/two.Pdf"));
        pane.file(QStringLiteral("docs/reportpdf"));
        pane.file(QStringLiteral("docs/readme.txt"));
        QVERIFY(QFile::link(pane.temp.filePath(QStringLiteral("docs")),
                            pane.temp.filePath(QStringLiteral("docs/sub/loop"))));

        pane.importFolder(pane.temp.filePath(QStringLiteral("docs")));
        QCOMPARE(pane.column(1), (QStringList{QStringLiteral("one.pdf"), QStringLiteral("two.Pdf")}));
        QVERIFY(pane.dialogs.messageTexts().empty());

        pane.importFolder(pane.temp.filePath(QStringLiteral("docs")));
        QCOMPARE(texts(pane.dialogs.messageTexts()),
                 (QStringList{importedMessage(first), importedMessage(second)}));
        for (const MessageRequest& message : pane.dialogs.messages())
            QCOMPARE(int(message.buttons), int(MessageButtons::Ok));
        QCOMPARE(pane.grid()->GetRowCount(), 3);
    }

    // A drop takes files whose names end in "pdf", dot or not, and imports folders, without
    // touching the progress bars.
    void droppedFilesAndFolders() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QString report = pane.file(QStringLiteral("reportpdf"));
        const QString text = pane.file(QStringLiteral("notes.txt"));
        pane.file(QStringLiteral("folder/inner.pdf"));
        pane.file(QStringLiteral("folder/otherpdf"));
        pane.panel->totalProgress()->SetWindowText(QStringLiteral("Convert stopped."));

        // Files dropped on the summary go to the pane too.
        QVERIFY(!pane.panel->summaryPane()->acceptDrops() &&
                !pane.panel->summaryPane()->viewport()->acceptDrops());
        drop(pane.panel, {report, text, pane.temp.filePath(QStringLiteral("folder"))});
        QCOMPARE(pane.column(1), (QStringList{QStringLiteral("reportpdf"), QStringLiteral("inner.pdf")}));
        QCOMPARE(pane.panel->totalProgress()->GetWindowText(), QStringLiteral("Convert stopped."));
        drop(pane.panel, {report});
        // The drag source waits for the drop: the box about the listed file comes after it.
        QVERIFY(pane.dialogs.messageTexts().empty());
        QTRY_COMPARE(texts(pane.dialogs.messageTexts()), QStringList{importedMessage(report)});
        QCOMPARE(pane.column(1), (QStringList{QStringLiteral("reportpdf"), QStringLiteral("inner.pdf")}));
    }

    void removeSelectedTakesOnlyTheTopMostSelectedRow() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths.append(pane.pdf(QStringLiteral("job%1.pdf").arg(i)));
        pane.openFiles(paths);
        pane.clickCell(1, 1);
        QVERIFY(!pane.panel->summaryPane()->toPlainText().isEmpty());

        pane.grid()->SelectRange(2, 0, 4, 5);
        pane.key(Qt::Key_Delete);
        QCOMPARE(pane.column(1), (QStringList{QStringLiteral("job1.pdf"), QStringLiteral("job3.pdf"),
                                              QStringLiteral("job4.pdf"), QStringLiteral("job5.pdf")}));
        QCOMPARE(QFileInfo(QString::fromStdString(pane.panel->jobs().at(1))).fileName(),
                 QStringLiteral("job3.pdf"));
        QVERIFY(pane.panel->summaryPane()->toPlainText().isEmpty());

        pane.key(Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(pane.grid()->GetRowCount(), 1);
        QCOMPARE(pane.panel->jobs().size(), 0);
        QCOMPARE(pane.grid()->GetCellText(0, 1), QStringLiteral("File Name"));
    }

    void tickCommands() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        pane.openFiles({pane.file(QStringLiteral("a.pdf")), pane.file(QStringLiteral("b.pdf")),
                        pane.file(QStringLiteral("c.pdf"))});
        pane.key(Qt::Key_A, Qt::ControlModifier);
        pane.key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(ticks(pane), (QList<bool>{false, false, false}));
        pane.clickCell(2, 2);
        pane.key(Qt::Key_Space);
        QCOMPARE(ticks(pane), (QList<bool>{false, true, false}));
        pane.key(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(ticks(pane), (QList<bool>{true, false, true}));
        const std::vector<ConvertPanel::CheckedJob> checked = pane.panel->checkedJobs();
        QCOMPARE(int(checked.size()), 2);
        QCOMPARE(checked[1].row, 3);
        QCOMPARE(QString::fromStdString(checked[1].path), pane.temp.filePath(QStringLiteral("c.pdf")));
        pane.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(ticks(pane), (QList<bool>{false, false, false}));
    }

    // The grid would cut the selected row's cells to the clipboard on Ctrl+X, select every cell
    // on Ctrl+A and clear cells on Delete: the pane's keys must reach the pane alone. In an open
    // cell editor the same keys edit the text, as in a password box: Ctrl+X takes the selected
    // text out, but not to the clipboard.
    void paneKeysAreTakenOnce() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        pane.openFiles({pane.file(QStringLiteral("a.pdf")), pane.file(QStringLiteral("b.pdf"))});
        pane.clickCell(1, 4);
        pane.clickCell(1, 4); // a second click on the focus cell opens its editor
        auto* editor = pane.grid()->findChild<grid::CGridCellEdit*>();
        QVERIFY(editor && editor->hasFocus());
        QTest::keyClicks(editor, QStringLiteral("secret"));
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        pane.key(Qt::Key_A, Qt::ControlModifier);
        pane.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
        QVERIFY(editor->text().isEmpty());
        QCOMPARE(ticks(pane), (QList<bool>{true, true}));
        QTest::keyClicks(editor, QStringLiteral("owner"));
        pane.key(Qt::Key_Delete);
        pane.key(Qt::Key_Return);
        QCOMPARE(pane.grid()->GetCellText(1, 4), QStringLiteral("owner"));
        QCOMPARE(pane.grid()->GetRowCount(), 3);
        QCOMPARE(pane.panel->passwords(1).owner, std::string("owner"));

        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        QCOMPARE(QApplication::focusWidget(), pane.grid());
        pane.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(pane.grid()->GetCellText(1, 4), QStringLiteral("owner"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
        QCOMPARE(ticks(pane), (QList<bool>{false, false}));
        const int selected = pane.grid()->GetSelectedCount();
        pane.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(pane.grid()->GetSelectedCount(), selected);
        QCOMPARE(ticks(pane), (QList<bool>{true, true}));
        pane.key(Qt::Key_Delete);
        QCOMPARE(pane.column(1), QStringList{QStringLiteral("b.pdf")});
    }

    // A header click must leave no column selection behind that Space, Delete or Ctrl+E
    // would then take for the last or first row.
    void headerClickSelectsNothing() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        pane.openFiles({pane.file(QStringLiteral("a.pdf")), pane.file(QStringLiteral("b.pdf"))});
        pane.key(Qt::Key_X, Qt::ControlModifier);
        for (int col : {0, 2}) {
            QTest::mouseClick(pane.grid(), Qt::LeftButton, Qt::NoModifier,
                              QPoint(pane.cellCentre(1, col).x(), 5));
            QCOMPARE(pane.grid()->GetSelectedCount(), 0);
            pane.key(Qt::Key_Space);
            pane.key(Qt::Key_Delete);
            pane.key(Qt::Key_E, Qt::ControlModifier);
        }
        QCOMPARE(ticks(pane), (QList<bool>{false, false}));
        QCOMPARE(pane.grid()->GetRowCount(), 3);
        QVERIFY(pane.shell.requests().isEmpty());
    }

    // Flat buttons show no frame until hovered: the keyboard's focus must still be seen.
    void buttonsShowIconTipAndKeyboardFocus() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QList<QPair<int, const char*>> tips{{ID_OPEN_FILE, "Open File (Ctrl+O)"},
                                                  {ID_IMPORT_DIRECTORY, "Open Directory (Ctrl+D)"},
                                                  {ID_REMOVE_SELECTED, "Remove Current Selected Item (Del)"},
                                                  {ID_CLEAR_ALL_SELECTED, "Clear All Selected (Ctrl+X)"},
                                                  {ID_START_CONVERT, "Start Convert (F5)"},
                                                  {ID_STOP_CONVERT, "Stop Convert (Shift+F5)"}};
        for (const auto& [id, tip] : tips) {
            CIconButton* button = pane.panel->button(id);
            QCOMPARE(button->toolTip(), QString::fromUtf8(tip));
            const QImage unfocused = button->grab().toImage();
            QVERIFY2(pixelsUnlike(unfocused, unfocused.pixel(1, 1)) > 50, tip); // the icon shows
            button->setFocus(Qt::TabFocusReason);
            QVERIFY(button->grab().toImage() != unfocused);
        }
        // Tab walks the buttons under the grid, the summary, then Start and Stop.
        pane.panel->button(ID_OPEN_FILE)->setFocus(Qt::TabFocusReason);
        QList<QWidget*> visited;
        for (int i = 0; i < 6; ++i) {
            pane.key(Qt::Key_Tab);
            visited.append(QApplication::focusWidget());
        }
        QCOMPARE(visited, (QList<QWidget*>{
                              pane.panel->button(ID_IMPORT_DIRECTORY), pane.panel->button(ID_REMOVE_SELECTED),
                              pane.panel->button(ID_CLEAR_ALL_SELECTED), pane.panel->summaryPane(),
                              pane.panel->button(ID_START_CONVERT), pane.panel->button(ID_STOP_CONVERT)}));
    }

    // The window's shortcut for a pane key stays off while the focus is in the pane: the pane
    // answers the key once, and during a batch not at all.
    void paneKeysKeepTheWindowsShortcutsOff() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        pane.openFiles({pane.file(QStringLiteral("a.pdf"))});
        QAction* explore = pane.router.action(ID_OPEN_FILE_DIRECTORY);
        explore->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
        pane.window.addAction(explore);
        pane.clickCell(1, 1);
        pane.panel->setRunning(true);
        pane.key(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(pane.shell.requests().isEmpty());
        pane.panel->setRunning(false);
        pane.key(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(pane.shell.requests().size(), 1);
    }

    void enablingFollowsJobsAndBatch_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("running");
        const bool yes = true;
        const bool no = false;
        QTest::newRow("Open File") << ID_OPEN_FILE << yes << yes << no;
        QTest::newRow("Import Directory") << ID_IMPORT_DIRECTORY << yes << yes << no;
        QTest::newRow("Open File Directory") << ID_OPEN_FILE_DIRECTORY << no << yes << yes;
        QTest::newRow("Open with Associated App") << ID_OPEN_WITH_ASSOCIATED_APP << no << yes << yes;
        QTest::newRow("Remove All") << ID_REMOVE_ALL << no << yes << no;
        QTest::newRow("Remove Selected") << ID_REMOVE_SELECTED << no << yes << no;
        QTest::newRow("Select Current Item") << ID_SELECT_CURRENT_ITEM << no << yes << no;
        QTest::newRow("Clear All Selected") << ID_CLEAR_ALL_SELECTED << no << yes << no;
        QTest::newRow("Invert Select") << ID_INVERT_SELECT << no << yes << no;
        QTest::newRow("Select All Items") << ID_EDIT_SELECT_ALL << no << yes << no;
        QTest::newRow("Start Convert") << ID_START_CONVERT << no << yes << no;
        QTest::newRow("Stop Convert") << ID_STOP_CONVERT << no << yes << yes;
    }
    void enablingFollowsJobsAndBatch() {
        QFETCH(int, id);
        QFETCH(bool, empty);
        QFETCH(bool, idle);
        QFETCH(bool, running);
        JobPaneFixture pane;
        QVERIFY(pane.show());
        QAction* action = pane.router.action(id);
        QCOMPARE(action->isEnabled(), empty);
        pane.openFiles({pane.file(QStringLiteral("a.pdf"))});
        QCOMPARE(action->isEnabled(), idle);
        pane.panel->setRunning(true);
        QCOMPARE(action->isEnabled(), running);
        pane.panel->setRunning(false);
        QCOMPARE(action->isEnabled(), idle);
    }

    void batchSeam() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        int starts = 0;
        int stops = 0;
        pane.panel->setStartHandler([&starts] { ++starts; });
        pane.panel->setStopHandler([&stops] { ++stops; });
        pane.openFiles({pane.file(QStringLiteral("a.pdf"))});
        pane.key(Qt::Key_F5);
        pane.key(Qt::Key_F5, Qt::ShiftModifier); // the window's Stop key, not the pane's F5
        QCOMPARE(starts, 1);
        CIconButton* start = pane.panel->button(ID_START_CONVERT);
        const QImage enabledLook = start->grab().toImage();
        pane.panel->setRunning(true);
        // A greyed button must look greyed: its icon changes (to grey, as disabledButtonsShowGreyIcons
        // checks).
        const QImage disabledLook = start->grab().toImage();
        const QPoint iconCentre = start->iconRect().center();
        QVERIFY(disabledLook.pixel(iconCentre) != enabledLook.pixel(iconCentre));
        const QList<int> guarded{ID_START_CONVERT, ID_CLEAR_ALL_SELECTED, ID_IMPORT_DIRECTORY, ID_OPEN_FILE,
                                 ID_REMOVE_SELECTED};
        for (int id : {ID_OPEN_FILE, ID_IMPORT_DIRECTORY, ID_REMOVE_SELECTED, ID_CLEAR_ALL_SELECTED,
                       ID_START_CONVERT, ID_STOP_CONVERT})
            QCOMPARE(pane.panel->button(id)->isEnabled(), !guarded.contains(id));
        // No key acts during a batch, and none falls through to the grid.
        pane.key(Qt::Key_F5);
        pane.key(Qt::Key_Delete);
        pane.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(starts, 1);
        QCOMPARE(pane.grid()->GetRowCount(), 2);
        QCOMPARE(ticks(pane), QList<bool>{true});
        QTest::mouseClick(pane.panel->button(ID_STOP_CONVERT), Qt::LeftButton);
        QCOMPARE(stops, 1);
    }

    void openingAJobsFolderOrFile() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QString path = pane.file(QStringLiteral("inner/a.pdf"));
        pane.openFiles({path});
        pane.key(Qt::Key_E, Qt::ControlModifier);
        QVERIFY(pane.shell.requests().isEmpty()); // nothing selected yet
        pane.clickCell(1, 2);
        pane.key(Qt::Key_E, Qt::ControlModifier);
        pane.key(Qt::Key_W, Qt::ControlModifier);
        const QList<RecordingShell::Request> requests = pane.shell.requests();
        QCOMPARE(requests.size(), 2);
        QCOMPARE(requests[0].verb, QStringLiteral("explore"));
        QCOMPARE(requests[0].target, pane.temp.filePath(QStringLiteral("inner/")));
        QCOMPARE(requests[1].verb, QStringLiteral("open"));
        QCOMPARE(requests[1].target, path);

        // A reason that names the file says it once; one that does not is told which file.
        const QString reason = QStringLiteral("No program could open \"%1\".").arg(path);
        pane.shell.setFailure(reason, ShellFailure::NoAssociation);
        pane.key(Qt::Key_W, Qt::ControlModifier);
        pane.shell.setFailure(QStringLiteral("No program could open it."), ShellFailure::NoAssociation);
        pane.key(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(texts(pane.dialogs.messageTexts()),
                 (QStringList{reason,
                              QStringLiteral("Could not open '%1': No program could open it.").arg(path)}));
    }

    // The menu opens on the press, before the grid hears a release: a right-click on a row
    // outside the selection selects it first, so its commands act on the row under the pointer.
    void rightClickSelectsTheRowItsMenuActsOn() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const QString first = pane.file(QStringLiteral("first.pdf"));
        const QString second = pane.file(QStringLiteral("second.pdf"));
        pane.openFiles({first, second});
        pane.clickCell(1, 2);
        testsupport::installOffscreenNoticeFilter();
        const QPoint onSecond = pane.cellCentre(2, 2);
        QTest::mousePress(pane.grid(), Qt::RightButton, Qt::NoModifier, onSecond);
        QContextMenuEvent event(QContextMenuEvent::Mouse, onSecond, pane.grid()->mapToGlobal(onSecond));
        QApplication::sendEvent(pane.grid(), &event);
        QTRY_VERIFY(pane.panel->contextMenu()->isVisible());
        pane.panel->contextMenu()->close();
        pane.key(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(pane.shell.requests().size(), 1);
        QCOMPARE(pane.shell.requests().front().target, second);
    }

    void contextMenu() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const auto rightClick = [&pane](QPoint point) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, point, pane.grid()->mapToGlobal(point));
            QApplication::sendEvent(pane.grid(), &event);
        };
        rightClick(QPoint(50, 30));
        QVERIFY(!pane.panel->contextMenu()->isVisible()); // no jobs
        pane.openFiles({pane.file(QStringLiteral("a.pdf"))});
        QStringList entries;
        for (const QAction* action : pane.panel->contextMenu()->actions())
            entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(entries,
                 (strings({"Open File\tCtrl+O", "Import Directory\tCtrl+D", "-",
                           "Open File Directory\tCtrl+E", "Open with Associated App\tCtrl+W", "-",
                           "Remove Selected\tDel", "Remove All\tCtrl+Del", "-", "Select Current Item\tSpace",
                           "Select All Items\tCtrl+A", "Clear All Selected\tCtrl+X", "Invert Select\tCtrl+I",
                           "-", "Start Convert\tF5", "Stop Convert\tShift+F5"})));

        pane.panel->setRunning(true);
        testsupport::installOffscreenNoticeFilter();
        rightClick(QPoint(50, 30));
        QMenu* menu = pane.panel->contextMenu();
        QTRY_VERIFY(menu->isVisible());
        QStringList greyed;
        for (const QAction* action : menu->actions())
            if (!action->isSeparator() && !action->isEnabled())
                greyed.append(action->text().section(QLatin1Char('\t'), 0, 0));
        QCOMPARE(greyed, (strings({"Open File", "Import Directory", "Remove Selected", "Remove All",
                                   "Select Current Item", "Select All Items", "Clear All Selected",
                                   "Invert Select", "Start Convert"})));
        menu->hide();
        pane.panel->setRunning(false);
        rightClick(QPoint(50, 30));
        QTRY_VERIFY(menu->isVisible());
        menu->actions().at(7)->trigger(); // Remove All
        QCOMPARE(pane.grid()->GetRowCount(), 1);
        testsupport::removeOffscreenNoticeFilter();
    }

    // The example report of a 250,000-byte version 1.4 document of three 612 x 792 pages.
    void summaryOfAClickedJob() {
        JobPaneFixture pane;
        pane.summariesFromWorker();
        ConverterApp app;
        app.options = ConvertOptions::defaults();
        app.options.pageRange = option::allPages;
        CRightView options(app);
        pane.panel->setOptionPane(&options);
        QVERIFY(pane.show());
        fixtures::RawPdf document;
        document.pageTexts = {"one", "two", "three"};
        const QString path = pdfOfSize(pane, QStringLiteral("sample.pdf"), document, 250000);
        pane.openFiles({path});
        pane.clickCell(1, 1);
        CSummaryEdit* summary = pane.panel->summaryPane();
        QTRY_VERIFY(summary->toPlainText().endsWith(QStringLiteral("Commenting: Allowed")));

        const QString created = QString::fromStdString(FileFacts::formatTime(
            QFileInfo(path).birthTime().isValid() ? QFileInfo(path).birthTime().toSecsSinceEpoch()
                                                  : QFileInfo(path).lastModified().toSecsSinceEpoch()));
        QCOMPARE(summary->toPlainText().split(QLatin1Char('\n')),
                 QStringList{QFileInfo(path).canonicalFilePath()} +
                     strings({"Summary:", "\tFile Size: 244 KB (250,000 Bytes)"}) +
                     QStringList{QStringLiteral("\tCreation Time: ") + created} +
                     strings({"PDF Description:", "\tPDF Version: 1.4 (Acrobat 5.x) ",
                              "\tPage Size: 816 x 1056 Pixel", "\tNumber of Pages: 3",
                              "\tPages without text: 0", "\tPages with unusable text: 0",
                              "PDF Security:", "\tPrinting: Allowed", "\tDocument Assembly: Allowed",
                              "\tContent Copying or Extraction: Allowed", "\tCommenting: Allowed"}));
        struct Look {
            int block;
            bool bold;
            bool underline;
            QColor color;
        };
        const QColor black(0, 0, 0);
        for (const Look& look : {Look{0, true, false, QColor(0, 0, 192)}, Look{1, true, true, black},
                                 Look{2, false, false, black}, Look{4, true, true, black},
                                 Look{10, true, true, black}, Look{14, false, false, black}}) {
            const QTextBlock block = summary->document()->findBlockByNumber(look.block);
            const QTextCharFormat format = block.begin().fragment().charFormat();
            QCOMPARE(format.fontWeight() >= QFont::Bold, look.bold);
            QCOMPARE(format.fontUnderline(), look.underline);
            QCOMPARE(format.foreground().color(), look.color);
        }
        QCOMPARE(options.ValueById(CRightView::ID_END_PAGE)->number, 3);

        // With "Selected Pages" the end page stays.
        static_cast<COptionTreeItemComboBox*>(options.GetTree()->ItemFromId(CRightView::ID_PAGE_RANGE))
            ->SetCurSel(1);
        document.pageTexts.append(QByteArray("four"));
        pane.openFiles({pane.pdf(QStringLiteral("four.pdf"), document)});
        pane.clickCell(2, 1);
        QTRY_VERIFY(summary->toPlainText().contains(QStringLiteral("\tNumber of Pages: 4")));
        QCOMPARE(options.ValueById(CRightView::ID_END_PAGE)->number, 3);
    }

    void summaryOfOtherFiles() {
        JobPaneFixture pane;
        pane.summariesFromWorker();
        QVERIFY(pane.show());
        fixtures::RawPdf newer;
        newer.version = "1.7";
        newer.pageTexts = {"x"};
        pane.openFiles(
            {pane.pdf(QStringLiteral("newer.pdf"), newer), pane.file(QStringLiteral("broken.pdf"))});
        pane.clickCell(1, 3);
        CSummaryEdit* summary = pane.panel->summaryPane();
        QTRY_COMPARE(summary->document()->findBlockByNumber(5).text(),
                     QStringLiteral("\tPDF Version: 1.7 (Unknown Acrobat Version) "));

        // A click on the header lies outside the selection: the summary stays.
        QTest::mouseClick(pane.grid(), Qt::LeftButton, Qt::NoModifier, QPoint(pane.cellCentre(1, 1).x(), 5));
        QCOMPARE(summary->document()->findBlockByNumber(5).text(),
                 QStringLiteral("\tPDF Version: 1.7 (Unknown Acrobat Version) "));
        QVERIFY(pane.dialogs.messageTexts().empty());

        pane.clickCell(2, 1);
        QTRY_VERIFY(
            summary->toPlainText().endsWith(QStringLiteral("PDF Description:\nNot a valid pdf file!")));
        QVERIFY(pane.dialogs.messageTexts().empty());
        QCOMPARE(summary->toPlainText().split(QLatin1Char('\n')).size(), 6); // five lines and the reason
    }

    void layoutFollowsTheTable() {
        JobPaneFixture pane(QSize(640, 480));
        QVERIFY(pane.show());
        ConvertPanel* panel = pane.panel;
        QCOMPARE(panel->geometry(), QRect(0, 0, 640, 480));
        QCOMPARE(pane.grid()->geometry(), QRect(0, 0, 640, 196));
        QCOMPARE(panel->button(ID_OPEN_FILE)->geometry(), QRect(5, 204, 32, 32));
        QCOMPARE(panel->button(ID_CLEAR_ALL_SELECTED)->geometry(), QRect(161, 204, 32, 32));
        QCOMPARE(panel->summaryPane()->geometry(), QRect(0, 244, 640, 188));
        QCOMPARE(panel->button(ID_STOP_CONVERT)->geometry(), QRect(57, 440, 32, 32));
        // The captions' box is 40 pixels wide unless "Current" needs more at the font, and the
        // bars start 8 pixels after it.
        const int caption = std::max(40, panel->currentLabel()->sizeHint().width());
        QCOMPARE(panel->currentLabel()->geometry(), QRect(97, 440, caption, 12));
        QCOMPARE(panel->totalProgress()->geometry(), QRect(105 + caption, 460, 535 - caption, 12));
        QCOMPARE(panel->grab().toImage().pixelColor(300, 238), QColor(227, 246, 253));

        // However small the pane, no size goes negative; at the least size for its bars (taller
        // for a larger font) the controls stay apart, and the bars stay at the bottom.
        const PanelLayout tiny = PanelLayout::compute(QRect(0, 0, 20, 20));
        for (const QRect& rect : {tiny.grid, tiny.summary, tiny.progressCurrent, tiny.progressTotal})
            QVERIFY(rect.width() >= 0 && rect.height() >= 0);
        for (int bar : {12, 30}) {
            const QSize size(PanelLayout::LEAST_WIDTH, PanelLayout::leastHeight(bar));
            const PanelLayout least = PanelLayout::compute(QRect(QPoint(), size), bar);
            const QList<QRect> parts{least.grid,       least.openFile,        least.clearAllSelected,
                                     least.summary,    least.start,           least.labelCurrent,
                                     least.labelTotal, least.progressCurrent, least.progressTotal};
            for (int i = 0; i < parts.size(); ++i) {
                QVERIFY(QRect(QPoint(), size).contains(parts[i]));
                for (int j = i + 1; j < parts.size(); ++j)
                    QVERIFY2(!parts[i].intersects(parts[j]),
                             qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
            }
            QCOMPARE(least.progressTotal.height(), bar);
        }
        // Smaller still, the pane is cut off rather than squeezed.
        pane.window.resize(150, 60);
        pane.view->setGeometry(pane.window.rect());
        const QList<QWidget*> children = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* first : children)
            for (QWidget* second : children)
                if (first != second && first->isVisibleTo(panel) && second->isVisibleTo(panel) &&
                    !first->isWindow() && !second->isWindow())
                    QVERIFY(!first->geometry().intersects(second->geometry()));
    }

    // The captions, the bars and Start and Stop keep together at any font: the captions'
    // letters are as tall as the bars' and show whole beside them, and the buttons stay
    // centred on the two bars.
    void bottomRowFollowsTheFont() {
        JobPaneFixture pane(QSize(640, 480));
        QVERIFY(pane.show());
        ConvertPanel* panel = pane.panel;
        for (int size : {0, 20}) {
            if (size)
                pane.window.setFont(QFont(pane.window.font().family(), size));
            const QRect current = panel->currentProgress()->geometry();
            const QRect total = panel->totalProgress()->geometry();
            const int barCapHeight = panel->currentProgress()->fontMetrics().capHeight();
            for (CTextLabel* label : {panel->currentLabel(), panel->totalLabel()}) {
                QVERIFY2(QFontMetrics(label->labelFont()).capHeight() >= barCapHeight - 2,
                         qPrintable(label->GetWindowText()));
                QVERIFY(label->sizeHint().width() <= label->width());
                QVERIFY(label->geometry().right() < current.left());
            }
            QCOMPARE(panel->currentLabel()->y(), current.y());
            QCOMPARE(panel->totalLabel()->y(), total.y());
            const int barsMiddle = (current.top() + total.bottom()) / 2;
            for (int id : {ID_START_CONVERT, ID_STOP_CONVERT}) {
                const QRect button = panel->button(id)->geometry();
                QVERIFY2(qAbs(button.center().y() - barsMiddle) <= 1,
                         qPrintable(QStringLiteral("%1 at %2, bars' middle %3")
                                        .arg(id)
                                        .arg(button.center().y())
                                        .arg(barsMiddle)));
                QVERIFY(button.top() >= current.top() && button.bottom() <= total.bottom());
                QVERIFY(!button.intersects(panel->summaryPane()->geometry()));
            }
        }
    }

    // At the usual font the columns fit the pane: no horizontal scroll bar on an empty list,
    // no header running past the pane's edge. A larger font widens the columns whose headers
    // need it; every header and a whole date show at every font.
    void columnsFitThePaneAndShowTheirHeaders() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        grid::CGridCtrl* grid = pane.grid();
        QVERIFY(!grid->IsScrollBarShown(Qt::Horizontal));
        QVERIFY(grid->GetTotalWidth() <= grid->GetClientRect().width());
        QVERIFY(grid->GetColumnWidth(0) >= 25);
        const int defaultTotal = grid->GetTotalWidth();
        for (int size : {0, 20}) {
            if (size)
                pane.window.setFont(QFont(pane.window.font().family(), size));
            for (int col = 0; col < 6; ++col)
                QVERIFY2(grid->GetColumnWidth(col) >= grid->GetCell(0, col)->MeasureCell().width(),
                         qPrintable(grid->GetCellText(0, col)));
            const QFontMetrics cellFont(grid->GetDefaultCell(false, false)->GetFontObject());
            QVERIFY(grid->GetColumnWidth(3) >
                    cellFont.horizontalAdvance(QStringLiteral("00:00:00 00/00/0000")));
            QVERIFY(grid->GetCell(0, 1)->GetFont()->weight == platform::FontRecord::FW_BOLD);
        }
        QVERIFY(grid->GetTotalWidth() > defaultTotal);
    }

    // Passwords show as the bullets of a password box, one per character, in the cells and in
    // their editor, and stay out of a copied row; the jobs still get what was typed.
    void passwordsShowAsBulletsAlsoWhileTyped() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        pane.openFiles({pane.file(QStringLiteral("a.pdf")), pane.file(QStringLiteral("b.pdf")),
                        pane.file(QStringLiteral("c.pdf")), pane.file(QStringLiteral("d.pdf"))});
        grid::CGridCtrl* grid = pane.grid();
        const auto type = [&](int row, int column, const QString& text) {
            pane.clickCell(row, column);
            pane.clickCell(row, column);
            // The editor of the cell before may not be gone yet.
            auto* editor = qobject_cast<grid::CGridCellEdit*>(QApplication::focusWidget());
            QVERIFY(editor);
            QCOMPARE(editor->echoMode(), QLineEdit::Password);
            QTest::keyClicks(editor, text);
            QCOMPARE(editor->text(), text);
            QVERIFY(!editor->displayText().contains(text.front()));
            QCOMPARE(editor->displayText().size(), text.size());
            pane.key(Qt::Key_Return);
        };
        type(1, JobGrid::COL_OWNER_PASSWORD, QStringLiteral("abc"));
        type(2, JobGrid::COL_OWNER_PASSWORD, QStringLiteral("xyz"));
        type(1, JobGrid::COL_USER_PASSWORD, QStringLiteral("letmein"));
        QCOMPARE(pane.panel->passwords(1).owner, std::string("abc"));
        QCOMPARE(pane.panel->passwords(2).owner, std::string("xyz"));
        QCOMPARE(pane.panel->passwords(1).user, std::string("letmein"));

        const QChar mask(
            char16_t(grid->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, grid)));
        QVERIFY2(mask == QChar(0x2022) || mask == QChar(0x25CF),
                 qPrintable(QString::number(mask.unicode(), 16)));
        QCOMPARE(grid->GetCell(1, JobGrid::COL_USER_PASSWORD)->GetShownText(), QString(7, mask));
        // Away from the rows compared, "abc" and "xyz" paint alike, and unlike no password.
        pane.clickCell(4, JobGrid::COL_NAME);
        const QImage shot = grid->grab().toImage();
        const auto painted = [&](int row) {
            QRect cell;
            grid->GetCellRect(row, JobGrid::COL_OWNER_PASSWORD, &cell);
            return shot.copy(cell);
        };
        QCOMPARE(painted(1), painted(2));
        QVERIFY(painted(1) != painted(3));

        QGuiApplication::clipboard()->clear();
        pane.clickCell(1, JobGrid::COL_NAME);
        pane.key(Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.contains(QStringLiteral("\ta.pdf\t")));
        QVERIFY2(!copied.contains(QStringLiteral("abc")) && !copied.contains(QStringLiteral("letmein")),
                 qPrintable(copied));
    }

    // With more rows than the grid shows, the columns fit beside the vertical scroll bar: no
    // horizontal one, and a password typed in the last column keeps the tick column in view.
    void aLongListScrollsOnlyUpAndDown() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        QStringList files;
        for (int i = 0; i < 14; ++i)
            files.append(pane.file(QStringLiteral("many/%1.pdf").arg(i)));
        pane.openFiles(files);
        grid::CGridCtrl* grid = pane.grid();
        QVERIFY(grid->IsScrollBarShown(Qt::Vertical));
        QVERIFY(!grid->IsScrollBarShown(Qt::Horizontal));
        QVERIFY(grid->GetTotalWidth() <= grid->GetClientRect().width());

        grid->EnsureVisible(14, 1);
        pane.clickCell(14, 5);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("secret"));
        pane.key(Qt::Key_Return);
        QCOMPARE(pane.panel->passwords(14).user, std::string("secret"));
        QVERIFY(!grid->IsScrollBarShown(Qt::Horizontal));
        QRect tick;
        QVERIFY(grid->GetCellRect(14, 0, &tick));
        QCOMPARE(tick.left(), 0);

        // A column the user widens stays as wide when the pane is resized.
        grid->SetColumnWidth(1, 300);
        pane.window.resize(700, 480);
        pane.view->setGeometry(pane.window.rect());
        QCOMPARE(grid->GetColumnWidth(1), 300);
    }

    // A button greyed during a batch looks off: its icon is grey, as the platform draws a
    // disabled icon, not a darker copy of its colours.
    void disabledButtonsShowGreyIcons() {
        JobPaneFixture pane;
        QVERIFY(pane.show());
        const auto colouredPixels = [](QWidget* button) {
            const QImage image = button->grab().toImage();
            int count = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    count += image.pixelColor(x, y).hsvSaturation() > 60;
            return count;
        };
        pane.panel->setRunning(true);
        for (int id : {ID_OPEN_FILE, ID_IMPORT_DIRECTORY, ID_REMOVE_SELECTED, ID_CLEAR_ALL_SELECTED,
                       ID_START_CONVERT}) {
            CIconButton* button = pane.panel->button(id);
            QVERIFY(!button->isEnabled());
            QCOMPARE(colouredPixels(button), 0);
        }
        pane.panel->setRunning(false);
        QVERIFY(colouredPixels(pane.panel->button(ID_START_CONVERT)) > 20);
    }

    // The pane's keys match exactly: Shift+F5 is not F5, Ctrl+Shift+O is no Ctrl+O, the
    // keypad's Delete is Delete, and Stop's key is left to the window.
    void panelKeysMatchModifiersExactly() {
        const auto command = [](int key, Qt::KeyboardModifiers modifiers) {
            return panelkeys::commandFor(QKeyEvent(QEvent::KeyPress, key, modifiers));
        };
        QCOMPARE(command(Qt::Key_F5, Qt::NoModifier), ID_START_CONVERT);
        QCOMPARE(command(Qt::Key_F5, Qt::ShiftModifier), 0);
        QCOMPARE(command(Qt::Key_O, Qt::ControlModifier), ID_OPEN_FILE);
        QCOMPARE(command(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier), 0);
        QCOMPARE(command(Qt::Key_O, Qt::NoModifier), 0);
        QCOMPARE(command(Qt::Key_Delete, Qt::KeypadModifier), ID_REMOVE_SELECTED);
        QCOMPARE(command(Qt::Key_Delete, Qt::ControlModifier | Qt::KeypadModifier), ID_REMOVE_ALL);
        QCOMPARE(command(Qt::Key_Space, Qt::NoModifier), ID_SELECT_CURRENT_ITEM);
        QCOMPARE(command(Qt::Key_A, Qt::ControlModifier), ID_EDIT_SELECT_ALL);
    }
};

QTEST_MAIN(TestConvertPanel)
#include "tst_convertpanel.moc"
