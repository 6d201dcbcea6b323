#include "ui/RightView.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeInfo.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "controls/optiontree/OptionTreeList.h"
#include "controls/optiontree/OptionTreeSpinnerEdit.h"
#include "core/ConverterApp.h"
#include "platform/DrawText.h"
#include "platform/ScriptedDialogs.h"

#include "../support/TestSupport.h"

#include <QApplication>
#include <QPainter>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

using namespace platform;

namespace {

// A shown pane over an application object holding the given options.
struct Pane {
    ConverterApp app;
    QWidget window;
    CRightView* view = nullptr;

    explicit Pane(const ConvertOptions& options = ConvertOptions::defaults()) {
        app.options = options;
        view = new CRightView(app, &window);
        window.resize(360, 480);
        view->setGeometry(0, 0, 360, 480);
    }
    bool show() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    COptionTree* tree() const { return view->GetTree(); }
    QWidget* list() const { return tree()->GetListWindow(); }
    COptionTreeItem* item(int id) const { return tree()->ItemFromId(id); }
    COptionTreeItemComboBox* combo(int id) const { return static_cast<COptionTreeItemComboBox*>(item(id)); }
    COptionTreeItemSpinner* spinner(int id) const { return static_cast<COptionTreeItemSpinner*>(item(id)); }
    QPoint valuePoint(int id) const {
        const COptionTreeItem* row = item(id);
        return QPoint(tree()->GetDivider() + 30, row->GetPosition().y() - tree()->GetScrollOrigin() + 8);
    }
    QPoint labelPoint(int id) const { return QPoint(40, valuePoint(id).y()); }
    void click(QPoint point) const { QTest::mouseClick(list(), Qt::LeftButton, Qt::NoModifier, point); }
    void key(Qt::Key key) const { QTest::keyClick(QApplication::focusWidget(), key); }
    // Opens the combo row id, moves its selection to index and commits by a click elsewhere.
    void choose(int id, int index) const {
        click(valuePoint(id));
        combo(id)->GetComboWindow()->setCurrentIndex(index);
        click(labelPoint(CRightView::ID_GENERAL_OPTIONS));
    }
};

} // namespace

class TestRightView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        Dialogs::setInstance(&dialogs);
        dialogs.clear();
    }

    void buildsTheSixteenRows_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("parent");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("entries");
        QTest::addColumn<QString>("value");
        const auto row = [](int id, int parent, int kind, const char* label, int entries, const char* value) {
            QTest::newRow(label) << id << parent << kind << QString::fromLatin1(label) << entries
                                 << QString::fromLatin1(value);
        };
        row(1, 0, OT_KIND_PLAIN, "Output General Options", 0, "");
        row(2, 1, OT_KIND_COMBOBOX, "Page Range", 2, "All Pages");
        row(3, 1, OT_KIND_SPINNER, "Begin Page", 0, "1");
        row(4, 1, OT_KIND_SPINNER, "End Page", 0, "1000");
        row(5, 1, OT_KIND_COMBOBOX, "Open Results", 2, "Yes");
        row(6, 0, OT_KIND_PLAIN, "Output Options", 0, "");
        row(7, 6, OT_KIND_FILE, "Output Directory", 0, "No selection made.");
        row(8, 6, OT_KIND_COMBOBOX, "Output Mode", 3, "Text File");
        row(9, 6, OT_KIND_COMBOBOX, "Html Meta", 2, "Yes");
        row(10, 6, OT_KIND_COMBOBOX, "Text Layout", 2, "Yes");
        row(11, 6, OT_KIND_COMBOBOX, "Raw Mode", 2, "No");
        row(12, 6, OT_KIND_COMBOBOX, "End-of-Line", 3, "DOS(Windows)");
        row(13, 6, OT_KIND_COMBOBOX, "Page Breaks", 2, "Yes");
        row(14, 6, OT_KIND_COMBOBOX, "Text Encoding", 18, "Latin1");
        row(15, 6, OT_KIND_COMBOBOX, "Recognize Scanned Pages", 3, "Pages Without Text");
        row(16, 6, OT_KIND_COMBOBOX, "OCR Languages", -1, "eng"); // as many as are installed
    }
    void buildsTheSixteenRows() {
        QFETCH(int, id);
        QFETCH(int, parent);
        QFETCH(int, kind);
        QFETCH(QString, label);
        QFETCH(int, entries);
        QFETCH(QString, value);
        Pane pane;
        const COptionTreeItem* item = pane.item(id);
        QVERIFY(item);
        QCOMPARE(item->GetLabelText(), label);
        QCOMPARE(item->GetKind(), kind);
        QVERIFY(!item->GetInfoText().isEmpty());
        QCOMPARE(item->GetParent(), parent ? pane.item(parent) : pane.tree()->GetRoot());
        QVERIFY(item->GetParent()->IsExpanded() || parent == 0);
        if (kind == OT_KIND_COMBOBOX) {
            if (entries >= 0)
                QCOMPARE(pane.combo(id)->GetComboWindow()->count(), entries);
            QCOMPARE(pane.combo(id)->ValueText(), value);
        } else if (kind == OT_KIND_SPINNER) {
            QCOMPARE(pane.spinner(id)->GetValueText(), value);
            QVERIFY(pane.spinner(id)->HasOption(0x400));
            QCOMPARE(pane.spinner(id)->GetSpinnerWindow()->GetMaximum(), 1000.0);
        } else if (kind == OT_KIND_FILE) {
            QCOMPARE(static_cast<const COptionTreeItemFile*>(item)->DisplayText(), value);
        } else {
            QCOMPARE(item->GetHeaderBackColor(), RGB(227, 246, 253));
            QCOMPARE(item->GetLabelTextColor(), RGB(0, 0, 0));
        }
        QVERIFY(!pane.item(17));
    }

    void textsAndDropDownHeightOfTheLongerRows() {
        Pane pane;
        QCOMPARE(pane.item(7)->GetInfoText(),
                 QStringLiteral("Output file directory. Save all the output files to this "
                                "directory. Null for pdf file directory."));
        const auto* folder = static_cast<const COptionTreeItemFile*>(pane.item(7));
        QVERIFY(folder->HasOption(0x8000) && folder->HasOption(0x40000));
        QCOMPARE(folder->GetDialogTitle(),
                 QStringLiteral("Please select a folder to save result files. All the output "
                                "files will be saved to this folder."));
        QCOMPARE(pane.combo(14)->GetDropDownHeight(), 200);
        QCOMPARE(pane.combo(14)->GetComboWindow()->itemText(17), QStringLiteral("Windows-1255 (Hebrew)"));
        QCOMPARE(pane.combo(12)->GetDropDownHeight(), 100);

        // Shown, the label column holds the longest label whole, and no less than it started.
        const int started = pane.tree()->GetDivider();
        QVERIFY(pane.show());
        const int label = pane.tree()->fontMetrics().horizontalAdvance(pane.item(15)->GetLabelText());
        QVERIFY2(pane.tree()->GetDivider() > label + 20,
                 qPrintable(QString::number(pane.tree()->GetDivider())));
        QVERIFY(pane.tree()->GetDivider() >= started);
    }

    void buildsFromTheLoadedOptions() {
        ConvertOptions options = ConvertOptions::defaults();
        options.pageRange = 1;
        options.startPage = 3;
        options.endPage = 9;
        options.outputMode = 1;
        options.textEncoding = 13;
        options.outputDirectory = "/srv/out/";
        Pane pane(options);
        QCOMPARE(pane.combo(2)->ValueText(), QStringLiteral("Selected Pages"));
        QCOMPARE(pane.spinner(3)->GetValueText(), QStringLiteral("3"));
        QCOMPARE(pane.spinner(4)->GetValueText(), QStringLiteral("9"));
        QVERIFY(!pane.item(3)->IsReadOnly());
        QVERIFY(!pane.item(9)->IsReadOnly());
        QCOMPARE(pane.combo(14)->ValueText(), QStringLiteral("Shift-JIS (Japanese)"));
        QCOMPARE(static_cast<COptionTreeItemFile*>(pane.item(7))->DisplayText(),
                 QStringLiteral("/srv/out/\n"));
    }

    // An empty "OCR Languages" (a settings file's "OCR Languages=") is English, shown and used
    // as such, even where a language sorting before "eng" is installed.
    void emptyRecognitionLanguagesShowAndUseEnglish() {
        QTemporaryDir data;
        for (const char* name : {"chi_sim", "eng"}) {
            QFile file(data.filePath(QString::fromLatin1(name) + QStringLiteral(".traineddata")));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        qputenv("TESSDATA_PREFIX", data.path().toUtf8());
        const auto restore = qScopeGuard([] { qunsetenv("TESSDATA_PREFIX"); });
        ConvertOptions options = ConvertOptions::defaults();
        options.ocrLanguages.clear();
        Pane pane(options);
        QCOMPARE(pane.combo(CRightView::ID_OCR_LANGUAGES)->ValueText(), QStringLiteral("eng"));
        ConvertOptions used;
        used.ocrLanguages.clear();
        pane.view->CopyValuesInto(used);
        QCOMPARE(used.ocrLanguages, std::string("eng"));
    }

    void pageRangeLocksAndUnlocksThePageSpinnersAtOnce() {
        Pane pane;
        QVERIFY(pane.show());
        QVERIFY(pane.item(3)->IsReadOnly() && pane.item(4)->IsReadOnly());
        pane.click(pane.valuePoint(3));
        QVERIFY(!pane.item(3)->IsEditing());

        pane.choose(CRightView::ID_PAGE_RANGE, 1);
        QCOMPARE(pane.app.options.pageRange, 1);
        QVERIFY(!pane.item(3)->IsReadOnly() && !pane.item(4)->IsReadOnly());
        pane.click(pane.valuePoint(3));
        QVERIFY(pane.item(3)->IsEditing());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("25"));
        pane.click(pane.labelPoint(1));
        QTRY_COMPARE(pane.app.options.startPage, 25);

        pane.choose(CRightView::ID_PAGE_RANGE, 0);
        QVERIFY(pane.item(3)->IsReadOnly() && pane.item(4)->IsReadOnly());
        QCOMPARE(pane.spinner(3)->GetValueText(), QStringLiteral("25")); // locked, not changed
        QCOMPARE(pane.app.options.startPage, 25);
    }

    void outputModeLocksHtmlMeta() {
        Pane pane;
        QVERIFY(pane.show());
        QVERIFY(pane.item(9)->IsReadOnly());
        pane.choose(CRightView::ID_OUTPUT_MODE, 1);
        QCOMPARE(pane.app.options.outputMode, 1);
        QVERIFY(!pane.item(9)->IsReadOnly());
        pane.choose(CRightView::ID_HTML_META, 1);
        QCOMPARE(pane.app.options.htmlMeta, 1);
        // Markdown writes the document's information as front matter, so it keeps the row open.
        pane.choose(CRightView::ID_OUTPUT_MODE, 2);
        QCOMPARE(pane.combo(CRightView::ID_OUTPUT_MODE)->ValueText(), QStringLiteral("Markdown File"));
        QCOMPARE(pane.app.options.outputMode, option::markdownFile);
        QVERIFY(!pane.item(9)->IsReadOnly());
        pane.choose(CRightView::ID_OUTPUT_MODE, 0);
        QVERIFY(pane.item(9)->IsReadOnly());
    }

    void everyComboCommitsToItsOwnOption() {
        Pane pane;
        QVERIFY(pane.show());
        pane.choose(CRightView::ID_OPEN_RESULTS, 1);
        pane.choose(CRightView::ID_TEXT_LAYOUT, 1);
        pane.choose(CRightView::ID_RAW_MODE, 0);
        pane.choose(CRightView::ID_END_OF_LINE, 2);
        pane.choose(CRightView::ID_PAGE_BREAKS, 1);
        pane.choose(CRightView::ID_TEXT_ENCODING, 9);
        ConvertOptions expected = ConvertOptions::defaults();
        expected.openResult = 1;
        expected.layout = 1;
        expected.rawMode = 0;
        expected.endOfLine = 2;
        expected.pageBreaks = 1;
        expected.textEncoding = 9;
        QVERIFY(pane.app.options == expected);
    }

    void aTextWithoutDigitsCommitsZero() {
        ConvertOptions options = ConvertOptions::defaults();
        options.pageRange = 1;
        Pane pane(options);
        QVERIFY(pane.show());
        pane.click(pane.valuePoint(4));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("last"));
        pane.click(pane.labelPoint(1));
        QTRY_COMPARE(pane.app.options.endPage, 0);
        QCOMPARE(pane.view->ValueById(4)->number, 0);
    }

    // Escape abandons an edit: the row and the option keep the value the edit began with.
    void escapePutsTheValueBack() {
        ConvertOptions options = ConvertOptions::defaults();
        options.pageRange = 1;
        options.startPage = 7;
        Pane pane(options);
        QVERIFY(pane.show());
        pane.click(pane.valuePoint(CRightView::ID_BEGIN_PAGE));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("25"));
        pane.key(Qt::Key_Escape);
        QVERIFY(pane.list()->hasFocus());
        QCOMPARE(pane.spinner(CRightView::ID_BEGIN_PAGE)->GetValueText(), QStringLiteral("7"));
        QCOMPARE(pane.view->ValueById(CRightView::ID_BEGIN_PAGE)->number, 7);
        QTRY_VERIFY(!pane.item(CRightView::ID_BEGIN_PAGE)->IsEditing());
        QCOMPARE(pane.app.options.startPage, 7);

        pane.click(pane.valuePoint(CRightView::ID_END_OF_LINE));
        pane.key(Qt::Key_Down);
        QCOMPARE(pane.combo(CRightView::ID_END_OF_LINE)->GetCurSel(), options.endOfLine + 1);
        pane.key(Qt::Key_Escape);
        QCOMPARE(pane.combo(CRightView::ID_END_OF_LINE)->GetCurSel(), options.endOfLine);
        QCOMPARE(pane.app.options.endOfLine, options.endOfLine);

        // Enter still keeps what was typed.
        pane.click(pane.valuePoint(CRightView::ID_BEGIN_PAGE));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("25"));
        pane.key(Qt::Key_Return);
        QTRY_COMPARE(pane.app.options.startPage, 25);
    }

    // A batch started while an edit is still open converts with what the pane shows.
    void workerSeesEditsStillOpen() {
        ConvertOptions options = ConvertOptions::defaults();
        options.pageRange = 1;
        Pane pane(options);
        QVERIFY(pane.show());
        pane.click(pane.valuePoint(CRightView::ID_BEGIN_PAGE));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("42"));
        QCOMPARE(pane.view->ValueById(CRightView::ID_BEGIN_PAGE)->number, 42);
        pane.click(pane.valuePoint(CRightView::ID_TEXT_ENCODING));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(pane.view->ValueById(CRightView::ID_TEXT_ENCODING)->number, options.textEncoding + 1);
        QCOMPARE(pane.app.options.textEncoding, options.textEncoding); // not committed yet
        ConvertOptions copy = options;
        pane.view->CopyValuesInto(copy);
        QCOMPARE(copy.startPage, 42);
        QCOMPARE(copy.textEncoding, options.textEncoding + 1);
    }

    void outputDirectoryComesFromTheFolderChooser() {
        ConvertOptions options = ConvertOptions::defaults();
        options.outputDirectory = "/srv/before/";
        Pane pane(options);
        QVERIFY(pane.show());
        pane.click(pane.valuePoint(7)); // cancelled
        QCOMPARE(pane.app.options.outputDirectory, std::string("/srv/before/"));
        dialogs.queueFolder("/srv/after/");
        pane.click(pane.labelPoint(1));
        pane.click(pane.valuePoint(7));
        QCOMPARE(pane.app.options.outputDirectory, std::string("/srv/after/"));
        QCOMPARE(pane.view->ValueById(7)->text, std::string("/srv/after/"));
    }

    // Delete on Output Directory goes back to no folder (each output next to its PDF), and a
    // reset afterwards does not bring the old folder back.
    void outputDirectoryClearsToNoneAndStaysClearedOverAReset() {
        ConvertOptions options = ConvertOptions::defaults();
        options.outputDirectory = "/srv/loaded/";
        Pane pane(options);
        QVERIFY(pane.show());
        pane.click(pane.labelPoint(CRightView::ID_OUTPUT_DIRECTORY));
        pane.key(Qt::Key_Delete);
        QCOMPARE(pane.app.options.outputDirectory, std::string());
        QCOMPARE(pane.view->ValueById(CRightView::ID_OUTPUT_DIRECTORY)->text, std::string());

        dialogs.queueFolder("/srv/chosen/");
        pane.key(Qt::Key_Return);
        QCOMPARE(pane.app.options.outputDirectory, std::string("/srv/chosen/"));
        pane.key(Qt::Key_Backspace);
        QCOMPARE(pane.app.options.outputDirectory, std::string());
        ConvertOptions copy = options;
        pane.view->CopyValuesInto(copy);
        QCOMPARE(copy.outputDirectory, std::string());

        pane.app.resetAllOptions();
        QVERIFY(pane.view->BuildTree());
        QCOMPARE(static_cast<COptionTreeItemFile*>(pane.item(CRightView::ID_OUTPUT_DIRECTORY))->DisplayText(),
                 QStringLiteral("No selection made."));
        QCOMPARE(pane.app.options.outputDirectory, std::string());
        QCOMPARE(pane.view->ValueById(CRightView::ID_OUTPUT_DIRECTORY)->text, std::string());
    }

    void resetRebuildsWithIdsOneToSixteen() {
        Pane pane;
        QVERIFY(pane.show());
        dialogs.queueFolder("/srv/kept/");
        pane.click(pane.valuePoint(7));
        pane.choose(CRightView::ID_TEXT_ENCODING, 2);
        pane.choose(CRightView::ID_OUTPUT_MODE, 1);
        pane.choose(CRightView::ID_PAGE_RANGE, 1);
        pane.click(pane.valuePoint(CRightView::ID_BEGIN_PAGE)); // an edit still open
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));

        pane.app.resetAllOptions();
        QVERIFY(pane.view->BuildTree());
        QTest::qWait(1);
        QCOMPARE(pane.app.options.startPage, 1);
        pane.tree()->RepositionAllControls();
        for (int id = 1; id <= 16; ++id)
            QCOMPARE(pane.item(id)->GetId(), id);
        QVERIFY(!pane.item(17));
        QCOMPARE(pane.combo(2)->ValueText(), QStringLiteral("All Pages"));
        QCOMPARE(pane.combo(8)->ValueText(), QStringLiteral("Text File"));
        QVERIFY(pane.item(3)->IsReadOnly() && pane.item(9)->IsReadOnly());
        QCOMPARE(pane.combo(14)->ValueText(), QStringLiteral("UTF-8"));
        QCOMPARE(static_cast<COptionTreeItemFile*>(pane.item(7))->DisplayText(),
                 QStringLiteral("/srv/kept/\n"));
        // The worker still sees the folder the pane shows.
        QCOMPARE(pane.view->ValueById(7)->text, std::string("/srv/kept/"));

        pane.choose(CRightView::ID_END_OF_LINE, 1);
        pane.choose(CRightView::ID_PAGE_RANGE, 1);
        QCOMPARE(pane.app.options.endOfLine, 1);
        QCOMPARE(pane.app.options.pageRange, 1);
        QCOMPARE(pane.app.options.rawMode, 1);
        QVERIFY(!pane.item(3)->IsReadOnly());
    }

    void keyboardAloneReachesAndEditsEveryOption() {
        Pane pane;
        QVERIFY(pane.show());
        pane.list()->setFocus();
        QList<int> reached;
        for (int i = 0; i < 14; ++i) {
            pane.key(Qt::Key_Down);
            reached.append(pane.tree()->GetFocusItem()->GetId());
        }
        QCOMPARE(reached, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
        // Text Encoding: Enter opens the editor, Down picks the next entry, Enter commits.
        pane.key(Qt::Key_Return);
        pane.key(Qt::Key_Down);
        pane.key(Qt::Key_Return);
        QCOMPARE(pane.app.options.textEncoding, 1);
        // Page Range, then Tab into Begin Page, type, Enter.
        pane.key(Qt::Key_Home);
        pane.key(Qt::Key_Down);
        pane.key(Qt::Key_Return);
        pane.key(Qt::Key_Down);
        pane.key(Qt::Key_Tab);
        QCOMPARE(pane.app.options.pageRange, 1);
        QCOMPARE(pane.tree()->GetFocusItem(), pane.item(3));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12"));
        pane.key(Qt::Key_Return);
        QTRY_COMPARE(pane.app.options.startPage, 12);
        // The folder row opens its chooser on Enter.
        dialogs.queueFolder("/srv/keys/");
        for (int i = 0; i < 4; ++i)
            pane.key(Qt::Key_Down);
        QCOMPARE(pane.tree()->GetFocusItem(), pane.item(7));
        pane.key(Qt::Key_Return);
        QCOMPARE(pane.app.options.outputDirectory, std::string("/srv/keys/"));
    }

    // At a large font or in a narrow pane a description wraps to more lines: the pane under
    // the list grows to show the longest one whole, under its bold label.
    void descriptionPaneHoldsTheLongestHelpText() {
        Pane pane;
        QFont large = pane.window.font();
        large.setPixelSize(18);
        pane.window.setFont(large);
        QVERIFY(pane.show());
        COptionTree* tree = pane.tree();
        const QWidget* info = tree->GetInfoWindow();
        QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&device);
        painter.setFont(tree->GetNormalFont());
        for (int width : {355, 300}) {
            pane.view->resize(width, 480);
            QCOMPARE(info->width(), width);
            int tallest = 0;
            for (int id = CRightView::ID_GENERAL_OPTIONS; id <= CRightView::ID_TEXT_ENCODING; ++id) {
                QRect help(0, 0, width - 8, 0);
                DrawText(painter, pane.item(id)->GetInfoText(), help,
                         DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
                tallest = std::max(tallest, help.height());
            }
            QVERIFY(tallest >= 4 * painter.fontMetrics().lineSpacing());
            const int labelHeight = QFontMetrics(tree->GetBoldFont()).height();
            QVERIFY2(4 + labelHeight + tallest + 4 <= info->height(),
                     qPrintable(
                         QStringLiteral("%1 + %2 in %3").arg(labelHeight).arg(tallest).arg(info->height())));
            QCOMPARE(pane.list()->height() + info->height(), 480);
        }
    }

    void headersArePaintedLightBlue() {
        Pane pane;
        QVERIFY(pane.show());
        const QImage image = pane.list()->grab().toImage();
        QCOMPARE(image.pixel(200, pane.labelPoint(1).y()), QColor(227, 246, 253).rgb());
        QCOMPARE(image.pixel(200, pane.labelPoint(6).y()), QColor(227, 246, 253).rgb());
    }

    void workerReadsValuesSafelyFromAnotherThread() {
        Pane pane;
        QVERIFY(pane.show());
        std::atomic<bool> stop = false;
        std::atomic<int> reads = 0;
        std::atomic<bool> torn = false;
        std::thread worker([&] {
            while (!stop) {
                ConvertOptions copy = ConvertOptions::defaults();
                pane.view->CopyValuesInto(copy);
                const auto encoding = pane.view->ValueById(CRightView::ID_TEXT_ENCODING);
                if (!encoding || encoding->number < 0 || encoding->number > 17 || copy.textEncoding > 17)
                    torn = true;
                ++reads;
            }
        });
        for (int index = 0; index < 18; ++index)
            pane.choose(CRightView::ID_TEXT_ENCODING, index);
        QTRY_VERIFY(reads > 10);
        stop = true;
        worker.join();
        QVERIFY(!torn);
        ConvertOptions copy;
        pane.view->CopyValuesInto(copy);
        QCOMPARE(copy.textEncoding, 17);
        QCOMPARE(copy.endPage, 1000);
        QVERIFY(!pane.view->ValueById(CRightView::ID_GENERAL_OPTIONS)); // headers hold no value
    }

private:
    ScriptedDialogs dialogs;
};

QTEST_MAIN(TestRightView)
#include "tst_rightview.moc"
