#include "ui/AboutDlg.h"
#include "ui/TipDlg.h"

#include "../controls/optiontree/PopupScreenshot.h"
#include "../support/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Shows the dialog at the row's font and saves it as ui-<state>[-large].
bool showAndSave(QDialog& dialog, int pixelSize, const QString& state) {
    applyScreenshotFont(&dialog, pixelSize);
    dialog.show();
    return QTest::qWaitForWindowExposed(&dialog) &&
           !testsupport::saveScreenshot(&dialog, QStringLiteral("ui"), state + screenshotSuffix(pixelSize))
                .isEmpty();
}

} // namespace

class TestTipAboutScreens : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    // The tips the program ships with, from the first one on.
    void tipOfTheDay_data() { addScreenshotFontRows(); }
    void tipOfTheDay() {
        QFETCH(int, pixelSize);
        QTemporaryDir settings;
        CTipDlg dialog(CTipDlg::tipsPathIn(testsupport::path(testsupport::programDir())),
                       testsupport::path(settings.filePath(QStringLiteral("Settings.ini"))));
        QVERIFY(showAndSave(dialog, pixelSize, QStringLiteral("tipdlg")));
    }

    void aboutBox_data() { addScreenshotFontRows(); }
    void aboutBox() {
        QFETCH(int, pixelSize);
        CAboutDlg box;
        QVERIFY(showAndSave(box, pixelSize, QStringLiteral("aboutdlg")));
    }
};

QTEST_MAIN(TestTipAboutScreens)
#include "tst_tipaboutscreens.moc"
