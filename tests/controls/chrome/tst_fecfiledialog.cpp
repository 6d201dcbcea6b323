#include "controls/chrome/FECFileDialog.h"
#include "resource.h"

#include "FileDialogViews.h"
#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList readBack(const CFECFileDialog& dialog) {
    QStringList paths;
    for (CFECFileDialog::POSITION position = dialog.GetStartPosition(); position;)
        paths.append(dialog.GetNextPathName(position));
    return paths;
}

QPushButton* openButton(QWidget* dialog) {
    return dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Open);
}

constexpr unsigned jobListFlags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NODEREFERENCELINKS;

} // namespace

class TestFECFileDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QStringList pdfPaths;
    const QStringList pdfFilter{QStringLiteral("PDF Files (*.pdf)")};

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        for (int i = 0; i < 500; ++i) {
            const QString path =
                dir.path() + QStringLiteral("/document %1.pdf").arg(i, 3, 10, QLatin1Char('0'));
            touch(path);
            pdfPaths.append(path);
        }
        touch(dir.path() + QStringLiteral("/notes.txt"));
        QVERIFY(QFile::link(pdfPaths.first(), dir.path() + QStringLiteral("/shortcut.pdf")));
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    // Hundreds of files chosen at once all come back, each as folder + '/' + name.
    void everySelectedFileComesBack() {
        CFECFileDialog dialog(true, {}, {}, jobListFlags, pdfFilter);
        dialog.setDirectory(dir.path());
        testsupport::whenModalShows([](QWidget* modal) {
            if (listedNames(modal).size() < 501) // the folder is read in the background
                return;
            QAbstractItemView* list = visibleFileView(modal);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
            QTest::mouseClick(openButton(modal), Qt::LeftButton);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QStringList chosen = readBack(dialog);
        chosen.sort();
        QStringList expected = pdfPaths;
        expected.append(dir.path() + QStringLiteral("/shortcut.pdf")); // the link itself, not its target
        expected.sort();
        QCOMPARE(chosen.size(), 501);
        QCOMPARE(chosen, expected);
    }

    void typedNamesComeBackAsFullPaths_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected"); // names in the folder
        QTest::newRow("one file") << QStringLiteral("document 007.pdf")
                                  << QStringList{QStringLiteral("document 007.pdf")};
        QTest::newRow("quoted list") << QStringLiteral("\"document 001.pdf\" \"document 002.pdf\"")
                                     << QStringList{QStringLiteral("document 001.pdf"),
                                                    QStringLiteral("document 002.pdf")};
    }

    void typedNamesComeBackAsFullPaths() {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        CFECFileDialog dialog(true, {}, {}, jobListFlags, pdfFilter);
        dialog.setDirectory(dir.path());
        testsupport::whenModalShows([typed](QWidget* modal) {
            auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (edit->text() != typed) {
                edit->setFocus();
                QTest::keyClicks(edit, typed);
            }
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QStringList paths;
        for (const QString& name : expected)
            paths.append(dir.path() + QLatin1Char('/') + name);
        QCOMPARE(readBack(dialog), paths);
    }

    // A quote in a name broke the dialog's own reading of its name field: it cleared the
    // field and stayed open.
    void namesWithQuotesComeBack_data() {
        QTest::addColumn<QStringList>("chosen");
        QTest::newRow("alone") << QStringList{QStringLiteral("say \"hi\".pdf")};
        QTest::newRow("alone, quoted") << QStringList{QStringLiteral("\"quoted\".pdf")};
        QTest::newRow("among others") << QStringList{
            QStringLiteral("\"quoted\".pdf"), QStringLiteral("plain.pdf"), QStringLiteral("say \"hi\".pdf")};
        // Read naively, this selection also names plain.pdf, which was not chosen.
        QTest::newRow("holding another name")
            << QStringList{QStringLiteral("say \"hi\".pdf"), QStringLiteral("x\" \"plain.pdf")};
    }

    void namesWithQuotesComeBack() {
        QFETCH(QStringList, chosen);
        QTemporaryDir quoted;
        QVERIFY(quoted.isValid());
        const QStringList names{QStringLiteral("\"quoted\".pdf"), QStringLiteral("plain.pdf"),
                                QStringLiteral("say \"hi\".pdf"), QStringLiteral("x\" \"plain.pdf")};
        for (const QString& name : names)
            touch(quoted.filePath(name));
        CFECFileDialog dialog(true, {}, {}, jobListFlags, pdfFilter);
        dialog.setDirectory(quoted.path());
        testsupport::whenModalShows([&](QWidget* modal) {
            if (listedNames(modal) != names) // the folder is read in the background
                return;
            QAbstractItemView* view = visibleFileView(modal);
            view->clearSelection();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                const QModelIndex index = view->model()->index(row, 0, view->rootIndex());
                if (chosen.contains(index.data().toString()))
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                      view->visualRect(index).center());
            }
            QTest::mouseClick(openButton(modal), Qt::LeftButton);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QStringList paths = readBack(dialog);
        paths.sort();
        QStringList expected;
        for (const QString& name : chosen)
            expected.append(quoted.filePath(name));
        QCOMPARE(paths, expected);
    }

    void cancelReturnsNothing() {
        CFECFileDialog dialog(true, {}, {}, jobListFlags, pdfFilter);
        dialog.setDirectory(dir.path());
        testsupport::whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        QVERIFY(!dialog.GetStartPosition());
    }

    // The file list alone grows: same width, 150 pixels taller than in the plain dialog.
    void fileListIsTaller() {
        CFileDialog plain(true, {}, {}, jobListFlags, pdfFilter);
        CFECFileDialog taller(true, {}, {}, jobListFlags, pdfFilter);
        plain.show();
        taller.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plain));
        QVERIFY(QTest::qWaitForWindowExposed(&taller));
        const auto listOf = [](QWidget* dialog) {
            return dialog->findChild<QStackedWidget*>(QStringLiteral("stackedWidget"))->size();
        };
        QCOMPARE(taller.width(), plain.width());
        QCOMPARE(taller.height(), plain.height() + CFECFileDialog::FileListExtraHeight);
        QCOMPARE(listOf(&taller), listOf(&plain) + QSize(0, CFECFileDialog::FileListExtraHeight));
        const auto buttonTop = [](QWidget* dialog) {
            return openButton(dialog)->mapTo(dialog, QPoint(0, 0)).y();
        };
        QCOMPARE(buttonTop(&taller), buttonTop(&plain) + CFECFileDialog::FileListExtraHeight);
    }
};

QTEST_MAIN(TestFECFileDialog)
#include "tst_fecfiledialog.moc"
