#include "controls/chrome/FECFileDialog.h"
#include "controls/chrome/SelectFolderDialog.h"
#include "controls/chrome/SummaryEdit.h"

#include "DialogsDemoPage.h"
#include "FileDialogViews.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Saves the dialogs and the summary pane for a person to look at, at the default font and at
// a large one.
class TestDialogsScreenshots : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QFont defaultFont;

    void shoot(QWidget* widget, const QString& state, int expectedRows = -1) {
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget));
        if (expectedRows >= 0)
            QTRY_COMPARE(listedNames(widget).size(), expectedRows);
        QVERIFY(!testsupport::saveScreenshot(widget, QStringLiteral("chrome"), state).isEmpty());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Archive")));
        for (const char* name : {"annual report.pdf", "invoice 2026-11.pdf", "manual.pdf", "notes.txt"})
            touch(dir.path() + QLatin1Char('/') + QLatin1String(name));
        defaultFont = QApplication::font();
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() {
        QApplication::setFont(defaultFont);
        testsupport::removeOffscreenNoticeFilter();
    }

    void screens_data() {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::newRow("default") << QStringLiteral("-default") << 0;
        QTest::newRow("large font") << QStringLiteral("-largefont") << 16;
    }

    void screens() {
        QFETCH(QString, suffix);
        QFETCH(int, pointSize);
        if (pointSize) {
            QFont large = defaultFont;
            large.setPointSize(pointSize);
            QApplication::setFont(large);
        }
        const QStringList pdf{QStringLiteral("PDF Files (*.pdf)")};

        CFECFileDialog files(true, {}, {}, OFN_ALLOWMULTISELECT | OFN_EXPLORER, pdf);
        files.setDirectory(dir.path());
        shoot(&files, QStringLiteral("filedialog") + suffix, 4);

        CSelectFolderDialog withFiles(1, dir.path(), OFN_HIDEREADONLY, pdf);
        shoot(&withFiles, QStringLiteral("folderdialog-files") + suffix, 4);

        CSelectFolderDialog foldersOnly(0, dir.path());
        shoot(&foldersOnly, QStringLiteral("folderdialog-foldersonly") + suffix, 1);

        CSummaryEdit summary;
        summary.resize(QFontMetrics(summary.font()).averageCharWidth() * 60,
                       summary.fontMetrics().height() * 16);
        showSampleSummary(&summary);
        shoot(&summary, QStringLiteral("summary") + suffix);
        summary.selectAll();
        shoot(&summary, QStringLiteral("summary-selected") + suffix);

        std::unique_ptr<QWidget> demoPage(createDialogsDemoPage());
        shoot(demoPage.get(), QStringLiteral("dialogsdemo") + suffix);
    }
};

QTEST_MAIN(TestDialogsScreenshots)
#include "tst_dialogs_screenshots.moc"
