#include "JobPaneFixture.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextProgressCtrl.h"

#include <QLabel>
#include <QMenu>
#include <QPainter>

namespace {

// The pane with a context menu drawn over it where it opened.
QString saveWithMenu(JobPaneFixture& pane, const QString& state) {
    QMenu* menu = pane.panel->contextMenu();
    QPixmap picture = pane.window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(pane.window.mapFromGlobal(menu->pos()), menu->grab());
    painter.end();
    QLabel holder;
    holder.setPixmap(picture);
    holder.resize(picture.size());
    return testsupport::saveScreenshot(&holder, QStringLiteral("ui"), state);
}

} // namespace

class TestConvertPanelScreens : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void jobPane_data() {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("default font") << 0 << QString();
        QTest::newRow("large font") << 16 << QStringLiteral("-largefont");
    }
    void jobPane() {
        QFETCH(int, pointSize);
        QFETCH(QString, suffix);
        JobPaneFixture pane(QSize(640, 480));
        pane.summariesFromWorker();
        if (pointSize)
            pane.window.setFont(QFont(pane.window.font().family(), pointSize));
        QVERIFY(pane.show());
        QVERIFY(!testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"),
                                             QStringLiteral("jobpane-empty") + suffix)
                     .isEmpty());

        QStringList paths;
        fixtures::RawPdf document;
        document.pageTexts = {"first page", "second page"};
        paths.append(pane.pdf(QStringLiteral("Annual report 2025.pdf"), document));
        paths.append(pane.file(QStringLiteral("scans/invoice-0001.pdf"), 1048576 * 3));
        paths.append(
            pane.file(QStringLiteral("a very long file name that does not fit its column.pdf"), 5000));
        pane.openFiles(paths);
        pane.grid()->SetCellText(2, 4, QStringLiteral("owner"));
        pane.key(Qt::Key_I, Qt::ControlModifier);
        pane.clickCell(2, 1);
        pane.key(Qt::Key_Space);
        pane.panel->totalProgress()->SetWindowText(QStringLiteral("File 2 of 3, 66%"));
        QVERIFY(!testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"),
                                             QStringLiteral("jobpane-jobs") + suffix)
                     .isEmpty());

        pane.clickCell(1, 1);
        QTRY_VERIFY(pane.panel->summaryPane()->toPlainText().contains(QStringLiteral("PDF Security:")));
        QVERIFY(!testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"),
                                             QStringLiteral("jobpane-summary") + suffix)
                     .isEmpty());

        // An encrypted file's summary says in red where its password goes.
        const QString locked = pane.temp.filePath(QStringLiteral("locked.pdf"));
        QVERIFY(fixtures::encryptPdf(paths.first(), locked, QStringLiteral("user"), QStringLiteral("owner"),
                                     true));
        pane.openFiles({locked});
        pane.clickCell(4, 1);
        QTRY_VERIFY(pane.panel->summaryPane()->toPlainText().endsWith(QStringLiteral("User Password cell.")));
        QVERIFY(!testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"),
                                             QStringLiteral("jobpane-summary-password") + suffix)
                     .isEmpty());

        const QPoint point(200, 60);
        QContextMenuEvent event(QContextMenuEvent::Mouse, point, pane.grid()->mapToGlobal(point));
        QApplication::sendEvent(pane.grid(), &event);
        QTRY_VERIFY(pane.panel->contextMenu()->isVisible());
        QVERIFY(!saveWithMenu(pane, QStringLiteral("jobpane-menu") + suffix).isEmpty());
        pane.panel->contextMenu()->hide();

        pane.window.resize(pane.panel->minimumSizeHint());
        pane.view->setGeometry(pane.window.rect());
        QVERIFY(!testsupport::saveScreenshot(&pane.window, QStringLiteral("ui"),
                                             QStringLiteral("jobpane-least") + suffix)
                     .isEmpty());
    }
};

QTEST_MAIN(TestConvertPanelScreens)
#include "tst_convertpanelscreens.moc"
