#include "ui/RightView.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeList.h"
#include "core/ConverterApp.h"

#include "../controls/optiontree/PopupScreenshot.h"
#include "../support/TestSupport.h"

#include <QApplication>
#include <QTest>

class TestRightViewScreens : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void optionPane_data() { addScreenshotFontRows(); }
    void optionPane() {
        QFETCH(int, pixelSize);
        const QString suffix = screenshotSuffix(pixelSize);
        ConverterApp app;
        app.options = ConvertOptions::defaults();
        QWidget window;
        applyScreenshotFont(&window, pixelSize);
        auto* pane = new CRightView(app, &window);
        const QSize size = pixelSize ? QSize(560, 640) : QSize(360, 420);
        window.resize(size);
        pane->resize(size);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        COptionTree* tree = pane->GetTree();
        const auto valuePoint = [tree](int id) {
            const COptionTreeItem* row = tree->ItemFromId(id);
            return QPoint(tree->GetDivider() + 30, row->GetPosition().y() - tree->GetScrollOrigin() + 8);
        };
        QVERIFY(!testsupport::saveScreenshot(pane, QStringLiteral("ui"),
                                             QStringLiteral("optionpane-default") + suffix)
                     .isEmpty());

        // The page spinners are read-only while all pages are converted.
        QTest::mouseClick(tree->GetListWindow(), Qt::LeftButton, Qt::NoModifier,
                          valuePoint(CRightView::ID_BEGIN_PAGE));
        testsupport::saveScreenshot(pane, QStringLiteral("ui"),
                                    QStringLiteral("optionpane-readonly-spinner") + suffix);

        const std::pair<int, QString> combos[] = {
            {CRightView::ID_PAGE_RANGE, QStringLiteral("optionpane-combo-open")},
            {CRightView::ID_TEXT_ENCODING, QStringLiteral("optionpane-encoding-open")},
            {CRightView::ID_OUTPUT_MODE, QStringLiteral("optionpane-output-mode-open")},
        };
        for (const auto& [id, name] : combos) {
            QTest::mouseClick(tree->GetListWindow(), Qt::LeftButton, Qt::NoModifier, valuePoint(id));
            auto* combo = static_cast<COptionTreeItemComboBox*>(tree->ItemFromId(id))->GetComboWindow();
            combo->showPopup();
            saveWithPopup(pane, combo, QStringLiteral("ui"), name + suffix);
            combo->hidePopup();
        }
    }
};

QTEST_MAIN(TestRightViewScreens)
#include "tst_rightviewscreens.moc"
