#include "PopupScreenshot.h"
#include "TreeSample.h"

#include "../../support/TestSupport.h"

#include <QTest>

class TestOptionTreeScreens : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void states_data() { addScreenshotFontRows(); }
    void states() {
        QFETCH(int, pixelSize);
        const QString suffix = screenshotSuffix(pixelSize);
        TreeSample sample(TreeSample::OPTIONS, pixelSize ? QSize(560, 460) : QSize(400, 320));
        applyScreenshotFont(sample.tree, pixelSize);
        sample.fill();
        sample.item(1)->SetHeaderBackColor(platform::RGB(227, 246, 253));
        sample.item(5)->SetHeaderBackColor(platform::RGB(227, 246, 253));
        sample.item(8)->SetLabelText(QStringLiteral("A label far too long for the label column"));
        sample.item(4)->SetReadOnly(true);
        QVERIFY(sample.show());
        QVERIFY(!testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                             QStringLiteral("default") + suffix)
                     .isEmpty());

        sample.click(sample.valuePoint(3));
        auto* combo = static_cast<COptionTreeItemComboBox*>(sample.item(3))->GetComboWindow();
        testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                    QStringLiteral("combo-editing") + suffix);
        combo->showPopup();
        QVERIFY(!saveWithPopup(sample.tree, combo, QStringLiteral("optiontree"),
                               QStringLiteral("combo-open") + suffix)
                     .isEmpty());
        combo->hidePopup();

        sample.item(4)->SetReadOnly(false);
        sample.click(sample.valuePoint(4));
        testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                    QStringLiteral("spinner-editing") + suffix);

        const int y = sample.labelPoint(2).y();
        QTest::mousePress(sample.list(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(sample.tree->GetDivider(), y));
        QTest::mouseMove(sample.list(), QPoint(sample.tree->GetDivider() + 60, y));
        testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                    QStringLiteral("divider-drag") + suffix);
        QTest::mouseRelease(sample.list(), Qt::LeftButton, Qt::NoModifier,
                            QPoint(sample.tree->GetDivider() + 60, y));

        sample.tree->setEnabled(false);
        testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                    QStringLiteral("disabled") + suffix);

        // A folder too long for the value column loses the middle of its path.
        sample.tree->setEnabled(true);
        sample.folder(
            QStringLiteral("Folder"), sample.item(5),
            QStringLiteral("/home/reader/Documents/archive/2023/quarterly reports/Converted Results/"));
        testsupport::saveScreenshot(sample.tree, QStringLiteral("optiontree"),
                                    QStringLiteral("folder-long-path") + suffix);
    }
};

QTEST_MAIN(TestOptionTreeScreens)
#include "tst_optiontreescreens.moc"
